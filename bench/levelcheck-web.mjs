// @ts-check
// The browser's levelcheck against the desktop's, on this machine, in one
// run: the sweep of a full 300-brick level in N node worker threads (the
// WebAssembly module the editor's Web Workers load) beside
// `levelcheck --sweep --jobs N`, and the check of a full grid, in the
// worker's own thread and through a worker's messages.
//
//   usage: node --no-experimental-fetch bench/levelcheck-web.mjs [--jobs N] [--runs R]
//          (after ./test.sh or both builds: build/ and build-web/; QUADRELL_BUILD and
//          QUADRELL_WEB_BUILD name other build folders)
// Exit status: 0 measured, 1 a build or a result is missing, 2 bad usage.
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { Worker } from 'node:worker_threads';

import { benchStart, desktopSweep, fullLevel as level, quantile, requireBuilt, webSite } from './support.mjs';

const usage = 'usage: node --no-experimental-fetch bench/levelcheck-web.mjs [--jobs N] [--runs R]';
const {
    options: { jobs, runs },
    fail,
} = benchStart('levelcheck-web', usage, { runs: 3 });

const site = path.join(webSite, 'levelcheck');
requireBuilt(fail, ['levelcheck/levelcheck-core.wasm'], { browser: false });
const { LevelCheckPool } = await import(pathToFileURL(path.join(site, 'levelcheck-pool.js')).href);
const { loadLevelCheck } = await import(pathToFileURL(path.join(site, 'levelcheck.js')).href);

const folder = mkdtempSync(path.join(tmpdir(), 'levelcheck-bench-'));
const name = 'level1.txt';
writeFileSync(path.join(folder, name), level);

/** @param {number} ms */
const show = (ms) => (ms >= 100 ? `${(ms / 1000).toFixed(2)} s` : `${ms.toFixed(2)} ms`);

try {
    // The desktop sweep, as a designer runs it.
    const desktopTimes = [];
    let desktopOutput = '';
    for (let i = 0; i < runs; ++i) {
        const run = desktopSweep(folder, name, jobs);
        desktopTimes.push(run.ms);
        if (run.output === undefined) fail(`the desktop levelcheck failed: ${run.stderr}`, 1);
        desktopOutput = /** @type {string} */ (run.output);
    }

    // The same sweep in worker threads: the first with the workers' start
    // (module load and scene) included, then warm.
    const pool = new LevelCheckPool({
        size: jobs,
        createWorker: () => new Worker(path.join(site, 'levelcheck-worker.js')),
    });
    const webTimes = [];
    let webOutput = '';
    for (let i = 0; i <= runs; ++i) {
        const start = performance.now();
        const result = await pool.sweep(level, { name, quiet: true });
        webTimes.push(performance.now() - start);
        webOutput = result.output;
    }
    if (webOutput !== desktopOutput) fail('the web sweep printed something else than the desktop sweep', 1);

    // The check of the full grid: in the worker's thread (the module alone)
    // and through a worker, as the page asks for it (message, check, answer).
    const checker = await loadLevelCheck();
    const inThread = [];
    for (let i = 0; i < 200; ++i) {
        const start = performance.now();
        checker.check(level, { name });
        inThread.push(performance.now() - start);
    }
    const viaWorker = [];
    for (let i = 0; i < 200; ++i) {
        const start = performance.now();
        await pool.check(level, { name });
        viaWorker.push(performance.now() - start);
    }
    pool.close();

    const desktopMedian = quantile(desktopTimes, 0.5);
    const webMedian = quantile(webTimes.slice(1), 0.5);
    console.log(`full 300-brick level, ${jobs} jobs, median of ${runs} runs:`);
    console.log(`  ${desktopOutput.split('\n').find((l) => l.includes('sweep:')) ?? ''}`);
    console.log(`  desktop levelcheck --sweep --jobs ${jobs}:  ${show(desktopMedian)}`);
    console.log(
        `  web sweep in ${jobs} workers (warm):       ${show(webMedian)}  (${(webMedian / desktopMedian).toFixed(2)}x the desktop; goal at most 1.5x)`,
    );
    console.log(`  web sweep, first (workers starting):  ${show(webTimes[0])}`);
    console.log('check of the full grid, 200 times:');
    console.log(
        `  in the worker's thread:  median ${show(quantile(inThread, 0.5))}, 95th percentile ${show(quantile(inThread, 0.95))}`,
    );
    console.log(
        `  through a worker:        median ${show(quantile(viaWorker, 0.5))}, 95th percentile ${show(quantile(viaWorker, 0.95))}  (goal far below 100 ms)`,
    );
} finally {
    rmSync(folder, { recursive: true, force: true });
}
