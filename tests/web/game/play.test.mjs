// @ts-check
// The game's page in headless Chromium, played as on the desktop's real
// window: the loading screen, the title menu, options with the computer
// player on, a game in which bricks break (on a level where every serve
// breaks some), pause, A+B back to the title, Escape, the page's ended
// notice and the log; then Play again in the same page, the credits and
// the Exit row. Needs the built site (SITE, or build-web/site).
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { after, before, test } from 'node:test';
import { launchBrowser, serveFolder } from '../support/browser.mjs';
import { driver, shown } from './screen.mjs';

const repo = new URL('../../../', import.meta.url);
const site = process.env.SITE ?? new URL('build-web/site/', repo).pathname;
const busy = readFileSync(new URL('tests/e2e/levels/busy/level1.txt', repo), 'utf8');

/** @type {Awaited<ReturnType<typeof serveFolder>>} */
let server;
/** @type {import('puppeteer-core').Browser} */
let browser;
/** @type {import('puppeteer-core').Page} */
let page;
/** @type {string[]} */
const requests = [];

before(async () => {
    server = await serveFolder(site, { port: 0 });
    browser = await launchBrowser({ args: ['--autoplay-policy=no-user-gesture-required'] });
    page = await browser.newPage();
    page.on('request', (request) => requests.push(request.url()));
    await page.evaluateOnNewDocument((text) => {
        const w = /** @type {any} */ (window);
        w.quadrellLevels = [{ name: 'level1.txt', text }];
        // What the page's Content-Security-Policy refused.
        w.refused = [];
        document.addEventListener('securitypolicyviolation', (e) =>
            w.refused.push(`${e.violatedDirective} ${e.blockedURI}`),
        );
        // What drawing the frames costs: pictures put on the screen, screen
        // pixels read back.
        w.drawing = { frames: 0, puts: 0, readBack: 0 };
        w.quadrellOnFrame = () => w.drawing.frames++;
        const proto = CanvasRenderingContext2D.prototype;
        const { putImageData, getImageData } = proto;
        proto.putImageData = function (/** @type {any[]} */ ...args) {
            if (this.canvas.id === 'screen') w.drawing.puts++;
            return putImageData.apply(this, /** @type {any} */ (args));
        };
        proto.getImageData = function (x, y, width, height, ...rest) {
            if (this.canvas.id === 'screen') w.drawing.readBack += width * height;
            return getImageData.call(this, x, y, width, height, ...rest);
        };
    }, busy);
    await page.goto(server.url);
});
after(async () => {
    await browser?.close();
    await server?.close();
});

const logEnd = 'stopping application\n';

test('a whole run by the keyboard, from the overlay to the ended notice', async () => {
    const game = driver(page);
    assert.ok(await shown(page, 'start'), 'the start overlay');
    await page.keyboard.press('Enter');
    assert.ok(await game.waitFor((s) => s.isLoading(), 10000), 'the loading screen');
    assert.ok(await game.waitFor((s) => s.isTitleMenu() && s.arrowRow() === 0, 10000), 'the title menu');
    // Text, pictures and blends alike in the desktop's 16-bit colours.
    assert.equal((await game.take()).offGrid(), 0, 'the title menu in 16-bit colour');
    // ... kept cheap: at most one picture put on the canvas a frame (none
    // while the screen stays as it is), nothing read back.
    const drawn = await page.evaluate(async () => {
        const w = /** @type {any} */ (window);
        w.drawing = { frames: 0, puts: 0, readBack: 0 };
        await new Promise((done) => setTimeout(done, 1000));
        return w.drawing;
    });
    assert.ok(drawn.frames >= 20, `frames in a second: ${drawn.frames}`);
    // The title menu stands still: its frames change nothing to show.
    assert.ok(drawn.puts < drawn.frames / 2, `pictures ${drawn.puts} in ${drawn.frames} frames`);
    assert.equal(drawn.readBack, 0, 'no pixel read back');

    // The tune's player is loaded once the game asks for the tune.
    await page.waitForSelector('#stage[data-music="ready"]', { timeout: 5000 });

    // Options: the computer player on, and back.
    assert.ok(await game.pressUntil('ArrowDown', (s) => s.arrowRow() === 1));
    assert.ok(await game.pressUntil('Space', (s) => s.isOptions()), 'options');
    const offWidth = (await game.take()).bright(218, 142, 90, 22);
    assert.equal((await game.take()).offGrid(), 0, 'options in 16-bit colour');
    for (let row = 1; row <= 3; row++)
        assert.ok(await game.pressUntil('ArrowDown', (s) => s.arrowRow() === row));
    assert.ok(
        await game.pressUntil('Space', (s) => s.isOptions() && s.bright(218, 142, 90, 22) !== offWidth),
        'computer player on',
    );
    assert.ok(await game.pressUntil('ArrowDown', (s) => s.arrowRow() === 4));
    assert.ok(await game.pressUntil('Space', (s) => s.isTitleMenu()), 'back at the title');
    assert.equal((await game.take()).arrowRow(), 1, 'the menu keeps its row');

    // A game the computer plays: bricks break.
    assert.ok(await game.pressUntil('ArrowUp', (s) => s.arrowRow() === 0));
    assert.ok(await game.pressUntil('Space', (s) => s.isGame() && s.hasStateText()), 'get ready');
    const ready = await game.take();
    const bricksAtStart = ready.coloured(0, 20, 320, 150);
    assert.ok(await game.pressUntil('Space', (s) => s.isGame() && !s.hasStateText()), 'playing');
    assert.ok(
        await game.waitFor((s) => s.isGame() && s.coloured(0, 20, 320, 150) < bricksAtStart - 300, 60000),
        'bricks broken',
    );

    // Pause: the playfield stands still.
    assert.ok(await game.pressUntil('p', (s) => s.hasStateText()), 'paused');
    const first = await game.take();
    assert.equal(first.offGrid(), 0, 'a game in 16-bit colour');
    await game.sleep(300);
    assert.ok(first.sameRows(await game.take(), 20, 240), 'nothing moves while paused');

    // A+B: back to the title, the program still running.
    await game.aAndB();
    assert.ok(await game.waitFor((s) => s.isTitleMenu(), 8000), 'A+B leads to the title menu');
    assert.equal((await game.take()).arrowRow(), 0);
    assert.ok(!(await shown(page, 'ended')));

    // Escape ends the program; the page says so, and the log ends as on the desktop.
    await game.press('Escape');
    await page.waitForSelector('#ended:not([hidden])', { timeout: 5000 });
    await page.click('#show-log');
    const log = await page.$eval('#log', (element) => element.textContent ?? '');
    assert.ok(log.startsWith('starting application\n'), log);
    assert.ok(log.endsWith(logEnd), log);
    await page.click('#show-log');
});

test('Play again starts a fresh run without downloading anything; the Exit row ends it', async () => {
    const game = driver(page);
    const before = requests.length;
    await page.click('#again');
    assert.ok(await game.waitFor((s) => s.isTitleMenu() && s.arrowRow() === 0, 10000), 'a fresh title menu');
    assert.ok(await game.pressUntil('ArrowDown', (s) => s.arrowRow() === 1));
    assert.ok(await game.pressUntil('ArrowDown', (s) => s.arrowRow() === 2));
    assert.ok(await game.pressUntil('Space', (s) => s.isCredits()), 'credits');
    assert.ok(await game.pressUntil('Space', (s) => s.isTitleMenu()), 'back from the credits');
    assert.ok(await game.pressUntil('ArrowDown', (s) => s.arrowRow() === 3));
    await game.press('Space');
    await page.waitForSelector('#ended:not([hidden])', { timeout: 5000 });
    assert.deepEqual(requests.slice(before), [], 'nothing fetched for the second run');
    // Only the site's own files were ever asked for.
    for (const url of requests) assert.ok(url.startsWith(server.url) || url.startsWith('data:'), url);
    assert.deepEqual(
        await page.evaluate(() => /** @type {any} */ (window).refused),
        [],
        'nothing the policy refused',
    );

    // A+B on the title menu ends the program too.
    await page.click('#again');
    assert.ok(await game.waitFor((s) => s.isTitleMenu(), 10000));
    await game.aAndB();
    await page.waitForSelector('#ended:not([hidden])', { timeout: 5000 });
});
