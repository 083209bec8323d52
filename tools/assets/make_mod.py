#!/usr/bin/python3
"""Composes the title tune and writes it as a four-channel ProTracker module,
data/sounds/title.mod (plain python3, no tracker needed).

The module format, as written here:
  20 bytes song name; 31 sample headers of 30 bytes (22-byte name, length in
  words, finetune, volume 0..64, loop start and loop length in words, all
  big-endian); song length; restart byte; 128-entry order list; "M.K." at
  offset 1080; the patterns, 64 rows x 4 channels x 4 bytes; then the signed
  8-bit sample data in sample order.
A cell's 4 bytes: sample number high nibble | period bits 8..11, period low
byte, sample number low nibble << 4 | effect, effect parameter.

The samples are synthesised 8-bit waveforms: a bright square lead, a
triangle-ish chord voice played as fast arpeggios, a saw bass, and kick,
snare and hi-hat made from a sine sweep and seeded noise.

The tune is in A minor, 4 rows to a beat at speed 6 / tempo 125 (0.12 s a
row, 7.68 s a pattern). The order list runs 8 patterns, about 61 seconds,
and its last pattern ends on the dominant (E major) so that the repeat into
the first pattern (A minor) is a clean cadence.

Deterministic: fixed noise seed.
Usage: make_mod.py [OUTPUT_FILE]   (default: data/sounds/title.mod of the repo)
"""
import math
import os
import random
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, '..', '..'))

# Amiga periods for finetune 0, C-1 .. B-3 (tracker octaves 1 to 3).
PERIODS = [
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
]
PAL_CLOCK = 7093789.2  # a sample plays at PAL_CLOCK / (2 * period) bytes a second
NOTE_NAMES = ['C', 'C#', 'D', 'D#', 'E', 'F', 'F#', 'G', 'G#', 'A', 'A#', 'B']


def check_periods():
    """Each period lies within 6 cents of the equal-tempered step from C-1,
    so every note is in tune, and each octave halves the period exactly."""
    for i, p in enumerate(PERIODS):
        ideal = 856 * 2 ** (-i / 12)
        assert abs(1200 * math.log2(ideal / p)) < 6.0, (i, p, ideal)
    assert PERIODS[12] * 2 == PERIODS[0] and PERIODS[24] * 2 == PERIODS[12]


def playback_rate(period):
    return PAL_CLOCK / (2 * period)


# ---------------------------------------------------------------- samples

def to_s8(values):
    out = bytearray()
    for v in values:
        out.append(max(-128, min(127, int(round(v * 127)))) & 0xFF)
    if len(out) % 2:
        out.append(0)
    return bytes(out)


class Sample:
    def __init__(self, name, data, volume, loop_start=0, loop_len=0):
        assert len(data) % 2 == 0 and loop_start % 2 == 0 and loop_len % 2 == 0
        self.name, self.data, self.volume = name, data, volume
        self.loop_start, self.loop_len = loop_start, loop_len


def tonal(name, wave, cycle, cycles, sustain_cycles, decay, sustain, volume):
    """`cycles` copies of one waveform cycle under a decaying envelope that
    settles at `sustain`; the last `sustain_cycles` whole cycles, at constant
    level, form the loop, so a held note never clicks at the loop point."""
    vals = []
    settle = cycles - sustain_cycles
    for c in range(cycles):
        level = sustain + (1 - sustain) * math.exp(-decay * c) if c < settle else sustain
        for i in range(cycle):
            vals.append(wave(i / cycle) * level)
    data = to_s8(vals)
    return Sample(name, data, volume, settle * cycle, sustain_cycles * cycle)


def square(p):
    return 0.8 if p < 0.5 else -0.8


def lead_wave(p):
    # square with a little saw on top: bright but not harsh
    return 0.75 * (0.85 if p < 0.5 else -0.85) + 0.25 * (1 - 2 * p)


def tri(p):
    return 4 * abs(p - 0.5) - 1


def chord_wave(p):
    return 0.7 * tri(p) + 0.3 * (0.8 if p < 0.25 else -0.27)


def bass_wave(p):
    # a saw rounded a little by averaging with its triangle
    return 0.6 * (1 - 2 * p) + 0.4 * tri(p)


DRUM_RATE = playback_rate(PERIODS[24])  # drums are written for note C-3


def kick():
    n = int(0.22 * DRUM_RATE)
    vals, phase = [], 0.0
    for i in range(n):
        t = i / DRUM_RATE
        f = 45 + 120 * math.exp(-t * 30)
        phase += f / DRUM_RATE
        vals.append(math.sin(2 * math.pi * phase) * math.exp(-t * 14) * min(1.0, i / 8))
    return Sample('kick', to_s8(vals), 64)


def snare(rnd):
    n = int(0.18 * DRUM_RATE)
    vals, phase = [], 0.0
    for i in range(n):
        t = i / DRUM_RATE
        phase += 185 / DRUM_RATE
        tone = math.sin(2 * math.pi * phase) * math.exp(-t * 35)
        noise = (rnd.random() * 2 - 1) * math.exp(-t * 18)
        vals.append(0.45 * tone + 0.75 * noise)
    return Sample('snare', to_s8(vals), 50)


def hat(rnd):
    n = int(0.05 * DRUM_RATE)
    vals, prev = [], 0.0
    for i in range(n):
        t = i / DRUM_RATE
        w = rnd.random() * 2 - 1
        vals.append((w - prev) * 0.6 * math.exp(-t * 70))  # differenced noise: hiss
        prev = w
    return Sample('hihat', to_s8(vals), 30)


def make_samples():
    rnd = random.Random(1987)
    return [
        # 1: lead, 32-byte cycle: note C-3 sounds C5
        tonal('lead square', lead_wave, 32, 96, 16, 0.09, 0.5, 40),
        # 2: chords, 64-byte cycle: note C-2 sounds C3
        tonal('chord arp', chord_wave, 64, 24, 8, 0.25, 0.6, 24),
        # 3: bass, 64-byte cycle: note C-1 sounds C2
        tonal('bass saw', bass_wave, 64, 24, 8, 0.2, 0.55, 52),
        kick(),       # 4
        snare(rnd),   # 5
        hat(rnd),     # 6
    ]


LEAD, CHORD, BASS, KICK, SNARE, HAT = 1, 2, 3, 4, 5, 6


# ---------------------------------------------------------------- composition

def tracker_note(name, octave_shift):
    """'A4' (musical octave) -> index into PERIODS for a sample whose C-1
    sounds one octave below `octave_shift`: lead uses 2, chords and bass 1."""
    pitch, octave = name[:-1], int(name[-1])
    idx = NOTE_NAMES.index(pitch) + 12 * (octave - octave_shift - 1)
    assert 0 <= idx < 36, name
    return idx


class Pattern:
    def __init__(self):
        self.rows = [[(0, 0, 0, 0) for _ in range(4)] for _ in range(64)]

    def put(self, row, ch, sample=0, note=None, effect=0, param=0):
        period = PERIODS[note] if note is not None else 0
        self.rows[row][ch] = (sample, period, effect, param)

    def set_effect(self, row, ch, effect, param):
        s, p, _, _ = self.rows[row][ch]
        self.rows[row][ch] = (s, p, effect, param)

    def encode(self):
        out = bytearray()
        for row in self.rows:
            for (s, p, e, q) in row:
                out += bytes([(s & 0xF0) | (p >> 8), p & 0xFF, ((s & 0x0F) << 4) | e, q])
        assert len(out) == 1024
        return bytes(out)


# Chords: root for bass and arpeggio, and the arpeggio offsets (minor 3/7, major 4/7).
CHORDS = {'Am': ('A', 0x37), 'F': ('F', 0x47), 'C': ('C', 0x47), 'G': ('G', 0x47),
          'Dm': ('D', 0x37), 'E': ('E', 0x47), 'Em': ('E', 0x37)}

MELODIES = {
    'A1': ['A4 . . C5 . . E5 . . . D5 . C5 . . .',
           'F5 . . E5 . . C5 . . . A4 . C5 . . .',
           'G4 . . C5 . . E5 . . . G5 . E5 . . .',
           'D5 . . . B4 . . . G4 . . . - . . .'],
    'A2': ['A4 . . C5 . . E5 . . . A5 . G5 . E5 .',
           'F5 . . . E5 . C5 . A4 . . . C5 . D5 .',
           'E5 . . G5 . . E5 . C5 . . . D5 . E5 .',
           'D5 . . . . . B4 . G4 . A4 . B4 . . .'],
    'B1': ['D5 . . F5 . . A5 . . . G5 . F5 . E5 .',
           'E5 . . . C5 . . . A4 . . . C5 . . .',
           'F5 . . A5 . . G5 . F5 . . . E5 . D5 .',
           'E5 . . . . . G#4 . B4 . . . E5 . . .'],
    'B2': ['A5 . . . F5 . . . D5 . F5 . A5 . . .',
           'G5 . . E5 . . C5 . . . E5 . A4 . . .',
           'C5 . . F5 . . A5 . . . G5 . F5 . . .',
           'E5 . . . D5 . . . B4 . . . G#4 . . .'],
    'T': ['C5 . . . A4 . . . C5 . . . F5 . . .',
          'D5 . . . B4 . . . D5 . . . G5 . . .',
          'E5 . . . . . . . B4 . . . G4 . . .',
          'G#4 . . . B4 . . . E5 . . . - . . .'],
}

# Drum bars: K kick, S snare, H hat, '.' nothing.
DRUMS = {
    'intro': 'K . H . . . H . K . H . . . H H',
    'beat':  'K . H . S . H . K . K . S . H .',
    'beat2': 'K . H . S . H K . K H . S . H S',
    'fill':  'K . H . S . H . S . S S S S S S',
}
DRUM_SAMPLE = {'K': KICK, 'S': SNARE, 'H': HAT}

BASS_RHYTHM = [(0, 0), (2, 0), (4, 1), (6, 0), (8, 0), (10, 0), (12, 1), (14, 2)]  # (row, 0 root/1 octave/2 fifth)


def build_pattern(chords, melody, drum_bars, first=False):
    p = Pattern()
    for bar, chord in enumerate(chords):
        base = bar * 16
        root, arp = CHORDS[chord]
        # chord voice: retriggered twice a bar, arpeggio held on every row
        for r in range(16):
            if r in (0, 8):
                p.put(base + r, 1, CHORD, tracker_note(root + '3', 1), 0x0, arp)
            else:
                p.put(base + r, 1, 0, None, 0x0, arp)
        # bass: eighth notes, each cut after 4 ticks for a plucked sound
        fifth = NOTE_NAMES[(NOTE_NAMES.index(root) + 7) % 12]
        for r, kind in BASS_RHYTHM:
            if kind == 0:
                name = root + '2'
            elif kind == 1:
                name = root + '3'
            else:
                name = fifth + ('2' if NOTE_NAMES.index(fifth) > NOTE_NAMES.index(root) else '3')
            p.put(base + r, 2, BASS, tracker_note(name, 1), 0xE, 0xC4)
        # drums
        for r, hit in enumerate(DRUMS[drum_bars[bar]].split()):
            if hit != '.':
                p.put(base + r, 3, DRUM_SAMPLE[hit], 24)
        # lead
        if melody:
            tokens = MELODIES[melody][bar].split()
            assert len(tokens) == 16, (melody, bar)
            for r, tok in enumerate(tokens):
                if tok == '.':
                    continue
                if tok == '-':
                    p.put(base + r, 0, 0, None, 0xC, 0)  # rest: volume 0
                else:
                    p.put(base + r, 0, LEAD, tracker_note(tok, 2))
    if first:
        p.set_effect(0, 3, 0xF, 6)  # speed 6 (tempo stays at the default 125)
    return p


PATTERNS = [
    # 0: intro, chords, bass and a light beat; also where the tune loops back to
    (['Am', 'F', 'C', 'G'], None, ['intro', 'intro', 'intro', 'fill'], True),
    # 1, 2: the main theme and its answer
    (['Am', 'F', 'C', 'G'], 'A1', ['beat', 'beat', 'beat', 'beat2'], False),
    (['Am', 'F', 'C', 'G'], 'A2', ['beat', 'beat', 'beat', 'fill'], False),
    # 3, 4: the middle part, ending on E major
    (['Dm', 'Am', 'F', 'E'], 'B1', ['beat', 'beat2', 'beat', 'beat2'], False),
    (['Dm', 'Am', 'F', 'E'], 'B2', ['beat', 'beat2', 'beat', 'fill'], False),
    # 5: the turnaround, E major again, leading back to the intro's A minor
    (['F', 'G', 'Em', 'E'], 'T', ['beat', 'beat', 'beat2', 'fill'], False),
]
ORDER = [0, 1, 2, 3, 4, 1, 2, 5]


# ---------------------------------------------------------------- writing

def build_module():
    check_periods()
    samples = make_samples()
    assert len(samples) <= 31
    out = bytearray()
    out += b'quadrell title'.ljust(20, b'\0')
    for i in range(31):
        if i < len(samples):
            s = samples[i]
            loop_words = s.loop_len // 2 if s.loop_len else 1
            out += s.name.encode('ascii').ljust(22, b'\0')
            out += struct.pack('>HBBHH', len(s.data) // 2, 0, s.volume, s.loop_start // 2, loop_words)
        else:
            out += b'\0' * 22 + struct.pack('>HBBHH', 0, 0, 0, 0, 1)
    out += bytes([len(ORDER), 127])
    out += bytes(ORDER + [0] * (128 - len(ORDER)))
    assert len(out) == 1080
    out += b'M.K.'
    for chords, melody, drums, first in PATTERNS:
        out += build_pattern(chords, melody, drums, first).encode()
    for s in samples:
        out += s.data
    return bytes(out), samples


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, 'data', 'sounds', 'title.mod')
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data, samples = build_module()
    with open(path, 'wb') as f:
        f.write(data)
    seconds = len(ORDER) * 64 * 6 * 2.5 / 125
    print('%s: %d bytes, %d patterns, %d orders, %.1f s before it repeats' % (
        path, len(data), len(PATTERNS), len(ORDER), seconds))
    for i, s in enumerate(samples, 1):
        print('  sample %d %-12s %5d bytes, volume %2d, loop %d+%d' % (
            i, s.name, len(s.data), s.volume, s.loop_start, s.loop_len))
    a4 = playback_rate(PERIODS[tracker_note('A4', 2)]) / 32
    print('  lead A4 sounds at %.1f Hz (concert pitch 440)' % a4)


if __name__ == '__main__':
    main()
