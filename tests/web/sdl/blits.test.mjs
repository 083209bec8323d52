// @ts-check
// The browser SDL against the desktop's: the same drawing program
// (BlitDump.cpp) on both, every picture compared pixel for pixel. The
// game's pictures, conversions, colour keys, blends, fills and clipping must
// be identical; text is rasterised by another engine than the desktop's
// FreeType, so its differing pixels are counted and bounded.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

/** @typedef {{ w: number, h: number, bpp: number, bytes: Buffer }} Dump */

/** @param {Buffer} file @returns {Map<string, Dump>} */
export function readDump(file) {
    const records = new Map();
    let at = 0;
    while (at < file.length) {
        const end = file.indexOf(0, at);
        const name = file.toString('latin1', at, end);
        const w = file.readInt32LE(end + 1),
            h = file.readInt32LE(end + 5),
            bpp = file.readInt32LE(end + 9);
        const start = end + 13;
        records.set(name, { w, h, bpp, bytes: file.subarray(start, start + w * h * bpp) });
        at = start + w * h * bpp;
    }
    return records;
}

/** Differing pixels of two dumps of one record (all of them when the sizes differ). @param {Dump} a @param {Dump} b */
function differing(a, b) {
    if (a.w !== b.w || a.h !== b.h || a.bpp !== b.bpp) return Math.max(a.w * a.h, b.w * b.h);
    let count = 0;
    for (let i = 0; i < a.bytes.length; i += a.bpp) {
        if (a.bytes.compare(b.bytes, i, i + a.bpp, i, i + a.bpp) !== 0) count++;
    }
    return count;
}

const desktop = process.env.DESKTOP_DUMP,
    layer = process.env.LAYER_DUMP,
    data = process.env.QUADRELL_DATA;

test('the browser SDL draws as the desktop SDL does', { skip: !desktop || !layer || !data }, (t) => {
    const scratch = mkdtempSync(join(tmpdir(), 'sdl-blits-'));
    try {
        const env = { ...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'dummy' };
        execFileSync(String(desktop), [String(data), join(scratch, 'desktop.bin')], { env });
        execFileSync(String(layer), [String(data), join(scratch, 'layer.bin')], { env });
        const want = readDump(readFileSync(join(scratch, 'desktop.bin')));
        const got = readDump(readFileSync(join(scratch, 'layer.bin')));
        assert.deepEqual([...got.keys()], [...want.keys()], 'the same records on both');
        assert.ok(want.size > 250, `all records made (${want.size})`);
        const wrong = [];
        let textPixels = 0,
            textDiffering = 0,
            textSizes = 0;
        for (const [name, expected] of want) {
            const actual = /** @type {Dump} */ (got.get(name));
            const count = differing(expected, actual);
            if (name.startsWith('text ')) {
                if (name.endsWith(' drawn')) {
                    textPixels += expected.w * expected.h;
                    textDiffering += count;
                } else if (count) {
                    textSizes++;
                }
            } else if (count) {
                wrong.push(`${name}: ${count} of ${expected.w * expected.h} differ`);
            }
        }
        assert.deepEqual(wrong, [], 'pictures, blends, fills and clipping as on the desktop');
        t.diagnostic(`text: ${textDiffering} of ${textPixels} pixels differ, ${textSizes} text sizes differ`);
    } finally {
        rmSync(scratch, { recursive: true, force: true });
    }
});
