// @ts-check
// One run of the game in a canvas: runGame() starts the program, and its
// promise settles when the program ends (Escape, A+B on the title menu, the
// Exit row) or fails to start. The program's code, its wasm and its packaged
// data are fetched once per page; every run after the first is a fresh
// instance made from them, with nothing downloaded again.
import createQuadrell from './quadrell.js';
import * as media from './media.js';
import { soundOutput } from './music.js';
import { recordRunListeners } from './runListeners.js';

/** @typedef {{ name: string, text: string }} LevelFile */
/**
 * @typedef {{ addEventListener(type: string, listener: (event: any) => void): void,
 *   removeEventListener(type: string, listener: (event: any) => void): void, frame?: () => void,
 *   sleep?: () => void }} KeyEvents
 */
/** @typedef {{ status: number, stderr: string, log: string }} RunResult */
/**
 * @typedef {object} RunHandle the running program, read only
 * @property {() => string} readLog its log.txt so far
 * @property {() => boolean} inPlay whether a ball is in play
 * @property {() => number} roundState the game's round state, -1 outside a game
 * @property {() => number} balls the balls left, -1 outside a game
 * @property {() => number} paddle the paddle's middle x while a ball is in play, else -1
 */
/**
 * @typedef {object} MusicPlayer what the game's music calls drive
 * @property {(bytes: Uint8Array, options: {loop: boolean, fadeInMs: number, volume: number}) => void} play
 * @property {(ms: number) => void} fadeOut
 * @property {() => void} stop
 * @property {(volume: number) => void} setVolume
 */
/**
 * @typedef {object} RunOptions
 * @property {HTMLCanvasElement} canvas where the game draws (320x240)
 * @property {LevelFile[]} [levels] in place of the packaged levels, this run only
 * @property {(line: string, stream: 'stdout' | 'stderr') => void} [onLog] each line the program prints
 * @property {string[]} [args] the program's arguments
 * @property {KeyEvents} [keys] where the game's key events come from (default: the
 *   document); a key source's frame() is called at every flip, its sleep()
 *   whenever the game sleeps
 * @property {AudioContext | null} [audioContext] sound effects play here; none: silent
 * @property {MusicPlayer | null} [music] the title tune's player
 * @property {(handle: RunHandle) => void} [onStarted] when main starts
 * @property {() => void} [onFrame] after each frame is on the screen
 */

const here = /** @type {string} */ (import.meta.url);
/** @type {Promise<WebAssembly.Module> | null} */
let wasmModule = null;
/** @type {Promise<ArrayBuffer> | null} */
let dataPackage = null;

/** @param {string} name */
async function fetchBytes(name) {
    const response = await fetch(new URL(name, here));
    if (!response.ok) throw new Error(`${name}: ${response.status} ${response.statusText}`);
    return response.arrayBuffer();
}

/**
 * Fetches the wasm and the data once for the page. A download that failed
 * is tried again at the next call.
 */
export function preload() {
    wasmModule ??= fetchBytes('quadrell.wasm').then((bytes) => WebAssembly.compile(bytes));
    dataPackage ??= fetchBytes('quadrell.data');
    const wasm = wasmModule;
    const data = dataPackage;
    return Promise.all([wasm, data]).catch((error) => {
        wasm.catch(() => wasmModule === wasm && (wasmModule = null));
        data.catch(() => dataPackage === data && (dataPackage = null));
        throw error;
    });
}

/**
 * @param {any} FS
 * @param {LevelFile[]} levels
 */
function replaceLevels(FS, levels) {
    for (const name of FS.readdir('/data/levels')) {
        if (name.endsWith('.txt')) FS.unlink(`/data/levels/${name}`);
    }
    for (const level of levels) {
        // Only plain file names: a level cannot land outside the folder.
        if (!/^[\w.-]+$/.test(level.name) || level.name.startsWith('.'))
            throw new Error(`bad level file name: ${level.name}`);
        FS.writeFile(`/data/levels/${level.name}`, level.text);
    }
}

/**
 * Runs the program once.
 * @param {RunOptions} options
 * @returns {Promise<RunResult>}
 */
export async function runGame({
    canvas,
    levels,
    onLog,
    args = [],
    keys,
    audioContext = null,
    music = null,
    onStarted,
    onFrame,
}) {
    const [compiled, data] = await preload();
    let stderr = '';
    /** @type {any} */
    let instance = null;
    // What the runtime hangs on the page goes with the run (see runListeners.js).
    const runListeners = recordRunListeners([window, document, canvas], new URL('quadrell.js', here).href);
    return new Promise((resolve) => {
        let settled = false;
        const readLog = () => {
            try {
                return instance ? instance.FS.readFile('/log.txt', { encoding: 'utf8' }) : '';
            } catch {
                return ''; // no log: the program ended before it opened one
            }
        };
        /** @param {number} status */
        const finish = (status) => {
            if (settled) return;
            settled = true;
            const log = readLog();
            // The listeners held the finished run's module and memory: let go.
            runListeners.release();
            instance = null;
            resolve({ status, stderr, log });
        };
        /** @param {string} name @returns {number} the export's answer; -1 once the run is over */
        const ask = (name) => (!settled && typeof instance?.[name] === 'function' ? instance[name]() : -1);
        /** @type {Record<string, any>} */
        const bridge = {
            audioContext,
            // The page's mute turns this down (music.js).
            audioOutput: audioContext && soundOutput(audioContext),
            music,
            onFlip: () => {
                keys?.frame?.();
                onFrame?.();
            },
            onSleep: () => keys?.sleep?.(),
            ...media,
        };
        const module = {
            canvas,
            arguments: args,
            keyboardListeningElement: keys ?? document,
            quadrell: bridge,
            noInitialRun: false,
            /** @param {string} line */
            print: (line) => onLog?.(line, 'stdout'),
            /** @param {string} line */
            printErr: (line) => {
                stderr += `${line}\n`;
                onLog?.(line, 'stderr');
            },
            /**
             * @param {WebAssembly.Imports} imports
             * @param {(instance: WebAssembly.Instance, module: WebAssembly.Module) => void} receive
             */
            instantiateWasm(imports, receive) {
                WebAssembly.instantiate(compiled, imports).then((made) => receive(made, compiled));
                return {};
            },
            getPreloadedPackage: () => data.slice(0),
            preRun: [
                /** @param {any} self */
                (self) => {
                    // The data package is unpacked by the next pre-run step; the
                    // levels wait for it, and main waits for them.
                    self.addRunDependency('quadrell-setup');
                    setTimeout(() => {
                        try {
                            if (levels) replaceLevels(self.FS, levels);
                            self.removeRunDependency('quadrell-setup');
                        } catch (error) {
                            stderr += `${error}\n`;
                            finish(1);
                        }
                    }, 0);
                },
            ],
            onRuntimeInitialized: () =>
                onStarted?.({
                    readLog,
                    inPlay: () => ask('_quadrell_in_play') === 1,
                    roundState: () => ask('_quadrell_round_state'),
                    balls: () => ask('_quadrell_balls'),
                    paddle: () => ask('_quadrell_paddle_middle'),
                }),
            /** @param {number} status */
            onExit: (status) => finish(status),
            /** @param {unknown} what */
            onAbort: (what) => {
                stderr += `aborted: ${what}\n`;
                finish(134);
            },
        };
        createQuadrell(module).then(
            (made) => {
                if (!settled) instance = made;
            },
            (error) => {
                stderr += `${error}\n`;
                finish(1);
            },
        );
        // The runtime's own handle comes only after main has started; the
        // run's files are read through the module object until then.
        instance = module;
    });
}

/**
 * The line a failed run shows on the page: the program's last line on
 * stderr. The program points at its log.txt, which on the page is behind
 * the Log button.
 * @param {RunResult} result
 */
export function failureLine(result) {
    const line =
        result.stderr.trim().split('\n').filter(Boolean).pop() ??
        `The program stopped with status ${result.status}.`;
    return line.replace(/ See log\.txt\.$/, ' The Log button shows its log.');
}
