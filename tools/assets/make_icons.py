#!/usr/bin/python3
"""Draws the application icon (Debian's python3-pil): a paddle, a ball and
three rows of bricks on a night-blue tile, in the colours of the game's own
pictures (red, amber and green bricks, the steel paddle with cyan ends).

Sizes 32 to 256 are drawn from one layout on a 64-unit grid at eight times
the size and scaled down; 16 pixels is too small for that to stay sharp, so
it is set pixel by pixel. Deterministic.
Usage: make_icons.py [OUTPUT_DIR]   (default: dist/icons of the repo; writes
hicolor/<N>x<N>/apps/quadrell.png)
"""
import os
import sys

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, '..', '..'))
SIZES = (16, 32, 48, 64, 128, 256)

RED, AMBER, GREEN = (214, 52, 48), (236, 160, 40), (70, 190, 80)
TILE_TOP, TILE_BOTTOM, TILE_EDGE = (30, 44, 104), (6, 8, 28), (70, 110, 190)
STEEL_TOP, STEEL_BOTTOM, GLOW = (220, 226, 236), (70, 78, 96), (60, 200, 255)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def draw_large(size):
    k = size * 8 / 64.0  # pixels of the supersampled canvas per grid unit
    img = Image.new('RGBA', (size * 8, size * 8), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)

    def box(x0, y0, x1, y1):
        return (x0 * k, y0 * k, x1 * k - 1, y1 * k - 1)

    # The tile: a vertical gradient masked to a rounded square.
    tile = Image.new('RGBA', img.size)
    td = ImageDraw.Draw(tile)
    for y in range(img.size[1]):
        td.line([(0, y), (img.size[0], y)], fill=mix(TILE_TOP, TILE_BOTTOM, y / img.size[1]) + (255,))
    mask = Image.new('L', img.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(box(2, 2, 62, 62), radius=10 * k, fill=255)
    img.paste(tile, (0, 0), mask)
    d.rounded_rectangle(box(2, 2, 62, 62), radius=10 * k, outline=TILE_EDGE + (255,), width=max(1, int(k)))

    # Three rows of four bricks; the ball has just broken one.
    for row, colour in enumerate((RED, AMBER, GREEN)):
        for col in range(4):
            if (row, col) == (2, 2):
                continue
            x0, y0 = 8 + col * 12.33, 10 + row * 7.5
            d.rounded_rectangle(box(x0, y0, x0 + 11, y0 + 6), radius=1.2 * k, fill=colour + (255,))
            d.rectangle(box(x0 + 1, y0 + 1, x0 + 10, y0 + 2.4), fill=mix(colour, (255, 255, 255), 0.45) + (255,))
            d.rectangle(box(x0 + 1, y0 + 4.6, x0 + 10, y0 + 5.4), fill=mix(colour, (0, 0, 0), 0.35) + (255,))

    # The ball on its way down from the gap, with a faint trail.
    for (cx, cy, r, t) in ((38.4, 29.8, 1.3, 0.2), (39.3, 35.0, 1.8, 0.35)):
        d.ellipse(box(cx - r, cy - r, cx + r, cy + r), fill=mix(TILE_BOTTOM, (200, 220, 255), t) + (255,))
    d.ellipse(box(36.5, 37.5, 44.5, 45.5), fill=(236, 240, 250, 255))
    d.ellipse(box(38, 39, 41.5, 42.5), fill=(255, 255, 255, 255))

    # The paddle: steel body shading down, glowing cyan ends.
    top, bottom = 50, 56
    for y in range(int(top * k), int(bottom * k)):
        t = (y / k - top) / (bottom - top)
        d.line([(16 * k + 2 * k, y), (48 * k - 2 * k, y)], fill=mix(STEEL_TOP, STEEL_BOTTOM, t) + (255,))
    d.rounded_rectangle(box(14, top, 20, bottom), radius=2.5 * k, fill=GLOW + (255,))
    d.rounded_rectangle(box(44, top, 50, bottom), radius=2.5 * k, fill=GLOW + (255,))
    d.rectangle(box(20, top + 0.6, 44, top + 1.6), fill=(255, 255, 255, 255))
    return img.resize((size, size), Image.LANCZOS)


# 16x16 by hand: . clear, t tile, e tile edge, r/a/g bricks, o ball,
# s/S steel (light, dark), c cyan paddle end.
SMALL = """
.eeeeeeeeeeeeee.
etttttttttttttte
errrrtrrrrtrrrre
errrrtrrrrtrrrre
etttttttttttttte
eaaaataaaataaaae
eaaaataaaataaaae
etttttttttttttte
eggggttttttgggge
eggggttttttgggge
etttttttoottttte
etttttttoottttte
etttttttttttttte
ettccsssssscctte
ettccSSSSSScctte
.eeeeeeeeeeeeee.
"""


def draw_small():
    colours = {'t': None, 'e': TILE_EDGE, 'r': RED, 'a': AMBER, 'g': GREEN,
               'o': (240, 244, 252), 's': STEEL_TOP, 'S': STEEL_BOTTOM, 'c': GLOW}
    rows = [r for r in SMALL.split('\n') if r]
    img = Image.new('RGBA', (16, 16), (0, 0, 0, 0))
    px = img.load()
    assert len(rows) == 16 and all(len(r) == 16 for r in rows)
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch == '.':
                continue
            c = colours.get(ch) or mix(TILE_TOP, TILE_BOTTOM, y / 15)
            px[x, y] = c + (255,)
    return img


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, 'dist', 'icons')
    for size in SIZES:
        folder = os.path.join(out, 'hicolor', '%dx%d' % (size, size), 'apps')
        os.makedirs(folder, exist_ok=True)
        img = draw_small() if size == 16 else draw_large(size)
        img.save(os.path.join(folder, 'quadrell.png'), optimize=True)


if __name__ == '__main__':
    main()
