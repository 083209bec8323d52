// @ts-check
// levelcheck for the page, in Web Workers: checks on a worker of their own,
// so that a check never waits behind a sweep, and sweeps spread over one
// worker per core, each playing the serve angles it is handed, summed up
// by levelcheck itself. The page's thread only sends and receives messages.
//
//   const pool = new LevelCheckPool();
//   const result = await pool.check(text, {name: 'level1.txt'});  // null if superseded
//   const sweep = await pool.sweep(text, {onProgress: (p) => ...});
//   pool.close();
import { DefaultFrames } from './levelcheck.js';

/** @typedef {import('./levelcheck.js').CheckResult} CheckResult */
/** @typedef {import('./levelcheck.js').SweepReport} SweepReport */
/** @typedef {import('./levelcheck.js').LevelBytes} LevelBytes */

/**
 * A Web Worker or a node worker thread: what the pool needs of one.
 * @typedef {object} WorkerLike
 * @property {(message: any) => void} postMessage
 * @property {() => any} terminate
 * @property {((type: string, listener: (event: any) => void) => void)} [addEventListener]
 * @property {((type: string, listener: (value: any) => void) => void)} [on]
 *
 * @typedef {object} SweepProgress
 * @property {number} done    runs finished so far
 * @property {number} total   runs in the sweep (one per serve angle)
 * @property {number} index   the serve angle's place of the run just finished
 * @property {Record<string, string | number>} run  its CSV row, by column
 *
 * @typedef {object} SweepOptions
 * @property {string} [name]      the level's file name, as the messages print it
 * @property {number} [frames]    a run's frame limit (default 200000, as the desktop's)
 * @property {number} [minClear]  per cent: below it the sweep is an error (--min-clear)
 * @property {boolean} [quiet]    no preview in the printed report (--quiet)
 * @property {(progress: SweepProgress) => void} [onProgress]
 * @property {AbortSignal} [signal]  stops handing out runs and rejects
 *
 * @typedef {object} PoolOptions
 * @property {number} [size]  sweep workers (default: navigator.hardwareConcurrency)
 * @property {() => WorkerLike} [createWorker]  default: a module Worker of levelcheck-worker.js
 */

/** A request/answer channel over one worker; answers come back in order. */
class Channel {
    /** @param {WorkerLike} worker */
    constructor(worker) {
        this.worker = worker;
        this.nextId = 1;
        // Set once the worker is gone: every request then fails with it.
        /** @type {Error | null} */
        this.dead = null;
        /** @type {Map<number, {resolve: (value: any) => void, reject: (error: Error) => void}>} */
        this.waiting = new Map();
        /** @param {any} message */
        const onMessage = (message) => {
            const entry = this.waiting.get(message?.id);
            if (!entry) return;
            this.waiting.delete(message.id);
            if (message.ok) entry.resolve(message.result);
            else entry.reject(new Error(message.error));
        };
        /** @param {any} error */
        const onError = (error) => {
            const why = typeof error === 'string' ? error : error?.message || 'it did not load or it stopped';
            this.dead = new Error(`levelcheck worker failed: ${why}`);
            this.failAll(this.dead);
        };
        if (worker.addEventListener) {
            worker.addEventListener('message', (event) => onMessage(event.data));
            worker.addEventListener('error', (event) => {
                event.preventDefault?.();
                onError(event);
            });
        } else if (worker.on) {
            worker.on('message', onMessage);
            worker.on('error', onError);
            // A node worker thread can also just end; nothing would answer.
            worker.on('exit', (/** @type {number} */ code) => onError(`it ended with status ${code}`));
        }
    }

    /**
     * @param {object} request
     * @returns {Promise<any>}
     */
    request(request) {
        if (this.dead) return Promise.reject(this.dead);
        const id = this.nextId++;
        return new Promise((resolve, reject) => {
            this.waiting.set(id, { resolve, reject });
            this.worker.postMessage({ ...request, id });
        });
    }

    /** @param {Error} error */
    failAll(error) {
        for (const entry of this.waiting.values()) entry.reject(error);
        this.waiting.clear();
    }

    close() {
        this.failAll(new Error('the levelcheck pool was closed'));
        this.worker.terminate();
    }
}

function abortError() {
    return new DOMException('the sweep was stopped', 'AbortError');
}

export class LevelCheckPool {
    /** @param {PoolOptions} [options] */
    constructor(options = {}) {
        this.createWorker =
            options.createWorker ??
            (() => new Worker(new URL('./levelcheck-worker.js', import.meta.url), { type: 'module' }));
        const cores = typeof navigator !== 'undefined' ? navigator.hardwareConcurrency : 0;
        this.size = Math.max(1, Math.floor(options.size ?? (cores || 2)));
        this.checker = new Channel(this.createWorker());
        /** @type {Channel[]} */
        this.players = [];
        /** @type {{level: LevelBytes, name: string, quiet: boolean, resolve: (r: CheckResult | null) => void, reject: (e: Error) => void} | null} */
        this.pendingCheck = null;
        this.checking = false;
        this.closed = false;
        /** @type {AbortController | null} */
        this.currentSweep = null;
        /** @type {Promise<number> | null} */
        this.angleCount = null;
        /** @type {Channel | null} replays sweep serves for the page */
        this.tracer = null;
    }

    /**
     * The static check of a level (`levelcheck NAME`). While one check runs,
     * only the newest request waits: an older waiting one resolves to null.
     * @param {LevelBytes} level
     * @param {{name?: string, quiet?: boolean}} [options]
     * @returns {Promise<CheckResult | null>}
     */
    check(level, { name = 'level1.txt', quiet = false } = {}) {
        return new Promise((resolve, reject) => {
            this.pendingCheck?.resolve(null);
            this.pendingCheck = { level, name, quiet, resolve, reject };
            this.runChecks();
        });
    }

    async runChecks() {
        if (this.checking) return;
        this.checking = true;
        while (this.pendingCheck) {
            const { level, name, quiet, resolve, reject } = this.pendingCheck;
            this.pendingCheck = null;
            try {
                resolve(await this.checkerChannel().request({ op: 'check', level, name, quiet }));
            } catch (error) {
                reject(/** @type {Error} */ (error));
            }
        }
        this.checking = false;
    }

    /**
     * `levelcheck --sweep` on the level: every serve angle once, spread over
     * the sweep workers, summed up by levelcheck. A new sweep stops the one
     * before (it rejects with an AbortError).
     * @param {LevelBytes} level
     * @param {SweepOptions} [options]
     * @returns {Promise<SweepReport>}
     */
    async sweep(level, options = {}) {
        const {
            name = 'level1.txt',
            frames = DefaultFrames,
            minClear = -1,
            quiet = false,
            onProgress,
        } = options;
        this.currentSweep?.abort();
        const control = new AbortController();
        this.currentSweep = control;
        const stop = () => control.abort();
        options.signal?.addEventListener('abort', stop);
        try {
            if (options.signal?.aborted) throw abortError();
            if (!this.angleCount) {
                const asked = this.checkerChannel()
                    .request({ op: 'angles' })
                    .then((angles) => angles.length);
                // Asked again next time if the answer failed.
                asked.catch(() => {
                    if (this.angleCount === asked) this.angleCount = null;
                });
                this.angleCount = asked;
            }
            const total = await this.angleCount;
            if (this.closed) throw new Error('the levelcheck pool was closed');
            // A worker that died is replaced, so one failure does not stall every later sweep.
            for (const player of this.players) if (player.dead) player.close();
            this.players = this.players.filter((player) => !player.dead);
            while (this.players.length < this.size) this.players.push(new Channel(this.createWorker()));
            /** @type {string[]} */
            const lines = new Array(total);
            let next = 0;
            let done = 0;
            /** @param {Channel} player */
            const work = async (player) => {
                while (next < total && !control.signal.aborted) {
                    const index = next++;
                    const played = await player.request({ op: 'play', level, index, name, frames });
                    if (control.signal.aborted) return;
                    lines[index] = played.line;
                    ++done;
                    onProgress?.({ done, total, index, run: played.run });
                }
            };
            // One failed run ends the sweep: the other workers stop taking runs.
            await Promise.all(
                this.players.map((player) =>
                    work(player).catch((error) => {
                        control.abort();
                        throw error;
                    }),
                ),
            );
            if (control.signal.aborted) throw abortError();
            return await this.checkerChannel().request({
                op: 'report',
                level,
                lines,
                name,
                frames,
                minClear,
                quiet,
            });
        } finally {
            options.signal?.removeEventListener('abort', stop);
            if (this.currentSweep === control) this.currentSweep = null;
        }
    }

    /**
     * One serve of a sweep played again and recorded for showing, on a
     * worker of its own so that checks and sweeps do not wait for it. A new
     * trace does not stop one running; the page waits for each.
     * @param {LevelBytes} level
     * @param {number} index the serve angle's place
     * @param {{name?: string, frames?: number}} [options]
     * @returns {Promise<import('./levelcheck.js').Trace>}
     */
    trace(level, index, { name = 'level1.txt', frames = DefaultFrames } = {}) {
        if (this.closed) return Promise.reject(new Error('the levelcheck pool was closed'));
        if (!this.tracer || this.tracer.dead) {
            this.tracer?.close();
            this.tracer = new Channel(this.createWorker());
        }
        return this.tracer.request({ op: 'trace', level, index, name, frames });
    }

    /**
     * `levelcheck --png`: the level as the game shows it before the serve,
     * as a PNG file's bytes, made on the checks' worker.
     * @param {LevelBytes} level
     * @param {{name?: string, quiet?: boolean}} [options]
     * @returns {Promise<{ exitStatus: number, output: string, png: Uint8Array }>}
     */
    picture(level, { name = 'level1.txt', quiet = false } = {}) {
        try {
            return this.checkerChannel().request({ op: 'picture', level, name, quiet });
        } catch (error) {
            return Promise.reject(error);
        }
    }

    /** The checks' worker, a new one in place of one that died. */
    checkerChannel() {
        if (this.closed) throw new Error('the levelcheck pool was closed');
        if (this.checker.dead) {
            this.checker.close();
            this.checker = new Channel(this.createWorker());
        }
        return this.checker;
    }

    /** Ends every worker; waiting requests reject. */
    close() {
        this.closed = true;
        this.currentSweep?.abort();
        this.pendingCheck?.resolve(null);
        this.pendingCheck = null;
        this.checker.close();
        this.tracer?.close();
        for (const player of this.players) player.close();
        this.players = [];
    }
}
