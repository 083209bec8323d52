// @ts-check
// The editor's difficulty while drawing, in headless Chromium on N
// workers (default 2):
//  - from the last change to a level's text to its difficulty on the page
//    (the settling pause, the background sweep and the reading of it), for
//    the median shipped level (by the README's minutes to clear) and a full
//    300-brick level, beside `levelcheck --sweep --jobs N` on the same file
//    (goal: the median level within 2 s);
//  - the CPU of all of Chromium's processes while the page sits with its
//    difficulty shown and nothing changes (goal: under 2% of a core).
//
//   usage: node bench/editor-difficulty.mjs [--jobs N] [--runs R] [--idle S]
//          (after ./test.sh: build/ and build-web/; QUADRELL_BUILD and
//          QUADRELL_WEB_BUILD name other build folders)
// Exit status: 0 measured, 1 a build is missing, 2 bad usage.
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';

import {
    benchStart,
    cpu,
    desktopSweep,
    fullLevel,
    quantile,
    requireBuilt,
    webSite as site,
} from './support.mjs';

const usage = 'usage: node bench/editor-difficulty.mjs [--jobs N] [--runs R] [--idle S]';
const {
    options: { jobs, runs, idle },
    fail,
} = benchStart('editor-difficulty', usage, { jobs: 2, runs: 5, idle: 10 });

requireBuilt(fail, ['editor.html', 'editor/shipped-levels.json']);
const shippedFile = path.join(site, 'editor', 'shipped-levels.json');
const { launchBrowser, serveFolder } = await import('../tests/web/support/browser.mjs');

/** @type {{number: number, name: string, minutes: number, text: string}[]} */
const shipped = JSON.parse(readFileSync(shippedFile, 'utf8')).levels;
const middle = [...shipped].sort((a, b) => a.minutes - b.minutes || a.number - b.number)[
    Math.floor(shipped.length / 2)
];
const cases = [
    {
        label: `the median shipped level (${middle.number}, ${middle.name}, ${middle.minutes} min)`,
        text: middle.text,
    },
    { label: 'a full 300-brick level', text: fullLevel },
];
const median = (/** @type {number[]} */ values) => quantile(values, 0.5);

const folder = mkdtempSync(path.join(tmpdir(), 'editor-difficulty-'));
const server = await serveFolder(site);
const browser = await launchBrowser();
try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 900 });
    await page.goto(`${server.url}editor.html?workers=${jobs}`);
    await page.waitForFunction(() => document.body.dataset.checked !== undefined, { timeout: 60000 });
    for (const { label, text } of cases) {
        const times = [];
        for (let run = 0; run < runs; ++run) {
            // Each run's text is new to the page (an empty row more at the end
            // each time: the same level in play), so none is answered from
            // the figures the page keeps.
            const changed = text + '\n'.repeat(run + 1);
            times.push(
                await page.evaluate(async (value) => {
                    const area = /** @type {HTMLTextAreaElement} */ (document.getElementById('level-text'));
                    const line = /** @type {HTMLElement} */ (document.getElementById('difficulty'));
                    const started = performance.now();
                    area.value = value;
                    area.dispatchEvent(new Event('input'));
                    // Shown: the state is done and the new text's check has come back.
                    await new Promise((resolve) => {
                        const done = () =>
                            line.dataset.state === 'done' &&
                            document.body.dataset.checked === document.body.dataset.changed;
                        const watch = new MutationObserver(() => {
                            if (done()) resolve(watch.disconnect());
                        });
                        watch.observe(document.body, {
                            attributes: true,
                            subtree: true,
                            attributeFilter: ['data-state', 'data-checked'],
                        });
                    });
                    await new Promise((resolve) => requestAnimationFrame(resolve));
                    return performance.now() - started;
                }, changed),
            );
        }
        writeFileSync(path.join(folder, 'level1.txt'), text);
        const native = desktopSweep(folder, 'level1.txt', jobs);
        if (native.output === undefined) fail(`the desktop sweep failed: ${native.stderr}`, 1);
        console.log(
            `${label}: change to difficulty shown, ${jobs} workers, ${runs} runs: median ${median(times).toFixed(0)} ms, ` +
                `slowest ${Math.max(...times).toFixed(0)} ms; levelcheck --sweep --jobs ${jobs}: ${native.ms.toFixed(0)} ms`,
        );
        console.log(`  shown: ${await page.$eval('#difficulty', (e) => e.textContent)}`);
    }
    const pid = /** @type {number} */ (browser.process()?.pid);
    const share = await cpu(pid, idle * 1000);
    console.log(
        `idle with the difficulty shown, ${idle} s: ${share.toFixed(2)}% of a core, all of Chromium's processes (goal under 2%)`,
    );
} finally {
    await browser.close();
    await server.close();
    rmSync(folder, { recursive: true, force: true });
}
