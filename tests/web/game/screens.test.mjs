// @ts-check
// The browser's screens against the desktop game's, taken in the same run
// (tests/web/support/screens.mjs): the loading screen (the desktop's
// first pictures include one of the page's loading frames, pixel for pixel,
// and none other), the title menu, options,
// credits and a new game, all the desktop's to the pixel, text included (the
// page draws it from the desktop's own glyphs, web/sdl/glyphs/).
import assert from 'node:assert/strict';
import { mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';
import { desktopGameFolder } from '../../../bench/support.mjs';
import {
    compareScreens,
    loadingFrames,
    removeFolder,
    rgbOf,
    screens,
    takeDesktopScreens,
    takeWebScreens,
} from '../support/screens.mjs';

// The new game's frame-rate counter (GameScene: 14-point text at x 300,
// y 0) shows the frames of another second on each side.
const counter = { x: 300, y: 0, w: 20, h: 16 };

/** The picture with the counter's box copied from another. @param {Buffer} picture @param {Buffer} from */
function withCounterOf(picture, from) {
    const copy = Buffer.from(picture);
    for (let y = counter.y; y < counter.y + counter.h; y++) {
        const start = (y * 320 + counter.x) * 3;
        from.copy(copy, start, start, start + counter.w * 3);
    }
    return copy;
}

const site = process.env.SITE;
const desktop = process.env.QUADRELL_DESKTOP_GAME;

test("the page shows the desktop game's screens", { skip: !site || !desktop }, async (t) => {
    const out = mkdtempSync(join(tmpdir(), 'quadrell-screens-'));
    const scratch = desktopGameFolder('quadrell-screens-run-');
    try {
        await takeWebScreens(String(site), out);
        takeDesktopScreens(String(desktop), scratch, out);

        const web = loadingFrames(out, 'web').map(rgbOf);
        assert.equal(web.length, 6, 'every loading frame of the page');
        const title = rgbOf(join(out, 'desktop-title.png'));
        let matched = 0;
        for (const shot of loadingFrames(out, 'desktop').map(rgbOf)) {
            // Past its last frame the loading screen gives way to the menu.
            if (compareScreens(shot, title).differing === 0) continue;
            const nearest = Math.min(...web.map((frame) => compareScreens(shot, frame).differing));
            assert.equal(
                nearest,
                0,
                "every desktop loading screen is one of the page's loading frames, pixel for pixel",
            );
            matched++;
        }
        assert.ok(matched > 0, 'a loading screen taken on the desktop');

        for (const [name] of screens) {
            const want = rgbOf(join(out, `desktop-${name}.png`));
            const got = rgbOf(join(out, `web-${name}.png`));
            const { differing } = compareScreens(want, name === 'game' ? withCounterOf(got, want) : got);
            t.diagnostic(`${name}: ${compareScreens(want, got).differing} pixels differ in all`);
            assert.equal(differing, 0, `${name}: every pixel the desktop's, text too`);
        }
    } finally {
        removeFolder(out);
        removeFolder(scratch);
    }
});
