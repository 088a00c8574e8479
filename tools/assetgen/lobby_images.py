"""The lobby's first images for every ladder size N (each drawn for a screen whose
smaller side is N): a button with its pressed look, a panel, radio marks, the
default player picture and the trophy.
Usage: lobby_images.py --out ROOT
"""
import argparse
import os

import lobby_icons
from common import LADDER, Canvas, noise, rgba, save_png, vertical_gradient, masked

BUTTON_TOP, BUTTON_BOTTOM = rgba("3fa7e0"), rgba("1f6fa8")
PRESSED_TOP, PRESSED_BOTTOM = rgba("1c5f91"), rgba("2b86c2")
EDGE = rgba("0d3550")
PANEL = rgba("1b2230", 235)
PANEL_EDGE = rgba("4a5a73")
GOLD, GOLD_DARK = rgba("f2c230"), rgba("b8860b")


def px(n, fraction):
    return max(4, round(n * fraction))


def button(n, top, bottom):
    width, height = px(n, 0.5), px(n, 0.12)
    radius = height * 0.35
    shape = Canvas(width, height)
    shape.rounded_rect(0, 0, width, height, radius, fill=(255, 255, 255, 255))
    face = masked(vertical_gradient(width, height, top, bottom), shape.result())
    edge = Canvas(width, height)
    edge.rounded_rect(0.5, 0.5, width - 0.5, height - 0.5, radius, fill=None, outline=EDGE,
                      width=max(1.0, n / 400))
    face.alpha_composite(edge.result())
    return face


def panel(n):
    size = px(n, 0.25)
    canvas = Canvas(size, size)
    canvas.rounded_rect(0.5, 0.5, size - 0.5, size - 0.5, size * 0.12, fill=PANEL, outline=PANEL_EDGE,
                        width=max(1.0, n / 360))
    return noise(canvas.result(), seed=n, amount=3)


def radio(n, selected):
    size = px(n, 0.07)
    canvas = Canvas(size, size)
    ring = max(1.0, size * 0.1)
    canvas.ellipse(ring / 2, ring / 2, size - ring / 2, size - ring / 2, fill=rgba("10151d", 200),
                   outline=rgba("d9e2ec"), width=ring)
    if selected:
        inset = size * 0.28
        canvas.ellipse(inset, inset, size - inset, size - inset, fill=rgba("3fa7e0"))
    return canvas.result()


def avatar(n):
    """A head and shoulders on a round tile: the picture of a player who has none."""
    size = px(n, 0.2)
    canvas = Canvas(size, size)
    canvas.ellipse(0, 0, size, size, fill=rgba("5b6b82"))
    body = Canvas(size, size)
    body.ellipse(size * 0.18, size * 0.6, size * 0.82, size * 1.2, fill=rgba("d9e2ec"))
    body.ellipse(size * 0.32, size * 0.18, size * 0.68, size * 0.56, fill=rgba("d9e2ec"))
    disc = Canvas(size, size)
    disc.ellipse(0, 0, size, size, fill=(255, 255, 255, 255))
    figure = body.result()
    figure.putalpha(min_alpha(figure, disc.result()))
    out = canvas.result()
    out.alpha_composite(figure)
    return out


def min_alpha(a, b):
    """The per-pixel minimum of two images' alpha, as a mask."""
    from PIL import ImageChops
    return ImageChops.darker(a.getchannel("A"), b.getchannel("A"))


def trophy(n):
    size = px(n, 0.1)
    c = Canvas(size, size)
    s = size
    c.ellipse(s * 0.08, s * 0.16, s * 0.36, s * 0.5, fill=None, outline=GOLD_DARK, width=s * 0.06)
    c.ellipse(s * 0.64, s * 0.16, s * 0.92, s * 0.5, fill=None, outline=GOLD_DARK, width=s * 0.06)
    c.polygon([(s * 0.22, s * 0.1), (s * 0.78, s * 0.1), (s * 0.68, s * 0.5), (s * 0.5, s * 0.6),
               (s * 0.32, s * 0.5)], GOLD)
    c.rounded_rect(s * 0.45, s * 0.58, s * 0.55, s * 0.78, 0, fill=GOLD_DARK)
    c.rounded_rect(s * 0.28, s * 0.78, s * 0.72, s * 0.9, s * 0.03, fill=GOLD)
    return c.result()


def generate(root):
    for n in LADDER:
        folder = os.path.join(root, "assets", "generated", "lobby", str(n))
        save_png(button(n, BUTTON_TOP, BUTTON_BOTTOM), os.path.join(folder, "btn_primary.png"))
        save_png(button(n, PRESSED_TOP, PRESSED_BOTTOM), os.path.join(folder, "btn_primary_down.png"))
        save_png(panel(n), os.path.join(folder, "panel_bg.png"))
        save_png(radio(n, True), os.path.join(folder, "radio_on.png"))
        save_png(radio(n, False), os.path.join(folder, "radio_off.png"))
        save_png(avatar(n), os.path.join(folder, "avatar-icon.png"))
        save_png(trophy(n), os.path.join(folder, "cl-icon-trophy.png"))
        for name, image in lobby_icons.pictures(n):
            save_png(image, os.path.join(folder, name))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    generate(parser.parse_args().out)
