// @ts-check
// The page's own parts in headless Chromium: a broken data file, which
// shows the game's failure line and its log on the page (touch.test.mjs
// plays the page on a phone).
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { after, before, test } from 'node:test';
import { launchBrowser, serveFolder } from '../support/browser.mjs';

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
    assert.equal(
        line,
        'Quadrell could not start: could not load data/images/arrow.png. The Log button shows its log.',
    );
    const log = await page.$eval('#failure-log', (e) => e.textContent ?? '');
    assert.ok(log.endsWith('stopping application\n'), log);
    await page.close();
});
