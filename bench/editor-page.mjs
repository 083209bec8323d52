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
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';

import {
    benchStart,
    desktopSweep,
    fullLevel as level,
    quantile,
    requireBuilt,
    webSite as site,
} from './support.mjs';

const usage = 'usage: node bench/editor-page.mjs [--jobs N] [--runs R] [--changes C]';
const {
    options: { jobs, runs, changes },
    fail,
} = benchStart('editor-page', usage, { runs: 3, changes: 60 });

requireBuilt(fail, ['editor.html']);
const { launchBrowser, serveFolder } = await import('../tests/web/support/browser.mjs');

const median = (/** @type {number[]} */ values) => quantile(values, 0.5);

const folder = mkdtempSync(path.join(tmpdir(), 'editor-bench-'));
writeFileSync(path.join(folder, 'level1.txt'), level);
const server = await serveFolder(site);
const browser = await launchBrowser();
try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 900 });
    await page.goto(`${server.url}editor.html?workers=${jobs}`);
    const settled = () =>
        page.waitForFunction(
            () => {
                const { changed, checked } = document.body.dataset;
                return changed !== undefined && changed === checked;
            },
            { timeout: 60000 },
        );
    await settled();
    await page.$eval(
        '#level-text',
        (t, text) => {
            const area = /** @type {HTMLTextAreaElement} */ (t);
            area.value = text;
            area.dispatchEvent(new Event('input'));
        },
        level,
    );
    await settled();

    const web = [];
    const native = [];
    for (let run = 0; run < runs; ++run) {
        web.push(
            await page.evaluate(async () => {
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
            }),
        );
        const swept = desktopSweep(folder, 'level1.txt', jobs);
        native.push(swept.ms);
        if (swept.output === undefined) fail(`the desktop sweep failed: ${swept.stderr}`, 1);
    }
    const ratio = median(web) / median(native);
    console.log(
        `sweep of a full 300-brick level, ${jobs} workers, ${runs} runs: page median ${median(web).toFixed(0)} ms, ` +
            `desktop (--jobs ${jobs}) median ${median(native).toFixed(0)} ms: ${ratio.toFixed(2)}x (goal 1.5x)`,
    );

    // A click paints one cell another kind of brick, so the grid stays
    // full; the time runs from the press to the paint after the messages
    // are in the page.
    const box = await page.$eval('#grid', (c) => {
        const r = c.getBoundingClientRect();
        return { x: r.x, y: r.y, width: r.width, height: r.height };
    });
    // The clock starts when the press reaches the page.
    await page.evaluate(() =>
        document.getElementById('grid')?.addEventListener(
            'pointerdown',
            () => {
                // @ts-ignore: the benchmark's own mark
                window.pressedAt = performance.now();
            },
            { capture: true },
        ),
    );
    const times = [];
    for (let i = 0; i < changes; ++i) {
        // Each change paints a brick of another kind than the cell's now.
        const col = i % 20;
        const row = Math.floor(i / 20) % 15;
        const lap = Math.floor(i / 300);
        await page.keyboard.press(
            /** @type {import('puppeteer-core').KeyInput} */ (String(1 + ((row + col + 1 + lap) % 3))),
        );
        const seq = await page.evaluate(() => Number(document.body.dataset.changed ?? 0) + 1);
        await page.mouse.click(
            box.x + ((col * 16 + 8) / 320) * box.width,
            box.y + ((20 + row * 10 + 5) / 171) * box.height,
        );
        times.push(
            await page.evaluate(async (seq) => {
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
            }, seq),
        );
    }
    console.log(
        `change on a full grid to levelcheck's messages shown, ${changes} changes: ` +
            `median ${median(times).toFixed(1)} ms, 95th percentile ${quantile(times, 0.95).toFixed(1)} ms (goal 100 ms)`,
    );
} finally {
    await browser.close();
    await server.close();
    rmSync(folder, { recursive: true, force: true });
}
