// @ts-check
// The browser SDL against the desktop's: the same drawing program
// (BlitDump.cpp) on both, every picture compared pixel for pixel. The
// game's pictures, conversions, colour keys, blends, fills and clipping must
// be identical, text too: the layer draws the game's fonts from the glyph
// files (web/sdl/glyphs/), laid beside the .ttf files as the game's data
// packs them.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, symlinkSync } from 'node:fs';
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
    data = process.env.QUADRELL_DATA,
    glyphs = process.env.QUADRELL_GLYPHS;

/** The game's pictures and fonts, with the glyph files among the fonts. @param {string} scratch */
function dataFolder(scratch) {
    const folder = join(scratch, 'data');
    mkdirSync(join(folder, 'fonts'), { recursive: true });
    symlinkSync(join(String(data), 'images'), join(folder, 'images'));
    const fonts = join(String(data), 'fonts');
    for (const name of readdirSync(fonts)) symlinkSync(join(fonts, name), join(folder, 'fonts', name));
    for (const name of readdirSync(String(glyphs)).filter((n) => n.endsWith('.glyphs')))
        symlinkSync(join(String(glyphs), name), join(folder, 'fonts', name));
    return folder;
}

test(
    'the browser SDL draws as the desktop SDL does',
    { skip: !desktop || !layer || !data || !glyphs },
    () => {
        const scratch = mkdtempSync(join(tmpdir(), 'sdl-blits-'));
        try {
            const env = { ...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'dummy' };
            const folder = dataFolder(scratch);
            execFileSync(String(desktop), [folder, join(scratch, 'desktop.bin')], { env });
            execFileSync(String(layer), [folder, join(scratch, 'layer.bin')], { env });
            const want = readDump(readFileSync(join(scratch, 'desktop.bin')));
            const got = readDump(readFileSync(join(scratch, 'layer.bin')));
            assert.deepEqual([...got.keys()], [...want.keys()], 'the same records on both');
            assert.ok(want.size > 250, `all records made (${want.size})`);
            assert.ok(
                [...want.keys()].filter((n) => n.startsWith('text ')).length >= 3 * 18 * 3,
                'all texts drawn',
            );
            const wrong = [];
            for (const [name, expected] of want) {
                const count = differing(expected, /** @type {Dump} */ (got.get(name)));
                if (count) wrong.push(`${name}: ${count} of ${expected.w * expected.h} differ`);
            }
            assert.deepEqual(wrong, [], 'pictures, blends, fills, clipping and text as on the desktop');
        } finally {
            rmSync(scratch, { recursive: true, force: true });
        }
    },
);
