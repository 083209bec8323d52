// @ts-check
// What the levelcheck web tests share: where the built module and the
// desktop tool are (ctest passes them in), running the desktop tool, and a
// pool of node worker threads in place of the browser's Web Workers.
import { spawnSync } from 'node:child_process';
import { mkdtempSync, copyFileSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL, fileURLToPath } from 'node:url';
import { Worker } from 'node:worker_threads';

function required(name) {
    const value = process.env[name];
    if (!value) throw new Error(`${name} is not set: run these tests through ctest (label web)`);
    return value;
}

export const site = required('LEVELCHECK_SITE');
export const desktop = required('LEVELCHECK_DESKTOP');
export const data = required('QUADRELL_DATA');
export const levels = path.join(path.dirname(fileURLToPath(import.meta.url)), 'levels');

/** @param {string} file a file of the built levelcheck site folder */
export function siteUrl(file) {
    return pathToFileURL(path.join(site, file));
}

const { LevelCheckPool } = await import(siteUrl('levelcheck-pool.js').href);
const { loadLevelCheck } = await import(siteUrl('levelcheck.js').href);
export { loadLevelCheck };

/** @param {number} size */
export function newPool(size) {
    return new LevelCheckPool({ size, createWorker: () => new Worker(siteUrl('levelcheck-worker.js')) });
}

/**
 * The desktop levelcheck on a copy of a level file in a folder of its own,
 * named as the page names it: its printout, exit status and CSV.
 * @param {string} file
 * @param {string} name
 * @param {string[]} options
 */
export function runDesktop(file, name, options = []) {
    const folder = mkdtempSync(path.join(tmpdir(), 'levelcheck-web-'));
    try {
        copyFileSync(file, path.join(folder, name));
        const csv = options.includes('--sweep') ? ['--csv', 'runs.csv'] : [];
        const run = spawnSync(desktop, [...options, ...csv, '--data', data, name], { cwd: folder, encoding: 'latin1' });
        if (run.error) throw run.error;
        return {
            status: run.status,
            stdout: run.stdout,
            csv: csv.length ? readFileSync(path.join(folder, 'runs.csv'), 'latin1') : '',
        };
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}

/**
 * levelcheck's located messages in its printout, as the page gets them.
 * @param {string} stdout
 * @param {string} name
 */
export function printedMessages(stdout, name) {
    const pattern = new RegExp(`^${name.replace('.', '\\.')}:(\\d+):(\\d+): (error|warning): (.*)$`);
    return stdout.split('\n').flatMap((line) => {
        const m = pattern.exec(line);
        return m ? [{ severity: m[3], line: Number(m[1]), column: Number(m[2]), text: m[4] }] : [];
    });
}
