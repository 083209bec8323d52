// @ts-check
// What the benchmarks share: the level checker's command line, the builds
// measured, the full level and the desktop sweep measured against; and a
// working folder for the desktop game beside the browser's.
import { spawnSync } from 'node:child_process';
import {
    copyFileSync,
    existsSync,
    mkdirSync,
    mkdtempSync,
    readFileSync,
    readdirSync,
    symlinkSync,
} from 'node:fs';
import { cpus, tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
export const desktopLevelCheck = path.join(
    process.env.QUADRELL_BUILD ?? path.join(root, 'build'),
    'tools',
    'levelcheck',
);
export const webSite = path.join(process.env.QUADRELL_WEB_BUILD ?? path.join(root, 'build-web'), 'site');

/**
 * The benchmark's options: each a positive whole number, --jobs defaulting
 * to the machine's cores. Bad usage ends the process with status 2.
 * @template {Record<string, number>} T
 * @param {string} name the benchmark's name, for its messages
 * @param {string} usage
 * @param {T} defaults option name (without --) to its default
 * @returns {{ options: T & { jobs: number }, fail: (message: string, status: number) => never }}
 */
export function benchStart(name, usage, defaults) {
    /** @type {(message: string, status: number) => never} */
    const fail = (message, status) => {
        process.stderr.write(`${name}: ${message}\n`);
        process.exit(status);
    };
    const options = /** @type {T & { jobs: number }} */ ({ jobs: cpus().length, ...defaults });
    const args = process.argv.slice(2);
    for (let i = 0; i < args.length; i += 2) {
        const key = args[i].replace(/^--/, '');
        const value = Number(args[i + 1]);
        if (!args[i].startsWith('--') || !(key in options)) fail(`unknown option ${args[i]}\n${usage}`, 2);
        if (!Number.isInteger(value) || value < 1)
            fail(`${args[i]} needs a positive whole number\n${usage}`, 2);
        /** @type {Record<string, number>} */ (options)[key] = value;
    }
    return { options, fail };
}

/**
 * Ends the benchmark (status 1) unless the desktop levelcheck, the browser
 * tests' packages and the given files of the built site are there.
 * @param {(message: string, status: number) => never} fail benchStart's
 * @param {string[]} siteFiles paths under the site, each with what it is
 * @param {{ browser?: boolean }} [options] browser: puppeteer-core is needed too
 */
export function requireBuilt(fail, siteFiles, { browser = true } = {}) {
    if (!existsSync(desktopLevelCheck))
        fail(`no desktop levelcheck at ${desktopLevelCheck}: run ./test.sh first`, 1);
    for (const file of siteFiles) {
        if (!existsSync(path.join(webSite, file))) fail(`no ${file} in ${webSite}: run ./test.sh first`, 1);
    }
    if (browser && !existsSync(path.join(root, 'node_modules/puppeteer-core'))) {
        fail('no puppeteer-core in node_modules: run tools/install-deps.sh --tests', 1);
    }
}

/** Every cell a brick: one-, two- and three-hit bricks in turn along the diagonals. */
export const fullLevel =
    Array.from({ length: 15 }, (_, r) =>
        Array.from({ length: 20 }, (_, c) => `${1 + ((r + c) % 3)} `).join(''),
    ).join('\n') + '\n';

/** @param {number[]} values @param {number} share */
export function quantile(values, share) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.min(sorted.length - 1, Math.ceil(share * sorted.length) - 1)];
}

/**
 * One `levelcheck --sweep --quiet --jobs N` of a level file in folder, as a
 * designer runs it: its time and printout; undefined output when it failed.
 * @param {string} folder @param {string} name @param {number} jobs
 */
export function desktopSweep(folder, name, jobs) {
    const start = performance.now();
    const run = spawnSync(
        desktopLevelCheck,
        ['--sweep', '--quiet', '--jobs', String(jobs), '--data', path.join(root, 'data'), name],
        { cwd: folder, encoding: 'latin1' },
    );
    const ms = performance.now() - start;
    return { ms, output: run.status === 0 || run.status === 1 ? run.stdout : undefined, stderr: run.stderr };
}

/**
 * A fresh working folder for the desktop game: the repository's pictures,
 * fonts and sounds, and the end-to-end tests' busy level as level 1 (the
 * level the browser's benchmarks play). The caller removes it.
 * @param {string} prefix
 */
export function desktopGameFolder(prefix) {
    const folder = mkdtempSync(path.join(tmpdir(), prefix));
    mkdirSync(path.join(folder, 'data/levels'), { recursive: true });
    for (const dir of ['images', 'fonts', 'sounds'])
        symlinkSync(path.join(root, 'data', dir), path.join(folder, 'data', dir));
    copyFileSync(
        path.join(root, 'tests/e2e/levels/busy/level1.txt'),
        path.join(folder, 'data/levels/level1.txt'),
    );
    return folder;
}

const TICKS = 100; // clock ticks a second in /proc

/**
 * CPU ticks used so far by a process and all its descendants (a browser's
 * renderers, GPU process and workers), from /proc.
 * @param {number} root
 */
function treeTicks(root) {
    /** @type {Map<number, number[]>} */
    const children = new Map();
    /** @type {Map<number, number>} */
    const ticks = new Map();
    for (const name of readdirSync('/proc')) {
        if (!/^\d+$/.test(name)) continue;
        try {
            const stat = readFileSync(`/proc/${name}/stat`, 'utf8');
            const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
            const pid = Number(name),
                ppid = Number(fields[1]);
            ticks.set(pid, Number(fields[11]) + Number(fields[12]));
            if (!children.has(ppid)) children.set(ppid, []);
            children.get(ppid)?.push(pid);
        } catch {
            // a process that ended meanwhile
        }
    }
    let sum = 0;
    const stack = [root];
    while (stack.length) {
        const pid = /** @type {number} */ (stack.pop());
        sum += ticks.get(pid) ?? 0;
        stack.push(...(children.get(pid) ?? []));
    }
    return sum;
}

/** Percent of one core a process tree used over ms. @param {number} pid @param {number} ms */
export async function cpu(pid, ms) {
    const before = treeTicks(pid);
    await new Promise((resolve) => setTimeout(resolve, ms));
    return ((treeTicks(pid) - before) / TICKS / (ms / 1000)) * 100;
}
