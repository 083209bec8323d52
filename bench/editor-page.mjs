// @ts-check
// The level editor page in headless Chromium, on this machine, in one run:
//  - the page's sweep of a full 300-brick level on N Web Workers beside
//    `levelcheck --sweep --jobs N` on the same file (goal: within 1.5x);
//  - from a click on the grid of a full level to levelcheck's messages
//    shown on the page, the next frame painted (goal: 100 ms at the median
//    and the 95th percentile).
//
//   usage: node bench/editor-page.mjs [--jobs N] [--runs R] [--changes C]
//          (after ./test.sh: build/ and build-web/; QUADRELL_BUILD and
//          QUADRELL_WEB_BUILD name other build folders)
// Exit status: 0 measured, 1 a build is missing, 2 bad usage.
import { spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { cpus, tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const usage = 'usage: node bench/editor-page.mjs [--jobs N] [--runs R] [--changes C]';

/** @param {string} message @param {number} status */
function fail(message, status) {
    process.stderr.write(`editor-page: ${message}\n`);
    process.exit(status);
}

let jobs = cpus().length;
let runs = 3;
let changes = 60;
const args = process.argv.slice(2);
for (let i = 0; i < args.length; i += 2) {
    const value = Number(args[i + 1]);
    if (!Number.isInteger(value) || value < 1) fail(`${args[i]} needs a positive whole number\n${usage}`, 2);
    if (args[i] === '--jobs') jobs = value;
    else if (args[i] === '--runs') runs = value;
    else if (args[i] === '--changes') changes = value;
    else fail(`unknown option ${args[i]}\n${usage}`, 2);
}

const desktop = path.join(process.env.QUADRELL_BUILD ?? path.join(root, 'build'), 'tools', 'levelcheck');
const site = path.join(process.env.QUADRELL_WEB_BUILD ?? path.join(root, 'build-web'), 'site');
if (!existsSync(desktop)) fail(`no desktop levelcheck at ${desktop}: run ./test.sh first`, 1);
if (!existsSync(path.join(site, 'editor.html'))) fail(`no editor page in ${site}: run ./test.sh first`, 1);
if (!existsSync(path.join(root, 'tests/web/node_modules/puppeteer-core'))) {
    fail('no puppeteer-core in tests/web/node_modules: run tools/install-deps.sh --tests', 1);
}
const { launchBrowser, serveFolder } = await import('../tests/web/support/browser.mjs');

// Every cell a brick: one-, two- and three-hit bricks in turn along the diagonals.
const rows = [];
for (let r = 0; r < 15; ++r) {
    let line = '';
    for (let c = 0; c < 20; ++c) line += `${1 + ((r + c) % 3)} `;
    rows.push(line);
}
const level = rows.join('\n') + '\n';

/** @param {number[]} values @param {number} share */
function quantile(values, share) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.min(sorted.length - 1, Math.ceil(share * sorted.length) - 1)];
}
const median = (/** @type {number[]} */ values) => quantile(values, 0.5);

const folder = mkdtempSync(path.join(tmpdir(), 'editor-bench-'));
writeFileSync(path.join(folder, 'level1.txt'), level);
const server = await serveFolder(site);
const browser = await launchBrowser();
try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 900 });
    await page.goto(`${server.url}editor.html?workers=${jobs}`);
    const settled = () => page.waitForFunction(() => {
        const { changed, checked } = document.body.dataset;
        return changed !== undefined && changed === checked;
    }, { timeout: 60000 });
    await settled();
    await page.$eval('#level-text', (t, text) => {
        const area = /** @type {HTMLTextAreaElement} */ (t);
        area.value = text;
        area.dispatchEvent(new Event('input'));
    }, level);
    await settled();

    const web = [];
    const native = [];
    for (let run = 0; run < runs; ++run) {
        web.push(await page.evaluate(async () => {
            delete document.body.dataset.swept;
            const started = performance.now();
            document.getElementById('sweep-run')?.click();
            await new Promise((resolve) => {
                const watch = new MutationObserver(() => {
                    if (document.body.dataset.swept) resolve(watch.disconnect());
                });
                watch.observe(document.body, { attributes: true });
            });
            return performance.now() - started;
        }));
        const started = process.hrtime.bigint();
        const swept = spawnSync(desktop, ['--sweep', '--quiet', '--jobs', String(jobs), '--data', path.join(root, 'data'),
            'level1.txt'], { cwd: folder, encoding: 'utf8' });
        native.push(Number(process.hrtime.bigint() - started) / 1e6);
        if (swept.status !== 0 && swept.status !== 1) fail(`the desktop sweep failed: ${swept.stderr}`, 1);
    }
    const ratio = median(web) / median(native);
    console.log(`sweep of a full 300-brick level, ${jobs} workers, ${runs} runs: page median ${median(web).toFixed(0)} ms, ` +
        `desktop (--jobs ${jobs}) median ${median(native).toFixed(0)} ms: ${ratio.toFixed(2)}x (goal 1.5x)`);

    // A click paints one cell another kind of brick, so the grid stays
    // full; the time runs from the press to the paint after the messages
    // are in the page.
    const box = await page.$eval('#grid', (c) => {
        const r = c.getBoundingClientRect();
        return { x: r.x, y: r.y, width: r.width, height: r.height };
    });
    // The clock starts when the press reaches the page.
    await page.evaluate(() => document.getElementById('grid')?.addEventListener('pointerdown', () => {
        // @ts-ignore: the benchmark's own mark
        window.pressedAt = performance.now();
    }, { capture: true }));
    const times = [];
    for (let i = 0; i < changes; ++i) {
        // Each change paints a brick of another kind than the cell's now.
        const col = i % 20;
        const row = Math.floor(i / 20) % 15;
        const lap = Math.floor(i / 300);
        await page.keyboard.press(String(1 + ((row + col + 1 + lap) % 3)));
        const seq = await page.evaluate(() => Number(document.body.dataset.changed ?? 0) + 1);
        await page.mouse.click(box.x + ((col * 16 + 8) / 320) * box.width, box.y + ((20 + row * 10 + 5) / 171) * box.height);
        times.push(await page.evaluate(async (seq) => {
            await new Promise((resolve) => {
                const done = () => Number(document.body.dataset.checked) >= seq;
                if (done()) return resolve(undefined);
                const watch = new MutationObserver(() => {
                    if (done()) resolve(watch.disconnect());
                });
                watch.observe(document.body, { attributes: true });
            });
            await new Promise((resolve) => requestAnimationFrame(resolve));
            // @ts-ignore: set by the press
            return performance.now() - window.pressedAt;
        }, seq));
    }
    console.log(`change on a full grid to levelcheck's messages shown, ${changes} changes: ` +
        `median ${median(times).toFixed(1)} ms, 95th percentile ${quantile(times, 0.95).toFixed(1)} ms (goal 100 ms)`);
} finally {
    await browser.close();
    await server.close();
    rmSync(folder, { recursive: true, force: true });
}
