// @ts-check
// The pure work behind the game's SDL replacements (library_quadrell.js):
// the desktop's 16-bit colour, WAV samples and font metrics. No DOM here,
// so node tests it.

/**
 * The 8-bit value the desktop shows for each 5-bit and 6-bit level, read
 * off its screenshots: red and blue as q * 255 / 31, green as q * 97 / 24
 * (not q * 255 / 63: level 42 shows as 169, level 63 as 254), both rounded
 * down.
 */
const expand5 = Array.from({ length: 32 }, (_, q) => Math.floor((q * 255) / 31));
const expand6 = Array.from({ length: 64 }, (_, q) => Math.floor((q * 97) / 24));
/** 8-bit value to the shown value after a round trip through RGB565. */
export const through5 = Uint8Array.from({ length: 256 }, (_, v) => expand5[v >> 3]);
export const through6 = Uint8Array.from({ length: 256 }, (_, v) => expand6[v >> 2]);

/**
 * Quantises RGBA pixels in place to what an RGB565 screen shows; alpha is
 * kept.
 * @param {Uint8ClampedArray | Uint8Array} data
 */
export function quantise565(data) {
  // Runs on every flip: pixels of opaque black, most of every screen, are
  // passed over whole.
  const words = new Uint32Array(data.buffer, data.byteOffset, data.byteLength >> 2);
  for (let p = 0; p < words.length; p++) {
    const word = words[p];
    if (word === 0xff000000 || word === 0) continue;
    const i = p << 2;
    data[i] = through5[data[i]];
    data[i + 1] = through6[data[i + 1]];
    data[i + 2] = through5[data[i + 2]];
  }
}

/**
 * Makes every pixel of colour (r, g, b) fully transparent, as a colour key
 * shows it.
 * @param {Uint8ClampedArray | Uint8Array} data RGBA pixels
 * @param {number} r @param {number} g @param {number} b
 */
export function clearColourKey(data, r, g, b) {
  const kr = through5[r], kg = through6[g], kb = through5[b];
  for (let i = 0; i < data.length; i += 4) {
    if (data[i] === kr && data[i + 1] === kg && data[i + 2] === kb) data[i + 3] = 0;
  }
}

/**
 * @typedef {{ rate: number, channels: number, frames: number, samples: Float32Array[] }} Sound
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
  if (bytes.length < 12 || tag(0) !== 'RIFF' || tag(8) !== 'WAVE') return { error: 'Unrecognized audio format' };
  let format = null;
  for (let at = 12; at + 8 <= bytes.length; ) {
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
      if (code !== 1 || (bits !== 8 && bits !== 16) || channels < 1 || channels > 2 || rate < 1000 || rate > 192000) {
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
 * SDL_ttf's vertical metrics for a TrueType font at a pixel size: ascent
 * (the baseline's row) and height, from the font's head and hhea tables.
 * @param {Uint8Array} bytes
 * @param {number} size
 * @returns {{ ascent: number, descent: number, height: number } | Failure}
 */
export function fontMetrics(bytes, size) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  if (bytes.length < 12) return { error: "Couldn't load font file" };
  const tables = view.getUint16(4);
  /** @type {Record<string, number>} */
  const at = {};
  for (let i = 0; i < tables && 12 + i * 16 + 16 <= bytes.length; i++) {
    const entry = 12 + i * 16;
    at[String.fromCharCode(...bytes.subarray(entry, entry + 4))] = view.getUint32(entry + 8);
  }
  const head = at['head'], hhea = at['hhea'];
  if (head === undefined || hhea === undefined || head + 20 > bytes.length || hhea + 8 > bytes.length) {
    return { error: "Couldn't load font file" };
  }
  const unitsPerEm = view.getUint16(head + 18);
  const scale = size / (unitsPerEm || 2048);
  const ascent = Math.ceil(view.getInt16(hhea + 4) * scale);
  const descent = Math.ceil(view.getInt16(hhea + 6) * scale);
  return { ascent, descent, height: ascent - descent + 1 };
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
