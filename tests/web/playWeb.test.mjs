// @ts-check
// The README's way into the browser edition, run as a player runs it:
// ./play.sh --web on a free port builds the whole site and serves it, and
// the game's page, the page opened with a level link and the level editor
// all load in headless Chromium with no failed request and no console
// error. It serves the same build-web/site/ the other web tests use, so
// they cannot pass while this command serves a broken site.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { createServer } from 'node:net';
import path from 'node:path';
import { launchBrowser } from './support/browser.mjs';

const source = process.env.QUADRELL_SOURCE ?? path.resolve(import.meta.dirname, '../..');
// Two levels of two rows each, with titles, as the editor's Copy link makes them.
const levelLink =
    'q1.eJyrVipTsjLUUcpJLUvNKVayiq5WKsksyUlVslIKKc9XKMovL1bSUSpJrShRslIyMFQAISMwMgYjYkVi8ijSrFQbWwsAwGolXw';

/** @returns {Promise<number>} a port nothing listens on now */
function freePort() {
    return new Promise((resolve, reject) => {
        const server = createServer();
        server.once('error', reject);
        server.listen(0, '127.0.0.1', () => {
            const address = server.address();
            const port = typeof address === 'object' && address ? address.port : 0;
            server.close(() => resolve(port));
        });
    });
}

/**
 * Starts ./play.sh --web and waits for both addresses it prints.
 * @param {number} port
 */
function startPlayWeb(port) {
    const child = spawn(path.join(source, 'play.sh'), ['--web', '--port', String(port)], {
        cwd: source,
        detached: true,
        stdio: ['ignore', 'pipe', 'pipe'],
    });
    let output = '';
    const addresses = new Promise((resolve, reject) => {
        const read = (/** @type {Buffer} */ chunk) => {
            output += chunk;
            const game = /^The game: +(\S+)$/m.exec(output);
            const editor = /^The level editor: +(\S+)$/m.exec(output);
            if (game && editor) resolve({ game: game[1], editor: editor[1] });
        };
        child.stdout.on('data', read);
        child.stderr.on('data', (chunk) => (output += chunk));
        child.once('exit', (code) =>
            reject(new Error(`play.sh --web ended (${code}) before serving:\n${output}`)),
        );
    });
    // The server runs until stopped, as after the player's Ctrl+C.
    const stop = () => {
        try {
            process.kill(-(child.pid ?? 0), 'SIGINT');
        } catch {
            // Already gone.
        }
    };
    return { addresses: /** @type {Promise<{game: string, editor: string}>} */ (addresses), stop };
}

test(
    './play.sh --web serves the game, a level link and the editor whole',
    { timeout: 280_000 },
    async (t) => {
        const port = await freePort();
        const served = startPlayWeb(port);
        t.after(served.stop);
        const { game, editor } = await served.addresses;
        assert.equal(game, `http://127.0.0.1:${port}/`);
        assert.equal(editor, `${game}editor.html`);

        const browser = await launchBrowser();
        t.after(() => browser.close());
        for (const [address, starts] of [
            [game, true],
            [`${game}#${levelLink}`, true],
            [editor, false],
        ]) {
            const page = await browser.newPage();
            /** @type {string[]} */
            const problems = [];
            page.on('requestfailed', (request) => problems.push(`failed: ${request.url()}`));
            page.on('response', (response) => {
                if (response.status() >= 400) problems.push(`${response.status()}: ${response.url()}`);
            });
            page.on('console', (message) => {
                if (message.type() === 'error') problems.push(`console: ${message.text()}`);
            });
            page.on('pageerror', (error) => problems.push(`page error: ${error}`));
            await page.goto(String(address), { waitUntil: 'networkidle0' });
            if (starts) {
                // The player's first click starts the game, which loads the rest.
                await page.mouse.click(160, 120);
                await page.waitForNetworkIdle({ idleTime: 1000 });
                const alert = await page.$eval(
                    'body',
                    (body) => body.querySelector('[role="alert"]')?.textContent ?? '',
                );
                assert.equal(alert, '', `${address} says: ${alert}`);
            }
            assert.deepEqual(problems, [], String(address));
            await page.close();
        }
    },
);
