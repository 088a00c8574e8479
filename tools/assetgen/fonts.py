"""Bitmap fonts, made by the project's own fontgen.

- The framework's, for each ladder size N: main-b (DejaVu Sans Bold) and main
  (DejaVu Sans), with a line height of about 0.05 x N.
- The game's only font "foo": DejaVu Sans Bold with a line height of about 40 pixels
  for a screen whose smaller side is 720, on one 512 x 512 page.
Usage: fonts.py --fontgen PATH --out ROOT
"""
import argparse
import os
import subprocess

from common import LADDER, ensure_dir

DEJAVU = "/usr/share/fonts/truetype/dejavu"
FACES = (("main-b", "DejaVuSans-Bold.ttf"), ("main", "DejaVuSans.ttf"))
# DejaVu's line height is about 1.164 times its pixel size.
LINE_PER_PIXEL = 1.164
GAME_FONT_LINE, GAME_FONT_PAGE = 40, 512


def pixel_size(ladder_size):
    return max(6, round(0.05 * ladder_size / LINE_PER_PIXEL))


def generate(fontgen, root):
    for size in LADDER:
        folder = os.path.join(root, "assets", "generated", "fonts", str(size))
        ensure_dir(folder)
        for name, ttf in FACES:
            subprocess.run([fontgen, "--ttf", os.path.join(DEJAVU, ttf), "--size", str(pixel_size(size)),
                            "--name", name, "--out", folder], check=True)
    folder = os.path.join(root, "assets", "generated", "game", "ui")
    ensure_dir(folder)
    subprocess.run([fontgen, "--ttf", os.path.join(DEJAVU, "DejaVuSans-Bold.ttf"),
                    "--size", str(round(GAME_FONT_LINE / LINE_PER_PIXEL)), "--name", "foo", "--out", folder,
                    "--page-size", str(GAME_FONT_PAGE)], check=True)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--fontgen", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    generate(args.fontgen, args.out)
