// The site's static server, and the browser the page tests drive: a page
// served from a folder loads in headless Chromium with its module script.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, writeFileSync, mkdirSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { request } from 'node:http';
import { brotliDecompressSync, gunzipSync } from 'node:zlib';
import { encodingFor, fileForPath } from '../../web/serve.mjs';
import { launchBrowser, serveFolder } from './support/browser.mjs';

test('paths stay inside the folder', () => {
  const root = '/srv/site';
  assert.equal(fileForPath(root, '/'), '/srv/site/index.html');
  assert.equal(fileForPath(root, '/game/quadrell.js?v=1'), '/srv/site/game/quadrell.js');
  assert.equal(fileForPath(root, '/a%20b.txt'), '/srv/site/a b.txt');
  for (const hostile of ['/../etc/passwd', '/%2e%2e/etc/passwd', '/x/../../etc', '/%00', '/%zz', 'relative']) {
    assert.equal(fileForPath(root, hostile), null, hostile);
  }
});

test('a served page runs its module in the browser', async (t) => {
  const dir = mkdtempSync(join(tmpdir(), 'quadrell-serve-'));
  mkdirSync(join(dir, 'js'));
  writeFileSync(join(dir, 'index.html'),
    '<!doctype html><title>t</title><script type="module" src="js/main.js"></script>');
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

test('compressed as a static host would: brotli, else gzip, for the kinds that gain', async (t) => {
  assert.equal(encodingFor('/s/game/quadrell.wasm', 'gzip, deflate, br'), 'br');
  assert.equal(encodingFor('/s/page.js', 'gzip;q=1.0'), 'gzip');
  assert.equal(encodingFor('/s/page.js', ''), '');
  assert.equal(encodingFor('/s/icons/q.png', 'br'), '');
  const dir = mkdtempSync(join(tmpdir(), 'quadrell-serve-'));
  const text = 'let quadrell = 1;\n'.repeat(500);
  writeFileSync(join(dir, 'a.js'), text);
  const site = await serveFolder(dir);
  t.after(() => site.close());
  /** @param {string} accept @returns {Promise<{ encoding: string | undefined, body: Buffer }>} */
  const get = (accept) => new Promise((done, fail) => {
    request(site.url + 'a.js', { headers: { 'Accept-Encoding': accept } }, (response) => {
      const parts = [];
      response.on('data', (part) => parts.push(part));
      response.on('end', () => done({ encoding: response.headers['content-encoding'], body: Buffer.concat(parts) }));
    }).on('error', fail).end();
  });
  const br = await get('gzip, br');
  assert.equal(br.encoding, 'br');
  assert.equal(brotliDecompressSync(br.body).toString(), text);
  const gzip = await get('gzip');
  assert.equal(gzip.encoding, 'gzip');
  assert.equal(gunzipSync(gzip.body).toString(), text);
  const plain = await get('identity');
  assert.equal(plain.encoding, undefined);
  assert.equal(plain.body.toString(), text);
});
