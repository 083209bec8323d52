// @ts-check
// Share links: a level or a set of levels packed into the address's
// fragment ("#q1." and the deflated JSON in URL-safe base64), and back.
//
// A link is untrusted input. Decoding bounds the fragment's length before
// looking at it, inflates as a stream and stops at a fixed size (a small
// link can hold a huge inflated text), checks every field's type and every
// text's characters, and answers every failure with a message a person can
// read: it never throws. The texts it returns are still only texts: the
// page reads them with the game's loader and shows them as text, never as
// markup.

import { MAX_LEVELS, cleanTitle, levelFileName } from './levelNames.js';

/** @typedef {{title: string, text: string}} SharedLevel */
/** @typedef {{ok: true, fragment: string} | {ok: false, error: string}} Encoded */
/** @typedef {{ok: true, levels: SharedLevel[]} | {ok: false, error: string}} Decoded */

export const SHARE_PREFIX = 'q1.';
// About 24 KB of deflated JSON: a full set of long levels fits, and
// browsers and chat programs carry such an address.
export const MAX_FRAGMENT_LENGTH = 32768;
export const MAX_INFLATED_BYTES = 256 * 1024;
// A level file of 300 cells is about 640 characters; this leaves room for
// the odd text a designer pastes without letting one level fill a link.
export const MAX_TEXT_LENGTH = 16384;
const FORMAT_VERSION = 1;

/**
 * Whether a location's hash (with or without its "#") is a share link.
 * @param {string} hash
 */
export function isShareFragment(hash) {
    return typeof hash === 'string' && hash.replace(/^#/, '').startsWith(SHARE_PREFIX);
}

/**
 * Packs the levels into a fragment (without the "#"). Refuses levels that
 * the decoder would refuse, and a set too large for a link.
 * @param {SharedLevel[]} levels
 * @returns {Promise<Encoded>}
 */
export async function encodeShare(levels) {
    const problem = checkLevels(levels);
    if (problem) return { ok: false, error: `cannot share these levels: ${problem}` };
    const payload = {
        v: FORMAT_VERSION,
        levels: levels.map((l) => ({ title: cleanTitle(l.title), text: l.text })),
    };
    const bytes = new TextEncoder().encode(JSON.stringify(payload));
    const packed = await transform(bytes, new CompressionStream('deflate'));
    const fragment = SHARE_PREFIX + toBase64Url(packed);
    if (fragment.length > MAX_FRAGMENT_LENGTH) {
        return {
            ok: false,
            error:
                `cannot share these levels: the link would be ${fragment.length} characters long, ` +
                `more than the ${MAX_FRAGMENT_LENGTH} a link may have; share fewer levels`,
        };
    }
    return { ok: true, fragment };
}

/**
 * Unpacks a fragment (with or without its "#").
 * @param {unknown} hash
 * @returns {Promise<Decoded>}
 */
export async function decodeShare(hash) {
    /** @param {string} why */
    const fail = (why) => /** @type {const} */ ({ ok: false, error: `this link does not open: ${why}` });
    try {
        if (typeof hash !== 'string') return fail('it holds no level');
        const fragment = hash.startsWith('#') ? hash.slice(1) : hash;
        if (fragment.length > MAX_FRAGMENT_LENGTH) {
            return fail(
                `it is ${fragment.length} characters long, more than the ${MAX_FRAGMENT_LENGTH} ` +
                    'a level link can have',
            );
        }
        if (!fragment.startsWith(SHARE_PREFIX)) return fail('it is not a Quadrell level link');
        const packed = fromBase64Url(fragment.slice(SHARE_PREFIX.length));
        if (!packed) return fail('it has been cut or changed (characters a level link does not use)');
        const inflated = await inflateCapped(packed, MAX_INFLATED_BYTES);
        if (inflated === 'too large') {
            return fail(`its levels unpack to more than ${MAX_INFLATED_BYTES / 1024} KB`);
        }
        if (inflated === 'broken') return fail('it has been cut or changed (its compressed data is broken)');
        if (inflated.includes(0)) return fail('it holds NUL bytes');
        let text;
        try {
            text = new TextDecoder('utf-8', { fatal: true }).decode(inflated);
        } catch {
            return fail('it has been changed (its text is not UTF-8)');
        }
        /** @type {any} */
        let data;
        try {
            data = JSON.parse(text);
        } catch {
            return fail('it has been changed (its contents are not readable)');
        }
        if (!data || typeof data !== 'object' || Array.isArray(data)) return fail('it holds no level');
        if (data.v !== FORMAT_VERSION) return fail('it was made by another version of the editor');
        const problem = checkLevels(data.levels);
        if (problem) return fail(problem);
        /** @type {SharedLevel[]} */
        const levels = data.levels.map((/** @type {SharedLevel} */ l) => ({
            title: cleanTitle(l.title),
            text: l.text,
        }));
        return { ok: true, levels };
    } catch (error) {
        // Nothing above should throw; if a browser's stream does after all,
        // the page still gets a message instead of an exception.
        return fail(`it could not be read (${error instanceof Error ? error.message : String(error)})`);
    }
}

/**
 * What is wrong with a list of levels to share, or "" when nothing is.
 * @param {unknown} levels
 * @returns {string}
 */
function checkLevels(levels) {
    if (!Array.isArray(levels) || levels.length === 0) return 'it holds no level';
    if (levels.length > MAX_LEVELS) return `it holds ${levels.length} levels, more than ${MAX_LEVELS}`;
    for (let i = 0; i < levels.length; ++i) {
        const level = levels[i];
        const name = levels.length === 1 ? 'the level' : `level ${i + 1}`;
        if (!level || typeof level !== 'object') return `${name} is not a level`;
        if (typeof level.text !== 'string') return `${name} has no level text`;
        if (level.title !== undefined && typeof level.title !== 'string')
            return `${name} has a title that is not text`;
        if (level.text.length > MAX_TEXT_LENGTH) {
            return `${name} is ${level.text.length} characters long, more than ${MAX_TEXT_LENGTH}`;
        }
        // Control characters but tab, line feed and carriage return.
        const bad = level.text.search(/(?![\t\n\r])\p{Cc}/u);
        if (bad >= 0) {
            const code = level.text.charCodeAt(bad);
            const what = code === 0 ? 'a NUL character' : `the control character ${hex(code)}`;
            return `${name} holds ${what}, which no level file has`;
        }
    }
    return '';
}

/** @param {number} code */
function hex(code) {
    return `U+${code.toString(16).toUpperCase().padStart(4, '0')}`;
}

/**
 * @param {Uint8Array} bytes
 * @param {CompressionStream | DecompressionStream} stream
 * @returns {Promise<Uint8Array>}
 */
async function transform(bytes, stream) {
    const out = new Blob([/** @type {Uint8Array<ArrayBuffer>} */ (bytes)]).stream().pipeThrough(stream);
    return new Uint8Array(await new Response(out).arrayBuffer());
}

/**
 * Inflates at most cap bytes, reading the stream chunk by chunk and giving
 * up as soon as the output passes the cap.
 * @param {Uint8Array} packed
 * @param {number} cap
 * @returns {Promise<Uint8Array | 'too large' | 'broken'>}
 */
async function inflateCapped(packed, cap) {
    const reader = new Blob([/** @type {Uint8Array<ArrayBuffer>} */ (packed)])
        .stream()
        .pipeThrough(new DecompressionStream('deflate'))
        .getReader();
    /** @type {Uint8Array[]} */
    const chunks = [];
    let total = 0;
    try {
        for (;;) {
            const { done, value } = await reader.read();
            if (done) break;
            total += value.length;
            if (total > cap) {
                reader.cancel().catch(() => {});
                return 'too large';
            }
            chunks.push(value);
        }
    } catch {
        return 'broken';
    }
    const out = new Uint8Array(total);
    let at = 0;
    for (const chunk of chunks) {
        out.set(chunk, at);
        at += chunk.length;
    }
    return out;
}

/**
 * @param {Uint8Array} bytes
 * @returns {string}
 */
function toBase64Url(bytes) {
    let binary = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
        binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    }
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

/**
 * The bytes of URL-safe base64 without padding, or null when the text is
 * not that.
 * @param {string} text
 * @returns {Uint8Array | null}
 */
function fromBase64Url(text) {
    if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) return null;
    const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
}

/**
 * The level files a link carries, named as the game reads them
 * (level1.txt, ...), for starting the game straight from a link: the game's
 * own loader then reads each text, as it reads any level file.
 * @param {unknown} hash
 * @returns {Promise<{ok: true, files: {name: string, text: string}[]} | {ok: false, error: string}>}
 */
export async function levelFilesOfLink(hash) {
    const decoded = await decodeShare(hash);
    if (!decoded.ok) return decoded;
    return {
        ok: true,
        files: decoded.levels.map((level, i) => ({ name: levelFileName(i), text: level.text })),
    };
}
