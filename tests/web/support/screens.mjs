// @ts-check
// The game's screens from the browser's page and from the desktop game, at
// 320x240, for comparing them: the loading screen, the title menu, options,
// credits and a new game on tests/e2e/levels/busy before the serve (which
// no serve seed changes). Used by tests/web/game/screens.test.mjs and
// bench/web-screens.mjs. Needs xvfb-run, xdotool and ImageMagick.
import { execFileSync } from 'node:child_process';
import { readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { launchBrowser, serveFolder } from './browser.mjs';
export { compareScreens } from './screenDiff.mjs';

const repo = new URL('../../..', import.meta.url).pathname;
const sleep = (/** @type {number} */ ms) => new Promise((done) => setTimeout(done, ms));
export const busyLevel = readFileSync(join(repo, 'tests/e2e/levels/busy/level1.txt'), 'utf8');

/** Each screen after the loading screen, and the keys that lead from the previous one to it. */
export const screens = /** @type {[string, string[]][]} */ ([
    ['title', []],
    ['options', ['Down', 'space']],
    ['credits', ['Down', 'Down', 'Down', 'Down', 'space', 'Down', 'space']],
    ['game', ['space', 'Up', 'Up', 'space']],
]);
const domKey = (/** @type {string} */ key) =>
    ({ Down: 'ArrowDown', Up: 'ArrowUp', space: 'Space' })[key] ?? key;

/** A picture file's pixels as 8-bit RGB. @param {string} path */
export const rgbOf = (path) => execFileSync('convert', [path, '-depth', '8', 'rgb:-']);

/**
 * The browser's screens as PNG files in out: web-NAME.png, and
 * web-loading-N.png for every frame of the loading screen.
 * @param {string} site the built site
 * @param {string} out
 */
export async function takeWebScreens(site, out) {
    const server = await serveFolder(site, { port: 0 });
    const browser = await launchBrowser();
    try {
        const page = await browser.newPage();
        await page.evaluateOnNewDocument((text) => {
            const w = /** @type {any} */ (window);
            w.quadrellLevels = [{ name: 'level1.txt', text }];
            // The loading screen's frames, each as it was flipped.
            w.loadingFrames = [];
            w.quadrellOnFrame = () => {
                if (w.loadingFrames.length < 6) {
                    w.loadingFrames.push(
                        /** @type {HTMLCanvasElement} */ (document.getElementById('screen')).toDataURL(),
                    );
                }
            };
        }, busyLevel);
        await page.goto(server.url);
        await page.click('#start');
        await sleep(2500);
        const loading = await page.evaluate(() => /** @type {any} */ (window).loadingFrames);
        loading.forEach((/** @type {string} */ url, /** @type {number} */ n) =>
            writeFileSync(join(out, `web-loading-${n}.png`), Buffer.from(url.split(',')[1], 'base64')),
        );
        for (const [name, keys] of screens) {
            for (const key of keys) {
                await page.keyboard.down(/** @type {any} */ (domKey(key)));
                await sleep(100);
                await page.keyboard.up(/** @type {any} */ (domKey(key)));
                await sleep(300);
            }
            await sleep(500);
            const url = await page.evaluate(() =>
                /** @type {HTMLCanvasElement} */ (document.getElementById('screen')).toDataURL(),
            );
            writeFileSync(join(out, `web-${name}.png`), Buffer.from(url.split(',')[1], 'base64'));
        }
    } finally {
        await browser.close();
        await server.close();
    }
}

/**
 * The desktop game's screens as PNG files in out: desktop-NAME.png, and
 * desktop-loading-N.png, the first six pictures the window shows.
 * @param {string} game the desktop program
 * @param {string} scratch a working folder with data/ and the busy level (see bench/support.mjs)
 * @param {string} out
 */
export function takeDesktopScreens(game, scratch, out) {
    const steps = screens
        .map(
            ([name, keys]) =>
                `${keys.map((k) => `xdotool keydown --window "$id" ${k}; sleep 0.1; xdotool keyup --window "$id" ${k}; sleep 0.3`).join('\n')}
sleep 0.5; import -window "$id" "$OUT/desktop-${name}.png"`,
        )
        .join('\n');
    execFileSync(
        'xvfb-run',
        [
            '-a',
            '-s',
            '-screen 0 640x480x24 -noreset',
            'bash',
            '-c',
            `set -eu
cd "$SCRATCH"
SDL_AUDIODRIVER=dummy "$GAME" >/dev/null 2>&1 &
pid=$!
id=$(xdotool search --sync --name Quadrell | head -1)
# The first pictures on the window are loading screens: up to six taken
# once it shows anything (a screenshot may take longer than a frame).
n=0
for try in $(seq 60); do
  import -window "$id" "$OUT/desktop-loading-$n.png"
  if [ "$(convert "$OUT/desktop-loading-$n.png" -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)" != 0 ]; then
    n=$((n + 1))
    [ $n -lt 6 ] || break
  fi
done
sleep 2.5
${steps}
kill $pid`,
        ],
        {
            // A real window on the virtual display, whatever driver the test's
            // own environment asks of SDL.
            env: { ...process.env, SDL_VIDEODRIVER: 'x11', SCRATCH: scratch, OUT: out, GAME: game },
            stdio: 'pipe',
            timeout: 120000,
        },
    );
}

/** The loading frames of one side in out, in order. @param {string} out @param {'web' | 'desktop'} side */
export function loadingFrames(out, side) {
    return readdirSync(out)
        .filter((f) => new RegExp(`^${side}-loading-\\d+\\.png$`).test(f))
        .sort()
        .map((f) => join(out, f));
}

/** Removes a scratch folder. @param {string} folder */
export const removeFolder = (folder) => rmSync(folder, { recursive: true, force: true });
