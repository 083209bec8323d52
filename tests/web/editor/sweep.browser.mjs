// The page's sweep against the desktop's `levelcheck --sweep --csv`, for
// a level that clears from every serve, one with loops and one with a
// walled-in brick; and a mark's serve played in the page runs as long as
// the desktop's run of it.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { levels, openEditor, runDesktop, startSite, typeText } from './pageSupport.mjs';

/** @type {Awaited<ReturnType<typeof startSite>>} */
let site;
before(async () => { site = await startSite(); });
after(async () => { await site?.close(); });

/** @param {string} csv */
function rows(csv) {
    return csv.trim().split('\n').slice(1).map((line) => line.split(','));
}

for (const file of ['clears.txt', 'loops.txt', 'walled.txt']) {
    test(`the sweep of ${file} is the desktop's`, async () => {
        const text = readFileSync(path.join(levels, file), 'latin1');
        const { page, errors } = await openEditor(site);
        await typeText(page, text);
        await page.click('#sweep-run');
        await page.waitForFunction(() => document.body.dataset.swept, { timeout: 240000 });
        // @ts-ignore: the page's own handle for its tests
        const report = await page.evaluate(() => window.quadrellEditor.lastSweep);
        const desktop = runDesktop(text, ['--sweep', '--quiet']);
        assert.equal(report.csv, desktop.csv);
        assert.equal(report.exitStatus, desktop.status);
        assert.equal(await page.$eval('#sweep-output', (e) => e.textContent), desktop.stdout);
        const desktopRows = rows(desktop.csv);
        const marks = await page.$$eval('#sweep-marks button', (b) => b.map((e) => [e.dataset.angle, e.dataset.outcome]));
        assert.deepEqual(marks, desktopRows.map((row) => [row[1], row[6]]));
        if (file === 'clears.txt') assert.ok(desktopRows.every((row) => row[6] === 'cleared'));
        else assert.ok(desktopRows.some((row) => row[6] === 'loops'));

        // The last mark's serve, played in the page to its end at the fastest speed.
        const last = desktopRows[desktopRows.length - 1];
        await page.select('#replay-speed', '64');
        await page.click('#sweep-marks li:last-child button');
        await page.waitForFunction((frames) => document.getElementById('replay')?.dataset.frame === frames,
            { timeout: 120000 }, last[3]);
        assert.deepEqual(errors, []);
    });
}
