#!/usr/bin/python3
"""Synthesises the game's sound effects into data/sounds/ (plain python3).

  hit.wav       a short crisp knock for a ball hitting a brick
  gameover.wav  a short descending jingle for the lost last ball, also the
                sample the options screen plays at a new sound volume

Both are 16-bit PCM mono at 22050 Hz, the mixer's own format, so nothing is
resampled at load time. Deterministic: fixed noise seed.
Usage: make_sounds.py [OUTPUT_DIR]   (default: data/sounds of the repo)
"""
import math
import os
import random
import struct
import sys
import wave

RATE = 22050
HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, '..', '..'))


def write_wav(path, samples):
    peak = max(1e-9, max(abs(s) for s in samples))
    gain = 0.85 / peak  # normalise, leaving headroom for the mixer
    frames = b''.join(struct.pack('<h', int(round(max(-1.0, min(1.0, s * gain)) * 32767)))
                      for s in samples)
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def hit():
    """70 ms: a noise click for the attack over two detuned square partials
    that fall in pitch slightly and die away fast."""
    rnd = random.Random(7)
    n = int(0.07 * RATE)
    out = []
    ph1 = ph2 = 0.0
    for i in range(n):
        t = i / RATE
        f = 1320 * (1 - 0.18 * t / 0.07)
        ph1 += f / RATE
        ph2 += f * 1.5 / RATE
        sq = (1.0 if (ph1 % 1.0) < 0.5 else -1.0) * 0.5 + math.sin(2 * math.pi * ph2) * 0.5
        env = math.exp(-t * 70)
        click = (rnd.random() * 2 - 1) * math.exp(-t * 900)
        s = sq * env * 0.6 + click * 0.7
        if i < 20:
            s *= i / 20  # no step at the very start
        out.append(s)
    return out


def note_freq(name):
    names = {'C': 0, 'C#': 1, 'D': 2, 'D#': 3, 'E': 4, 'F': 5, 'F#': 6, 'G': 7,
             'G#': 8, 'A': 9, 'A#': 10, 'B': 11}
    semis = names[name[:-1]] + 12 * int(name[-1])
    return 440.0 * 2 ** ((semis - 57) / 12)


def gameover():
    """About 1.7 s: four falling notes on a soft square with vibrato, the last
    one sliding down an octave and fading out."""
    notes = [('G4', 0.20), ('E4', 0.20), ('C4', 0.20), ('G3', 1.05)]
    out = []
    phase = 0.0
    for idx, (name, dur) in enumerate(notes):
        f0 = note_freq(name)
        n = int(dur * RATE)
        last = idx == len(notes) - 1
        for i in range(n):
            t = i / RATE
            f = f0
            if last:
                f = f0 * 2 ** (-min(1.0, max(0.0, (t - 0.25) / 0.7)))  # slide an octave down
                f *= 1 + 0.012 * math.sin(2 * math.pi * 6 * t)
            phase += f / RATE
            p = phase % 1.0
            sq = 1.0 if p < 0.5 else -1.0
            tri = 4 * abs(p - 0.5) - 1
            s = 0.55 * sq + 0.45 * tri
            attack = min(1.0, t / 0.006)
            if last:
                env = attack * max(0.0, 1 - t / dur) ** 1.3
            else:
                env = attack * (0.55 + 0.45 * math.exp(-t * 12)) * min(1.0, (dur - t) / 0.015)
            out.append(s * env)
    # a short tail of silence so the end is not cut on a sample boundary
    out.extend([0.0] * int(0.05 * RATE))
    return out


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, 'data', 'sounds')
    os.makedirs(out, exist_ok=True)
    for name, make in (('hit.wav', hit), ('gameover.wav', gameover)):
        s = make()
        write_wav(os.path.join(out, name), s)
        print('%-13s %5d ms' % (name, len(s) * 1000 // RATE))


if __name__ == '__main__':
    main()
