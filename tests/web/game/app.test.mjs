// @ts-check
// The page as an app, in headless Chromium: a hidden page pauses the game
// and loses no ball; after one visit the site plays offline, and a new
// build's service worker replaces the old one's cache; Play again ten
// times keeps the JavaScript heap and the listeners where the first run
// left them; "Try again" after a failed download. Needs the built site.
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { execFileSync } from 'node:child_process';
import { after, before, test } from 'node:test';
import { launchBrowser, serveFolder } from '../support/browser.mjs';
import { driver, shown } from './screen.mjs';
import { buildsOf } from '../../../web/shared/offline.js';

const repo = new URL('../../../', import.meta.url);
const site = process.env.SITE ?? new URL('build-web/site/', repo).pathname;

/** @type {Awaited<ReturnType<typeof serveFolder>>} */
let server;
/** @type {import('puppeteer-core').Browser} */
let browser;
/** A tab of its own profile: no other test's service worker or cache. */
const newPage = async () => (await browser.createBrowserContext()).newPage();

before(async () => {
    server = await serveFolder(site, { port: 0 });
    browser = await launchBrowser({ args: ['--autoplay-policy=no-user-gesture-required'] });
});
after(async () => {
    await browser?.close();
    await server?.close();
});

/** What the page's run tells of the game's own state. @param {import('puppeteer-core').Page} page @param {'roundState' | 'balls' | 'inPlay'} what */
function ask(page, what) {
    return page.evaluate((name) => {
        const run = /** @type {any} */ (window).quadrellRun;
        return run ? Number(run[name]()) : -2;
    }, what);
}

/** Polls until the game's round state is `state`. @param {import('puppeteer-core').Page} page @param {number} state */
async function roundState(page, state, timeoutMs = 5000) {
    const end = Date.now() + timeoutMs;
    while (Date.now() < end) {
        if ((await ask(page, 'roundState')) === state) return true;
        await new Promise((done) => setTimeout(done, 25));
    }
    return false;
}
const GetReady = 3;
const Playing = 4;
const Paused = 5;

/** Starts the game from the page's overlay to the title menu. @param {import('puppeteer-core').Page} page */
async function toTitle(page) {
    await page.waitForSelector('#start:not([hidden])');
    await page.click('#start');
    // A loaded machine may take its time; the start is not a timing under test.
    assert.ok(
        await driver(page).waitFor((s) => s.isTitleMenu(), 20000),
        `the title menu (covers: ${await page.$$eval('.cover:not([hidden])', (shown) => shown.map((e) => e.id).join(' '))})`,
    );
}

test('a hidden page pauses the game and loses no ball; back, the game resumes', async () => {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(server.url);
    const game = driver(page);
    await toTitle(page);
    await game.press('Space');
    assert.ok(await roundState(page, GetReady), 'a new game');
    await game.press('Space');
    assert.ok(await roundState(page, Playing), 'the ball served');
    const balls = await ask(page, 'balls');
    // Another tab in front: the game's page is hidden, as the browser hides it.
    const other = await context.newPage();
    await other.bringToFront();
    await page.waitForFunction(() => document.visibilityState === 'hidden', { timeout: 5000 });
    assert.ok(await roundState(page, Paused, 3000), 'paused once hidden');
    await game.sleep(10000);
    assert.equal(await ask(page, 'roundState'), Paused, 'still paused');
    assert.equal(await ask(page, 'balls'), balls, 'no ball lost');
    await page.bringToFront();
    await page.waitForFunction(() => document.visibilityState === 'visible');
    assert.equal(await ask(page, 'roundState'), Paused, 'back, still paused until the player resumes');
    // The pause key was let go: the select key resumes, as after any pause.
    await game.press('Space');
    assert.ok(await roundState(page, Playing), 'resumed');
    await context.close();
});

test('Play again ten times: the heap and the listeners stay where the first run left them', async (t) => {
    const page = await newPage();
    await page.goto(server.url);
    const client = await page.createCDPSession();
    await client.send('Performance.enable');
    const game = driver(page);
    const measure = async () => {
        await client.send('HeapProfiler.collectGarbage');
        const { metrics } = await client.send('Performance.getMetrics');
        const heap = metrics.find((m) => m.name === 'JSHeapUsedSize')?.value ?? NaN;
        let listeners = 0;
        for (const expression of ['window', 'document', 'document.getElementById("screen")']) {
            const { result } = await client.send('Runtime.evaluate', { expression });
            listeners += (
                await client.send('DOMDebugger.getEventListeners', {
                    objectId: /** @type {string} */ (result.objectId),
                })
            ).listeners.length;
        }
        const nodes = await page.evaluate(() => document.getElementsByTagName('*').length);
        return { heap, listeners, nodes };
    };
    /** One run: the title menu, then Escape ends the program. @param {string} selector */
    const run = async (selector) => {
        await page.click(selector);
        assert.ok(await game.waitFor((s) => s.isTitleMenu(), 10000), 'the title menu');
        // A press the menu missed (it may still be settling) is pressed again.
        for (let attempt = 0; attempt < 3 && !(await shown(page, 'ended')); attempt++) {
            await game.press('Escape');
            await page.waitForSelector('#ended:not([hidden])', { timeout: 3000 }).catch(() => {});
        }
        assert.ok(await shown(page, 'ended'), 'the program ended');
    };
    await run('#start');
    const first = await measure();
    for (let i = 2; i <= 10; i++) await run('#again');
    const tenth = await measure();
    t.diagnostic(`after the first run ${JSON.stringify(first)}, after the tenth ${JSON.stringify(tenth)}`);
    const growth = tenth.heap - first.heap;
    assert.ok(growth < 5 * 1024 * 1024, `the heap grew by ${(growth / 1048576).toFixed(1)} MB`);
    assert.equal(tenth.listeners, first.listeners, 'listeners');
    assert.equal(tenth.nodes, first.nodes, 'DOM nodes');
    await page.close();
});

test('a failed download: the page says which file, and Try again works once it is back', async () => {
    const page = await newPage();
    let missing = true;
    await page.setRequestInterception(true);
    page.on('request', (request) => {
        if (missing && request.url().endsWith('/quadrell.data'))
            return request.respond({ status: 404, body: 'not found' });
        return request.continue();
    });
    await page.goto(server.url);
    await page.waitForSelector('#failed:not([hidden])', { timeout: 10000 });
    assert.match(await page.$eval('#failure', (e) => e.textContent ?? ''), /quadrell\.data: 404/);
    await page.click('#retry');
    await page.waitForSelector('#failed:not([hidden])', { timeout: 10000 });
    missing = false;
    await page.click('#retry');
    assert.ok(await driver(page).waitFor((s) => s.isTitleMenu(), 10000), 'the title menu after Try again');
    assert.ok(!(await shown(page, 'failed')));
    await page.close();
});

/**
 * What became of the site's update on the page (offline.js), once the page
 * has asked. @param {import('puppeteer-core').Page} page
 */
async function siteUpdate(page) {
    await page.waitForFunction(() => /** @type {any} */ (window).quadrellSiteUpdate, { timeout: 20000 });
    return page.evaluate(() => /** @type {any} */ (window).quadrellSiteUpdate);
}

test('a page whose files came from two builds sees it', () => {
    /** @param {string[]} stamps */
    const entry = (...stamps) => ({
        serverTiming: [
            { name: 'cache', description: 'hit' },
            ...stamps.map((description) => ({ name: 'build', description })),
        ],
    });
    assert.deepEqual(
        [...buildsOf([entry('a'), entry('a'), entry(), {}])],
        ['a'],
        'one build, a file from the network',
    );
    assert.deepEqual([...buildsOf([entry('a'), entry('b')])], ['a', 'b']);
    assert.equal(buildsOf([entry(), {}]).size, 0, 'no worker');
});

test('offline after one visit; a new build replaces the old build cleanly', async () => {
    // A copy of the site, rebuilt below.
    const copy = mkdtempSync(join(tmpdir(), 'quadrell-site-'));
    cpSync(site, copy, { recursive: true });
    const own = await serveFolder(copy, { port: 0 });
    const context = await browser.createBrowserContext();
    try {
        /** The site's caches, and what the page's worker is. @param {import('puppeteer-core').Page} page */
        const offlineState = (page) =>
            page.evaluate(async () => {
                const registration = await navigator.serviceWorker.ready;
                return {
                    caches: await caches.keys(),
                    waiting: !!registration.waiting,
                    controlled: !!navigator.serviceWorker.controller,
                };
            });
        const page = await context.newPage();
        await page.goto(own.url);
        const first = await offlineState(page);
        assert.equal(first.caches.length, 1, 'one cache for the build');
        const client = await page.createCDPSession();
        const network = async (/** @type {boolean} */ offline) =>
            client.send('Network.emulateNetworkConditions', {
                offline,
                latency: 0,
                downloadThroughput: -1,
                uploadThroughput: -1,
            });
        await network(true);
        await page.reload();
        await toTitle(page);
        assert.ok((await offlineState(page)).controlled, 'the page came from the worker');

        // A new build: one file changed, and its worker listed again.
        writeFileSync(
            join(copy, 'page.js'),
            `${readFileSync(join(copy, 'page.js'), 'utf8')}\n/* a new build */\n`,
        );
        execFileSync('cmake', [
            `-DSITE=${copy}`,
            `-DSOURCE=${new URL('web/sw.js', repo).pathname}`,
            '-P',
            new URL('web/SiteOffline.cmake', repo).pathname,
        ]);
        await network(false);
        await page.reload();
        // The new build waits while a page of the old one is open: here two.
        await page.waitForFunction(async () => !!(await navigator.serviceWorker.ready).waiting, {
            timeout: 20000,
        });
        const second = await context.newPage();
        await second.goto(own.url);
        assert.equal(await siteUpdate(second), 'waiting', 'the second page asks, and the new build waits');
        await page.reload();
        assert.equal(await siteUpdate(page), 'waiting', 'so it does for the first page again');
        assert.equal(
            (await offlineState(page)).caches.length,
            2,
            'both builds kept while two pages are open',
        );
        // One page left: its reload brings the new build in, which replaces the old.
        await second.close();
        await page.reload();
        await page.waitForFunction(
            async () => (await caches.keys()).length === 1 && !(await navigator.serviceWorker.ready).waiting,
            { timeout: 20000 },
        );
        await page.waitForFunction(() => document.readyState === 'complete');
        const after = await offlineState(page);
        assert.notDeepEqual(after.caches, first.caches, "the new build's cache in place of the old");
        const offlineClient = await page.createCDPSession();
        await offlineClient.send('Network.emulateNetworkConditions', {
            offline: true,
            latency: 0,
            downloadThroughput: -1,
            uploadThroughput: -1,
        });
        await page.reload();
        const script = await page.evaluate(async () => (await fetch('page.js')).text());
        assert.ok(script.endsWith('/* a new build */\n'), 'offline, the new build is served');
        const builds = await page.evaluate(() =>
            [
                ...performance.getEntriesByType('navigation'),
                ...performance.getEntriesByType('resource'),
            ].flatMap((entry) =>
                /** @type {PerformanceResourceTiming} */ (entry).serverTiming
                    .filter((timing) => timing.name === 'build')
                    .map((timing) => timing.description),
            ),
        );
        assert.ok(builds.length > 3, 'the files served are stamped with their build');
        assert.equal(new Set(builds).size, 1, "and all are the new build's");
        await toTitle(page);
    } finally {
        await context.close();
        await own.close();
        rmSync(copy, { recursive: true, force: true });
    }
});

test('opened from a file, the page says how to open it; the mute button is remembered', async () => {
    const page = await newPage();
    await page.goto(new URL('index.html', `file://${site.endsWith('/') ? site : `${site}/`}`).href);
    await page.waitForSelector('#opened-from-file:not([hidden])', { timeout: 5000 });
    assert.match(await page.$eval('#opened-from-file', (e) => e.textContent ?? ''), /\.\/play\.sh --web/);
    assert.ok(!(await shown(page, 'start')), 'no start overlay that cannot start anything');
    await page.goto(server.url);
    await page.click('#mute');
    await page.reload();
    assert.equal(await page.$eval('#mute', (e) => e.getAttribute('aria-pressed')), 'true');
    await page.close();
});
