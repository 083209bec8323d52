#!/usr/bin/python3
"""Draws every picture of data/images/ from code (Debian's python3-pil).

The game converts each picture to the screen format without its alpha
channel, so every sprite is an opaque rectangle designed for a black
playfield: pixels outside a shape are pure black, alpha 255.

Palette: a night-blue backdrop, steel greys for the metal parts, and the
breakable bricks coloured like a health bar, green (three hits left),
amber (two), red (one), so a brick visibly weakens as it is hit.

Deterministic: fixed random seed, no time or environment input.
Usage: make_images.py [OUTPUT_DIR]   (default: data/images of the repo)
"""
import math
import os
import random
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, '..', '..'))
# The title lettering: Eurofurence Condensed Bold from Debian's fonts-eurofurence
# (SIL OFL 1.1; fonts.sh installs it).
DISPLAY_FONT = '/usr/share/fonts/truetype/eurofurence/eurofc75.ttf'

BLACK = (0, 0, 0)


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    return tuple(clamp(a[i] + (b[i] - a[i]) * t) for i in range(3))


def scale(c, f):
    return tuple(clamp(v * f) for v in c)


def opaque(img):
    """Flattens onto black and returns an RGBA image with alpha 255 everywhere."""
    base = Image.new('RGBA', img.size, BLACK + (255,))
    base.alpha_composite(img.convert('RGBA'))
    return base


def save(img, out, name):
    img = opaque(img)
    img.save(os.path.join(out, name), optimize=False)


# ---------------------------------------------------------------- bricks

def brick(base, cracks=(), solid=False):
    """A 15x9 bevelled brick: light top-left edge, dark bottom-right edge,
    a vertical body gradient and a glossy band along the upper half."""
    w, h = 15, 9
    img = Image.new('RGBA', (w, h))
    px = img.load()
    for y in range(h):
        for x in range(w):
            t = y / (h - 1)
            c = mix(scale(base, 1.25), scale(base, 0.7), t)
            if solid:
                # brushed metal: faint horizontal streaks
                c = scale(c, 1.0 + 0.06 * math.sin(x * 1.7 + y * 0.3))
            if y == 2 or (y == 3 and 2 <= x <= 12):
                c = mix(c, (255, 255, 255), 0.28 if y == 2 else 0.12)
            px[x, y] = c + (255,)
    hi = mix(base, (255, 255, 255), 0.6)
    lo = scale(base, 0.35)
    for x in range(w):
        px[x, 0] = hi + (255,)
        px[x, h - 1] = lo + (255,)
    for y in range(h):
        px[0, y] = mix(hi, base, y / (h - 1) * 0.6) + (255,)
        px[w - 1, y] = lo + (255,)
    px[0, h - 1] = scale(base, 0.5) + (255,)
    px[w - 1, 0] = scale(base, 0.8) + (255,)
    if solid:
        # four rivets, each a bright dot with a dark shadow below-right
        for (rx, ry) in ((2, 2), (12, 2), (2, 6), (12, 6)):
            px[rx, ry] = (236, 240, 248, 255)
            px[rx + 1, ry + 1] = scale(base, 0.45) + (255,)
        # a recessed centre plate
        for x in range(5, 10):
            px[x, 3] = scale(base, 0.55) + (255,)
            px[x, 5] = mix(base, (255, 255, 255), 0.35) + (255,)
        px[4, 4] = scale(base, 0.55) + (255,)
        px[10, 4] = mix(base, (255, 255, 255), 0.35) + (255,)
    dark = scale(base, 0.25) + (255,)
    for path in cracks:
        for (x, y) in path:
            px[x, y] = dark
    return img


def make_bricks(out):
    green = (70, 190, 80)
    amber = (236, 160, 40)
    red = (214, 52, 48)
    steel = (150, 160, 176)
    save(brick(green), out, 'brick003.png')
    save(brick(amber, cracks=[[(9, 1), (9, 2), (8, 3), (8, 4), (9, 5)]]), out, 'brick002.png')
    save(brick(red, cracks=[[(4, 1), (5, 2), (5, 3), (4, 4), (4, 5), (5, 6), (5, 7)],
                            [(11, 2), (10, 3), (11, 4), (12, 5), (11, 6)]]), out, 'brick001.png')
    save(brick(steel, solid=True), out, 'brick501.png')


# ---------------------------------------------------------------- paddle, ball, shots

def make_paddle(out):
    w, h = 32, 8
    img = Image.new('RGBA', (w, h), BLACK + (255,))
    px = img.load()
    body_top, body_bot = (220, 226, 236), (70, 78, 96)
    glow = (60, 200, 255)
    for y in range(h):
        t = y / (h - 1)
        for x in range(w):
            # rounded ends: skip the corner pixels
            if (x in (0, w - 1) and y in (0, 1, h - 2, h - 1)) or (x in (1, w - 2) and y in (0, h - 1)):
                continue
            if x < 5 or x >= w - 5:
                c = mix(mix(glow, (255, 255, 255), 0.5), scale(glow, 0.45), t)
            else:
                c = mix(body_top, body_bot, t)
                if y == 1:
                    c = mix(c, (255, 255, 255), 0.6)
            px[x, y] = c + (255,)
    # grooves between the glowing caps and the steel body
    for y in range(1, h - 1):
        px[5, y] = (30, 34, 44, 255)
        px[w - 6, y] = (30, 34, 44, 255)
    # a centre notch marking the middle of the paddle
    px[15, 5] = px[16, 5] = (40, 180, 240, 255)
    px[15, 6] = px[16, 6] = (20, 110, 160, 255)
    save(img, out, 'paddle.png')


def make_ball(out):
    n = 6
    img = Image.new('RGBA', (n, n), BLACK + (255,))
    px = img.load()
    cx = cy = 2.5
    for y in range(n):
        for x in range(n):
            d = math.hypot(x - cx, y - cy)
            if d > 3.0:
                continue
            edge = 1.0 if d < 2.3 else max(0.0, (3.0 - d) / 0.7)
            # light from the upper left
            lit = 1.0 - 0.45 * math.hypot(x - 1.5, y - 1.5) / 4.0
            c = mix((120, 130, 160), (255, 255, 255), lit)
            px[x, y] = scale(c, 0.35 + 0.65 * edge) + (255,)
    px[1, 1] = (255, 255, 255, 255)
    save(img, out, 'ball.png')


def make_pshot(out):
    """The power-up capsule: a violet pill with a white band and a spark."""
    s = 4
    big = Image.new('RGBA', (16 * s, 16 * s), BLACK + (255,))
    d = ImageDraw.Draw(big)
    d.rounded_rectangle((1 * s, 4 * s, 15 * s - 1, 12 * s - 1), radius=4 * s, fill=(150, 60, 220))
    d.rounded_rectangle((1 * s, 4 * s, 15 * s - 1, 8 * s - 1), radius=3 * s, fill=(196, 120, 250))
    d.rounded_rectangle((3 * s, 5 * s, 13 * s - 1, 6 * s), radius=s, fill=(236, 206, 255))
    d.rectangle((7 * s, 4 * s, 9 * s - 1, 12 * s - 1), fill=(250, 246, 255))
    d.rectangle((7 * s, 10 * s, 9 * s - 1, 12 * s - 1), fill=(200, 190, 230))
    img = big.resize((16, 16), Image.LANCZOS)
    px = img.load()
    # crisp outline so the pill reads at 1x
    for y in range(16):
        for x in range(16):
            r, g, b, a = px[x, y]
            if r + g + b < 60:
                px[x, y] = (0, 0, 0, 255)
    px[4, 6] = (255, 255, 255, 255)
    save(img, out, 'pshot.png')


def make_fire(out):
    """An 8x12 plasma bolt: white core, yellow body, orange tail."""
    w, h = 8, 12
    img = Image.new('RGBA', (w, h), BLACK + (255,))
    px = img.load()
    for y in range(h):
        t = y / (h - 1)
        half = 1.2 + 2.0 * (1 - abs(t - 0.3) / 0.7) if t < 1 else 0.8
        half = max(0.6, min(3.4, half))
        for x in range(w):
            d = abs(x + 0.5 - 4.0)
            if d > half + 0.5:
                continue
            core = max(0.0, 1 - d / (half + 0.5))
            c = mix((255, 110, 20), (255, 230, 80), t < 0.75 and 1 - t / 0.75 or 0)
            c = mix(c, (255, 255, 240), core * (1 - t) * 0.9)
            fade = 1.0 if t < 0.6 else 1 - (t - 0.6) / 0.55
            px[x, y] = scale(c, max(0.25, fade) * (0.55 + 0.45 * core)) + (255,)
    save(img, out, 'fire.png')


# ---------------------------------------------------------------- menu and loading pieces

def make_arrow(out):
    s = 4
    big = Image.new('RGBA', (16 * s, 16 * s), BLACK + (255,))
    d = ImageDraw.Draw(big)
    pts = [(1, 5), (8, 5), (8, 1), (15, 8), (8, 15), (8, 11), (1, 11)]
    d.polygon([(x * s, y * s) for x, y in pts], fill=(40, 150, 220))
    top = [(1, 5), (8, 5), (8, 1), (15, 8), (1, 8)]
    d.polygon([(x * s, y * s) for x, y in top], fill=(110, 210, 255))
    d.line([(1 * s, 5 * s + 2), (8 * s, 5 * s + 2)], fill=(230, 248, 255), width=s)
    img = big.resize((16, 16), Image.LANCZOS)
    save(img, out, 'arrow.png')


def make_progress(out):
    w, h = 13, 10
    img = Image.new('RGBA', (w, h))
    px = img.load()
    for y in range(h):
        for x in range(w):
            t = y / (h - 1)
            c = mix((150, 240, 255), (20, 110, 200), t)
            if x in (0, w - 1) or y in (0, h - 1):
                c = scale(c, 0.6)
            if y == 1 and 0 < x < w - 1:
                c = mix(c, (255, 255, 255), 0.6)
            px[x, y] = c + (255,)
    save(img, out, 'progress.png')


def make_loading(out):
    W, H = 320, 240
    rnd = random.Random(4242)
    img = Image.new('RGBA', (W, H), BLACK + (255,))
    px = img.load()
    # night-blue backdrop, darkest at the bottom where the bar runs
    for y in range(H):
        c = mix((14, 20, 58), (2, 3, 10), (y / (H - 1)) ** 0.8)
        for x in range(W):
            px[x, y] = c + (255,)
    # stars, fewer towards the bottom
    for _ in range(150):
        x, y = rnd.randrange(W), rnd.randrange(190)
        b = rnd.choice((90, 130, 180, 240))
        px[x, y] = (b, b, min(255, b + 20), 255)
    d = ImageDraw.Draw(img)

    # a wall of bricks along the top, with a gap knocked out of it
    tiles = {1: Image.open(os.path.join(out, 'brick001.png')).convert('RGBA'),
             2: Image.open(os.path.join(out, 'brick002.png')).convert('RGBA'),
             3: Image.open(os.path.join(out, 'brick003.png')).convert('RGBA'),
             4: Image.open(os.path.join(out, 'brick501.png')).convert('RGBA')}
    rows = ['#333333333333333333#',
            '#22222  22222222222#',
            '#1111     1111111  #']
    for r, row in enumerate(rows):
        for k in range(20):
            ch = row[k]
            if ch in '123#':
                img.paste(tiles[4 if ch == '#' else int(ch)], (16 * k + 1, 14 + 10 * r))

    # the title: large letters with a steel-to-cyan gradient, outline and shadow
    title = 'QUADRELL'
    font = ImageFont.truetype(DISPLAY_FONT, 62)
    bbox = d.textbbox((0, 0), title, font=font)
    tw, th = bbox[2] - bbox[0], bbox[3] - bbox[1]
    tx, ty = (W - tw) // 2 - bbox[0], 72 - bbox[1]
    mask = Image.new('L', (W, H), 0)
    ImageDraw.Draw(mask).text((tx, ty), title, font=font, fill=255)
    glow = mask.filter(ImageFilter.GaussianBlur(5))
    glow_layer = Image.new('RGBA', (W, H), (40, 160, 255, 0))
    glow_layer.putalpha(glow.point(lambda v: int(v * 0.75)))
    img.alpha_composite(glow_layer)
    shadow = Image.new('RGBA', (W, H), (0, 0, 0, 0))
    shadow.putalpha(mask.transform((W, H), Image.AFFINE, (1, 0, -3, 0, 1, -3)))
    img.alpha_composite(shadow)
    outline = mask.filter(ImageFilter.MaxFilter(3))
    ol = Image.new('RGBA', (W, H), (10, 30, 70, 0))
    ol.putalpha(outline)
    img.alpha_composite(ol)
    grad = Image.new('RGBA', (W, H))
    gp = grad.load()
    top_y, bot_y = 72, 72 + th
    for y in range(H):
        t = min(1.0, max(0.0, (y - top_y) / max(1, bot_y - top_y)))
        if t < 0.45:
            c = mix((255, 255, 255), (190, 220, 245), t / 0.45)
        elif t < 0.5:
            c = (90, 110, 140)
        else:
            c = mix((80, 200, 255), (20, 90, 200), (t - 0.5) / 0.5)
        for x in range(W):
            gp[x, y] = c + (255,)
    grad.putalpha(mask)
    img.alpha_composite(grad)

    # a subtitle line under the title
    small = ImageFont.truetype(DISPLAY_FONT, 15)
    sub = 'BREAK  EVERY  WALL'
    sb = d.textbbox((0, 0), sub, font=small)
    ImageDraw.Draw(img).text(((W - (sb[2] - sb[0])) // 2, 146), sub, font=small, fill=(150, 190, 230))

    # the ball's trail and the paddle at the lower right, clear of the bar
    d = ImageDraw.Draw(img)
    for i in range(9):
        t = i / 8
        x, y = 200 + 60 * t, 176 + 22 * math.sin(t * 3.0)
        c = scale((120, 200, 255), 0.15 + 0.5 * t)
        d.point((x, y), fill=c)
    ball = Image.open(os.path.join(out, 'ball.png')).convert('RGBA')
    img.paste(ball, (262, 186))
    paddle = Image.open(os.path.join(out, 'paddle.png')).convert('RGBA')
    img.paste(paddle, (250, 214))

    # a faint frame for the progress bar: 6 blocks at x = 10 + 15 i, y = 210
    d.rectangle((7, 207, 101, 222), outline=(36, 52, 90))
    save(img, out, 'loading.png')


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, 'data', 'images')
    os.makedirs(out, exist_ok=True)
    make_bricks(out)
    make_paddle(out)
    make_ball(out)
    make_pshot(out)
    make_fire(out)
    make_arrow(out)
    make_progress(out)
    make_loading(out)  # last: it reuses the sprites drawn above
    for name in sorted(os.listdir(out)):
        if name.endswith('.png'):
            with Image.open(os.path.join(out, name)) as im:
                print('%-14s %dx%d' % (name, im.size[0], im.size[1]))


if __name__ == '__main__':
    main()
