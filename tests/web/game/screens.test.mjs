// @ts-check
// The browser's screens against the desktop game's, taken in the same run
// (tests/web/support/screens.mjs): the loading screen (the desktop's
// first pictures include one of the page's loading frames, pixel for pixel,
// and none other), the title menu, options,
// credits and a new game. Pictures, fills and blends are the desktop's to
// the pixel; text is rasterised by another engine than the desktop's
// FreeType, so its pixels are counted (in the test's diagnostics) and
// bounded, not required equal.
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
            const { differing, outsideText } = compareScreens(
                rgbOf(join(out, `desktop-${name}.png`)),
                rgbOf(join(out, `web-${name}.png`)),
            );
            t.diagnostic(`${name}: ${differing} pixels differ, ${outsideText} outside text`);
            // The new game's frame-rate counter shows the frames of another
            // second on each side; it is text, all else must be equal.
            assert.equal(outsideText, 0, `${name}: nothing differs outside text`);
            assert.ok(differing < 4000, `${name}: ${differing} text pixels differ`);
        }
    } finally {
        removeFolder(out);
        removeFolder(scratch);
    }
});
