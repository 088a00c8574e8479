"""PNG previews of the scene sources (assets/src/scenes/*.txt) for review.

Usage: scene_preview.py OUT_DIR SOURCE.txt...   (Debian's python3 with PIL)
Block half sizes are read from the game's shape table in game/MoxTables.cpp, so the
preview shows what the game builds. Previews are not shipped.
"""
import os
import re
import sys

from PIL import Image, ImageDraw

GRID = 0.025
SCALE = 160  # pixels per world unit
WIDTH, HEIGHT = int(6.4 * SCALE), int(2.9 * SCALE)
WATER_Y = int(2.7 * SCALE)
MATERIALS = [(214, 190, 140), (150, 160, 175), (170, 225, 245), (240, 120, 170)]
PLAYERS = [(255, 93, 55), (58, 146, 255)]


def shapes(root):
    text = open(os.path.join(root, "game", "MoxTables.cpp")).read()
    table = text[text.index("BlockShapes["):]
    return [(float(w), float(h)) for w, h in re.findall(r"CKorvelVector2\(([\d.]+)f, ([\d.]+)f\)", table)]


def parse(path):
    scene = {"start0": [], "start1": [], "block": [], "helper": []}
    mirror = False
    for line in open(path):
        words = line.split("#")[0].split()
        if not words:
            continue
        if words[0] == "mirror":
            mirror = True
        elif words[0] in ("start0", "start1"):
            scene[words[0]] = [tuple(int(v) for v in w.split(",")) for w in words[1:]]
        else:
            scene[words[0]].append(tuple(int(v) for v in words[1:]))
    if mirror:
        flip = lambda e: (-e[0],) + tuple(e[1:])
        scene = {"start0": [flip(p) for p in scene["start1"]], "start1": [flip(p) for p in scene["start0"]],
                 "block": [flip(b) for b in scene["block"]], "helper": [flip(h) for h in scene["helper"]]}
    return scene


def to_px(x, y):
    return WIDTH / 2 + x * SCALE, WATER_Y - y * SCALE


def draw(scene, table, out):
    image = Image.new("RGB", (WIDTH, HEIGHT), (235, 240, 250))
    d = ImageDraw.Draw(image)
    d.rectangle([0, WATER_Y, WIDTH, HEIGHT], fill=(40, 90, 170))
    for y in (0.5, 1.0, 1.5, 2.0, 2.5):
        d.line([0, to_px(0, y)[1], WIDTH, to_px(0, y)[1]], fill=(210, 215, 225))
    for x, y, shape, material, variant, layer in sorted(scene["block"], key=lambda b: b[5]):
        hw, hh = table[shape]
        left, top = to_px(x * GRID - hw, y * GRID + hh)
        right, bottom = to_px(x * GRID + hw, y * GRID - hh)
        shade = 1.0 - 0.12 * variant
        colour = tuple(int(c * shade) for c in MATERIALS[material])
        d.rectangle([left, top, right, bottom], fill=colour, outline=(60, 60, 60))
    for x, y in scene["helper"]:
        cx, cy = to_px(x * GRID, y * GRID)
        d.rectangle([cx - 5, cy - 5, cx + 5, cy + 5], outline=(0, 150, 0), width=2)
    for player in (0, 1):
        for k, (x, y) in enumerate(scene["start%d" % player]):
            cx, cy = to_px(x * GRID, y * GRID)
            r = 0.05 * SCALE
            d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=PLAYERS[player], outline=(0, 0, 0))
            d.text((cx - 3, cy - r - 12), str(k), fill=(0, 0, 0))
    image.save(out)


def main():
    root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    table = shapes(root)
    os.makedirs(sys.argv[1], exist_ok=True)
    for path in sys.argv[2:]:
        name = os.path.splitext(os.path.basename(path))[0]
        draw(parse(path), table, os.path.join(sys.argv[1], name + ".png"))


if __name__ == "__main__":
    main()
