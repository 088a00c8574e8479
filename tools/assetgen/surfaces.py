"""The game world's pictures: block frames and their seamless surface patterns, the
water, the background hills and landmark, and the block shadow.
Patterns that the game repeats are periodic: noise comes from a small random grid
tiled before it is enlarged, and strokes that cross an edge are drawn again on the
other side.
"""
import math
import random

from PIL import Image, ImageChops, ImageFilter

from common import Canvas, mix, rgba
from flomp import WHITE, shade

SURFACE = 128
BORDER = 32


def periodic_noise(size, cells, seed):
    """An 'L' picture of smooth noise that tiles seamlessly."""
    rng = random.Random(seed)
    grid = Image.new("L", (cells, cells))
    grid.putdata([rng.randint(0, 255) for _ in range(cells * cells)])
    tiled = Image.new("L", (cells * 3, cells * 3))
    for ty in range(3):
        for tx in range(3):
            tiled.paste(grid, (tx * cells, ty * cells))
    big = tiled.resize((size * 3, size * 3), Image.BICUBIC)
    return big.crop((size, size, size * 2, size * 2))


def tint(noise, dark, light):
    """Maps an 'L' noise picture onto the colours between dark and light (opaque RGBA)."""
    lut = [mix(dark, light, i / 255) for i in range(256)]
    out = Image.new("RGBA", noise.size)
    out.putdata([lut[v] for v in noise.getdata()])
    return out


def wrapped_strokes(size, seed, count, draw_one):
    """Strokes drawn on a tile so that those crossing an edge continue on the other side."""
    canvas = Canvas(size, size)
    rng = random.Random(seed)
    for _ in range(count):
        params = draw_one.sample(rng, size)
        for ox in (-size, 0, size):
            for oy in (-size, 0, size):
                draw_one.draw(canvas, params, ox, oy)
    return canvas.result()


class Fibre:
    def __init__(self, colour):
        self.colour = colour

    @staticmethod
    def sample(rng, size):
        x, y, a = rng.uniform(0, size), rng.uniform(0, size), rng.uniform(0, math.pi)
        return x, y, a, rng.uniform(4, 14), rng.uniform(0.5, 1.2)

    def draw(self, canvas, p, ox, oy):
        x, y, a, length, width = p
        canvas.line([(x + ox, y + oy), (x + ox + math.cos(a) * length, y + oy + math.sin(a) * length)],
                    self.colour, width)


class Crack:
    def __init__(self, colour):
        self.colour = colour

    @staticmethod
    def sample(rng, size):
        x, y, a = rng.uniform(0, size), rng.uniform(0, size), rng.uniform(0, 2 * math.pi)
        points = [(x, y)]
        for _ in range(rng.randint(3, 6)):
            a += rng.uniform(-0.7, 0.7)
            step = rng.uniform(6, 16)
            x, y = x + math.cos(a) * step, y + math.sin(a) * step
            points.append((x, y))
        return points

    def draw(self, canvas, points, ox, oy):
        canvas.line([(x + ox, y + oy) for x, y in points], self.colour, 1.1)


def paper(variant):
    base = [(rgba("e9dfc6"), rgba("fbf6e8")), (rgba("d5e4ef"), rgba("f3f8fc")), (rgba("b68c5c"), rgba("d8b17f"))][variant]
    out = tint(periodic_noise(SURFACE, 16, 100 + variant), *base)
    out.alpha_composite(wrapped_strokes(SURFACE, 110 + variant, 70, Fibre(shade(base[0], -0.15))))
    if variant == 1:
        lines = Canvas(SURFACE, SURFACE)
        for k in range(4):
            y = 16 + k * 32
            lines.line([(0, y), (SURFACE, y)], rgba("7aa6d6", 150), 1.2)
        out.alpha_composite(lines.result())
    return out


def metal(variant):
    base = [(rgba("7d8894"), rgba("c9d1d9")), (rgba("6e767e"), rgba("aab3bb")), (rgba("7a5a44"), rgba("b08a68"))][variant]
    # Brushed: noise stretched along x (16 x 2 cells keep it periodic both ways).
    rng = random.Random(200 + variant)
    grid = Image.new("L", (4, 32))
    grid.putdata([rng.randint(0, 255) for _ in range(4 * 32)])
    tiled = Image.new("L", (12, 96))
    for ty in range(3):
        for tx in range(3):
            tiled.paste(grid, (tx * 4, ty * 32))
    streaks = tiled.resize((SURFACE * 3, SURFACE * 3), Image.BICUBIC).crop((SURFACE, SURFACE, SURFACE * 2, SURFACE * 2))
    out = tint(ImageChops.add(streaks, periodic_noise(SURFACE, 8, 210 + variant), scale=2), *base)
    if variant == 1:
        plate = Canvas(SURFACE, SURFACE)
        for row in range(4):
            for col in range(4):
                cx, cy = col * 32 + (16 if row % 2 else 0) + 8, row * 32 + 16
                for ox in (-SURFACE, 0, SURFACE):
                    plate.line([(cx + ox - 6, cy + 6), (cx + ox + 6, cy - 6)], shade(base[1], 0.25), 3)
        out.alpha_composite(plate.result())
    if variant == 2:
        rust = tint(periodic_noise(SURFACE, 8, 230), rgba("8a3f1a", 0), rgba("b4541e", 160))
        out.alpha_composite(rust)
    return out


def ice(variant):
    base = [(rgba("a9dcef"), rgba("eefaff")), (rgba("8fcbe6"), rgba("d9f3ff")), (rgba("b7d9f5"), rgba("f4fbff"))][variant]
    out = tint(periodic_noise(SURFACE, 6 + variant * 2, 300 + variant), *base)
    out.alpha_composite(wrapped_strokes(SURFACE, 310 + variant, 10 + 4 * variant, Crack(rgba("ffffff", 210))))
    return out


def bounce(variant):
    colours = [(rgba("e0558f"), rgba("ff8fc0")), (rgba("8cc63f"), rgba("c8ee7a")), (rgba("7a4fd0"), rgba("a98bf0"))][variant]
    out = tint(periodic_noise(SURFACE, 4, 400 + variant), *colours)
    dots = Canvas(SURFACE, SURFACE)
    step = 32
    for row in range(SURFACE // step):
        for col in range(SURFACE // step):
            cx = col * step + (step / 2 if row % 2 else 0)
            cy = row * step + step / 2
            r = 7 if variant != 1 else 5
            for ox in (-SURFACE, 0, SURFACE):
                dots.ellipse(cx + ox - r, cy - r, cx + ox + r, cy + r, fill=shade(colours[1], 0.45))
    out.alpha_composite(dots.result())
    return out


def block_frame(material):
    """A 9-patch frame: light RGB that multiplies the surface, alpha = the block's alpha.
    The outer 32 pixels are the border; the middle stays near white."""
    alpha = [255, 255, 190, 255][material]
    light, dark = (255, 255, 255, alpha), [(150, 130, 100), (90, 98, 108), (160, 205, 235), (150, 70, 110)][material]
    c = Canvas(SURFACE, SURFACE)
    radius = [6, 3, 10, 18][material]
    c.rounded_rect(0, 0, SURFACE, SURFACE, radius, fill=dark + (alpha,))
    edge = [5, 7, 4, 9][material]
    c.rounded_rect(edge, edge, SURFACE - edge, SURFACE - edge, max(1, radius - edge / 2),
                   fill=mix(light, dark + (alpha,), 0.35))
    c.rounded_rect(edge, edge, SURFACE - edge * 1.6, SURFACE - edge * 1.6, max(1, radius - edge / 2),
                   fill=(255, 255, 255, alpha))
    c.rounded_rect(edge * 2, edge * 2, SURFACE - edge * 2, SURFACE - edge * 2, max(1, radius - edge),
                   fill=(238, 238, 238, alpha) if material != 2 else (250, 253, 255, alpha - 30))
    if material == 1:
        for cx in (16, SURFACE - 16):
            for cy in (16, SURFACE - 16):
                c.ellipse(cx - 4, cy - 4, cx + 4, cy + 4, fill=(120, 126, 134, 255))
                c.ellipse(cx - 3, cy - 3.5, cx + 1, cy, fill=(230, 234, 238, 255))
    return c.result()


def water_base(width=64, height=256):
    """Top light sea green to deep blue at the bottom (v 0 at the top)."""
    top, bottom = rgba("2aa7c9"), rgba("0a2a5c")
    out = Image.new("RGBA", (width, height))
    out.putdata([mix(top, bottom, (y / (height - 1)) ** 0.8) for y in range(height) for _ in range(width)])
    return out


def waves(size=256):
    """Two horizontally tileable wave strips, back in rows 2-48 %, front in rows 53-98 %;
    the crest is the alpha edge, with a foam line just below it."""
    out = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    px = out.load()
    strips = [(0.02, 0.48, rgba("1d86ad"), 1), (0.53, 0.98, rgba("2aa7c9"), 0)]
    for top_v, bottom_v, colour, phase in strips:
        top, bottom = round(top_v * size) + 1, round(bottom_v * size) - 1
        span = bottom - top
        for x in range(size):
            t = 2 * math.pi * x / size
            crest = top + span * (0.32 + 0.16 * math.cos(t + phase) + 0.07 * math.cos(2 * t + 1.3 + phase)
                                  + 0.03 * math.sin(3 * t))
            for y in range(top, bottom + 1):
                d = y - crest
                if d < -1:
                    continue
                a = 255 if d >= 0 else int(255 * (1 + d))
                foam = max(0.0, 1 - d / 5) if d >= 0 else 1.0
                depth = (y - crest) / max(1.0, bottom - crest)
                c = mix(mix(colour, rgba("0a2a5c"), depth * 0.25), WHITE, foam * 0.7)
                px[x, y] = c[:3] + (a,)
    return out


def shadow(size=64):
    """A soft white rounded rectangle; its brightness is the strength subtracted (35 %)."""
    strength = 90
    c = Canvas(size, size)
    c.rounded_rect(size * 0.14, size * 0.14, size * 0.86, size * 0.86, size * 0.12, fill=(255, 255, 255, strength))
    return c.result().filter(ImageFilter.GaussianBlur(size * 0.06))


GREEN_HILLS = (rgba("7fb8a4"), rgba("4f9a5a"))


def hills(width=1024, height=512, colours=GREEN_HILLS):
    """Two ranges of rolling hills rising from the horizon (the middle row) on clear sky;
    whole periods across the width so that copies side by side join."""
    out = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    px = out.load()
    layers = [(colours[0], 0.36, [(2, 0.09, 0.3), (5, 0.05, 1.1), (9, 0.02, 2.0)]),
              (colours[1], 0.22, [(3, 0.08, 2.2), (7, 0.03, 0.4), (13, 0.012, 1.7)])]
    for colour, base, waves_spec in layers:
        for x in range(width):
            t = 2 * math.pi * x / width
            h = base + sum(a * math.sin(k * t + p) for k, a, p in waves_spec)
            top = height * 0.5 - h * height
            for y in range(max(0, int(top) - 1), height):
                cover = min(1.0, max(0.0, y + 1 - top))
                shade_t = min(1.0, (y - top) / (height * 0.3))
                c = mix(colour, shade(colour, -0.35), shade_t)
                old = px[x, y]
                a = int(255 * cover)
                if a:
                    px[x, y] = mix(old, c[:3] + (255,), cover) if old[3] else c[:3] + (a,)
    return out


def landmark(size=512):
    """A striped lighthouse on a rock, standing on the horizon (the middle row)."""
    c = Canvas(size, size)
    s = size
    c.polygon([(s * 0.18, s * 0.56), (s * 0.3, s * 0.44), (s * 0.45, s * 0.42), (s * 0.62, s * 0.43),
               (s * 0.76, s * 0.48), (s * 0.84, s * 0.58), (s * 0.84, s * 0.7), (s * 0.18, s * 0.7)], rgba("6e6a64"))
    c.polygon([(s * 0.3, s * 0.46), (s * 0.45, s * 0.44), (s * 0.5, s * 0.5), (s * 0.34, s * 0.52)], rgba("8d877e"))
    body = [(s * 0.42, s * 0.44), (s * 0.58, s * 0.44), (s * 0.55, s * 0.14), (s * 0.45, s * 0.14)]
    c.polygon(body, rgba("f4f1ea"))
    def half(v):  # the tower's half width at height v (fractions of the picture)
        return 0.05 + (v - 0.14) / 0.30 * 0.03

    for k in range(3):
        v0, v1 = 0.4 - k * 0.1, 0.355 - k * 0.1
        c.polygon([(s * (0.5 - half(v0)), s * v0), (s * (0.5 + half(v0)), s * v0),
                   (s * (0.5 + half(v1)), s * v1), (s * (0.5 - half(v1)), s * v1)], rgba("d8433b"))
    c.rounded_rect(s * 0.43, s * 0.1, s * 0.57, s * 0.15, s * 0.01, fill=rgba("3b3f46"))
    c.rounded_rect(s * 0.455, s * 0.06, s * 0.545, s * 0.1, s * 0.01, fill=rgba("ffd86b"))
    c.polygon([(s * 0.44, s * 0.06), (s * 0.56, s * 0.06), (s * 0.5, s * 0.02)], rgba("d8433b"))
    glow = Canvas(size, size)
    glow.ellipse(s * 0.38, s * 0.0, s * 0.62, s * 0.16, fill=rgba("fff2b0", 90))
    out = glow.result().filter(ImageFilter.GaussianBlur(s * 0.02))
    out.alpha_composite(c.result())
    return out
