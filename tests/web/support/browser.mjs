// @ts-check
// What the browser tests share: Debian's Chromium, headless, driven by
// puppeteer-core, with a throwaway profile; and the site's static server.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

export { serveFolder } from '../../../web/serve.mjs';

/** Where the browser is: CHROMIUM overrides Debian's. */
export const chromiumPath = process.env.CHROMIUM ?? '/usr/bin/chromium';

/**
 * The flags every headless Chromium here runs with: off the network (this
 * machine's is closed; Chromium's background connections would only fail)
 * and out of the GPU and sandbox, which a headless container has not.
 */
export const chromiumFlags = [
    '--no-sandbox',
    '--disable-gpu',
    '--disable-quic',
    '--no-first-run',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
];

/**
 * Starts a headless Chromium with a fresh profile, removed again on close.
 * @param {{args?: string[]}} [options] extra command-line flags
 * @returns {Promise<import('puppeteer-core').Browser>}
 */
export async function launchBrowser({ args = [] } = {}) {
    const profile = mkdtempSync(join(tmpdir(), 'quadrell-chromium-'));
    const browser = await puppeteer.launch({
        executablePath: chromiumPath,
        headless: true,
        args: [...chromiumFlags, ...args],
        userDataDir: profile,
    });
    // The profile goes once the browser process has ended, not at the
    // disconnect, while it may still be writing there.
    const close = browser.close.bind(browser);
    browser.close = async () => {
        await close();
        rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
    };
    return browser;
}
