// @ts-check
// Reading a zip of level files (the editor's own download, or one a
// designer made with any zip program): its plain files, stored or
// deflated, by name.
//
// A zip is untrusted input. The reader bounds the zip's size, the number
// of entries and every entry's size before and while inflating (a small
// entry can inflate to gigabytes), checks every offset against the file,
// checks each file's CRC, and takes only plain file names: an entry under
// a folder is known by its last part, and one whose name climbs out
// ("..", "/" at the start, a drive) is refused. Names are never used as
// paths here; the care is for whoever reads the list. Failures are
// thrown as errors with a message a person can read.

import { crc32 } from './zipWriter.js';

export const MAX_ZIP_BYTES = 8 * 1024 * 1024;
export const MAX_ENTRIES = 1000;

const LOCAL_HEADER = 0x04034b50;
const CENTRAL_HEADER = 0x02014b50;
const END_OF_DIRECTORY = 0x06054b50;
const STORED = 0;
const DEFLATED = 8;

/** @typedef {{name: string, bytes: Uint8Array}} ZipFile */

/**
 * Whether bytes begin as a zip file does.
 * @param {Uint8Array} bytes
 */
export function isZip(bytes) {
    return (
        bytes.length >= 4 &&
        new DataView(bytes.buffer, bytes.byteOffset, 4).getUint32(0, true) === LOCAL_HEADER
    );
}

/**
 * The plain files of a zip, in the zip's order, each at most maxFileBytes.
 * Folders are skipped; files under folders are named by their last part.
 * @param {Uint8Array} zip
 * @param {{maxFileBytes: number}} limits
 * @returns {Promise<ZipFile[]>}
 */
export async function unzipFiles(zip, { maxFileBytes }) {
    if (zip.length > MAX_ZIP_BYTES)
        throw new Error(
            `the zip is ${zip.length} bytes, more than the ${MAX_ZIP_BYTES} a set of levels needs`,
        );
    const view = new DataView(zip.buffer, zip.byteOffset, zip.byteLength);
    const end = findEnd(view);
    const count = view.getUint16(end + 10, true);
    const directoryAt = view.getUint32(end + 16, true);
    if (count > MAX_ENTRIES) throw new Error(`the zip holds ${count} entries, more than a set of levels`);
    /** @type {ZipFile[]} */
    const files = [];
    const seen = new Set();
    let at = directoryAt;
    for (let i = 0; i < count; ++i) {
        need(view, at, 46);
        if (view.getUint32(at, true) !== CENTRAL_HEADER) throw new Error("the zip's list of files is broken");
        const flags = view.getUint16(at + 8, true);
        const method = view.getUint16(at + 10, true);
        const crc = view.getUint32(at + 16, true);
        const packedSize = view.getUint32(at + 20, true);
        const size = view.getUint32(at + 24, true);
        const nameLength = view.getUint16(at + 28, true);
        const extraLength = view.getUint16(at + 30, true);
        const commentLength = view.getUint16(at + 32, true);
        const localAt = view.getUint32(at + 42, true);
        need(view, at + 46, nameLength);
        const fullName = new TextDecoder().decode(zip.subarray(at + 46, at + 46 + nameLength));
        at += 46 + nameLength + extraLength + commentLength;
        if (fullName.endsWith('/')) continue;
        const name = plainName(fullName);
        if (flags & 1) throw new Error(`${name} in the zip is encrypted`);
        if (seen.has(name)) throw new Error(`the zip holds ${name} twice`);
        seen.add(name);
        if (size > maxFileBytes)
            throw new Error(`${name} in the zip is ${size} bytes, too large for a level file`);
        need(view, localAt, 30);
        if (view.getUint32(localAt, true) !== LOCAL_HEADER) throw new Error(`${name}: the zip is broken`);
        const dataAt = localAt + 30 + view.getUint16(localAt + 26, true) + view.getUint16(localAt + 28, true);
        need(view, dataAt, packedSize);
        const packed = zip.subarray(dataAt, dataAt + packedSize);
        let bytes;
        if (method === STORED) bytes = packed;
        else if (method === DEFLATED) bytes = await inflate(packed, maxFileBytes, name);
        else
            throw new Error(
                `${name} in the zip is packed in a way this page does not read (method ${method})`,
            );
        if (bytes.length !== size || crc32(bytes) !== crc)
            throw new Error(`${name} in the zip is damaged (its check sum differs)`);
        files.push({ name, bytes });
    }
    return files;
}

/**
 * @param {DataView} view
 * @param {number} at
 * @param {number} length
 */
function need(view, at, length) {
    if (at < 0 || at + length > view.byteLength) throw new Error('the zip is cut short or broken');
}

/**
 * The end of the zip's list of files: its last 22 bytes, or before a comment.
 * @param {DataView} view
 */
function findEnd(view) {
    for (let at = view.byteLength - 22; at >= 0 && at >= view.byteLength - 22 - 0xffff; --at) {
        if (view.getUint32(at, true) === END_OF_DIRECTORY) return at;
    }
    throw new Error('this is not a zip file');
}

/**
 * An entry's name without its folders; refused when it climbs out.
 * @param {string} name
 */
function plainName(name) {
    const parts = name.split(/[\\/]/);
    if (
        name.startsWith('/') ||
        name.startsWith('\\') ||
        /^[a-zA-Z]:/.test(name) ||
        parts.includes('..') ||
        /\p{Cc}/u.test(name)
    ) {
        throw new Error(
            `the zip holds a file named ${JSON.stringify(name.slice(0, 80))}, outside its own folder`,
        );
    }
    return parts[parts.length - 1];
}

/**
 * Inflates raw deflate, stopping past limit bytes.
 * @param {Uint8Array} packed
 * @param {number} limit
 * @param {string} name
 */
async function inflate(packed, limit, name) {
    const stream = new Blob([/** @type {Uint8Array<ArrayBuffer>} */ (packed)])
        .stream()
        .pipeThrough(new DecompressionStream('deflate-raw'));
    const reader = stream.getReader();
    /** @type {Uint8Array[]} */
    const chunks = [];
    let size = 0;
    try {
        for (;;) {
            const { done, value } = await reader.read();
            if (done) break;
            size += value.length;
            if (size > limit) {
                await reader.cancel();
                throw new Error(
                    `${name} in the zip inflates past ${limit} bytes, too large for a level file`,
                );
            }
            chunks.push(value);
        }
    } catch (error) {
        if (error instanceof Error && error.message.startsWith(name)) throw error;
        throw new Error(`${name} in the zip is damaged (it does not inflate)`);
    }
    const bytes = new Uint8Array(size);
    let offset = 0;
    for (const chunk of chunks) {
        bytes.set(chunk, offset);
        offset += chunk.length;
    }
    return bytes;
}
