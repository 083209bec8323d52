// What emscripten's JavaScript compiler gives library_quadrell.js, for the
// type check only: the library's own object ($QD as QD), the runtime's
// memory, strings and files, and the C functions it calls.
declare function mergeInto(target: object, source: Record<string, unknown>): void;
declare const LibraryManager: { library: object };
declare const Module: Record<string, any>;
declare const HEAPU8: Uint8Array;
declare const FS: { readFile(path: string): Uint8Array };
declare function UTF8ToString(ptr: number): string;
declare function allocateUTF8(text: string): number;
declare function _free(ptr: number): void;
declare function _quadrell_set_error(ptr: number): void;
declare function _Mix_HaltChannel(channel: number): number;
declare function _Mix_HaltMusic(): number;
declare const QD: any;
