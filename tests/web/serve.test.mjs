// The site's static server, and the browser the page tests drive: a page
// served from a folder loads in headless Chromium with its module script.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, writeFileSync, mkdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { get } from 'node:http';
import { connect } from 'node:http2';
import { brotliDecompressSync, gunzipSync } from 'node:zlib';
import { chooseEncoding, fileForPath, localCertificate } from '../../web/serve.mjs';
import { launchBrowser, serveFolder } from './support/browser.mjs';

test('paths stay inside the folder', () => {
    const root = '/srv/site';
    assert.equal(fileForPath(root, '/'), '/srv/site/index.html');
    assert.equal(fileForPath(root, '/game/quadrell.js?v=1'), '/srv/site/game/quadrell.js');
    assert.equal(fileForPath(root, '/a%20b.txt'), '/srv/site/a b.txt');
    for (const hostile of [
        '/../etc/passwd',
        '/%2e%2e/etc/passwd',
        '/x/../../etc',
        '/%00',
        '/%zz',
        'relative',
    ]) {
        assert.equal(fileForPath(root, hostile), null, hostile);
    }
});

test('a served page runs its module in the browser', async (t) => {
    const dir = mkdtempSync(join(tmpdir(), 'quadrell-serve-'));
    mkdirSync(join(dir, 'js'));
    writeFileSync(
        join(dir, 'index.html'),
        '<!doctype html><title>t</title><script type="module" src="js/main.js"></script>',
    );
    writeFileSync(join(dir, 'js', 'main.js'), 'document.title = "ran";');
    const site = await serveFolder(dir);
    t.after(() => site.close());
    const missing = await fetch(site.url + 'nothing.wasm');
    assert.equal(missing.status, 404);
    const script = await fetch(site.url + 'js/main.js');
    assert.match(script.headers.get('content-type') ?? '', /^text\/javascript/);

    const browser = await launchBrowser();
    t.after(() => browser.close());
    const page = await browser.newPage();
    await page.goto(site.url);
    await page.waitForFunction(() => document.title === 'ran');
});

test('text and wasm go out compressed as the browser asks, the bytes unchanged', async (t) => {
    assert.equal(chooseEncoding('.wasm', 'gzip, deflate, br'), 'br');
    assert.equal(chooseEncoding('.js', 'gzip;q=1, br;q=0'), 'gzip');
    assert.equal(chooseEncoding('.png', 'gzip, br'), null);
    assert.equal(chooseEncoding('.html', ''), null);

    const dir = mkdtempSync(join(tmpdir(), 'quadrell-serve-'));
    const text = 'const x = 1;\n'.repeat(2000);
    writeFileSync(join(dir, 'big.js'), text);
    const site = await serveFolder(dir);
    t.after(() => site.close());
    /** @param {string} accept @returns {Promise<{encoding: string | undefined, body: Buffer}>} */
    const fetchRaw = (accept) =>
        new Promise((done, fail) => {
            get(site.url + 'big.js', { headers: { 'Accept-Encoding': accept } }, (response) => {
                /** @type {Buffer[]} */
                const parts = [];
                response.on('data', (part) => parts.push(part));
                response.on('end', () =>
                    done({ encoding: response.headers['content-encoding'], body: Buffer.concat(parts) }),
                );
            }).on('error', fail);
        });
    const br = await fetchRaw('gzip, br');
    assert.equal(br.encoding, 'br');
    assert.ok(br.body.length < text.length / 10);
    assert.equal(brotliDecompressSync(br.body).toString(), text);
    const gzip = await fetchRaw('gzip');
    assert.equal(gzip.encoding, 'gzip');
    assert.equal(gunzipSync(gzip.body).toString(), text);
    const plain = await fetchRaw('identity');
    assert.equal(plain.encoding, undefined);
    assert.equal(plain.body.toString(), text);
});

test('with a certificate the folder goes out over HTTP/2, compressed, and close ends its sessions', async (t) => {
    const tls = localCertificate();
    if (!tls) {
        t.skip('no openssl');
        return;
    }
    const dir = mkdtempSync(join(tmpdir(), 'serve-h2-'));
    const text = 'const greeting = "hello";\n'.repeat(40);
    writeFileSync(join(dir, 'page.js'), text);
    const server = await serveFolder(dir, { port: 0, tls });
    assert.match(server.url, /^https:/);
    const session = connect(server.url, { ca: tls.cert });
    const stream = session.request({ ':path': '/page.js', 'accept-encoding': 'br' });
    /** @type {Buffer[]} */
    const chunks = [];
    stream.on('data', (chunk) => chunks.push(chunk));
    const headers = await new Promise((resolve) => stream.on('response', resolve));
    await new Promise((resolve) => stream.on('end', resolve));
    assert.equal(headers[':status'], 200);
    assert.equal(headers['content-encoding'], 'br');
    assert.equal(brotliDecompressSync(Buffer.concat(chunks)).toString(), text);
    // The client keeps its session open; close must not wait for it.
    await server.close();
    session.destroy();
    rmSync(dir, { recursive: true, force: true });
});
