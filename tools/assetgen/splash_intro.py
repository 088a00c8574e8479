"""The splash and the game's film pictures.
- The twelve frames of the splash's logo animation: 512 x 256 JPEGs on black. The
  splash cross-fades each frame over the one before for a second, so the frames build
  the mark up step by step and the last one shows it whole.
- The game's title picture and the eleven intro pictures: 1024 x 512 JPEGs.
Usage: splash_intro.py --out ROOT
"""
import argparse
import os

from common import save_jpeg
from logo import splash_frame
from story import story_picture, title_picture

WIDTH, HEIGHT, FRAMES = 512, 256, 12
INTRO_PICTURES = 11


def generate(root):
    folder = os.path.join(root, "assets", "generated", "intro")
    for i in range(1, FRAMES + 1):
        image = splash_frame(WIDTH, HEIGHT, i / FRAMES)
        save_jpeg(image, os.path.join(folder, "kestrolund_logo%d.jpg" % i), quality=85)
    game = os.path.join(root, "assets", "generated", "game")
    save_jpeg(title_picture(), os.path.join(game, "ui", "flomptitleflomp.jpg"), quality=85)
    for i in range(INTRO_PICTURES):
        save_jpeg(story_picture(i), os.path.join(game, "intro", "Kuva%02d.jpg" % (i + 1)), quality=85)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    generate(parser.parse_args().out)
