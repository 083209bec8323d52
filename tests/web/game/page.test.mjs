// @ts-check
// The page's own parts in headless Chromium: on a touch screen the
// overlay and the touch buttons, which move the paddle through the game's
// key state; a broken data file, which shows the game's failure line and
// its log on the page.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { after, before, test } from 'node:test';
import { launchBrowser, serveFolder } from '../support/browser.mjs';
import { driver, shown } from './screen.mjs';

const repo = new URL('../../../', import.meta.url);
const site = process.env.SITE ?? new URL('build-web/site/', repo).pathname;

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

/** Mean x of the lit pixels in the paddle's rows. @param {import('./screen.mjs').Shot} shot */
function paddleX(shot) {
  let sum = 0;
  let n = 0;
  for (let y = 226; y < 232; y++) {
    for (let x = 0; x < 320; x++) {
      const i = (y * 320 + x) * 4;
      if (shot.rgba[i] + shot.rgba[i + 1] + shot.rgba[i + 2] > 30) {
        sum += x;
        n++;
      }
    }
  }
  return n ? sum / n : -1;
}

test('on a touch screen: the buttons show, start the game and move the paddle', async () => {
  const page = await browser.newPage();
  await page.setViewport({ width: 400, height: 760, hasTouch: true, isMobile: true });
  await page.goto(server.url);
  const game = driver(page);
  const client = await page.createCDPSession();
  /** Holds a finger on a touch button. @param {string} selector @param {number} ms */
  const hold = async (selector, ms) => {
    const box = await (await page.$(selector))?.boundingBox();
    assert.ok(box, selector);
    const point = { x: box.x + box.width / 2, y: box.y + box.height / 2 };
    await client.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [point] });
    await game.sleep(ms);
    await client.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  };
  assert.ok(await page.$eval('#touch', (e) => getComputedStyle(e).display !== 'none'), 'touch buttons shown');
  // The canvas and the buttons do not overlap in portrait.
  const screenBox = await (await page.$('#screen'))?.boundingBox();
  const padBox = await (await page.$('.pad.left'))?.boundingBox();
  assert.ok(screenBox && padBox && padBox.y >= screenBox.y + screenBox.height, 'pads below the screen');

  await hold('[data-key="32"]', 100); // the overlay goes; the select key does nothing yet
  assert.ok(!(await shown(page, 'start')));
  assert.ok(await game.waitFor((s) => s.isTitleMenu() && s.arrowRow() === 0, 10000), 'title menu');
  await hold('[data-key="32"]', 100);
  assert.ok(await game.waitFor((s) => s.isGame() && s.hasStateText(), 5000), 'a game');
  // The paddle moves once the ball is served.
  await hold('[data-key="32"]', 100);
  assert.ok(await game.waitFor((s) => s.isGame() && !s.hasStateText(), 5000), 'playing');
  const start = paddleX(await game.take());
  await hold('[data-key="39"]', 400);
  const moved = paddleX(await game.take());
  assert.ok(moved > start + 10, `the paddle moved right: ${start} -> ${moved}`);
  await page.close();
});

test('on a desktop there are no touch buttons; a broken data file shows the failure line and the log', async () => {
  const page = await browser.newPage();
  // The packaged arrow picture, its PNG signature spoilt.
  const arrow = readFileSync(new URL('data/images/arrow.png', repo));
  // The data as the network sends it, not as the site's offline cache keeps it.
  await page.setBypassServiceWorker(true);
  await page.setRequestInterception(true);
  page.on('request', async (request) => {
    if (!request.url().endsWith('/quadrell.data')) return request.continue();
    const body = Buffer.from(await (await fetch(request.url())).arrayBuffer());
    const at = body.indexOf(arrow);
    assert.ok(at > 0, 'the arrow in the package');
    body[at + 1] = 0x58;
    return request.respond({ status: 200, contentType: 'application/octet-stream', body });
  });
  await page.goto(server.url);
  assert.ok(await page.$eval('#touch', (e) => getComputedStyle(e).display === 'none'));
  await page.click('#start');
  await page.waitForSelector('#failed:not([hidden])', { timeout: 10000 });
  const line = await page.$eval('#failure', (e) => e.textContent);
  assert.equal(line, 'Quadrell could not start: could not load data/images/arrow.png. The Log button shows its log.');
  const log = await page.$eval('#failure-log', (e) => e.textContent ?? '');
  assert.ok(log.endsWith('stopping application\n'), log);
  await page.close();
});
