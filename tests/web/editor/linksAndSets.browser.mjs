// Share links in and out of the page (hostile ones included), and sets of
// level files: in from files, edited, out as a zip, kept over a reload
// until "New set".
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { deflateSync } from 'node:zlib';

import { drag, gridCode, levelText, openEditor, settled, startSite } from './pageSupport.mjs';

/** @type {Awaited<ReturnType<typeof startSite>>} */
let site;
/** @type {string} */
let scratch;
before(async () => {
    site = await startSite();
    scratch = mkdtempSync(path.join(tmpdir(), 'editor-sets-'));
});
after(async () => {
    await site?.close();
    rmSync(scratch, { recursive: true, force: true });
});

/** @param {Uint8Array | string} bytes */
function link(bytes) {
    return `#q1.${Buffer.from(bytes).toString('base64url')}`;
}

const EMPTY_GRID = '.'.repeat(300);

test('a copied link opens the same levels in another browser profile', async () => {
    const { page } = await openEditor(site);
    await page.keyboard.press('3');
    await drag(page, [2, 1], [6, 1]);
    await page.type('#title', 'First <b>row</b>');
    await page.click('#add-level');
    await page.keyboard.press('4');
    await drag(page, [0, 14], [19, 14]);
    await page.click('#copy-link');
    await page.waitForFunction(() => document.body.dataset.link);
    const hash = await page.evaluate(() => new URL(String(document.body.dataset.link)).hash);
    // The address keeps no link: a reload opens the newest work.
    assert.equal(await page.evaluate(() => location.hash), '');
    const texts = [];
    for (const n of [1, 2]) {
        await page.click(`#level-list li:nth-child(${n}) button`);
        await settled(page);
        texts.push(await levelText(page));
    }

    const opened = await openEditor(site, { hash });
    assert.match(await opened.page.$eval('#notice', (e) => e.textContent), /^Opened 2 levels from a link/);
    assert.equal(await levelText(opened.page), texts[0]);
    assert.equal(
        await opened.page.$eval('#title', (e) => /** @type {HTMLInputElement} */ (e).value),
        'First <b>row</b>',
    );
    await opened.page.click('#level-list li:nth-child(2) button');
    await settled(opened.page);
    assert.equal(await levelText(opened.page), texts[1]);
    assert.equal(await opened.page.$('b'), null);
});

test('hostile links give a message and an editor that still works, and run nothing', async () => {
    const payload = (/** @type {{title: string, text: string}[]} */ levels) =>
        deflateSync(JSON.stringify({ v: 1, levels }));
    const hostile = {
        // Chromium itself drops addresses past 2 MB.
        'megabytes long': `#q1.${'A'.repeat(1536 * 1024)}`,
        'NUL bytes': link(payload([{ title: '', text: '1 \u0000\n' }])),
        'broken compression': link(payload([{ title: '', text: '1 1 1 \n' }]).subarray(0, 12)),
        'random bytes': link(Uint8Array.from({ length: 400 }, (_, i) => (i * 97 + 13) % 256)),
        'not a level': link(deflateSync('{"v":1,"levels":[{"text":42}]}')),
        'inflates to a flood': link(deflateSync(Buffer.alloc(8 * 1024 * 1024, 0x20))),
    };
    for (const [what, hash] of Object.entries(hostile)) {
        const { page, errors } = await openEditor(site, { hash }).catch((error) => {
            throw new Error(`the ${what} link: ${String(error).slice(0, 200)}`);
        });
        assert.equal(await page.$eval('#notice-box', (e) => e.className), 'error', what);
        assert.match(await page.$eval('#notice', (e) => e.textContent), /^this link does not open: /, what);
        assert.equal(await gridCode(page), EMPTY_GRID, what);
        await page.keyboard.press('1');
        await drag(page, [0, 0]);
        assert.equal(await levelText(page), '1 \n', what);
        assert.deepEqual(errors, [], what);
        await page.close();
    }
    // A link that lost its prefix is no link, and says so.
    const bare = await openEditor(site, { hash: '#eJyrVkrOz0nVUTKoBQA' });
    assert.match(await bare.page.$eval('#notice', (e) => String(e.textContent)), /not a level link/);
    await bare.page.close();
    // Markup in a level's text and title is shown as text, never run.
    const markup = '<img src=x onerror="window.ran=1"><script>window.ran=1</script>';
    const { page, errors } = await openEditor(site, {
        hash: link(payload([{ title: markup, text: `${markup}\n1 \n` }])),
    });
    assert.equal(await page.evaluate(() => 'ran' in window), false);
    assert.equal(await page.$$eval('img, script:not([src])', (e) => e.length), 0);
    assert.equal(await page.$eval('#title', (e) => /** @type {HTMLInputElement} */ (e).value), markup);
    assert.deepEqual(errors, []);
});

test('three level files in, one edited, the zip holds the three in order; the set survives a reload until New set', async () => {
    const files = ['level2.txt', 'level10.txt', 'level1.txt'].map((name, i) => {
        const file = path.join(scratch, name);
        writeFileSync(file, `${'1 2 3 '.slice(0, 2 * (i + 1))}\n`);
        return file;
    });
    const { page, context } = await openEditor(site);
    const input = await page.$('#open-files');
    await /** @type {import('puppeteer-core').ElementHandle<HTMLInputElement>} */ (input).uploadFile(
        ...files,
    );
    await page.waitForFunction(() => document.getElementById('notice')?.textContent?.startsWith('Opened 3'));
    await settled(page);
    await page.click('#level-list li:nth-child(2) button');
    await settled(page);
    await page.keyboard.press('4');
    await drag(page, [0, 3]);

    const downloads = path.join(scratch, 'downloads');
    const session = await page.createCDPSession();
    await session.send(
        'Browser.setDownloadBehavior',
        // @ts-ignore: the context's id, which puppeteer keeps to itself
        { behavior: 'allow', downloadPath: downloads, browserContextId: context.id },
    );
    await page.click('#download-zip');
    const zip = path.join(downloads, 'levels.zip');
    for (let i = 0; i < 100 && !existsSync(zip); ++i) await new Promise((r) => setTimeout(r, 100));
    const listing = execFileSync(
        '/usr/bin/python3',
        [
            '-c',
            'import sys, zipfile, json\nz = zipfile.ZipFile(sys.argv[1])\n' +
                'print(json.dumps([[i.filename, z.read(i).decode()] for i in z.infolist()]))',
            zip,
        ],
        { encoding: 'utf8' },
    );
    // level1.txt, level2.txt, level10.txt in, renumbered in that order.
    assert.deepEqual(JSON.parse(listing), [
        ['level1.txt', '1 2 3 \n'],
        ['level2.txt', '1 \n\n\n# \n'],
        ['level3.txt', '1 2 \n'],
    ]);

    await page.reload();
    await settled(page);
    assert.equal(await page.$$eval('#level-list li', (e) => e.length), 3);
    assert.equal(await levelText(page), '1 \n\n\n# \n');
    page.once('dialog', (dialog) => dialog.accept());
    await page.click('#new-set');
    await settled(page);
    await page.reload();
    await settled(page);
    assert.equal(await page.$$eval('#level-list li', (e) => e.length), 1);
    assert.equal(await gridCode(page), EMPTY_GRID);
    await context.close();
});

test("a folder in (the game's order, up to the gap), edited, saved back with exactly the set's level files", async () => {
    const context = await site.browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({ width: 1280, height: 900 });
    // The browser's own private file system stands in for the folder a
    // person would pick: the same handles, without a dialog.
    await page.evaluateOnNewDocument(() => {
        // @ts-ignore: Chromium's picker, replaced for the test
        window.showDirectoryPicker = async () => {
            const root = await navigator.storage.getDirectory();
            return root.getDirectoryHandle('mylevels', { create: true });
        };
    });
    await page.goto(`${site.server.url}editor.html`);
    await settled(page);
    const files = {
        'level1.txt': '1 \n',
        'level2.txt': '2 \n',
        'level3.txt': '3 \n',
        'level5.txt': '# \n',
        'notes.txt': 'x',
    };
    await page.evaluate(async (files) => {
        const folder = await (
            await navigator.storage.getDirectory()
        ).getDirectoryHandle('mylevels', { create: true });
        for (const [name, text] of Object.entries(files)) {
            const writable = await (await folder.getFileHandle(name, { create: true })).createWritable();
            await writable.write(text);
            await writable.close();
        }
    }, files);
    await page.click('#open-folder');
    await page.waitForFunction(() =>
        document.getElementById('notice')?.textContent?.startsWith('Opened 3 levels'),
    );
    await settled(page);
    assert.equal(await levelText(page), '1 \n');
    await page.click('#level-list li:nth-child(3) button');
    await settled(page);
    await page.keyboard.press('2');
    await drag(page, [1, 0]);
    await page.click('#duplicate-level');
    await settled(page);
    await page.click('#save-folder');
    await page.waitForFunction(() =>
        document.getElementById('notice')?.textContent?.startsWith('Saved 4 levels'),
    );
    const saved = await page.evaluate(async () => {
        const folder = await (await navigator.storage.getDirectory()).getDirectoryHandle('mylevels');
        /** @type {Record<string, string>} */
        const out = {};
        // @ts-ignore: async iteration of a folder
        for await (const [name, handle] of folder.entries())
            out[name] = await (await handle.getFile()).text();
        return out;
    });
    // level5.txt was past the gap, so not in the set; saving four levels leaves it the game's fifth, so it goes.
    assert.deepEqual(saved, {
        'level1.txt': '1 \n',
        'level2.txt': '2 \n',
        'level3.txt': '3 2 \n',
        'level4.txt': '3 2 \n',
        'notes.txt': 'x',
    });
    await context.close();
});
