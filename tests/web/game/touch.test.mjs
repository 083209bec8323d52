// @ts-check
// The game's page on a phone (Chromium's emulation: touch, 3 device pixels
// per CSS pixel), played by real touch events alone: every screen, quick
// taps, drag steering, Back; the controls' layout in phone and desktop
// viewports and in fullscreen; and a gamepad. Every wait is for what the
// game's screen shows, never for a fixed time. Needs the built site.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, serveFolder } from '../support/browser.mjs';
import { driver, shown } from './screen.mjs';

const repo = new URL('../../../', import.meta.url);
const site = process.env.SITE ?? new URL('build-web/site/', repo).pathname;
// One row of bricks at the top: a served ball takes seconds to come back.
const level = `${'1 '.repeat(20)}\n`;

// How long a wait for what the screen shows may take: long, since a loaded
// machine slows the game's frames; a wait ends as soon as it is met.
const Patience = 20000;

/** @type {Awaited<ReturnType<typeof serveFolder>>} */
let server;
/** @type {import('puppeteer-core').Browser} */
let browser;

before(async () => {
    server = await serveFolder(site, { port: 0 });
    browser = await launchBrowser();
});
after(async () => {
    await browser?.close();
    await server?.close();
});

/**
 * A page at a viewport, with the test's level and, if asked, a gamepad the
 * test sets (window.pad).
 * @param {{ width: number, height: number, touch?: boolean, pad?: boolean }} viewport
 */
async function open({ width, height, touch = true, pad = false }) {
    const page = await browser.newPage();
    await page.setViewport({
        width,
        height,
        deviceScaleFactor: touch ? 3 : 1,
        isMobile: touch,
        hasTouch: touch,
    });
    await page.evaluateOnNewDocument(
        (text, withPad) => {
            const w = /** @type {any} */ (window);
            w.quadrellLevels = [{ name: 'level1.txt', text }];
            // How far the page's boxes jump while it loads (layout shift).
            w.shifted = 0;
            new PerformanceObserver((list) => {
                for (const entry of /** @type {any[]} */ (list.getEntries())) w.shifted += entry.value;
            }).observe({ type: 'layout-shift', buffered: true });
            if (!withPad) return;
            w.pad = {
                id: 'test pad',
                index: 0,
                connected: true,
                mapping: 'standard',
                timestamp: 0,
                axes: [0, 0, 0, 0],
                buttons: Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })),
            };
            // How often the page has read the pads.
            w.padReads = 0;
            navigator.getGamepads = () => {
                w.padReads++;
                return [w.pad, null, null, null];
            };
        },
        level,
        pad,
    );
    await page.goto(server.url);
    return page;
}

/** Real touches through the DevTools protocol. @param {import('puppeteer-core').Page} page */
async function fingers(page) {
    const client = await page.createCDPSession();
    const sleep = (/** @type {number} */ ms) => new Promise((done) => setTimeout(done, ms));
    /** @param {string} selector */
    const centre = async (selector) => {
        const box = await (await page.$(selector))?.boundingBox();
        assert.ok(box, selector);
        return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
    };
    /** @param {'touchStart' | 'touchMove' | 'touchEnd'} type @param {{x: number, y: number}[]} touchPoints */
    const send = (type, touchPoints) => client.send('Input.dispatchTouchEvent', { type, touchPoints });
    /** A finger on an element's middle for ms. @param {string} selector @param {number} [ms] */
    const tap = async (selector, ms = 60) => {
        await send('touchStart', [await centre(selector)]);
        await sleep(ms);
        await send('touchEnd', []);
    };
    return { send, tap, centre, sleep };
}

/** The paddle's middle in screen pixels (its rows' lit pixels), or -1. @param {import('./screen.mjs').Shot} shot */
function paddleMiddle(shot) {
    let first = -1;
    let last = -1;
    for (let x = 0; x < 320; x++) {
        const i = (229 * 320 + x) * 4;
        if (shot.rgba[i] + shot.rgba[i + 1] + shot.rgba[i + 2] > 30) {
            if (first < 0) first = x;
            last = x;
        }
    }
    return first < 0 ? -1 : (first + last) / 2;
}

/** The count of balls left in the HUD, as its pixels. @param {import('./screen.mjs').Shot} shot */
function ballsShown(shot) {
    const lit = [];
    for (let y = 0; y < 18; y++)
        for (let x = 118; x < 152; x++) if (shot.bright(x, y, 1, 1)) lit.push(x * 1000 + y);
    return lit.join(',');
}

/** The options screen's value column at a row, as a string of its bright pixels. @param {import('./screen.mjs').Shot} shot @param {number} row */
function valueAt(shot, row) {
    const lit = [];
    for (let y = 52 + 30 * row; y < 74 + 30 * row; y++)
        for (let x = 218; x < 308; x++) if (shot.bright(x, y, 1, 1)) lit.push(x * 1000 + y);
    return lit.join(',');
}

test('touch alone: quick taps, options, a game served, paused, resumed and left with Back', async () => {
    const page = await open({ width: 390, height: 844 });
    const game = driver(page);
    const touch = await fingers(page);
    // The overlay says how to start and how to play by touch.
    const overlay = await page.$eval('#start', (e) => /** @type {HTMLElement} */ (e).innerText);
    assert.match(overlay, /^Tap to play\n.*steer.*title menu; there it ends the game/s);
    await touch.tap('#start');
    assert.ok(await game.waitFor((s) => s.isTitleMenu() && s.arrowRow() === 0, Patience), 'the title menu');

    // 40 ms taps, each seen: the arrow steps down the four rows and around.
    for (let n = 1; n <= 10; n++) {
        await touch.tap('[aria-label="Down"]', 40);
        assert.ok(await game.waitFor((s) => s.arrowRow() === n % 4, Patience), `tap ${n} of 10 seen`);
    }
    // Row 2 now; Up once to Options.
    await touch.tap('[aria-label="Up"]', 40);
    assert.ok(await game.waitFor((s) => s.arrowRow() === 1, Patience));
    await touch.tap('[aria-label="Select"]', 40);
    assert.ok(await game.waitFor((s) => s.isOptions(), Patience), 'options');

    // The music volume down a step with Left, the computer player on.
    await touch.tap('[aria-label="Down"]');
    assert.ok(await game.waitFor((s) => s.arrowRow() === 1, Patience));
    const volume = valueAt(await game.take(), 1);
    await touch.tap('[aria-label="Left"]');
    assert.ok(await game.waitFor((s) => valueAt(s, 1) !== volume, Patience), 'the music volume changed');
    const player = valueAt(await game.take(), 3);
    await touch.tap('[aria-label="Down"]');
    await touch.tap('[aria-label="Down"]');
    assert.ok(await game.waitFor((s) => s.arrowRow() === 3, Patience));
    await touch.tap('[aria-label="Select"]');
    assert.ok(await game.waitFor((s) => valueAt(s, 3) !== player, Patience), 'the computer player on');
    await touch.tap('[aria-label="Down"]');
    assert.ok(await game.waitFor((s) => s.arrowRow() === 4, Patience));
    await touch.tap('[aria-label="Select"]');
    assert.ok(
        await game.waitFor((s) => s.isTitleMenu() && s.arrowRow() === 1, Patience),
        'back at the title',
    );

    // New Game; a tap on the screen serves, Pause pauses, Select resumes.
    await touch.tap('[aria-label="Up"]');
    assert.ok(await game.waitFor((s) => s.arrowRow() === 0, Patience));
    await touch.tap('[aria-label="Select"]');
    assert.ok(await game.waitFor((s) => s.isGame() && s.hasStateText(), Patience), 'get ready');
    await touch.tap('#screen');
    assert.ok(await game.waitFor((s) => s.isGame() && !s.hasStateText(), Patience), 'served');
    await touch.tap('[aria-label="Pause"]');
    assert.ok(await game.waitFor((s) => s.isGame() && s.hasStateText(), Patience), 'paused');
    await touch.tap('[aria-label="Select"]');
    assert.ok(await game.waitFor((s) => s.isGame() && !s.hasStateText(), Patience), 'resumed');

    // Back, tapped and even held: once to the title menu, the game still running.
    await touch.tap('[aria-label="Back"]', 400);
    assert.ok(await game.waitFor((s) => s.isTitleMenu(), Patience), 'Back to the title');
    await touch.sleep(300);
    assert.ok(!(await shown(page, 'ended')), 'the game goes on');
    assert.ok((await game.take()).isTitleMenu());
    await page.close();
});

test('a finger dragged over the screen steers the paddle, which stops under it; a thumb slides from Left to Right', async () => {
    const page = await open({ width: 844, height: 390 });
    const game = driver(page);
    const touch = await fingers(page);
    await touch.tap('#start');
    assert.ok(await game.waitFor((s) => s.isTitleMenu() && s.arrowRow() === 0, Patience), 'the title menu');
    await touch.tap('[aria-label="Select"]');
    assert.ok(await game.waitFor((s) => s.isGame() && s.hasStateText(), Patience), 'get ready');
    const box = await (await page.$('#screen'))?.boundingBox();
    assert.ok(box);
    const y = box.y + box.height / 2;
    /** The screen pixel x as a page x. @param {number} x */
    const at = (x) => box.x + (x / 320) * box.width;
    // Out of play the finger presses nothing: the paddle stays where it is.
    const still = paddleMiddle(await game.take());
    await touch.send('touchStart', [{ x: at(300), y: box.y + box.height + 20 }]);
    await touch.sleep(300);
    await touch.send('touchEnd', []);
    assert.equal(paddleMiddle(await game.take()), still, 'no steering before the serve');

    // A lost ball (the count of balls changes) serves again: the drag is
    // tried again then. The text "press select key" is no sign: the ball
    // may fly through where it stands.
    /** Serves if the game waits for it; answers the count of balls shown. */
    const serve = async () => {
        await touch.tap('#screen');
        const playing = await game.waitFor((s) => s.isGame() && !s.hasStateText(), Patience);
        return playing ? ballsShown(playing) : null;
    };
    let steered = false;
    for (let attempt = 0; attempt < 3 && !steered; attempt++) {
        const balls = await serve();
        if (balls === null) continue;
        const lost = (/** @type {import('./screen.mjs').Shot | null} */ s) => !s || ballsShown(s) !== balls;
        await touch.send('touchStart', [{ x: at(1), y }]);
        const left = await game.waitFor((s) => paddleMiddle(s) < 40 || lost(s), Patience);
        for (let x = 20; x <= 240; x += 20) await touch.send('touchMove', [{ x: at(x), y }]);
        const under = await game.waitFor((s) => Math.abs(paddleMiddle(s) - 240) <= 4 || lost(s), Patience);
        // ... and stays there while the finger does.
        await touch.sleep(200);
        const after = await game.take();
        await touch.send('touchEnd', []);
        if (lost(left) || lost(under) || lost(after)) continue;
        assert.ok(
            Math.abs(paddleMiddle(after) - 240) <= 4,
            `the paddle under the finger: ${paddleMiddle(after)}`,
        );
        steered = true;
    }
    assert.ok(steered, 'the paddle followed the finger');

    // A thumb sliding from Left onto Right steers right from there on.
    let slid = false;
    for (let attempt = 0; attempt < 3 && !slid; attempt++) {
        const balls = await serve();
        if (balls === null) continue;
        const lost = (/** @type {import('./screen.mjs').Shot | null} */ s) => !s || ballsShown(s) !== balls;
        await touch.send('touchStart', [await touch.centre('[aria-label="Left"]')]);
        const left = await game.waitFor((s) => paddleMiddle(s) < 200 || lost(s), Patience);
        await touch.send('touchMove', [await touch.centre('[aria-label="Right"]')]);
        const right =
            left &&
            (await game.waitFor((s) => paddleMiddle(s) > paddleMiddle(left) + 30 || lost(s), Patience));
        await touch.send('touchEnd', []);
        slid = !lost(left) && !lost(right);
    }
    assert.ok(slid, 'Left, then Right once the thumb slid onto it');
    await page.close();
});

test('the controls: no two overlap, each at least 48x48, in phone and desktop viewports and in fullscreen', async () => {
    const viewports = [
        [390, 844],
        [412, 915],
        [360, 640],
        [844, 390],
        [915, 412],
        [640, 360],
        [320, 480],
        [480, 320],
    ]
        .map(([width, height]) => ({ width, height, touch: true }))
        .concat([
            { width: 1280, height: 800, touch: false },
            { width: 1920, height: 1080, touch: false },
        ]);
    /** @param {import('puppeteer-core').Page} page */
    const problems = (page) =>
        page.evaluate(() => {
            const names = [];
            const found = [];
            const parts = [...document.querySelectorAll('#play button, #screen')].filter(
                (e) => e.checkVisibility() && !e.closest('.cover'),
            );
            const boxes = parts.map((e) => e.getBoundingClientRect());
            const { clientWidth, clientHeight } = document.documentElement;
            for (const [i, part] of parts.entries()) {
                const r = boxes[i];
                const name = part.getAttribute('aria-label') ?? part.id;
                names.push(name);
                if (part.id !== 'screen' && (r.width < 48 || r.height < 48))
                    found.push(`${name} ${r.width}x${r.height}`);
                if (r.left < 0 || r.top < 0 || r.right > clientWidth + 0.5 || r.bottom > clientHeight + 0.5)
                    found.push(`${name} outside`);
                for (const [j, other] of boxes.entries()) {
                    if (
                        j > i &&
                        r.left < other.right &&
                        other.left < r.right &&
                        r.top < other.bottom &&
                        other.top < r.bottom
                    ) {
                        found.push(`${name} over ${parts[j].getAttribute('aria-label') ?? parts[j].id}`);
                    }
                }
            }
            return { names, found };
        });
    for (const viewport of viewports) {
        const page = await open(viewport);
        const { names, found } = await problems(page);
        assert.deepEqual(found, [], `${viewport.width}x${viewport.height}`);
        // Laid out before the first paint: nothing moves while the game loads.
        await page.waitForFunction(() => document.readyState === 'complete');
        assert.ok(await page.evaluate(() => /** @type {any} */ (window).shifted <= 0.02), 'no layout shift');
        const expected = viewport.touch ? ['Up', 'Left', 'Right', 'Down', 'Back', 'Pause', 'Select'] : [];
        for (const name of expected)
            assert.ok(names.includes(name), `${name} at ${viewport.width}x${viewport.height}`);
        if (viewport.width === 844) {
            // Whole device pixels per screen pixel, at least 4 of them; again
            // when the device pixels per CSS pixel change (a zoom).
            const deviceWidth = () =>
                page.$eval('#screen', (e) => Math.round(e.getBoundingClientRect().width * devicePixelRatio));
            const width = await deviceWidth();
            assert.ok(width % 320 === 0 && width >= 4 * 320, `the screen ${width} device pixels wide`);
            await page.setViewport({ ...viewport, deviceScaleFactor: 2, isMobile: true, hasTouch: true });
            // 3 of them now: the most that fit.
            await page.waitForFunction(
                () =>
                    devicePixelRatio === 2 &&
                    Math.round(
                        /** @type {Element} */ (document.getElementById('screen')).getBoundingClientRect()
                            .width * 2,
                    ) === 960,
                { timeout: Patience },
            );
            await page.setViewport({ ...viewport, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
            await page.waitForFunction(
                () =>
                    devicePixelRatio === 3 &&
                    Math.round(
                        /** @type {Element} */ (document.getElementById('screen')).getBoundingClientRect()
                            .width * 3,
                    ) === 1280,
                { timeout: Patience },
            );
            // Fullscreen: the play area, its controls and a way out.
            const touch = await fingers(page);
            await touch.tap('#fullscreen');
            await page.waitForFunction(() => document.fullscreenElement?.id === 'play', {
                timeout: Patience,
            });
            const inFull = await problems(page);
            assert.deepEqual(inFull.found, [], 'in fullscreen');
            for (const name of expected) assert.ok(inFull.names.includes(name), `${name} in fullscreen`);
            assert.equal(await page.$eval('#fullscreen', (e) => e.textContent), 'Exit fullscreen');
            await touch.tap('#fullscreen');
            await page.waitForFunction(() => !document.fullscreenElement, { timeout: Patience });
        }
        await page.close();
    }
});

test('a gamepad moves the menu arrow, starts and serves a game, steers and goes Back; the mouse steers', async () => {
    const page = await open({ width: 1280, height: 800, touch: false, pad: true });
    const game = driver(page);
    /**
     * Sets a button or an axis of the pad; answers how often the page had
     * read the pads by then, in the same step.
     * @param {string} what @param {number} value @returns {Promise<number>}
     */
    const set = (what, value) =>
        page.evaluate(
            (path, v) => {
                const w = /** @type {any} */ (window);
                const [kind, index] = path.split(' ');
                if (kind === 'axis') w.pad.axes[Number(index)] = v;
                else w.pad.buttons[Number(index)] = { pressed: v > 0, touched: v > 0, value: v };
                return w.padReads;
            },
            what,
            value,
        );
    /** Holds it until the page has read it (menus act on the release). @param {string} what */
    const press = async (what) => {
        const reads = await set(what, 1);
        await page.waitForFunction((before) => /** @type {any} */ (window).padReads >= before + 1, {}, reads);
        await set(what, 0);
    };
    await page.click('#start');
    assert.ok(await game.waitFor((s) => s.isTitleMenu() && s.arrowRow() === 0, Patience), 'the title menu');
    // Until the browser announces a pad (at its first press), the page never reads one.
    assert.equal(await page.evaluate(() => /** @type {any} */ (window).padReads), 0, 'no reads before a pad');
    await page.evaluate(() => window.dispatchEvent(new Event('gamepadconnected')));
    // The d-pad's down; menus act on the release.
    await press('button 13');
    assert.ok(await game.waitFor((s) => s.arrowRow() === 1, Patience), 'd-pad down');
    await press('axis 1');
    assert.ok(await game.waitFor((s) => s.arrowRow() === 2, Patience), 'stick down');
    await press('button 12');
    assert.ok(await game.waitFor((s) => s.arrowRow() === 1, Patience), 'd-pad up');
    await press('button 12');
    assert.ok(await game.waitFor((s) => s.arrowRow() === 0, Patience));
    await press('button 0');
    assert.ok(
        await game.waitFor((s) => s.isGame() && s.hasStateText(), Patience),
        'the bottom face button chose New Game',
    );
    await press('button 0');
    assert.ok(await game.waitFor((s) => s.isGame() && !s.hasStateText(), Patience), 'served');
    const start = paddleMiddle(await game.take());
    await set('axis 0', 1);
    const steered = await game.waitFor((s) => paddleMiddle(s) > start + 20, Patience);
    await set('axis 0', 0);
    assert.ok(steered, 'the stick steered right');
    // In a desktop browser the mouse over the screen steers too. A lost
    // ball (the count of balls changes) serves again and tries again.
    const box = await (await page.$('#screen'))?.boundingBox();
    assert.ok(box);
    let moused = false;
    for (let attempt = 0; attempt < 3 && !moused; attempt++) {
        let shot = await game.take();
        if (shot.hasStateText()) {
            await press('button 0');
            const playing = await game.waitFor((s) => s.isGame() && !s.hasStateText(), Patience);
            if (!playing) continue;
            shot = playing;
        }
        const balls = ballsShown(shot);
        const target = paddleMiddle(shot) > 160 ? 60 : 260;
        await page.mouse.move(box.x + (target / 320) * box.width, box.y + box.height / 2, { steps: 4 });
        const seen = await game.waitFor(
            (s) => Math.abs(paddleMiddle(s) - target) <= 4 || ballsShown(s) !== balls,
            Patience,
        );
        moused = !!seen && ballsShown(seen) === balls;
    }
    assert.ok(moused, 'the mouse steered');
    await press('button 1');
    assert.ok(await game.waitFor((s) => s.isTitleMenu(), Patience), 'the right face button is Back');
    assert.ok(!(await shown(page, 'ended')));
    await page.close();
});
