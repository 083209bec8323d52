// @ts-check
// What the editor page's browser tests share: the built site served and a
// headless Chromium (tests/web/support), a fresh browser profile per page
// so no test sees another's stored levels, the mouse on grid cells, and
// the desktop levelcheck to compare with.
import path from 'node:path';

import { launchBrowser, serveFolder } from '../support/browser.mjs';
import { required, runDesktopLevelCheck } from '../support/desktopLevelCheck.mjs';

export const site = required('QUADRELL_SITE');
export const desktop = required('LEVELCHECK_DESKTOP');
export const data = required('QUADRELL_DATA');
export const levels = path.resolve(new URL('../levelcheck/levels', import.meta.url).pathname);

/** The site served and a browser, for one test file; close() ends both. */
export async function startSite() {
    const server = await serveFolder(site);
    const browser = await launchBrowser();
    return {
        server,
        browser,
        async close() {
            await browser.close();
            await server.close();
        },
    };
}

/**
 * Opens editor.html (with a fragment) in a context of its own and waits
 * for its first check. Script errors on the page fail the test that reads
 * page.errors.
 * @param {{browser: import('puppeteer-core').Browser, server: {url: string}}} site
 * @param {{hash?: string, context?: import('puppeteer-core').BrowserContext}} [options]
 */
export async function openEditor({ browser, server }, { hash = '', context } = {}) {
    const own = context ?? (await browser.createBrowserContext());
    const page = await own.newPage();
    /** @type {string[]} */
    const errors = [];
    page.on('pageerror', (error) => errors.push(String(error)));
    await page.setViewport({ width: 1280, height: 900 });
    await page.goto(`${server.url}editor.html${hash}`);
    await settled(page);
    return { page, errors, context: own };
}

/**
 * Waits until the page shows the check of its newest change.
 * @param {import('puppeteer-core').Page} page
 */
export async function settled(page) {
    await page.waitForFunction(
        () => {
            const { changed, checked } = document.body.dataset;
            return changed !== undefined && changed === checked;
        },
        { timeout: 30000 },
    );
}

/**
 * Where the middle of a grid cell is on the page.
 * @param {import('puppeteer-core').Page} page
 * @param {number} col
 * @param {number} row
 */
export async function cellPoint(page, col, row) {
    const box = await page.$eval('#grid', (c) => {
        const r = c.getBoundingClientRect();
        return { x: r.x, y: r.y, width: r.width, height: r.height };
    });
    return {
        x: box.x + ((col * 16 + 8) / 320) * box.width,
        y: box.y + ((20 + row * 10 + 5) / 171) * box.height,
    };
}

/**
 * Drags the mouse from one cell to another (a click when they are one).
 * @param {import('puppeteer-core').Page} page
 * @param {[number, number]} from
 * @param {[number, number]} to
 * @param {{button?: 'left' | 'right'}} [options]
 */
export async function drag(page, from, to = from, { button = 'left' } = {}) {
    const a = await cellPoint(page, ...from);
    const b = await cellPoint(page, ...to);
    await page.mouse.move(a.x, a.y);
    await page.mouse.down({ button });
    await page.mouse.move(b.x, b.y, { steps: 6 });
    await page.mouse.up({ button });
    await settled(page);
}

/** @param {import('puppeteer-core').Page} page */
export function levelText(page) {
    return page.$eval('#level-text', (t) => /** @type {HTMLTextAreaElement} */ (t).value);
}

/**
 * Replaces the text box's text as typing or pasting would, and waits for
 * the loader's reading of it.
 * @param {import('puppeteer-core').Page} page
 * @param {string} text
 */
export async function typeText(page, text) {
    await page.$eval(
        '#level-text',
        (t, value) => {
            const area = /** @type {HTMLTextAreaElement} */ (t);
            area.value = value;
            area.dispatchEvent(new Event('input'));
        },
        text,
    );
    await settled(page);
}

/**
 * The open level's grid as the editor holds it: its storage code (see grid.js).
 * @param {import('puppeteer-core').Page} page
 */
export function gridCode(page) {
    return page.evaluate(() => {
        // The page's own handle for its tests.
        const editor = /** @type {any} */ (window).quadrellEditor;
        return editor.set.level(editor.set.current).drawing.grid.toCode();
    });
}

/**
 * The desktop levelcheck on a level's text, under the page's file name.
 * @param {string} text
 * @param {string[]} [options]
 * @param {string} [name]
 */
export function runDesktop(text, options = [], name = 'level1.txt') {
    return runDesktopLevelCheck({ desktop, data }, text, name, options);
}
