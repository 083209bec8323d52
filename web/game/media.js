// @ts-check
// The pure work behind the game's sound in library_quadrell.js (WAV
// samples, the MOD check), and the desktop's 16-bit colours as its window
// shows them (for the tests' screen checks). No DOM here, so node tests it.

/**
 * The 8-bit value the desktop shows for each 5-bit and 6-bit level, read
 * off its screenshots: red and blue as q * 255 / 31, green as q * 97 / 24
 * (not q * 255 / 63: level 42 shows as 169, level 63 as 254), both rounded
 * down.
 */
const expand5 = Array.from({ length: 32 }, (_, q) => Math.floor((q * 255) / 31));
const expand6 = Array.from({ length: 64 }, (_, q) => Math.floor((q * 97) / 24));
/** 8-bit value to the shown value after a round trip through RGB565
 * (web/game/PageSystem.cpp shows the same). */
export const through5 = Uint8Array.from({ length: 256 }, (_, v) => expand5[v >> 3]);
export const through6 = Uint8Array.from({ length: 256 }, (_, v) => expand6[v >> 2]);

/**
 * @typedef {{ rate: number, channels: number, frames: number, samples: Float32Array<ArrayBuffer>[] }} Sound
 * @typedef {{ error: string }} Failure
 */

/**
 * Reads a PCM WAV file (8 or 16 bits, mono or stereo) into float samples.
 * @param {Uint8Array} bytes
 * @returns {Sound | Failure}
 */
export function parseWav(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const tag = (/** @type {number} */ at) => String.fromCharCode(...bytes.subarray(at, at + 4));
    if (bytes.length < 12 || tag(0) !== 'RIFF' || tag(8) !== 'WAVE')
        return { error: 'Unrecognized audio format' };
    let format = null;
    for (let at = 12; at + 8 <= bytes.length;) {
        const id = tag(at);
        const size = view.getUint32(at + 4, true);
        const body = at + 8;
        if (body + size > bytes.length && id !== 'data') break;
        if (id === 'fmt ' && size >= 16) {
            format = {
                code: view.getUint16(body, true),
                channels: view.getUint16(body + 2, true),
                rate: view.getUint32(body + 4, true),
                bits: view.getUint16(body + 14, true),
            };
        } else if (id === 'data') {
            if (!format) return { error: 'Complex WAVE files not supported' };
            const { code, channels, rate, bits } = format;
            if (
                code !== 1 ||
                (bits !== 8 && bits !== 16) ||
                channels < 1 ||
                channels > 2 ||
                rate < 1000 ||
                rate > 192000
            ) {
                return { error: 'Unknown WAVE data format' };
            }
            const width = (bits / 8) * channels;
            const frames = Math.floor(Math.min(size, bytes.length - body) / width);
            const samples = Array.from({ length: channels }, () => new Float32Array(frames));
            for (let f = 0; f < frames; f++) {
                for (let c = 0; c < channels; c++) {
                    const p = body + f * width + (c * bits) / 8;
                    samples[c][f] = bits === 8 ? (bytes[p] - 128) / 128 : view.getInt16(p, true) / 32768;
                }
            }
            return { rate, channels, frames, samples };
        }
        at = body + size + (size & 1);
    }
    return { error: 'Unrecognized audio format' };
}

/**
 * @param {BaseAudioContext} context
 * @param {Sound} sound
 */
export function makeAudioBuffer(context, sound) {
    const buffer = context.createBuffer(sound.channels, Math.max(1, sound.frames), sound.rate);
    sound.samples.forEach((samples, c) => buffer.copyToChannel(samples, c));
    return buffer;
}

/**
 * Checks that bytes are a ProTracker MOD the game's player reads; the
 * error, or null.
 * @param {Uint8Array} bytes
 */
export function checkMod(bytes) {
    if (bytes.length < 1084) return 'Unrecognized audio format';
    const mark = String.fromCharCode(...bytes.subarray(1080, 1084));
    return ['M.K.', 'M!K!', '4CHN', 'FLT4'].includes(mark) ? null : 'Unrecognized audio format';
}
