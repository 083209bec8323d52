// @ts-check
// What a finger landing costs the game's frames on a phone (Chromium's
// emulation: 390x844, 3 device pixels per CSS pixel, touch): at the title
// menu, the longest gap between two frames in the 150 ms after a touch
// start, for touches on the screen, the drag strip, a touch button, the
// page's bar and the page beside the screen; beside the same window's gap
// with no touch. A touch start the browser must wait on (to see whether it
// starts a scroll) holds the game's timers back by about 100 ms.
//
//   usage: node bench/web-touch.mjs [--touches N] [SITE]
//   (SITE defaults to build-web/site, from the repository's top)
// Run it nice on a quiet machine: the gaps move with its load.
import { launchBrowser, serveFolder } from '../tests/web/support/browser.mjs';
import { driver } from '../tests/web/game/screen.mjs';
import { webSite } from './support.mjs';

const usage = 'usage: node bench/web-touch.mjs [--touches N] [SITE]';
const args = process.argv.slice(2);
let touches = 10;
let site = webSite;
for (let i = 0; i < args.length; i++) {
    if (args[i] === '--touches') {
        touches = Number(args[++i]);
        if (!Number.isInteger(touches) || touches < 1) {
            process.stderr.write(`web-touch: --touches needs a positive whole number\n${usage}\n`);
            process.exit(2);
        }
    } else if (args[i].startsWith('-')) {
        process.stderr.write(`web-touch: unknown option ${args[i]}\n${usage}\n`);
        process.exit(2);
    } else {
        site = args[i];
    }
}

const Window = 150;
const sleep = (/** @type {number} */ ms) => new Promise((done) => setTimeout(done, ms));
const median = (/** @type {number[]} */ xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

const server = await serveFolder(site, { port: 0 });
const browser = await launchBrowser();
try {
    const page = await browser.newPage();
    await page.setViewport({ width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
    await page.evaluateOnNewDocument(() => {
        const w = /** @type {any} */ (window);
        w.frameTimes = [];
        w.quadrellOnFrame = () => w.frameTimes.push(performance.now());
    });
    await page.goto(server.url);
    const client = await page.createCDPSession();
    /** A point inside an element (its top left corner, inset), or null. @param {string} selector */
    const pointIn = async (selector) => {
        const box = await (await page.$(selector))?.boundingBox();
        return box ? { x: box.x + 6, y: box.y + 6 } : null;
    };
    /** The longest frame gap between two page times. @param {number} from @param {number} to */
    const longestGap = (from, to) =>
        page.evaluate(
            (a, b) => {
                const times = /** @type {number[]} */ (/** @type {any} */ (window).frameTimes).filter(
                    (t) => t >= a && t <= b,
                );
                return Math.max(0, ...times.slice(1).map((t, i) => t - times[i]));
            },
            from,
            to,
        );
    const now = () => page.evaluate(() => performance.now());

    await client.send('Input.dispatchTouchEvent', {
        type: 'touchStart',
        touchPoints: [(await pointIn('#start')) ?? { x: 9, y: 9 }],
    });
    await client.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    if (!(await driver(page).waitFor((s) => s.isTitleMenu(), 15000)))
        throw new Error('web-touch: no title menu');
    await sleep(1000);

    /** @type {[string, {x: number, y: number} | null][]} */
    const places = [
        ['no touch', { x: -1, y: -1 }],
        ['the screen', await pointIn('#screen')],
        ['the drag strip', await pointIn('#strip')],
        ['a touch button (Left)', await pointIn('[aria-label="Left"]')],
        ["the page's bar", { x: 4, y: 4 }],
    ];
    console.log(
        `longest frame gap in the ${Window} ms after a touch start, ms (median and worst of ${touches}):`,
    );
    for (const [name, place] of places) {
        // A page without that part (an older build) skips it.
        if (!place) continue;
        const point = place.x < 0 ? null : place;
        const gaps = [];
        for (let n = 0; n < touches; n++) {
            const from = await now();
            if (point)
                await client.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [point] });
            await sleep(Window);
            gaps.push(await longestGap(from, from + Window));
            if (point) await client.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
            await sleep(250);
        }
        console.log(
            `  ${name.padEnd(24)} ${median(gaps).toFixed(1).padStart(6)} ${Math.max(...gaps)
                .toFixed(1)
                .padStart(6)}`,
        );
    }
} finally {
    await browser.close();
    await server.close();
}
