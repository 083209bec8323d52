// @ts-check
// The browser edition's screens beside the desktop game's: the loading
// screen, title menu, options, credits and a new game (on
// tests/e2e/levels/busy, before the serve), each taken from both at
// 320x240, with the differing pixels in all and outside text (pixels more
// than 2 pixels away from any light text pixel of either picture); the
// test tests/web/game/screens.test.mjs checks the same pictures.
//
//   usage: node bench/web-screens.mjs [OUT_DIR]
// Needs the built site (build-web/site), the desktop game (build/quadrell),
// xvfb-run, xdotool and ImageMagick. The pictures stay in OUT_DIR.
import { mkdirSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
    compareScreens,
    loadingFrames,
    removeFolder,
    rgbOf,
    screens,
    takeDesktopScreens,
    takeWebScreens,
} from '../tests/web/support/screens.mjs';
import { desktopGameFolder } from './support.mjs';

const repo = new URL('..', import.meta.url).pathname;
const out = process.argv[2] ?? mkdtempSync(join(tmpdir(), 'quadrell-screens-'));
mkdirSync(out, { recursive: true });

await takeWebScreens(join(repo, 'build-web/site'), out);
const scratch = desktopGameFolder('quadrell-screens-run-');
takeDesktopScreens(join(repo, 'build/quadrell'), scratch, out);
removeFolder(scratch);

const web = loadingFrames(out, 'web').map(rgbOf);
for (const shot of loadingFrames(out, 'desktop')) {
    const nearest = Math.min(...web.map((frame) => compareScreens(rgbOf(shot), frame).differing));
    console.log(`${shot}: ${nearest} pixels differ from the nearest of the page's loading frames`);
}
for (const [name] of screens) {
    const { differing, outsideText } = compareScreens(
        rgbOf(join(out, `desktop-${name}.png`)),
        rgbOf(join(out, `web-${name}.png`)),
    );
    console.log(`${name}: ${differing} pixels differ, ${outsideText} outside text`);
}
console.log(`pictures in ${out}`);
