// @ts-check
// The browser edition's screens beside the desktop game's: title menu,
// options, credits and a new game (on tests/e2e/levels/busy, before the
// serve), each taken from both at 320x240, with the differing pixels
// (ImageMagick's compare -metric AE) in all and outside text (pixels more
// than 2 pixels away from any white text pixel of either picture).
//
//   usage: cd tests/web && node ../../bench/web-screens.mjs [OUT_DIR]
// Needs the built site (build-web/site), the desktop game (build/quadrell),
// xvfb-run, xdotool and ImageMagick. The pictures stay in OUT_DIR.
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launchBrowser, serveFolder } from '../tests/web/support/browser.mjs';
import { desktopGameFolder } from './support.mjs';

const repo = new URL('..', import.meta.url).pathname;
const out = process.argv[2] ?? mkdtempSync(join(tmpdir(), 'quadrell-screens-'));
mkdirSync(out, { recursive: true });
const busy = readFileSync(join(repo, 'tests/e2e/levels/busy/level1.txt'), 'utf8');
const sleep = (/** @type {number} */ ms) => new Promise((done) => setTimeout(done, ms));
// Each screen, and the keys that lead from the previous one to it.
const screens = [
  ['title', []],
  ['options', ['Down', 'space']],
  ['credits', ['Down', 'Down', 'Down', 'Down', 'space', 'Down', 'space']],
  ['game', ['space', 'Up', 'Up', 'space']],
];
const domKey = (/** @type {string} */ key) => ({ Down: 'ArrowDown', Up: 'ArrowUp', space: 'Space' })[key] ?? key;

// The browser's.
const server = await serveFolder(join(repo, 'build-web/site'), { port: 0 });
const browser = await launchBrowser();
const page = await browser.newPage();
await page.evaluateOnNewDocument((text) => {
  /** @type {any} */ (window).quadrellLevels = [{ name: 'level1.txt', text }];
}, busy);
await page.goto(server.url);
await page.click('#start');
await sleep(2500);
for (const [name, keys] of screens) {
  for (const key of keys) {
    await page.keyboard.down(/** @type {any} */ (domKey(key)));
    await sleep(100);
    await page.keyboard.up(/** @type {any} */ (domKey(key)));
    await sleep(300);
  }
  await sleep(500);
  const url = await page.evaluate(() => /** @type {HTMLCanvasElement} */ (document.getElementById('screen')).toDataURL());
  writeFileSync(join(out, `web-${name}.png`), Buffer.from(url.split(',')[1], 'base64'));
}
await browser.close();
await server.close();

// The desktop's, in a scratch folder with the same level.
const scratch = desktopGameFolder('quadrell-screens-run-');
const steps = screens.map(([name, keys]) =>
  `${keys.map((k) => `xdotool keydown --window "$id" ${k}; sleep 0.1; xdotool keyup --window "$id" ${k}; sleep 0.3`).join('\n')}
sleep 0.5; import -window "$id" "$OUT/desktop-${name}.png"`).join('\n');
execFileSync('xvfb-run', ['-a', '-s', '-screen 0 640x480x24 -noreset', 'bash', '-c', `set -eu
cd "$SCRATCH"
SDL_AUDIODRIVER=dummy "$GAME" >/dev/null 2>&1 &
pid=$!
id=$(xdotool search --sync --name Quadrell | head -1)
sleep 2.5
${steps}
kill $pid`], { env: { ...process.env, SCRATCH: scratch, OUT: out, GAME: join(repo, 'build/quadrell') } });
rmSync(scratch, { recursive: true, force: true });

/** @param {string} path */
const rgb = (path) => execFileSync('convert', [path, '-depth', '8', 'rgb:-']);
for (const [name] of screens) {
  const a = rgb(join(out, `desktop-${name}.png`)), b = rgb(join(out, `web-${name}.png`));
  const white = (/** @type {Buffer} */ p, /** @type {number} */ i) => p[i * 3] > 180 && p[i * 3 + 1] > 180 && p[i * 3 + 2] > 180;
  const text = new Uint8Array(320 * 240);
  for (let i = 0; i < text.length; i++) {
    if (!white(a, i) && !white(b, i)) continue;
    const x = i % 320, y = Math.floor(i / 320);
    for (let dy = -2; dy <= 2; dy++) for (let dx = -2; dx <= 2; dx++) {
      const xx = x + dx, yy = y + dy;
      if (xx >= 0 && xx < 320 && yy >= 0 && yy < 240) text[yy * 320 + xx] = 1;
    }
  }
  let outside = 0;
  for (let i = 0; i < text.length; i++) {
    if (!text[i] && (a[i * 3] !== b[i * 3] || a[i * 3 + 1] !== b[i * 3 + 1] || a[i * 3 + 2] !== b[i * 3 + 2])) outside++;
  }
  let ae = '';
  try {
    execFileSync('compare', ['-metric', 'AE', join(out, `desktop-${name}.png`), join(out, `web-${name}.png`), join(out, `diff-${name}.png`)], { stdio: 'pipe' });
    ae = '0';
  } catch (error) {
    ae = String(/** @type {any} */ (error).stderr).trim();
  }
  console.log(`${name}: ${ae} pixels differ (compare -metric AE), ${outside} outside text`);
}
console.log(`pictures in ${out}`);
