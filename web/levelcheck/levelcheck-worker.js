// @ts-check
// A levelcheck worker: loads the module once, then answers requests by
// message, one at a time, in the order they come. Started by
// levelcheck-pool.js as a module Web Worker, or as a node worker thread.
//
// Request:  {id, op: 'check', level, name?, quiet?}
//           {id, op: 'angles'}
//           {id, op: 'play', level, index, name?, frames?}
//           {id, op: 'trace', level, index, name?, frames?}
//           {id, op: 'report', level, lines, name?, frames?, minClear?, quiet?}
//           {id, op: 'picture', level, name?, quiet?}
// Answer:   {id, ok: true, result}  (result as levelcheck.js returns it)
//           {id, ok: false, error}  (a message for the designer)
import { loadLevelCheck } from './levelcheck.js';

/**
 * @typedef {{post: (message: any) => void, listen: (handler: (message: any) => void) => void}} Port
 */

/** @returns {Promise<Port>} */
async function connect() {
    // @ts-ignore: WorkerGlobalScope exists in browser workers only
    if (typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope) {
        return {
            post: (message) => self.postMessage(message),
            listen: (handler) =>
                self.addEventListener('message', (event) =>
                    handler(/** @type {MessageEvent} */ (event).data),
                ),
        };
    }
    const { parentPort } = await import('node:worker_threads');
    if (!parentPort) throw new Error('levelcheck-worker.js runs as a worker');
    const port = parentPort;
    return { post: (message) => port.postMessage(message), listen: (handler) => port.on('message', handler) };
}

/**
 * @param {import('./levelcheck.js').LevelCheck} checker
 * @param {any} request
 */
function answer(checker, request) {
    const options = {
        name: request.name,
        quiet: request.quiet,
        frames: request.frames,
        minClear: request.minClear,
    };
    switch (request.op) {
        case 'check':
            return checker.check(request.level, options);
        case 'angles':
            return checker.serveAngles();
        case 'play':
            return checker.play(request.level, request.index, options);
        case 'trace':
            return checker.trace(request.level, request.index, options);
        case 'report':
            return checker.report(request.level, request.lines, options);
        case 'picture':
            return checker.picture(request.level, options);
        default:
            throw new Error(`unknown request ${request.op}`);
    }
}

const port = await connect();
const loading = loadLevelCheck();
// A module that fails to load fails every request with the reason.
loading.catch(() => {});
port.listen(async (request) => {
    const id = request?.id;
    try {
        const checker = await loading;
        port.post({ id, ok: true, result: answer(checker, request) });
    } catch (error) {
        port.post({ id, ok: false, error: error instanceof Error ? error.message : String(error) });
    }
});
