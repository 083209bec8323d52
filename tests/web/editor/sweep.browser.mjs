// The page's sweep against the desktop's `levelcheck --sweep --csv`, for
// a level that clears from every serve, one with loops, one with a
// walled-in brick and one that cages the ball (an error, listed with
// levelcheck's and marked apart); and a mark's serve played in the page
// runs as long as the desktop's run of it.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { levels, openEditor, runDesktop, startSite, typeText } from './pageSupport.mjs';

/** @type {Awaited<ReturnType<typeof startSite>>} */
let site;
before(async () => {
    site = await startSite();
});
after(async () => {
    await site?.close();
});

/** @param {string} csv */
function rows(csv) {
    return csv
        .trim()
        .split('\n')
        .slice(1)
        .map((line) => line.split(','));
}

const CAGE =
    '. . . . . . . . . . . . . . . . . . . . \n1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 \n\n\n' +
    '# # # # # . # # # # # # # . # # # # # # \n';

for (const file of ['clears.txt', 'loops.txt', 'walled.txt', 'cage']) {
    test(`the sweep of ${file} is the desktop's`, async () => {
        const text = file === 'cage' ? CAGE : readFileSync(path.join(levels, file), 'latin1');
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
        const marks = await page.$$eval('#sweep-marks button', (b) =>
            b.map((e) => [e.dataset.angle, e.dataset.outcome]),
        );
        assert.deepEqual(
            marks,
            desktopRows.map((row) => [row[1], row[6]]),
        );
        if (file === 'clears.txt') assert.ok(desktopRows.every((row) => row[6] === 'cleared'));
        else assert.ok(desktopRows.some((row) => row[6] === 'loops'));
        // Each outcome's mark has a shape of its own; a caged serve's error is in the check's list, its brick marked.
        const glyphs = await page.$$eval('#sweep-marks button', (b) =>
            b.map((e) => [e.dataset.outcome, e.textContent]),
        );
        assert.equal(new Set(glyphs.map(String)).size, new Set(glyphs.map(([o]) => o)).size);
        const cageErrors = desktop.stdout.split('\n').filter((l) => / error: .* cages the ball /.test(l));
        const listed = await page.$$eval('#messages .from-sweep button', (b) => b.map((e) => e.textContent));
        assert.deepEqual(
            listed,
            cageErrors.map((l) => `${l} (sweep)`),
        );
        if (file === 'cage') {
            assert.ok(cageErrors.length > 0);
            assert.ok((await page.evaluate(() => String(document.body.dataset.errorCells))).includes('2,4'));
        }

        // The last mark's serve, played in the page to its end at the fastest speed.
        const last = desktopRows[desktopRows.length - 1];
        await page.select('#replay-speed', '64');
        await page.click('#sweep-marks li:last-child button');
        await page.waitForFunction(
            (frames) => document.getElementById('replay')?.dataset.frame === frames,
            { timeout: 120000 },
            last[3],
        );
        assert.deepEqual(errors, []);
    });
}
