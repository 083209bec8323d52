// @ts-check
// The browser edition's figures, beside the desktop game's in the same run:
//   - download: the site's bytes, raw, gzip and brotli;
//   - start: navigation to the first loading-screen frame and to the first
//     title-menu frame (median of 5), and the desktop's launch to its title
//     menu (median of 5, under Xvfb);
//   - frames: frames per second and the 95th-percentile gap over 20 s at the
//     title menu and in play (the computer player on a busy level);
//   - CPU: the browser's (all its processes) and the desktop game's, as
//     percent of one core over the same 20 s windows;
//   - the floor: a page that only puts a 320x240 picture with a moving
//     square on a canvas shown at 2x, 62.5 times a second (bench/floor/), in
//     a browser of its own before and after the game's windows: what showing
//     such a picture costs the browser, which no game can go below;
//   - the game's own work per frame: from the wake of one sleep to the next
//     sleep (the timers the frame loop sets), median over each window.
//
//   usage: node bench/web-game.mjs [SITE] [DESKTOP_GAME]
//   (defaults build-web/site and build/quadrell, from the repository's top)
// Needs xvfb-run, xdotool and import for the desktop side. Run it nice on a
// quiet machine; the figures move with its load.
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync, statSync, rmSync } from 'node:fs';
import { join } from 'node:path';
import { brotliCompressSync, gzipSync, constants } from 'node:zlib';
import { launchBrowser, serveFolder } from '../tests/web/support/browser.mjs';
import { cpu, desktopGameFolder } from './support.mjs';

const repo = new URL('..', import.meta.url).pathname;
const site = process.argv[2] ?? join(repo, 'build-web/site');
const desktop = process.argv[3] ?? join(repo, 'build/quadrell');
const busy = readFileSync(join(repo, 'tests/e2e/levels/busy/level1.txt'), 'utf8');
const sleep = (/** @type {number} */ ms) => new Promise((done) => setTimeout(done, ms));
const median = (/** @type {number[]} */ xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const Ticks = 100; // clock ticks a second in /proc

// --- download -------------------------------------------------------------
/** @param {string} dir @returns {string[]} */
const files = (dir) =>
    readdirSync(dir).flatMap((name) => {
        const path = join(dir, name);
        return statSync(path).isDirectory() ? files(path) : [path];
    });
/** @param {string[]} list */
function sizes(list) {
    let raw = 0,
        gzip = 0,
        brotli = 0;
    for (const path of list) {
        const bytes = readFileSync(path);
        raw += bytes.length;
        gzip += gzipSync(bytes, { level: 9 }).length;
        brotli += brotliCompressSync(bytes, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } }).length;
    }
    return { raw, gzip, brotli };
}
const all = files(site);
// What a player downloads to play: the page and the game, with the tab's
// icon; the larger icons are fetched only by a browser installing the app.
const installIcon = (/** @type {string} */ path) => /\/icons\//.test(path) && !/-32\.png$/.test(path);
const game = all.filter(
    (path) => !path.includes('/levelcheck/') && !path.includes('/editor') && !installIcon(path),
);
console.log('download, whole site:', sizes(all));
console.log('download, the game (page, game/):', sizes(game));
console.log("the app's install icons:", sizes(all.filter(installIcon)));
const tune = all.filter((path) => /mod(-worklet)?\.js$/.test(path));
console.log('of which the tune player:', sizes(tune));

/** @param {number[]} times */
function frameFigures(times) {
    const gaps = times
        .slice(1)
        .map((t, i) => t - times[i])
        .sort((a, b) => a - b);
    return {
        fps: Number(((times.length - 1) / ((times[times.length - 1] - times[0]) / 1000)).toFixed(1)),
        p95GapMs: Number(gaps[Math.floor(gaps.length * 0.95)].toFixed(1)),
    };
}

// --- the floor --------------------------------------------------------------
/** One 20 s window of the floor page in a browser of its own. @param {string} when */
async function measureFloor(when) {
    process.stderr.write(`floor, ${when}\n`);
    const floorServer = await serveFolder(join(repo, 'bench/floor'), { port: 0 });
    const floorBrowser = await launchBrowser();
    const floorPage = await floorBrowser.newPage();
    await floorPage.evaluateOnNewDocument(() => {
        const w = /** @type {any} */ (window);
        w.flips = [];
        w.quadrellOnFrame = () => w.flips.push(performance.now());
    });
    await floorPage.goto(floorServer.url);
    await sleep(3000);
    await floorPage.evaluate(() => {
        /** @type {any} */ (window).flips = [];
    });
    const load = await cpu(/** @type {number} */ (floorBrowser.process()?.pid), 20000);
    const times = await floorPage.evaluate(() => /** @type {any} */ (window).flips);
    await floorBrowser.close();
    await floorServer.close();
    console.log(`floor (${when}):`, frameFigures(times), 'browser CPU % of a core:', load.toFixed(1));
    return load;
}
const floorBefore = await measureFloor('before the game');

// --- the browser ----------------------------------------------------------
const server = await serveFolder(site, { port: 0 });
const browser = await launchBrowser({ args: ['--autoplay-policy=no-user-gesture-required'] });
const browserPid = /** @type {number} */ (browser.process()?.pid);

/**
 * A tab that records every frame the game shows: its time and, while
 * window.watch is set (the start figures), whether it shows anything and
 * whether it is the title menu. Reading the screen back costs time, so the
 * frame-rate windows record times only.
 */
async function openPage() {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument((text) => {
        const w = /** @type {any} */ (window);
        w.quadrellLevels = [{ name: 'level1.txt', text }];
        w.flips = [];
        w.watch = true;
        // The frame loop's sleeps are timers of 1..16 ms: the time from one's
        // callback to the next one set is the game's work for a frame.
        w.work = [];
        const setTimer = window.setTimeout;
        let wake = 0;
        /** @type {any} */ (window).setTimeout = function (
            /** @type {any} */ fn,
            /** @type {number} */ ms,
            /** @type {any[]} */ ...rest
        ) {
            if (typeof fn === 'function' && ms >= 1 && ms <= 16) {
                if (wake) w.work.push(performance.now() - wake);
                wake = 0;
                const inner = fn;
                fn = (/** @type {any[]} */ ...args) => {
                    wake = performance.now();
                    return inner(...args);
                };
            }
            return /** @type {any} */ (setTimer)(fn, ms, ...rest);
        };
        w.quadrellOnFrame = () => {
            const t = performance.now();
            if (!w.watch) {
                w.flips.push({ t });
                return;
            }
            const canvas = /** @type {HTMLCanvasElement} */ (document.getElementById('screen'));
            const d = /** @type {CanvasRenderingContext2D} */ (canvas.getContext('2d')).getImageData(
                0,
                0,
                320,
                240,
            ).data;
            let lit = 0,
                menu = 0;
            for (let i = 0; i < d.length; i += 4) {
                if (d[i] + d[i + 1] + d[i + 2] > 30) lit++;
            }
            // "New Game" on the first row and nothing in the top band: the title menu.
            for (let y = 52; y < 74; y++)
                for (let x = 40; x < 190; x++) {
                    const i = (y * 320 + x) * 4;
                    if (d[i] > 180 && d[i + 1] > 180 && d[i + 2] > 180) menu++;
                }
            let top = 0;
            for (let i = 0; i < 320 * 40 * 4; i += 4) if (d[i] + d[i + 1] + d[i + 2] > 30) top++;
            w.flips.push({ t, lit, title: menu > 30 && top === 0 });
        };
    }, busy);
    return page;
}

const webStart = [];
for (let run = 0; run < 5; run++) {
    const page = await openPage();
    await page.goto(server.url);
    await page.click('#start');
    await page.waitForFunction(
        () => /** @type {any} */ (window).flips.some((/** @type {any} */ f) => f.title),
        { timeout: 20000 },
    );
    webStart.push(
        await page.evaluate(() => {
            const flips = /** @type {any} */ (window).flips;
            return {
                first: flips.find((/** @type {any} */ f) => f.lit > 0).t,
                title: flips.find((/** @type {any} */ f) => f.title).t,
            };
        }),
    );
    await page.close();
}
console.log(
    'web: navigation to the first loading frame, ms (median of 5):',
    Math.round(median(webStart.map((s) => s.first))),
    webStart.map((s) => Math.round(s.first)),
);
console.log(
    'web: navigation to the first title-menu frame, ms (median of 5):',
    Math.round(median(webStart.map((s) => s.title))),
    webStart.map((s) => Math.round(s.title)),
);

const page = await openPage();
await page.goto(server.url);
await page.click('#start');
await page.waitForFunction(() => /** @type {any} */ (window).flips.some((/** @type {any} */ f) => f.title), {
    timeout: 20000,
});
// Settled, as the desktop's window below: the tune's player has loaded.
await sleep(3000);
/** @param {string} what */
async function measureWeb(what) {
    await page.evaluate(() => {
        /** @type {any} */ (window).watch = false;
        /** @type {any} */ (window).flips = [];
        /** @type {any} */ (window).work = [];
    });
    const load = await cpu(browserPid, 20000);
    const times = await page.evaluate(() =>
        /** @type {any} */ (window).flips.map((/** @type {any} */ f) => f.t),
    );
    const work = await page.evaluate(() => /** @type {any} */ (window).work);
    console.log(
        `web ${what}:`,
        frameFigures(times),
        'browser CPU % of a core:',
        load.toFixed(1),
        'game work per frame, median ms:',
        median(work).toFixed(2),
    );
    return load;
}
const webTitle = await measureWeb('title menu');
const keys = async (/** @type {string[]} */ list) => {
    for (const key of list) {
        await page.keyboard.down(/** @type {any} */ (key));
        await sleep(100);
        await page.keyboard.up(/** @type {any} */ (key));
        await sleep(250);
    }
};
// Options: the computer player on; then a game, served.
await keys([
    'ArrowDown',
    'Space',
    'ArrowDown',
    'ArrowDown',
    'ArrowDown',
    'Space',
    'ArrowDown',
    'Space',
    'ArrowUp',
    'Space',
    'Space',
]);
await sleep(1000);
const webPlay = await measureWeb('in play');
await browser.close();
await server.close();
const floorAfter = await measureFloor('after the game');
const floor = (floorBefore + floorAfter) / 2;
console.log(
    `the game's page against the floor (mean of its two windows, ${floor.toFixed(1)}%):`,
    `title ${(webTitle / floor).toFixed(2)}x, in play ${(webPlay / floor).toFixed(2)}x`,
);

// --- the desktop ----------------------------------------------------------
const scratch = desktopGameFolder('quadrell-bench-');
const script = `
set -eu
cd "$SCRATCH"
shot() { import -window "$1" rgb:- 2>/dev/null | od -An -v -tu1 -w3 | awk 'NR>320*52 && NR<=320*74 { n++; split($0,a," "); x=(NR-1)%320; if (x>=40 && x<190 && a[1]>180 && a[2]>180 && a[3]>180) m++ } END { print m+0 }'; }
for run in 1 2 3 4 5; do
  start=$(date +%s%N)
  SDL_AUDIODRIVER=dummy "$GAME" >/dev/null 2>&1 &
  pid=$!
  id=$(xdotool search --sync --name Quadrell | head -1)
  # A game that never shows its title menu is reported, not waited for.
  until [ "$(shot "$id")" -gt 30 ]; do
    [ $(( $(date +%s%N) - start )) -lt 30000000000 ] || { echo "no title menu in 30 s" >&2; exit 3; }
  done
  echo "title $(( ($(date +%s%N) - start) / 1000000 ))"
  kill $pid; wait $pid 2>/dev/null || true
  # The next run's window search must not find this one's.
  while xdotool search --name Quadrell >/dev/null 2>&1; do sleep 0.05; done
  sleep 0.5
done
SDL_AUDIODRIVER=dummy "$GAME" >/dev/null 2>&1 &
pid=$!
id=$(xdotool search --sync --name Quadrell | head -1)
sleep 3
t0=$(awk '{print $14+$15}' /proc/$pid/stat); sleep 20; t1=$(awk '{print $14+$15}' /proc/$pid/stat)
echo "cpu-title $((t1 - t0))"
for key in Down space Down Down Down space Down space Up space space; do
  xdotool keydown --window "$id" $key; sleep 0.1; xdotool keyup --window "$id" $key; sleep 0.25
done
sleep 1
t0=$(awk '{print $14+$15}' /proc/$pid/stat); sleep 20; t1=$(awk '{print $14+$15}' /proc/$pid/stat)
echo "cpu-play $((t1 - t0))"
kill $pid
`;
const out = execFileSync('xvfb-run', ['-a', '-s', '-screen 0 640x480x24 -noreset', 'bash', '-c', script], {
    env: { ...process.env, SCRATCH: scratch, GAME: desktop },
    encoding: 'utf8',
});
rmSync(scratch, { recursive: true, force: true });
const titles = [...out.matchAll(/^title (\d+)/gm)].map((m) => Number(m[1]));
console.log('desktop: launch to the first title-menu screenshot, ms (median of 5):', median(titles), titles);
for (const [, what, ticks] of out.matchAll(/^cpu-(\w+) (\d+)/gm)) {
    console.log(
        `desktop ${what === 'title' ? 'title menu' : 'in play'}: CPU % of a core:`,
        ((Number(ticks) / Ticks / 20) * 100).toFixed(1),
    );
}
