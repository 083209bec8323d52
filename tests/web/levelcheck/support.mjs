// @ts-check
// What the levelcheck web tests share: where the built module and the
// desktop tool are (ctest passes them in), running the desktop tool, and a
// pool of node worker threads in place of the browser's Web Workers.
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { pathToFileURL, fileURLToPath } from 'node:url';
import { Worker } from 'node:worker_threads';

import { required, runDesktopLevelCheck } from '../support/desktopLevelCheck.mjs';

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
 * The desktop levelcheck on a level file, named as the page names it.
 * @param {string} file
 * @param {string} name
 * @param {string[]} options
 */
export function runDesktop(file, name, options = []) {
    return runDesktopLevelCheck({ desktop, data }, readFileSync(file, 'latin1'), name, options);
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
