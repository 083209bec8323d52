// @ts-check
// What the web tests that compare with the desktop share: the settings
// ctest passes in, and the desktop levelcheck run on a level's text.
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';

/** A setting ctest passes in; a clear failure when a test is run alone. @param {string} name */
export function required(name) {
    const value = process.env[name];
    if (!value) throw new Error(`${name} is not set: run these tests through ctest (label web)`);
    return value;
}

/**
 * The desktop levelcheck on a level's bytes (latin1 text), written in a
 * folder of its own under the file name the page gives it: its printout,
 * exit status and (with --sweep) CSV.
 * @param {{ desktop: string, data: string }} tool the levelcheck program and the game's data folder
 * @param {string} text
 * @param {string} name
 * @param {string[]} [options]
 */
export function runDesktopLevelCheck({ desktop, data }, text, name, options = []) {
    const folder = mkdtempSync(path.join(tmpdir(), 'levelcheck-desktop-'));
    try {
        writeFileSync(path.join(folder, name), text, 'latin1');
        const csv = options.includes('--sweep') ? ['--csv', 'runs.csv'] : [];
        const run = spawnSync(desktop, [...options, ...csv, '--data', data, name], {
            cwd: folder,
            encoding: 'latin1',
        });
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
