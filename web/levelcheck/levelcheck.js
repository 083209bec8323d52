// @ts-check
// levelcheck in this thread: loads the WebAssembly build of the desktop
// levelcheck (levelcheck-core.js and .wasm beside this file) and calls it.
// Meant for a Web Worker (levelcheck-worker.js) or node; a sweep's runs
// take seconds, so the page itself should go through levelcheck-pool.js.
// Every answer is the desktop tool's own: the same classes, compiled.

/**
 * @typedef {object} CheckMessage
 * @property {'error' | 'warning'} severity
 * @property {number} line     1-based line of the level's text
 * @property {number} column   1-based column (bytes) of the level's text
 * @property {string} text     the message as levelcheck prints it
 * @property {number} cell     the loader's cell index it is about, or -1
 *
 * @typedef {object} Cell
 * @property {number} kind     0 empty, 1 to 3 hits, 4 solid
 * @property {boolean} capsule the brick releases a capsule ("S")
 * @property {number} row      grid row the loader placed it in, or -1
 * @property {number} column   grid column, or -1 (both -1: no pair reached it)
 * @property {number} line     1-based text line of the cell's pair, or 0 when no pair reached it
 * @property {number} textColumn 1-based text column (bytes) of that pair, or 0
 *
 * @typedef {object} Counts
 * @property {number} bricks
 * @property {number} oneHit
 * @property {number} twoHit
 * @property {number} threeHit
 * @property {number} solid
 * @property {number} capsuleBricks
 * @property {number} hits     ball hits that clear the level
 * @property {number} points   points for clearing it
 *
 * @typedef {object} CheckResult
 * @property {string} name
 * @property {boolean} opened
 * @property {number} exitStatus  0 clean, 1 errors (as the desktop tool exits)
 * @property {string} output      what `levelcheck NAME` prints
 * @property {string} summary
 * @property {Counts} counts
 * @property {Cell[]} cells       the loader's 300 cells in reading order
 * @property {number[][]} closedIn  the cells of each pocket of breakable bricks walled in by solid ones
 * @property {CheckMessage[]} messages  in the order levelcheck prints them
 * @property {string[]} preview
 *
 * @typedef {object} PlayResult
 * @property {number} index    the serve angle's place in serveAngles()
 * @property {string} line     the run, for report()
 * @property {Record<string, string | number>} run  the run's CSV row, by column
 *
 * @typedef {object} SweepReport
 * @property {number} exitStatus  as `levelcheck --sweep` exits
 * @property {string} output      what it prints
 * @property {string} csv         what it writes with --csv
 * @property {Record<string, string | number>[]} runs  the CSV rows, by column
 *
 * @typedef {object} Trace
 * @property {number} index    the serve angle's place in serveAngles()
 * @property {number} angle
 * @property {Record<string, string | number>} run  the run's CSV row, by column
 * @property {number} frames   frames played; frame f (from 1) is at f - 1 below
 * @property {number} paddleY
 * @property {number} paddleWidth
 * @property {number[]} ball   x, y per frame, where the game draws the ball
 * @property {number[]} paddle x per frame
 * @property {number[]} bricks frame, cell, kind (0: gone) per change
 * @property {number[]} lives  frame, balls left per change
 * @property {number[]} points frame, points per change
 * @property {number[]} cells  kind, x, y of each of the 300 cells at the start
 *
 * @typedef {object} LoadOptions
 * @property {string | URL} [moduleUrl]  levelcheck-core.js (default: beside this file)
 * @property {(line: string) => void} [log]  the module's own printout (default: dropped)
 */

/** @typedef {string | Uint8Array} LevelBytes */

/** The desktop's default frame limit for a run (`--frames`). */
export const DefaultFrames = 200000;

const encoder = new TextEncoder();

/**
 * A CSV text (levelcheck's own: a header line, then rows; a field in
 * double quotes when it holds a comma or a quote) as objects by column.
 * Numeric fields other than the file name become numbers.
 * @param {string} text
 * @returns {Record<string, string | number>[]}
 */
export function parseCsv(text) {
    const lines = text.split('\n').filter((line) => line !== '');
    if (lines.length === 0) return [];
    const header = splitCsvLine(lines[0]);
    return lines.slice(1).map((line) => {
        const fields = splitCsvLine(line);
        /** @type {Record<string, string | number>} */
        const row = {};
        header.forEach((name, i) => {
            const value = fields[i] ?? '';
            row[name] = name !== 'file' && /^-?\d+(\.\d+)?$/.test(value) ? Number(value) : value;
        });
        return row;
    });
}

/** @param {string} line */
function splitCsvLine(line) {
    /** @type {string[]} */
    const fields = [];
    let field = '';
    let quoted = false;
    for (let i = 0; i < line.length; ++i) {
        const c = line[i];
        if (quoted) {
            if (c === '"' && line[i + 1] === '"') {
                field += '"';
                ++i;
            } else if (c === '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c === '"') {
            quoted = true;
        } else if (c === ',') {
            fields.push(field);
            field = '';
        } else {
            field += c;
        }
    }
    fields.push(field);
    return fields;
}

/**
 * @param {URL} url
 * @returns {Promise<ArrayBuffer | Uint8Array>}
 */
async function readBytes(url) {
    if (url.protocol === 'file:') {
        const { readFile } = await import('node:fs/promises');
        return readFile(url);
    }
    const response = await fetch(url);
    if (!response.ok) throw new Error(`cannot load ${url.pathname} (${response.status})`);
    return response.arrayBuffer();
}

/**
 * Loads the module; the returned object answers synchronously.
 * @param {LoadOptions} [options]
 * @returns {Promise<LevelCheck>}
 */
export async function loadLevelCheck(options = {}) {
    const moduleUrl = new URL(options.moduleUrl ?? './levelcheck-core.js', import.meta.url);
    const { default: createLevelCheckCore } = await import(moduleUrl.href);
    // Handed over rather than fetched by the module: its own loading only
    // knows classic workers and the window, not module workers or node.
    const wasmBinary = await readBytes(new URL('levelcheck-core.wasm', moduleUrl));
    const log = options.log ?? (() => {});
    const core = await createLevelCheckCore({ wasmBinary, print: log, printErr: log });
    return new LevelCheck(core);
}

export class LevelCheck {
    /** @param {any} core the emscripten module */
    constructor(core) {
        this.core = core;
        /** @type {number[] | null} */
        this.angles = null;
    }

    /**
     * Calls a C function with the level's bytes copied into the module.
     * @param {string} name
     * @param {LevelBytes} level
     * @param {(pointer: number, length: number) => string} call
     */
    withBytes(name, level, call) {
        const bytes = typeof level === 'string' ? encoder.encode(level) : level;
        const pointer = this.core._malloc(Math.max(bytes.length, 1));
        if (!pointer) throw new Error('out of memory for the level');
        try {
            this.core.HEAPU8.set(bytes, pointer);
            const answer = JSON.parse(call(pointer, bytes.length));
            if (answer.error) throw new Error(answer.error);
            return answer;
        } finally {
            this.core._free(pointer);
        }
    }

    /**
     * `levelcheck [--quiet] NAME` on the level's bytes (text is taken as UTF-8).
     * @param {LevelBytes} level
     * @param {{name?: string, quiet?: boolean}} [options]
     * @returns {CheckResult}
     */
    check(level, { name = 'level1.txt', quiet = false } = {}) {
        return this.withBytes(name, level, (pointer, length) =>
            this.core.ccall(
                'lc_check',
                'string',
                ['string', 'number', 'number', 'number'],
                [name, pointer, length, quiet ? 1 : 0],
            ),
        );
    }

    /**
     * Every angle a serve leaves at, ascending: the sweep plays one run each.
     * @returns {number[]}
     */
    serveAngles() {
        if (!this.angles)
            this.angles = JSON.parse(this.core.ccall('lc_serve_angles', 'string', [], [])).angles;
        return /** @type {number[]} */ (this.angles);
    }

    /**
     * One run of a sweep: the serve at serveAngles()[index], the computer
     * player, loop detection, as a desktop sweep worker plays it.
     * @param {LevelBytes} level
     * @param {number} index
     * @param {{name?: string, frames?: number}} [options]
     * @returns {PlayResult}
     */
    play(level, index, { name = 'level1.txt', frames = DefaultFrames } = {}) {
        const answer = this.withBytes(name, level, (pointer, length) =>
            this.core.ccall(
                'lc_play',
                'string',
                ['string', 'number', 'number', 'number', 'number'],
                [name, pointer, length, index, frames],
            ),
        );
        const [run] = parseCsv(`${answer.header}\n${answer.csv}\n`);
        return { index: answer.index, line: answer.line, run };
    }

    /**
     * One run of a sweep played again as play() plays it, recorded frame by
     * frame for showing (see WorkerLevelCheck::Trace): ball and paddle
     * places, brick, ball and point changes, and the run's CSV row.
     * @param {LevelBytes} level
     * @param {number} index
     * @param {{name?: string, frames?: number}} [options]
     * @returns {Trace}
     */
    trace(level, index, { name = 'level1.txt', frames = DefaultFrames } = {}) {
        const answer = this.withBytes(name, level, (pointer, length) =>
            this.core.ccall(
                'lc_trace',
                'string',
                ['string', 'number', 'number', 'number', 'number'],
                [name, pointer, length, index, frames],
            ),
        );
        const [run] = parseCsv(`${answer.header}\n${answer.csv}\n`);
        return { ...answer, run };
    }

    /**
     * `levelcheck --png DIR [--quiet] NAME`: the level as the game shows it
     * before the serve, the PNG file's bytes (empty when none was written:
     * the output says why).
     * @param {LevelBytes} level
     * @param {{name?: string, quiet?: boolean}} [options]
     * @returns {{ exitStatus: number, output: string, png: Uint8Array }}
     */
    picture(level, { name = 'level1.txt', quiet = false } = {}) {
        const answer = this.withBytes(name, level, (pointer, length) =>
            this.core.ccall(
                'lc_picture',
                'string',
                ['string', 'number', 'number', 'number'],
                [name, pointer, length, quiet ? 1 : 0],
            ),
        );
        const binary = atob(answer.png);
        const png = Uint8Array.from(binary, (c) => c.charCodeAt(0));
        return { exitStatus: answer.exitStatus, output: answer.output, png };
    }

    /**
     * `levelcheck --sweep --csv FILE [--min-clear P] [--quiet] NAME` on runs
     * played by play() (anywhere), one per serve angle, in any order.
     * @param {LevelBytes} level
     * @param {string[]} lines the runs' `line`s
     * @param {{name?: string, frames?: number, minClear?: number, quiet?: boolean}} [options]
     * @returns {SweepReport}
     */
    report(level, lines, { name = 'level1.txt', frames = DefaultFrames, minClear = -1, quiet = false } = {}) {
        const answer = this.withBytes(name, level, (pointer, length) =>
            this.core.ccall(
                'lc_report',
                'string',
                ['string', 'number', 'number', 'string', 'number', 'number', 'number'],
                [name, pointer, length, lines.join('\n'), frames, minClear, quiet ? 1 : 0],
            ),
        );
        return { ...answer, runs: parseCsv(answer.csv) };
    }
}
