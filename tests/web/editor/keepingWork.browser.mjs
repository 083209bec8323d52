// The ways the editor once lost a designer's work, played in the page and
// now safe: a link opened over a kept set, a reload after Copy link, a
// deleted level, a broken file's text, and titles through a zip.
import assert from 'node:assert/strict';
import { existsSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { drag, levelText, openEditor, runDesktop, settled, startSite } from './pageSupport.mjs';

/** @type {Awaited<ReturnType<typeof startSite>>} */
let site;
/** @type {string} */
let scratch;
before(async () => {
    site = await startSite();
    scratch = mkdtempSync(path.join(tmpdir(), 'editor-keeping-'));
});
after(async () => {
    await site?.close();
    rmSync(scratch, { recursive: true, force: true });
});

/** @param {import('puppeteer-core').Page} page */
const setNames = (page) => page.$$eval('#set-list option', (o) => o.map((e) => e.textContent));
/** @param {import('puppeteer-core').Page} page */
const levelCount = (page) => page.$$eval('#level-list li', (e) => e.length);

/**
 * Picks files for Open files and waits for the set they open.
 * @param {import('puppeteer-core').Page} page
 * @param {string[]} files
 */
async function openFiles(page, files) {
    const input = /** @type {import('puppeteer-core').ElementHandle<HTMLInputElement>} */ (
        await page.$('#open-files')
    );
    await input.uploadFile(...files);
    await page.waitForFunction(() => document.getElementById('notice')?.textContent?.startsWith('Opened'));
    await settled(page);
}

test('a link opens as a new set beside the kept one; Copy link leaves the address clean, so a reload shows the newer work', async () => {
    const { page, context } = await openEditor(site);
    await page.keyboard.press('2');
    await drag(page, [0, 0], [4, 0]);
    await page.click('#copy-link');
    await page.waitForFunction(() => document.body.dataset.link);
    const link = await page.evaluate(() => String(document.body.dataset.link));
    await drag(page, [0, 2], [4, 2]); // newer than the link
    const newer = await levelText(page);
    await page.reload();
    await settled(page);
    assert.equal(await page.evaluate(() => location.hash), '');
    assert.equal(await levelText(page), newer);

    // The link (a copy of older work, as a friend's link would be) in the same browser.
    await page.goto('about:blank');
    await page.goto(link);
    await settled(page);
    assert.equal(await levelText(page), '2 2 2 2 2 \n');
    assert.equal(await page.evaluate(() => location.hash), '');
    assert.equal((await setNames(page)).length, 2);
    await drag(page, [9, 9]); // a change to the link's set touches only that set
    await page.reload();
    await settled(page);
    assert.equal((await setNames(page)).length, 2);
    await page.select(
        '#set-list',
        await page.$$eval(
            '#set-list option',
            (o) =>
                /** @type {HTMLOptionElement} */ (o.find((e) => e.textContent?.startsWith('My levels')))
                    .value,
        ),
    );
    await settled(page);
    assert.equal(await levelText(page), newer);

    // A set goes only when the designer confirms.
    page.once('dialog', (dialog) => dialog.dismiss());
    await page.click('#delete-set');
    assert.equal((await setNames(page)).length, 2);
    page.once('dialog', (dialog) => dialog.accept());
    await page.click('#delete-set');
    await settled(page);
    assert.equal((await setNames(page)).length, 1);
    await context.close();
});

test('a deleted level and a cleared set come back with undo, title and all', async () => {
    const { page, context } = await openEditor(site);
    await page.keyboard.press('3');
    await drag(page, [0, 0]);
    await page.click('#add-level');
    await settled(page);
    await page.type('#title', 'The wall');
    await page.keyboard.press('Tab');
    await drag(page, [1, 1], [6, 1]);
    const second = await levelText(page);
    await page.click('#delete-level');
    await settled(page);
    assert.equal(await levelCount(page), 1);
    await page.click('#clear-set');
    await settled(page);
    await page.click('#undo');
    await settled(page);
    assert.equal(await levelText(page), '3 \n');
    await page.keyboard.down('Control');
    await page.keyboard.press('z');
    await page.keyboard.up('Control');
    await settled(page);
    assert.equal(await levelCount(page), 2);
    assert.equal(await page.$eval('#title', (e) => /** @type {HTMLInputElement} */ (e).value), 'The wall');
    assert.equal(await levelText(page), second);
    await context.close();
});

test("a broken file keeps its text, with the desktop levelcheck's messages, also after switching levels", async () => {
    const broken = '1 1 1 1 1 1 \n2 2 2\n3 3 3 3 3 3 \n# # x # \n1 1 1 1 1 1 1 1 1 1 \n';
    const file = path.join(scratch, 'level1.txt');
    writeFileSync(file, broken, 'latin1');
    const desktop = runDesktop(broken)
        .stdout.split('\n')
        .filter((l) => /: (error|warning): /.test(l));
    assert.ok(desktop.length > 0, 'the file is broken for the desktop levelcheck too');
    const { page, context } = await openEditor(site);
    await openFiles(page, [file]);
    const messages = () => page.$$eval('#messages button', (b) => b.map((e) => e.textContent));
    assert.equal(await levelText(page), broken);
    assert.deepEqual(await messages(), desktop);
    await page.click('#add-level');
    await settled(page);
    await page.click('#level-list li:nth-child(1) button');
    await settled(page);
    assert.equal(await levelText(page), broken);
    assert.deepEqual(await messages(), desktop);
    // A change on the grid rewrites the text, and says which lines.
    await page.keyboard.press('1');
    await drag(page, [19, 14]);
    assert.match(
        await page.$eval('#text-note', (e) => String(e.textContent)),
        /^The grid's change rewrote lines /,
    );
    await context.close();
});

test('titles survive the zip: downloaded with titles.txt, opened back as a new set', async () => {
    const { page, context } = await openEditor(site);
    await page.keyboard.press('1');
    await drag(page, [0, 0]);
    await page.type('#title', 'First');
    await page.click('#add-level');
    await settled(page);
    await drag(page, [2, 2]);
    await page.click('#add-level');
    await settled(page);
    await page.type('#title', 'Third: the end');
    await drag(page, [3, 3]);
    const downloads = path.join(scratch, 'downloads');
    const session = await page.createCDPSession();
    // @ts-ignore: the context's id, which puppeteer keeps to itself
    await session.send('Browser.setDownloadBehavior', {
        behavior: 'allow',
        downloadPath: downloads,
        browserContextId: context.id,
    });
    await page.click('#download-zip');
    const zip = path.join(downloads, 'levels.zip');
    for (let i = 0; i < 100 && !existsSync(zip); ++i) await new Promise((r) => setTimeout(r, 100));
    await openFiles(page, [zip]);
    assert.equal((await setNames(page)).length, 2);
    assert.deepEqual(await page.$$eval('#level-list button', (b) => b.map((e) => e.textContent)), [
        'level1.txt · First',
        'level2.txt',
        'level3.txt · Third: the end',
    ]);
    await context.close();
});
