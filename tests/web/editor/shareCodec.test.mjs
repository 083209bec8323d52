// Share links: round trips, and hostile links answered with a message.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import {
    MAX_FRAGMENT_LENGTH,
    SHARE_PREFIX,
    decodeShare,
    encodeShare,
    isShareFragment,
    levelFilesOfLink,
} from '../../../web/shared/shareCodec.js';

/** @typedef {import('../../../web/shared/shareCodec.js').SharedLevel} SharedLevel */

/**
 * A fragment carrying the given bytes, deflated as the codec does.
 * @param {Uint8Array<ArrayBuffer>} bytes
 */
async function fragmentOf(bytes) {
    const packed = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate'));
    return SHARE_PREFIX + Buffer.from(await new Response(packed).arrayBuffer()).toString('base64url');
}
const json = (/** @type {unknown} */ value) => new TextEncoder().encode(JSON.stringify(value));

test('a level and a set come back as they went, markup and all, as plain text', async () => {
    const level = { title: 'Rose Window', text: '1 2S3 # \n\n. . 1 \n' };
    const one = await encodeShare([level]);
    assert.equal(one.ok, true);
    assert.ok(isShareFragment('#' + one.fragment));
    assert.deepEqual(await decodeShare('#' + one.fragment), { ok: true, levels: [level] });

    const set = [
        level,
        { title: '<img src=x onerror=alert(1)>', text: '<script>alert(1)</script>\r\n' },
        { title: '', text: '' },
    ];
    const many = await encodeShare(set);
    assert.ok(many.ok);
    assert.deepEqual(await decodeShare(many.fragment), { ok: true, levels: set });
    // Titles come back cleaned as the set keeps them.
    const messy = await encodeShare([{ title: ' a\tb ', text: '1 ' }]);
    assert.ok(messy.ok);
    const cleaned = await decodeShare(messy.fragment);
    assert.ok(cleaned.ok);
    assert.deepEqual(cleaned.levels, [{ title: 'a b', text: '1 ' }]);
});

test('levels a link could not carry are refused when encoding', async () => {
    for (const [levels, why] of /** @type {[SharedLevel[], RegExp][]} */ ([
        [[{ title: '', text: '1\u0000' }], /NUL character/],
        // Incompressible text: far beyond a link's length.
        [
            Array.from({ length: 20 }, (_, n) => ({ title: '', text: noise(n, 8000) })),
            /would be \d+ characters long/,
        ],
    ])) {
        const result = await encodeShare(levels);
        assert.equal(result.ok, false);
        assert.match(result.error, why);
    }
});

/**
 * Printable characters from a fixed-seed generator.
 * @param {number} seed
 * @param {number} length
 */
function noise(seed, length) {
    let x = seed * 2654435761 + 1;
    let out = '';
    for (let i = 0; i < length; ++i) {
        x = (Math.imul(x, 1103515245) + 12345) >>> 0;
        out += String.fromCharCode(33 + ((x >>> 16) % 94));
    }
    return out;
}

test('hostile links give a clear message and never throw', async () => {
    const encoded = await encodeShare([{ title: 't', text: '1 2 \n' }]);
    assert.ok(encoded.ok);
    const good = encoded.fragment;
    const body = good.slice(SHARE_PREFIX.length);
    const flipped = body.slice(0, 10) + (body[10] === 'A' ? 'B' : 'A') + body.slice(11);
    const cases = /** @type {[string, unknown, RegExp][]} */ ([
        ['not text', 42, /holds no level/],
        ['megabytes long', '#' + SHARE_PREFIX + 'A'.repeat(3_000_000), /3000003 characters long, more than/],
        ['just over the bound', SHARE_PREFIX + 'A'.repeat(MAX_FRAGMENT_LENGTH), /characters long/],
        ['another fragment', '#section-2', /not a Quadrell level link/],
        ['characters outside the alphabet', SHARE_PREFIX + body + '%3Cscript%3E', /cut or changed/],
        ['cut short', good.slice(0, good.length - 12), /compressed data is broken/],
        ['a changed byte', SHARE_PREFIX + flipped, /broken|changed/],
        ['random bytes', SHARE_PREFIX + Buffer.from(noise(3, 300)).toString('base64url'), /broken/],
        ['empty', SHARE_PREFIX, /broken/],
        ['NUL bytes', await fragmentOf(new Uint8Array([0x7b, 0, 0, 0x7d])), /NUL bytes/],
        [
            'a NUL in a level',
            await fragmentOf(json({ v: 1, levels: [{ title: '', text: '1\u0000' }] })),
            /NUL character/,
        ],
        [
            'a control character',
            await fragmentOf(json({ v: 1, levels: [{ text: '\u001b[31m' }] })),
            /U\+001B/,
        ],
        ['not UTF-8', await fragmentOf(new Uint8Array([0x22, 0xc3, 0x28, 0x22])), /not UTF-8/],
        ['not JSON', await fragmentOf(new TextEncoder().encode('<script>alert(1)</script>')), /not readable/],
        ['a bomb', await fragmentOf(new Uint8Array(20_000_000).fill(32)), /unpack to more than 256 KB/],
        ['a list', await fragmentOf(json([1, 2])), /holds no level/],
        ['another version', await fragmentOf(json({ v: 9, levels: [] })), /another version/],
        ['no levels', await fragmentOf(json({ v: 1, levels: [] })), /holds no level/],
        ['a level not an object', await fragmentOf(json({ v: 1, levels: ['1 '] })), /not a level/],
        [
            'a text not a string',
            await fragmentOf(json({ v: 1, levels: [{ text: { a: 1 } }] })),
            /no level text/,
        ],
        [
            'a title not a string',
            await fragmentOf(json({ v: 1, levels: [{ title: [], text: '' }] })),
            /title that is not text/,
        ],
        [
            'too many levels',
            await fragmentOf(json({ v: 1, levels: new Array(101).fill({ text: '' }) })),
            /101 levels/,
        ],
        [
            'a text too long',
            await fragmentOf(json({ v: 1, levels: [{ text: ' '.repeat(20000) }] })),
            /20000 characters long/,
        ],
    ]);
    for (const [name, fragment, why] of cases) {
        const result = await decodeShare(fragment);
        assert.equal(result.ok, false, name);
        assert.match(result.error, /^this link does not open: /, name);
        assert.match(result.error, why, name);
    }
});

test('a link starts the game with its levels as level1.txt, level2.txt, ...; a bad one with a message', async () => {
    const shared = await encodeShare([
        { title: 'A', text: '1 \n' },
        { title: 'B', text: '# 2 \n' },
    ]);
    assert.deepEqual(await levelFilesOfLink(`#${shared.ok && shared.fragment}`), {
        ok: true,
        files: [
            { name: 'level1.txt', text: '1 \n' },
            { name: 'level2.txt', text: '# 2 \n' },
        ],
    });
    const bad = await levelFilesOfLink('#q1.!!');
    assert.equal(bad.ok, false);
    assert.match(bad.ok ? '' : bad.error, /^this link does not open: /);
});
