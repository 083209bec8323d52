// @ts-check
// A small player of four-channel ProTracker MOD files, enough for the
// title tune: notes with their samples and loops, and the effects 0xy
// (arpeggio), Cxx (volume), ECx (note cut), Fxx (speed and tempo); other
// effects are ignored. Pure: render() fills sample buffers, the worklet
// (mod-worklet.js) hands them to the browser and node tests them.

const PalClock = 7093789.2;
// Amiga panning: channels 1 and 4 left, 2 and 3 right, not fully apart.
const Pan = [0.2, 0.8, 0.8, 0.2];

/**
 * @typedef {{ data: Float32Array, volume: number, finetune: number, loopStart: number, loopLength: number }} Sample
 * @typedef {{ samples: Sample[], orders: number[], patterns: Uint8Array[] }} Song
 */

/**
 * Reads a MOD file; throws on anything else.
 * @param {Uint8Array} bytes
 * @returns {Song}
 */
export function parseMod(bytes) {
    const word = (/** @type {number} */ at) => ((bytes[at] << 8) | bytes[at + 1]) * 2;
    const mark = String.fromCharCode(...bytes.subarray(1080, 1084));
    if (bytes.length < 1084 || !['M.K.', 'M!K!', '4CHN', 'FLT4'].includes(mark))
        throw new Error('not a 4-channel MOD');
    const songLength = Math.max(1, Math.min(bytes[950], 128));
    const orders = Array.from(bytes.subarray(952, 952 + songLength));
    const patternCount = Math.max(...bytes.subarray(952, 1080)) + 1;
    const patterns = [];
    for (let p = 0; p < patternCount; p++)
        patterns.push(bytes.subarray(1084 + p * 1024, 1084 + (p + 1) * 1024));
    let at = 1084 + patternCount * 1024;
    /** @type {Sample[]} */
    const samples = [];
    for (let s = 0; s < 31; s++) {
        const head = 20 + s * 30;
        const length = word(head + 22);
        const raw = bytes.subarray(at, Math.min(at + length, bytes.length));
        at += length;
        const data = Float32Array.from(raw, (v) => (v < 128 ? v : v - 256) / 128);
        let loopStart = word(head + 26);
        let loopLength = word(head + 28);
        if (loopLength <= 2 || loopStart + loopLength > data.length) loopLength = 0;
        const nibble = bytes[head + 24] & 15;
        samples.push({
            data,
            volume: Math.min(bytes[head + 25], 64),
            finetune: nibble < 8 ? nibble : nibble - 16,
            loopStart,
            loopLength,
        });
    }
    return { samples, orders, patterns };
}

/** @typedef {{ sample: Sample | null, period: number, volume: number, position: number, arpeggio: number, cutTick: number }} Channel */

export class ModPlayer {
    /** @param {Song} song @param {number} rate output sample rate @param {{ loop?: boolean }} [options] */
    constructor(song, rate, { loop = true } = {}) {
        this.song = song;
        this.rate = rate;
        this.loop = loop;
        this.speed = 6;
        this.tempo = 125;
        this.order = 0;
        this.row = 0;
        this.tick = 0;
        this.ended = false;
        this.left = 0; // output frames left in this tick
        this.started = false;
        /** @type {Channel[]} */
        this.channels = Array.from({ length: 4 }, () => ({
            sample: null,
            period: 0,
            volume: 0,
            position: 0,
            arpeggio: 0,
            cutTick: -1,
        }));
        this.startRow();
    }

    startRow() {
        const pattern = this.song.patterns[this.song.orders[this.order]];
        for (let c = 0; c < 4; c++) {
            const at = this.row * 16 + c * 4;
            const channel = this.channels[c];
            const b0 = pattern[at],
                b1 = pattern[at + 1],
                b2 = pattern[at + 2],
                b3 = pattern[at + 3];
            const number = (b0 & 0xf0) | (b2 >> 4);
            const period = ((b0 & 0x0f) << 8) | b1;
            const effect = b2 & 0x0f;
            if (number > 0 && number <= 31) {
                channel.sample = this.song.samples[number - 1];
                channel.volume = channel.sample.volume;
            }
            if (period > 0) {
                channel.period = period;
                channel.position = 0;
            }
            channel.arpeggio = effect === 0 ? b3 : 0;
            channel.cutTick = -1;
            if (effect === 0x0c) channel.volume = Math.min(b3, 64);
            else if (effect === 0x0e && b3 >> 4 === 0x0c) channel.cutTick = b3 & 0x0f;
            else if (effect === 0x0f && b3 > 0) {
                if (b3 < 32) this.speed = b3;
                else this.tempo = b3;
            }
        }
    }

    nextTick() {
        this.tick++;
        if (this.tick >= this.speed) {
            this.tick = 0;
            this.row++;
            if (this.row >= 64) {
                this.row = 0;
                this.order++;
                if (this.order >= this.song.orders.length) {
                    this.order = 0;
                    if (!this.loop) this.ended = true;
                }
            }
            if (!this.ended) this.startRow();
        }
        for (const channel of this.channels) {
            if (channel.cutTick === this.tick) channel.volume = 0;
        }
    }

    /**
     * Mixes the next frames into left and right (added to what is there).
     * @param {Float32Array} left @param {Float32Array} right @param {number} gain
     */
    render(left, right, gain) {
        for (let i = 0; i < left.length;) {
            if (this.ended) return;
            if (this.left <= 0) {
                if (this.started) this.nextTick();
                this.started = true;
                this.left = Math.round((this.rate * 2.5) / this.tempo);
            }
            const run = Math.min(this.left, left.length - i);
            for (let c = 0; c < 4; c++) this.mixChannel(c, left, right, i, run, gain);
            this.left -= run;
            i += run;
        }
    }

    /** @param {number} c @param {Float32Array} left @param {Float32Array} right @param {number} from @param {number} count @param {number} gain */
    mixChannel(c, left, right, from, count, gain) {
        const channel = this.channels[c];
        const sample = channel.sample;
        if (!sample || !channel.period || !sample.data.length || channel.volume === 0) return;
        // Arpeggio: base note, then x, then y semitones up, tick by tick.
        const step3 = this.tick % 3;
        const semitones = step3 === 0 ? 0 : step3 === 1 ? channel.arpeggio >> 4 : channel.arpeggio & 15;
        const frequency = (PalClock / (channel.period * 2)) * 2 ** ((semitones + sample.finetune / 8) / 12);
        const step = frequency / this.rate;
        const level = (channel.volume / 64) * gain * 0.5;
        const l = level * (1 - Pan[c]),
            r = level * Pan[c];
        const data = sample.data;
        const end = sample.loopLength ? sample.loopStart + sample.loopLength : data.length;
        let position = channel.position;
        for (let i = from; i < from + count; i++) {
            if (position >= end) {
                if (!sample.loopLength) {
                    channel.sample = null;
                    break;
                }
                position = sample.loopStart + ((position - sample.loopStart) % sample.loopLength);
            }
            const v = data[position | 0];
            left[i] += v * l;
            right[i] += v * r;
            position += step;
        }
        channel.position = position;
    }
}

/**
 * The music's gain over time as SDL_mixer applies it: the volume (0..128),
 * times a linear fade in from the start or out to silence.
 */
export class MusicGain {
    constructor() {
        this.volume = 128;
        this.fade = { from: 1, to: 1, start: 0, length: 0 };
    }
    /** @param {number} now seconds @param {number} seconds */
    fadeIn(now, seconds) {
        this.fade = { from: 0, to: 1, start: now, length: seconds };
    }
    /** @param {number} now @param {number} seconds */
    fadeOut(now, seconds) {
        this.fade = { from: this.fadeAt(now), to: 0, start: now, length: seconds };
    }
    /** @param {number} now */
    fadeAt(now) {
        const { from, to, start, length } = this.fade;
        if (length <= 0 || now >= start + length) return to;
        return from + ((to - from) * (now - start)) / length;
    }
    /** @param {number} now */
    at(now) {
        return (this.volume / 128) * this.fadeAt(now);
    }
}
