"""Bitmap fonts of the framework for every size of the resolution ladder.

For each ladder size N: main-b (DejaVu Sans Bold) and main (DejaVu Sans), with a
line height of about 0.05 x N, made by the project's own fontgen.
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


def pixel_size(ladder_size):
    return max(6, round(0.05 * ladder_size / LINE_PER_PIXEL))


def generate(fontgen, root):
    for size in LADDER:
        folder = os.path.join(root, "assets", "generated", "fonts", str(size))
        ensure_dir(folder)
        for name, ttf in FACES:
            subprocess.run([fontgen, "--ttf", os.path.join(DEJAVU, ttf), "--size", str(pixel_size(size)),
                            "--name", name, "--out", folder], check=True)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--fontgen", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    generate(args.fontgen, args.out)
