// The editor page in headless Chromium: the mouse and the keys give the
// level text the model writes, text typed is read by the game's loader,
// and levelcheck's located messages come as the designer draws.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';

import { Grid, cellOf } from '../../../web/editor/grid.js';
import { writeLevelText } from '../../../web/editor/levelText.js';
import {
    cellPoint,
    drag,
    gridCode,
    levelText,
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

/** A brick at a place: column, row, kind and whether it holds a capsule. */
/** @typedef {[number, number, import('../../../web/editor/grid.js').Kind, boolean?]} Brick */

/**
 * The text the model writes for bricks at places.
 * @param {Brick[]} bricks
 */
function textOf(bricks) {
    const grid = new Grid();
    for (const [col, row, kind, capsule] of bricks) grid.put(col, row, cellOf(kind, capsule));
    return writeLevelText(grid);
}

test('paint, erase, capsules, mirrors, fill, undo and redo give the text the model writes', async () => {
    const { page, errors } = await openEditor(site);
    await page.keyboard.press('2');
    await drag(page, [0, 0], [3, 0]);
    /** @type {Brick[]} */
    const row0 = [
        [0, 0, 2],
        [1, 0, 2],
        [2, 0, 2],
        [3, 0, 2],
    ];
    assert.equal(await levelText(page), textOf(row0));

    await page.keyboard.press('s');
    await drag(page, [1, 0]);
    await page.keyboard.press('4');
    await page.click('#mirror-lr');
    await page.click('#mirror-tb');
    await drag(page, [1, 2]);
    /** @type {Brick[]} */
    const solids = [
        [1, 2, 'solid'],
        [18, 2, 'solid'],
        [1, 12, 'solid'],
        [18, 12, 'solid'],
    ];
    /** @type {Brick[]} */
    const drawn = [[0, 0, 2], [1, 0, 2, true], [2, 0, 2], [3, 0, 2], ...solids];
    assert.equal(await levelText(page), textOf(drawn));

    // A rectangle with both mirrors, then its undo and redo by all three keys.
    await page.click('#mirror-tb');
    await page.keyboard.press('f');
    await page.keyboard.press('3');
    await drag(page, [5, 5], [6, 6]);
    /** @type {Brick[]} */
    const filled = [
        ...drawn,
        [5, 5, 3],
        [6, 5, 3],
        [5, 6, 3],
        [6, 6, 3],
        [13, 5, 3],
        [14, 5, 3],
        [13, 6, 3],
        [14, 6, 3],
    ];
    assert.equal(await levelText(page), textOf(filled));
    await page.keyboard.down('Control');
    await page.keyboard.press('z');
    await settled(page);
    assert.equal(await levelText(page), textOf(drawn));
    await page.keyboard.down('Shift');
    await page.keyboard.press('Z');
    await page.keyboard.up('Shift');
    await settled(page);
    assert.equal(await levelText(page), textOf(filled));
    await page.keyboard.press('z');
    await page.keyboard.press('y');
    await page.keyboard.up('Control');
    await settled(page);
    assert.equal(await levelText(page), textOf(filled));

    // The right button erases, mirrored.
    await page.keyboard.press('f');
    await drag(page, [0, 0], [0, 0], { button: 'right' });
    assert.equal(await levelText(page), textOf(filled.filter(([c, r]) => r !== 0 || c !== 0)));
    assert.match(
        await page.$eval('#counts', (e) => e.textContent),
        /^15 bricks \(1-hit 0, 2-hit 3, 3-hit 8, solid 4\), 1 power-up bricks; /,
    );
    assert.deepEqual(errors, []);
});

test("text typed or pasted is read by the game's loader and redrawn", async () => {
    const { page } = await openEditor(site);
    // An odd-length line: the loader takes its line feed as the last
    // brick's modifier, so the next row runs on in the same row.
    await typeText(page, '1 2\n3S\n\n# ');
    const expected = new Grid();
    expected.put(0, 0, cellOf(1));
    expected.put(1, 0, cellOf(2));
    expected.put(2, 0, cellOf(3, true));
    expected.put(0, 2, cellOf('solid'));
    assert.equal(await gridCode(page), expected.toCode());
    // The text stays as typed until the grid changes; then the writer's.
    assert.equal(await levelText(page), '1 2\n3S\n\n# ');
    await page.keyboard.press('1');
    await drag(page, [5, 5]);
    expected.put(5, 5, cellOf(1));
    assert.equal(await levelText(page), writeLevelText(expected));
});

test("a walled-in brick is levelcheck's located error as it is drawn; its message marks the cell", async () => {
    const { page } = await openEditor(site);
    await page.keyboard.press('4');
    await drag(page, [8, 5], [10, 5]);
    await drag(page, [8, 6]);
    await drag(page, [10, 6]);
    await drag(page, [8, 7], [10, 7]);
    await page.keyboard.press('2');
    await drag(page, [9, 6]);
    const shown = await page.$$eval('#messages button', (b) => b.map((e) => e.textContent));
    const desktop = runDesktop(await levelText(page));
    assert.equal(desktop.status, 1);
    const printed = desktop.stdout
        .split('\n')
        .filter((line) => /^level1\.txt:\d+:\d+: (error|warning): /.test(line));
    assert.deepEqual(shown, printed);
    const walled = shown.findIndex((line) => line.startsWith('level1.txt:7:19: error:'));
    assert.ok(walled >= 0, `no error at the walled-in brick among ${shown.join(' | ')}`);
    await page.click(`#messages li:nth-child(${walled + 1}) button`);
    assert.equal(await page.evaluate(() => document.body.dataset.marked), '9,6');
});

test('every brick of a walled-in pocket is drawn as an error without a click; a stroke lands in its row while the counts grow', async () => {
    const { page } = await openEditor(site);
    await page.setViewport({ width: 1024, height: 768 });
    await typeText(page, '# # # # \n# 1 1 # \n# 2 3 # \n# # # # \n' + `${'3 '.repeat(20)}\n`.repeat(3));
    assert.equal(await page.evaluate(() => document.body.dataset.errorCells), '1,1 2,1 1,2 2,2');

    // A slow stroke across row 9 with three-hit bricks: the points pass 1000 on the way.
    const top = () => page.$eval('#grid', (c) => c.getBoundingClientRect().top);
    const before = await top();
    await page.keyboard.press('3');
    const from = await cellPoint(page, 0, 9);
    const to = await cellPoint(page, 19, 9);
    await page.mouse.move(from.x, from.y);
    await page.mouse.down();
    for (let step = 1; step <= 19; ++step) {
        await page.mouse.move(from.x + ((to.x - from.x) * step) / 19, from.y);
        await settled(page);
        assert.equal(await top(), before, `the grid moved at step ${step}`);
    }
    await page.mouse.up();
    await settled(page);
    const lines = (await levelText(page)).split('\n');
    assert.equal(lines[9], '3 '.repeat(20));
    assert.deepEqual([lines[8], lines[10]], ['', '']);
    assert.match(await page.$eval('#counts', (e) => String(e.textContent)), /\d{4} points$/);
});

test('a finger draws as the mouse does, on a tablet where the grid keeps a scale of 2', async () => {
    const context = await site.browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({ width: 768, height: 1024, hasTouch: true, isMobile: true });
    await page.goto(`${site.server.url}editor.html`);
    await settled(page);
    assert.equal(await page.$eval('#grid', (c) => /** @type {HTMLCanvasElement} */ (c).width), 640);
    const from = await cellPoint(page, 2, 3);
    const to = await cellPoint(page, 12, 3);
    const session = await page.createCDPSession();
    await session.send('Input.dispatchTouchEvent', {
        type: 'touchStart',
        touchPoints: [{ x: from.x, y: from.y }],
    });
    for (let step = 1; step <= 10; ++step) {
        await session.send('Input.dispatchTouchEvent', {
            type: 'touchMove',
            touchPoints: [{ x: from.x + ((to.x - from.x) * step) / 10, y: from.y }],
        });
    }
    await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await settled(page);
    assert.equal(await levelText(page), `\n\n\n. . ${'1 '.repeat(11)}\n`);
    await context.close();
});
