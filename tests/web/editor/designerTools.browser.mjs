// The designer's tools on the page: a region selected and moved with the
// mouse and the keys, the gallery opening each shipped level with its
// file's exact text, the difficulty shown against the desktop's sweep of
// the same text, and a link to one level.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { readSweepSummary } from '../../../web/editor/difficulty.js';

import {
    data,
    drag,
    levelText,
    levels,
    openEditor,
    runDesktop,
    settled,
    startSite,
    typeText,
} from './pageSupport.mjs';

/** @type {Awaited<ReturnType<typeof startSite>>} */
let site;
before(async () => {
    site = await startSite();
});
after(async () => {
    await site?.close();
});

test('a region selected with the mouse moves by drag (one step) and by the arrow keys (a step each), and undoes so', async () => {
    const { page, errors } = await openEditor(site);
    await typeText(page, '1 2 \n3 \n\n. . . . . # # \n');
    await page.click('[data-region="select"]');
    await drag(page, [0, 0], [1, 1]);
    assert.equal(
        await page.$eval('#regions', (e) => /** @type {HTMLElement} */ (e).dataset.selection),
        '0,0,1,1',
    );
    // Dragged from inside the selection four cells right: a move.
    await drag(page, [1, 0], [5, 0]);
    const moved = '. . . . 1 2 \n. . . . 3 \n\n. . . . . # # \n';
    assert.equal(await levelText(page), moved);
    // Down two rows with the keys: its bricks land on the solid row, keeping the solid brick under its hole.
    for (const key of /** @type {const} */ (['ArrowDown', 'ArrowDown'])) {
        await page.keyboard.press(key);
        await settled(page);
    }
    assert.equal(await levelText(page), '\n\n. . . . 1 2 \n. . . . 3 # # \n');
    assert.equal(
        await page.$eval('#regions', (e) => /** @type {HTMLElement} */ (e).dataset.selection),
        '4,2,5,3',
    );
    await page.keyboard.press('h');
    await settled(page);
    assert.equal(await levelText(page), '\n\n. . . . 2 1 \n. . . . # 3 # \n');
    const undo = async () => {
        await page.keyboard.down('Control');
        await page.keyboard.press('z');
        await page.keyboard.up('Control');
        await settled(page);
    };
    for (let i = 0; i < 3; ++i) await undo();
    assert.equal(await levelText(page), moved);
    // The drag, over several cells, was one step.
    await undo();
    assert.equal(await levelText(page), '1 2 \n3 \n\n. . . . . # # \n');
    await page.keyboard.down('Control');
    await page.keyboard.press('y');
    await page.keyboard.up('Control');
    await settled(page);
    // Shift+arrow moves the whole level; one that would drop a brick off the edge is refused.
    await page.keyboard.down('Shift');
    await page.keyboard.press('ArrowUp');
    await page.keyboard.up('Shift');
    assert.match(await page.$eval('#notice', (e) => e.textContent), /cannot move that way/);
    assert.equal(await levelText(page), moved);
    assert.deepEqual(errors, []);
});

test('the gallery opens every shipped level N as a new level with exactly data/levels/levelN.txt', async () => {
    const { page, errors } = await openEditor(site);
    for (let n = 1; n <= 31; ++n) {
        await page.click('#gallery-open');
        await page.waitForSelector(`#gallery-list button[data-level="${n}"]`, {
            visible: true,
            timeout: 60000,
        });
        await page.click(`#gallery-list button[data-level="${n}"]`);
        await settled(page);
        assert.equal(
            await levelText(page),
            readFileSync(path.join(data, 'levels', `level${n}.txt`), 'latin1'),
            `level ${n}`,
        );
        assert.equal(await page.$eval('#file-name', (e) => e.textContent), `level${n + 1}.txt`);
    }
    assert.equal(await page.$eval('#title', (e) => /** @type {HTMLInputElement} */ (e).value), 'Mosaic');
    assert.deepEqual(errors, []);
});

for (const file of ['clears.txt', 'loops.txt']) {
    test(`the difficulty shown for ${file} is the desktop sweep's, and nothing runs once it is shown`, async () => {
        const text = readFileSync(path.join(levels, file), 'latin1');
        const { page, errors } = await openEditor(site);
        await typeText(page, text);
        await page.waitForFunction(() => document.getElementById('difficulty')?.dataset.state === 'done', {
            timeout: 120000,
        });
        const shown = await page.$eval('#difficulty', (e) => {
            const { share, minutes, caged } = /** @type {HTMLElement} */ (e).dataset;
            return { share, minutes, caged, text: e.textContent };
        });
        const desktop = readSweepSummary(runDesktop(text, ['--sweep', '--quiet']).stdout);
        assert.ok(desktop);
        assert.equal(Number(shown.share), desktop.share);
        assert.equal(shown.minutes, desktop.medianMinutes === null ? '' : String(desktop.medianMinutes));
        assert.equal(Number(shown.caged), desktop.caged);
        assert.ok(shown.text?.includes(`(${desktop.share.toFixed(1)}%)`), shown.text);
        // @ts-ignore: the page's own handle for its tests
        assert.equal(await page.evaluate(() => window.quadrellEditor.pool.currentSweep), null);
        assert.deepEqual(errors, []);
    });
}

test("a link to the open level opens that level alone, and this page's address keeps no fragment", async () => {
    const { page, errors } = await openEditor(site);
    await typeText(page, '1 1 1 \n');
    await page.click('#add-level');
    await settled(page);
    await typeText(page, '3S3 # \n');
    await page.click('#share-level');
    await page.waitForFunction(() => document.body.dataset.link);
    const link = await page.$eval('#link-out', (e) => /** @type {HTMLInputElement} */ (e).value);
    assert.equal(new URL(page.url()).hash, '');
    // Opened in a fresh browser: a new set of that one level.
    const other = await (await site.browser.createBrowserContext()).newPage();
    await other.goto(link);
    await settled(other);
    // @ts-ignore: the page's own handle for its tests
    assert.equal(await other.evaluate(() => window.quadrellEditor.set.length), 1);
    assert.equal(await levelText(other), '3S3 # \n');
    assert.deepEqual(errors, []);
});
