"""The twelve frames of the splash's logo animation: 512 x 256 JPEGs on black.
The splash cross-fades each frame over the one before for a second, so the frames
build the mark up step by step and the last one shows it whole.
Usage: splash_intro.py --out ROOT
"""
import argparse
import os

from common import save_jpeg
from logo import splash_frame

WIDTH, HEIGHT, FRAMES = 512, 256, 12


def generate(root):
    folder = os.path.join(root, "assets", "generated", "intro")
    for i in range(1, FRAMES + 1):
        image = splash_frame(WIDTH, HEIGHT, i / FRAMES)
        save_jpeg(image, os.path.join(folder, "kestrolund_logo%d.jpg" % i), quality=85)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    generate(parser.parse_args().out)
