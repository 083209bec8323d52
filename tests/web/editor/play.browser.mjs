// Play from the editor: the game's web edition runs in the page with the
// edited level as level 1, showing what `levelcheck --png` shows of the
// same file, and A+B (keys or touch) brings the editor back with the level
// unchanged.
// Needs the game's web build in the site (game/runner.js).
import assert from 'node:assert/strict';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { spawnSync } from 'node:child_process';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { encodeShare } from '../../../web/shared/shareCodec.js';

import {
    data,
    desktop,
    levelText,
    openEditor,
    settled,
    site as siteDir,
    startSite,
    typeText,
} from './pageSupport.mjs';

const hasGame = existsSync(path.join(siteDir, 'game', 'runner.js'));
/** @type {Awaited<ReturnType<typeof startSite>>} */
let site;
before(async () => {
    if (hasGame) site = await startSite();
});
after(async () => {
    await site?.close();
});

const LEVEL = '# 1 2 3 \n\n. . 3S3 3 2 2 \n\n\n1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 \n';

/**
 * levelcheck's picture of a level as the game shows it before the serve, as a data URL.
 * @param {string} [text]
 */
function desktopPicture(text = LEVEL) {
    const folder = mkdtempSync(path.join(tmpdir(), 'editor-play-'));
    try {
        writeFileSync(path.join(folder, 'level1.txt'), text);
        const run = spawnSync(desktop, ['--png', 'png', '--data', data, 'level1.txt'], {
            cwd: folder,
            encoding: 'utf8',
        });
        assert.equal(run.status, 0, run.stdout + run.stderr);
        return `data:image/png;base64,${readFileSync(path.join(folder, 'png', 'level1.png')).toString('base64')}`;
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}

/**
 * Holds keys for a few frames of the game, as a player would.
 * @param {import('puppeteer-core').Page} page
 * @param {import('puppeteer-core').KeyInput[]} keys
 */
async function hold(page, keys) {
    for (const key of keys) await page.keyboard.down(key);
    await new Promise((resolve) => setTimeout(resolve, 250));
    for (const key of keys) await page.keyboard.up(key);
}

/**
 * Pixels of the grid on the game's canvas that differ from a picture: above the "Press select key" line, since the top
 * line shows the frame rate and the browser draws text with its own
 * renderer. Compared again until the game has drawn the level.
 * @param {import('puppeteer-core').Page} page
 * @param {string} picture a data URL
 * @param {string} screen the game canvas's selector
 */
function differingPixels(page, picture, screen) {
    return page.evaluate(
        async (url, selector) => {
            const image = new Image();
            image.src = url;
            await image.decode();
            const pixels = (/** @type {CanvasImageSource} */ source) => {
                const canvas = document.createElement('canvas');
                canvas.width = 320;
                canvas.height = 240;
                const context = /** @type {CanvasRenderingContext2D} */ (canvas.getContext('2d'));
                context.drawImage(source, 0, 0, 320, 240);
                return context.getImageData(0, 20, 320, 130).data;
            };
            const wanted = pixels(image);
            const game = /** @type {HTMLCanvasElement} */ (document.querySelector(selector));
            let count = -1;
            for (let tries = 0; tries < 50 && count !== 0; ++tries) {
                const shown = pixels(game);
                count = 0;
                for (let i = 0; i < wanted.length; i += 4) {
                    // The two expand the game's 16-bit colours to 24 bits with
                    // their own rounding: a channel may be off by one or two.
                    const off = Math.max(
                        Math.abs(wanted[i] - shown[i]),
                        Math.abs(wanted[i + 1] - shown[i + 1]),
                        Math.abs(wanted[i + 2] - shown[i + 2]),
                    );
                    if (off > 4) ++count;
                }
                await new Promise((resolve) => setTimeout(resolve, 200));
            }
            return count;
        },
        picture,
        screen,
    );
}

test(
    'Play shows the edited level as levelcheck pictures it; A+B comes back to the editor',
    { skip: !hasGame && 'no game in the site' },
    async () => {
        const { page, errors } = await openEditor(site);
        await typeText(page, LEVEL);
        const text = await levelText(page);
        await page.click('#play');
        await page.waitForFunction(() => !document.getElementById('game')?.hidden);
        // The title menu, then New game with the select key: the level waits for the serve.
        await new Promise((resolve) => setTimeout(resolve, 3000));
        await hold(page, ['Space']);
        assert.equal(
            await differingPixels(page, desktopPicture(), '#game-canvas'),
            0,
            'pixels of the grid differ from levelcheck --png',
        );

        // A+B leaves the game for the title menu (the keys), and the menu for
        // the editor (the touch button, as a phone shows it).
        await hold(page, ['a', 'b']);
        await new Promise((resolve) => setTimeout(resolve, 500));
        await page.evaluate(() => document.body.classList.add('touch'));
        const button = await page.$('#touch [data-keys="65 66"]');
        const box = await /** @type {import('puppeteer-core').ElementHandle} */ (button).boundingBox();
        await page.mouse.move((box?.x ?? 0) + 5, (box?.y ?? 0) + 5);
        await page.mouse.down();
        await new Promise((resolve) => setTimeout(resolve, 250));
        await page.mouse.up();
        await page.waitForFunction(() => document.getElementById('game')?.hidden, { timeout: 10000 });
        assert.equal(await levelText(page), text);
        assert.deepEqual(errors, []);
    },
);

test(
    'Play this level starts the game at the open level',
    { skip: !hasGame && 'no game in the site' },
    async () => {
        const { page, errors } = await openEditor(site);
        await typeText(page, '1 1 1 1 \n');
        await page.click('#add-level');
        await settled(page);
        await typeText(page, LEVEL);
        await page.click('#play-level');
        await page.waitForFunction(() => !document.getElementById('game')?.hidden);
        await new Promise((resolve) => setTimeout(resolve, 3000));
        await hold(page, ['Space']);
        assert.equal(
            await differingPixels(page, desktopPicture(LEVEL), '#game-canvas'),
            0,
            'the game does not show the open level',
        );
        await hold(page, ['Escape']);
        await page.waitForFunction(() => document.getElementById('game')?.hidden, { timeout: 10000 });
        assert.equal(await levelText(page), LEVEL);
        assert.deepEqual(errors, []);
    },
);

const linkStart =
    hasGame && readFileSync(path.join(siteDir, 'index.html'), 'utf8').includes('shared/linkStart.js');
test(
    "the game's page loads no link code without a link; with one it names and starts its levels; a bad link says so",
    { skip: !linkStart && "the game's page takes no links" },
    async () => {
        const shared = await encodeShare([{ title: 'linked', text: LEVEL }]);
        assert.ok(shared.ok);
        const context = await site.browser.createBrowserContext();
        const page = await context.newPage();
        /** @type {string[]} */
        const errors = [];
        page.on('pageerror', (error) => errors.push(String(error)));
        /** @type {string[]} */
        const requested = [];
        page.on('request', (request) => requested.push(new URL(request.url()).pathname));
        await page.goto(`${site.server.url}index.html`);
        await page.waitForSelector('#start');
        await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 500)));
        assert.deepEqual(
            requested.filter((p) => p.includes('/editor/') || p.endsWith('shareCodec.js')),
            [],
        );
        assert.equal(await page.$('#link-notice'), null);

        requested.length = 0;
        await page.goto('about:blank');
        await page.goto(`${site.server.url}index.html#${shared.ok && shared.fragment}`);
        await page.waitForFunction(() => 'quadrellLevels' in window);
        assert.deepEqual(
            requested.filter((p) => p.includes('/editor/')),
            [],
        );
        assert.equal(await page.$eval('#link-notice', (e) => e.textContent), 'A level from a link: linked');
        await page.click('#start');
        await new Promise((resolve) => setTimeout(resolve, 3000));
        await hold(page, ['Space']);
        assert.equal(await differingPixels(page, desktopPicture(), '#screen'), 0);

        await page.goto('about:blank');
        await page.goto(`${site.server.url}index.html#q1.not-a-link`);
        await page.waitForSelector('#link-notice');
        assert.match(
            await page.$eval('#link-notice', (e) => e.textContent),
            /^this link does not open: .*The game plays its own levels\.$/,
        );
        assert.deepEqual(errors, []);
        await context.close();
    },
);
