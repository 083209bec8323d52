#!/usr/bin/python3
"""Draws docs/levels.png, every shipped level as the game shows it before
the serve (from levelcheck --png) with its name, and under them the
difficulty curve measured by levelcheck --sweep: hits needed to clear and
the median minutes the computer player takes. Prints the same curve as a
Markdown table for the README. Needs Debian's /usr/bin/python3 with PIL and
a built levelcheck; run from anywhere:

  tools/levels_doc.py [path/to/levelcheck]     (default build/tools/levelcheck)

Exit status: 0 done, 1 levelcheck failed or gave no result, 2 bad usage.
"""
import csv
import os
import statistics
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw, ImageFont

REPO = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
sys.path.insert(0, os.path.join(REPO, 'tools', 'assets'))
import make_levels  # noqa: E402  (the level names)

COLUMNS = 6
SCALE = 3 / 4            # 320x240 screens drawn at 240x180
CAPTION = 22
CHART = 300
BACKGROUND = (24, 24, 28)
TEXT = (225, 225, 225)
HITS = (201, 92, 64)     # bars: hits needed
MINUTES = (110, 190, 255)  # dots: median minutes to clear


def fail(message, status):
    sys.stderr.write('levels_doc: %s\n' % message)
    sys.exit(status)


def shipped_levels():
    paths = []
    while os.path.exists(os.path.join(REPO, 'data', 'levels', 'level%d.txt' % (len(paths) + 1))):
        paths.append('data/levels/level%d.txt' % (len(paths) + 1))
    return paths


def bricks(path):
    # The brick characters of the pairs: the shipped files keep every line
    # feed where a brick character would stand.
    text = open(os.path.join(REPO, path), 'rb').read().decode('latin-1').replace('\n', '')
    return text[0::2]


def run(levelcheck, args):
    env = dict(os.environ, SDL_VIDEODRIVER='dummy', SDL_AUDIODRIVER='dummy')
    done = subprocess.run([levelcheck, '--quiet'] + args, cwd=REPO, env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, universal_newlines=True)
    if done.returncode == 2:
        fail('levelcheck refused to run: %s' % done.stderr.strip(), 1)
    return done.stdout


def measure(levelcheck, levels, scratch):
    run(levelcheck, ['--png', scratch] + levels)
    table = os.path.join(scratch, 'sweep.csv')
    run(levelcheck, ['--sweep', '--csv', table] + levels)
    rows = list(csv.DictReader(open(table)))
    curve = []
    for path in levels:
        mine = [r for r in rows if r['file'] == path]
        cleared = [int(r['frames']) for r in mine if r['cleared'] == '1']
        if not mine or not os.path.exists(os.path.join(scratch, os.path.basename(path)[:-4] + '.png')):
            fail('levelcheck gave no result for %s' % path, 1)
        curve.append({
            'hits': sum(int(c) for c in bricks(path) if c in '123'),
            'bricks': sum(1 for c in bricks(path) if c in '123#'),
            'share': 100.0 * len(cleared) / len(mine),
            'minutes': statistics.median(cleared) / 62.5 / 60 if cleared else 0.0,
        })
    return curve


def draw(levels, curve, names, scratch, target):
    font = ImageFont.truetype(os.path.join(REPO, 'data', 'fonts', 'arial.ttf'), 15)
    small = ImageFont.truetype(os.path.join(REPO, 'data', 'fonts', 'arial.ttf'), 13)
    cell_w, cell_h = int(320 * SCALE), int(240 * SCALE)
    rows = (len(levels) + COLUMNS - 1) // COLUMNS
    width = COLUMNS * (cell_w + 8) + 8
    height = rows * (cell_h + CAPTION + 8) + 8 + CHART
    sheet = Image.new('RGB', (width, height), BACKGROUND)
    pen = ImageDraw.Draw(sheet)
    for i, path in enumerate(levels):
        x = 8 + (i % COLUMNS) * (cell_w + 8)
        y = 8 + (i // COLUMNS) * (cell_h + CAPTION + 8)
        shot = Image.open(os.path.join(scratch, os.path.basename(path)[:-4] + '.png')).convert('RGB')
        sheet.paste(shot.resize((cell_w, cell_h), Image.BOX), (x, y + CAPTION))
        pen.text((x, y + 2), '%d  %s' % (i + 1, names[i]), fill=TEXT, font=font)

    # The curve: one bar per level for the hits needed (left scale), one dot
    # for the median minutes to clear (right scale).
    top = height - CHART + 30
    bottom = height - 40
    left, right = 60, width - 60
    most_hits = max(c['hits'] for c in curve)
    most_minutes = max(c['minutes'] for c in curve) or 1
    step = (right - left) / len(curve)
    pen.text((left, top - 26), 'hits needed', fill=HITS, font=font)
    pen.text((right - 230, top - 26), 'median minutes to clear', fill=MINUTES, font=font)
    pen.line((left, bottom, right, bottom), fill=TEXT)
    for mark in range(0, most_hits + 1, 100):
        y = bottom - (bottom - top) * mark / most_hits
        pen.text((10, y - 8), str(mark), fill=HITS, font=small)
    for mark in range(0, int(most_minutes) + 1, 5):
        y = bottom - (bottom - top) * mark / most_minutes
        pen.text((right + 10, y - 8), str(mark), fill=MINUTES, font=small)
    dots = []
    for i, c in enumerate(curve):
        x0 = left + i * step + step * 0.2
        x1 = left + (i + 1) * step - step * 0.2
        pen.rectangle((x0, bottom - (bottom - top) * c['hits'] / most_hits, x1, bottom), fill=HITS)
        pen.text((x0, bottom + 6), str(i + 1), fill=TEXT, font=small)
        dots.append(((x0 + x1) / 2, bottom - (bottom - top) * c['minutes'] / most_minutes))
    pen.line(dots, fill=MINUTES, width=2)
    for x, y in dots:
        pen.ellipse((x - 4, y - 4, x + 4, y + 4), fill=MINUTES)
    sheet.save(target, optimize=True)


def main():
    if len(sys.argv) > 2 or (len(sys.argv) == 2 and sys.argv[1].startswith('-')):
        sys.stderr.write(__doc__)
        sys.exit(2)
    levelcheck = os.path.abspath(sys.argv[1]) if len(sys.argv) == 2 else os.path.join(REPO, 'build', 'tools',
                                                                                      'levelcheck')
    if not os.access(levelcheck, os.X_OK):
        fail('no levelcheck at %s (build it: cmake --build build --target levelcheck)' % levelcheck, 2)
    levels = shipped_levels()
    if not levels:
        fail('no data/levels/level1.txt', 1)
    names = [name for name, _ in make_levels.LEVELS]
    if len(names) != len(levels):
        names = [''] * len(levels)
    with tempfile.TemporaryDirectory() as scratch:
        curve = measure(levelcheck, levels, scratch)
        draw(levels, curve, names, scratch, os.path.join(REPO, 'docs', 'levels.png'))
    print('| Level | Name | Bricks | Hits needed | Clears from | Median to clear |')
    print('|---:|---|---:|---:|---:|---:|')
    for i, c in enumerate(curve):
        print('| %d | %s | %d | %d | %.0f%% | %.1f min |' % (i + 1, names[i], c['bricks'], c['hits'], c['share'],
                                                            c['minutes']))
    sys.stderr.write('levels_doc: wrote docs/levels.png (%d levels)\n' % len(levels))


if __name__ == '__main__':
    main()
