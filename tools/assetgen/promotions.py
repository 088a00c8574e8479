"""Pictures of the two promotions the local lobby server hands out with its links: a wide
banner for the more-games button and a cup for the tournaments button.
Usage: promotions.py --out ROOT
"""
import argparse
import os

from common import Canvas, masked, rgba, save_png, vertical_gradient
from flomp import WHITE, shade
from icons import star

GOLD, GOLD_DARK = rgba("f2c230"), rgba("b8860b")


def more_games(width=360, height=72):
    """A blue banner with three round tiles; the button draws its own label over it. It has
    the button's shape (wide, with rounded corners), so nothing of the button shows around it."""
    c = Canvas(width, height)
    shape = Canvas(width, height)
    shape.rounded_rect(0, 0, width, height, height * 0.3, fill=WHITE)
    c.paste(masked(vertical_gradient(width, height, rgba("4fb6ea"), rgba("1c5f91")).resize(c.image.size),
                   shape.image))
    r = height * 0.34
    for k, colour in enumerate((rgba("3cb44b"), rgba("e04848"), rgba("8a5cc7"))):
        cx, cy = width * (0.14 + 0.36 * k), height * 0.5
        c.ellipse(cx - r, cy - r, cx + r, cy + r, fill=shade(colour, -0.5))
        c.ellipse(cx - r * 0.88, cy - r * 0.88, cx + r * 0.88, cy + r * 0.88, fill=colour)
    star(c, width * 0.14, height * 0.5, r * 0.6, WHITE)
    c.ellipse(width * 0.5 - r * 0.45, height * 0.5 - r * 0.35, width * 0.5 + r * 0.45, height * 0.5 + r * 0.55,
              fill=rgba("2b2b2b"))
    c.polygon([(width * 0.86, height * 0.5 - r * 0.5), (width * 0.86 + r * 0.5, height * 0.5 + r * 0.4),
               (width * 0.86 - r * 0.5, height * 0.5 + r * 0.4)], WHITE)
    return c.result()


def tournament_cup(size=128):
    """A gold cup on a dark plinth with a star on it."""
    c = Canvas(size, size)
    s = size
    c.ellipse(s * 0.1, s * 0.14, s * 0.36, s * 0.48, fill=None, outline=GOLD_DARK, width=s * 0.06)
    c.ellipse(s * 0.64, s * 0.14, s * 0.9, s * 0.48, fill=None, outline=GOLD_DARK, width=s * 0.06)
    c.polygon([(s * 0.22, s * 0.08), (s * 0.78, s * 0.08), (s * 0.7, s * 0.5), (s * 0.5, s * 0.62),
               (s * 0.3, s * 0.5)], GOLD)
    star(c, s * 0.5, s * 0.3, s * 0.12, WHITE)
    c.rounded_rect(s * 0.45, s * 0.6, s * 0.55, s * 0.78, 0, fill=GOLD_DARK)
    c.rounded_rect(s * 0.26, s * 0.78, s * 0.74, s * 0.92, s * 0.03, fill=rgba("3a2a1a"))
    return c.result()


def generate(root):
    folder = os.path.join(root, "assets", "generated", "promotions")
    save_png(more_games(), os.path.join(folder, "moregames.png"))
    save_png(tournament_cup(), os.path.join(folder, "tournaments.png"))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    generate(parser.parse_args().out)
