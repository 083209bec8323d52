// @ts-check
// The site as one zip for a static host (tools/package-web.sh): it holds
// exactly the built site, index.html at its top, and unpacked into a
// folder deep inside a host's tree the game's page and the editor load
// from there with no failed request (every address in the site is relative).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { launchBrowser, serveFolder } from './support/browser.mjs';

const source = process.env.QUADRELL_SOURCE ?? path.resolve(import.meta.dirname, '../..');

/** @param {string} dir @returns {string[]} the files under dir, relative, sorted */
function filesUnder(dir) {
    return readdirSync(dir, { recursive: true, withFileTypes: true })
        .filter((entry) => entry.isFile())
        .map((entry) => path.relative(dir, path.join(entry.parentPath, entry.name)))
        .sort();
}

test('the site zip holds the site and plays from any folder of a host', { timeout: 280_000 }, async (t) => {
    const work = mkdtempSync(path.join(tmpdir(), 'quadrell-zip-'));
    t.after(() => rmSync(work, { recursive: true, force: true }));
    const zip = execFileSync(path.join(source, 'tools/package-web.sh'), [work], { encoding: 'utf8' }).trim();
    assert.match(path.basename(zip), /^quadrell-web-\d+\.\d+\.\d+\.zip$/);

    const host = path.join(work, 'host');
    const folder = path.join(host, 'games', 'quadrell');
    mkdirSync(folder, { recursive: true });
    execFileSync('unzip', ['-q', zip, '-d', folder]);
    assert.deepEqual(filesUnder(folder), filesUnder(path.join(source, 'build-web', 'site')));
    assert.ok(filesUnder(folder).includes('index.html'));

    const site = await serveFolder(host);
    t.after(() => site.close());
    const browser = await launchBrowser();
    t.after(() => browser.close());
    for (const name of ['index.html', 'editor.html']) {
        const page = await browser.newPage();
        /** @type {string[]} */
        const problems = [];
        page.on('requestfailed', (request) => problems.push(`failed: ${request.url()}`));
        page.on('response', (response) => {
            if (response.status() >= 400) problems.push(`${response.status()}: ${response.url()}`);
        });
        await page.goto(`${site.url}games/quadrell/${name}`, { waitUntil: 'networkidle0' });
        if (name === 'index.html') {
            await page.mouse.click(160, 120);
            await page.waitForNetworkIdle({ idleTime: 1000 });
        }
        assert.deepEqual(problems, [], name);
        await page.close();
    }
});
