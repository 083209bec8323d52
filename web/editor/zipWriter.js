// @ts-check
// A zip archive of a few small files, for downloading a set of levels in one
// file. Level files are a few hundred bytes each, so the entries are stored
// without compression: the archive then needs only the headers and a CRC-32,
// and opens in every unzip program and file manager.

/** @typedef {{name: string, text?: string, bytes?: Uint8Array}} ZipEntry */

const LOCAL_HEADER = 0x04034b50;
const CENTRAL_HEADER = 0x02014b50;
const END_OF_DIRECTORY = 0x06054b50;
const UTF8_NAMES = 0x0800;
const VERSION = 20; // 2.0: what any reader supports
const MADE_BY_UNIX = 3 << 8;
const REGULAR_FILE_MODE = 0o100644;

/** @type {Uint32Array | null} */
let crcTable = null;

/**
 * The CRC-32 (as in zip, PNG and gzip) of bytes.
 * @param {Uint8Array} bytes
 * @returns {number}
 */
export function crc32(bytes) {
    if (!crcTable) {
        crcTable = new Uint32Array(256);
        for (let n = 0; n < 256; ++n) {
            let c = n;
            for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
            crcTable[n] = c >>> 0;
        }
    }
    let crc = 0xffffffff;
    for (const byte of bytes) crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
    return (crc ^ 0xffffffff) >>> 0;
}

/**
 * The zip file holding the entries in order, each dated date (local time,
 * as zip keeps it; from 1980 on).
 * @param {ZipEntry[]} entries
 * @param {Date} [date]
 * @returns {Uint8Array}
 */
export function zipFiles(entries, date = new Date()) {
    const encoder = new TextEncoder();
    const { time, day } = dosDateTime(date);
    const names = new Set();
    /** @type {Uint8Array[]} */
    const parts = [];
    /** @type {Uint8Array[]} */
    const directory = [];
    let offset = 0;
    for (const entry of entries) {
        checkName(entry.name, names);
        const name = encoder.encode(entry.name);
        const data = entry.bytes ?? encoder.encode(entry.text ?? '');
        const crc = crc32(data);
        const flags = /^[\x20-\x7e]*$/.test(entry.name) ? 0 : UTF8_NAMES;

        // Both headers describe the entry with the same fields in the same
        // order: version needed, flags, method (stored), time, date, CRC,
        // both sizes, the name's length and an empty extra field.
        /** @param {DataView} view @param {number} at */
        const describe = (view, at) => {
            view.setUint16(at, VERSION, true);
            view.setUint16(at + 2, flags, true);
            view.setUint16(at + 4, 0, true);
            view.setUint16(at + 6, time, true);
            view.setUint16(at + 8, day, true);
            view.setUint32(at + 10, crc, true);
            view.setUint32(at + 14, data.length, true);
            view.setUint32(at + 18, data.length, true);
            view.setUint16(at + 22, name.length, true);
            view.setUint16(at + 24, 0, true);
        };
        const local = new DataView(new ArrayBuffer(30));
        local.setUint32(0, LOCAL_HEADER, true);
        describe(local, 4);

        const central = new DataView(new ArrayBuffer(46));
        central.setUint32(0, CENTRAL_HEADER, true);
        central.setUint16(4, MADE_BY_UNIX | VERSION, true);
        describe(central, 6);
        // Comment, disk number and internal attributes stay 0.
        central.setUint32(38, (REGULAR_FILE_MODE << 16) >>> 0, true);
        central.setUint32(42, offset, true);

        parts.push(new Uint8Array(local.buffer), name, data);
        directory.push(new Uint8Array(central.buffer), name);
        offset += 30 + name.length + data.length;
        if (offset > 0xffffffff || entries.length > 0xffff)
            throw new RangeError('too much for a plain zip file');
    }
    const directorySize = directory.reduce((sum, part) => sum + part.length, 0);
    const end = new DataView(new ArrayBuffer(22));
    end.setUint32(0, END_OF_DIRECTORY, true);
    end.setUint16(8, entries.length, true);
    end.setUint16(10, entries.length, true);
    end.setUint32(12, directorySize, true);
    end.setUint32(16, offset, true);

    const all = [...parts, ...directory, new Uint8Array(end.buffer)];
    const out = new Uint8Array(all.reduce((sum, part) => sum + part.length, 0));
    let at = 0;
    for (const part of all) {
        out.set(part, at);
        at += part.length;
    }
    return out;
}

/**
 * A plain file name: no folders, nothing an unzip program could write
 * outside the folder it unpacks into, each name once.
 * @param {string} name
 * @param {Set<string>} seen
 */
function checkName(name, seen) {
    // Any character below the space is a control character.
    if (
        typeof name !== 'string' ||
        name === '' ||
        name === '.' ||
        name === '..' ||
        /[/\\]/.test(name) ||
        [...name].some((ch) => ch < ' ')
    ) {
        throw new RangeError(`not a plain file name: ${JSON.stringify(name)}`);
    }
    if (seen.has(name)) throw new RangeError(`two files named ${name}`);
    seen.add(name);
}

/**
 * @param {Date} date
 * @returns {{time: number, day: number}}
 */
function dosDateTime(date) {
    if (!(date instanceof Date) || Number.isNaN(date.getTime()) || date.getFullYear() < 1980) {
        return { time: 0, day: (1 << 5) | 1 }; // 1980-01-01 00:00
    }
    const year = Math.min(date.getFullYear(), 2107) - 1980;
    return {
        time: (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1),
        day: (year << 9) | ((date.getMonth() + 1) << 5) | date.getDate(),
    };
}
