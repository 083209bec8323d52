// Names the JavaScript uses that no module of ours declares: the scope of
// an AudioWorklet (the title tune's player runs there) and the modules
// emscripten writes at build time beside the page's own.

/** The AudioWorkletGlobalScope, as the tune's processor sees it. */
declare class AudioWorkletProcessor {
    readonly port: MessagePort;
}
declare function registerProcessor(name: string, processor: new () => AudioWorkletProcessor): void;
declare const sampleRate: number;
declare const currentTime: number;

/** The game, compiled by emscripten into game/quadrell.js (MODULARIZE, EXPORT_ES6). */
declare module '*/quadrell.js' {
    /** What the page passes in: the runtime's settings and hooks. */
    type ModuleSettings = Record<string, unknown>;
    /** The running program: its exports and the runtime's own methods. */
    type QuadrellModule = Record<string, any>;
    const createQuadrell: (settings: ModuleSettings) => Promise<QuadrellModule>;
    export default createQuadrell;
}
