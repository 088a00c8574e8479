"""The framework maker's mark: a ring holding three rising wing strokes, and the
word mark beside it. Drawn at any stage of its build-up (0 = nothing, 1 = whole),
so that the splash can animate it and the embedded logo can use the whole mark.
"""
import math

from PIL import Image, ImageDraw, ImageFont

from common import SUPER, Canvas, mix, rgba

FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
RING = rgba("f29a1d")
WING = rgba("ffd166")
WORD = rgba("f4f1ea")
ACCENT = rgba("2f9bce")


def clamp01(value):
    return max(0.0, min(1.0, value))


def draw_emblem(canvas, cx, cy, radius, stage):
    """The ring closes first, then the three wing strokes rise one after another."""
    ring_stage = clamp01(stage / 0.45)
    if ring_stage > 0:
        width = radius * 0.16
        box = [round((cx - radius) * SUPER), round((cy - radius) * SUPER),
               round((cx + radius) * SUPER), round((cy + radius) * SUPER)]
        canvas.draw.arc(box, start=-90, end=-90 + 360 * ring_stage, fill=RING, width=round(width * SUPER))
    for i in range(3):
        wing_stage = clamp01((stage - 0.3 - 0.12 * i) / 0.25)
        if wing_stage <= 0:
            continue
        # Each stroke is a slim triangle leaning right, longer for the middle one.
        base_x = cx - radius * 0.45 + i * radius * 0.38
        base_y = cy + radius * 0.45
        length = radius * (0.95 if i == 1 else 0.75) * wing_stage
        lean = radius * 0.35 * wing_stage
        half = radius * 0.09
        colour = mix(RING, WING, 0.5 + 0.25 * i)
        canvas.polygon([(base_x - half, base_y), (base_x + half, base_y), (base_x + lean, base_y - length)],
                       colour)


def draw_word(canvas, x, y, height, stage):
    """The word mark, uncovered from the left, with an accent line below it."""
    if stage <= 0:
        return
    font = ImageFont.truetype(FONT_BOLD, round(height * SUPER))
    layer = Image.new("RGBA", canvas.image.size, (0, 0, 0, 0))
    draw = ImageDraw.Draw(layer)
    draw.text((round(x * SUPER), round(y * SUPER)), "KESTROLUND", font=font, fill=WORD)
    left, top, right, bottom = draw.textbbox((round(x * SUPER), round(y * SUPER)), "KESTROLUND", font=font)
    shown = left + (right - left) * clamp01(stage)
    mask = Image.new("L", canvas.image.size, 0)
    ImageDraw.Draw(mask).rectangle([0, 0, math.ceil(shown), canvas.image.size[1]], fill=255)
    clipped = Image.new("RGBA", canvas.image.size, (0, 0, 0, 0))
    clipped.paste(layer, (0, 0), mask)
    canvas.paste(clipped)
    line_stage = clamp01((stage - 0.5) / 0.5)
    if line_stage > 0:
        line_y = bottom / SUPER + height * 0.25
        canvas.line([(x, line_y), (x + (right - left) / SUPER * line_stage, line_y)], ACCENT, height * 0.08)


def splash_frame(width, height, stage):
    """The whole mark on black, for the splash's frames."""
    canvas = Canvas(width, height, (0, 0, 0, 255))
    radius = height * 0.3
    draw_emblem(canvas, width * 0.2, height * 0.5, radius, clamp01(stage / 0.6))
    draw_word(canvas, width * 0.39, height * 0.5 - height * 0.1, height * 0.14, clamp01((stage - 0.45) / 0.55))
    return canvas.result()


def emblem_icon(size):
    """The emblem alone on a transparent square, with a dark disc so it shows on any background."""
    canvas = Canvas(size, size)
    canvas.ellipse(1, 1, size - 1, size - 1, fill=(16, 20, 28, 220))
    draw_emblem(canvas, size / 2, size / 2, size * 0.36, 1.0)
    return canvas.result()
