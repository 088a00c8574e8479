"""Pictures of the sample shop items: a sailor's hat (worn by the flomp), a snowy
battleground (hills and a windmill replacing the match's two backgrounds), and a small
and a large shop icon for each of the four items (hat, snow bomb, cluster bomb,
battleground).
Usage: items.py --out ROOT
"""
import argparse
import math
import os

from common import Canvas, rgba, save_png
from flomp import INK, WHITE, shade
from icons import icon, tile
import surfaces

SNOW_HILLS = (rgba("dbe9f4"), rgba("aac6dd"))


def hat(size=128):
    """A white sailor's cap with a blue band, seen from the front."""
    c = Canvas(size, size)
    s = size
    c.ellipse(s * 0.12, s * 0.5, s * 0.88, s * 0.78, fill=shade(rgba("f4f1ea"), -0.25))
    c.ellipse(s * 0.2, s * 0.2, s * 0.8, s * 0.68, fill=rgba("f4f1ea"))
    c.rounded_rect(s * 0.2, s * 0.5, s * 0.8, s * 0.66, s * 0.04, fill=rgba("22407a"))
    c.ellipse(s * 0.44, s * 0.52, s * 0.56, s * 0.64, fill=rgba("f2c230"))
    return c.result()


def windmill(size=512):
    """A windmill on a snowy mound, standing on the horizon (the middle row)."""
    c = Canvas(size, size)
    s = size
    c.ellipse(s * 0.2, s * 0.42, s * 0.8, s * 0.62, fill=rgba("e8f1f8"))
    c.polygon([(s * 0.42, s * 0.46), (s * 0.58, s * 0.46), (s * 0.55, s * 0.2), (s * 0.45, s * 0.2)],
              rgba("9a6b4a"))
    c.polygon([(s * 0.43, s * 0.2), (s * 0.57, s * 0.2), (s * 0.5, s * 0.12)], rgba("5b3a2a"))
    c.rounded_rect(s * 0.47, s * 0.36, s * 0.53, s * 0.46, s * 0.01, fill=INK)
    hub = (s * 0.5, s * 0.2)
    for k in range(4):
        a = math.pi / 4 + k * math.pi / 2
        tip = (hub[0] + math.cos(a) * s * 0.2, hub[1] + math.sin(a) * s * 0.2)
        side = (math.cos(a + math.pi / 2) * s * 0.03, math.sin(a + math.pi / 2) * s * 0.03)
        c.polygon([hub, tip, (tip[0] + side[0], tip[1] + side[1]), (hub[0] + side[0], hub[1] + side[1])],
                  rgba("f4f1ea"))
    c.ellipse(hub[0] - 6, hub[1] - 6, hub[0] + 6, hub[1] + 6, fill=INK)
    return c.result()


def shop_icon(kind, size):
    if kind == "hat":
        c = tile(size, rgba("22407a")).result()
        c.alpha_composite(hat(size).resize((size, size)))
        return c
    if kind == "battleground":
        c = tile(size, rgba("7fb0d8")).result()
        scene = surfaces.hills(size * 2, size, SNOW_HILLS).crop((0, 0, size, size))
        scene.alpha_composite(windmill(size))
        mask = Canvas(size, size)
        mask.ellipse(size * 0.1, size * 0.1, size * 0.9, size * 0.9, fill=WHITE)
        scene.putalpha(min_alpha(scene, mask.result()))
        c.alpha_composite(scene)
        return c
    return icon({"snow": "bomb_snow", "cluster": "bomb_cluster"}[kind], size)


def min_alpha(a, b):
    from PIL import ImageChops
    return ImageChops.darker(a.getchannel("A"), b.getchannel("A"))


def generate(root):
    folder = os.path.join(root, "assets", "generated", "items")
    save_png(hat(), os.path.join(folder, "hat_sailor.png"))
    save_png(surfaces.hills(colours=SNOW_HILLS), os.path.join(folder, "battle_snowhills.png"))
    save_png(windmill(), os.path.join(folder, "unique_windmill.png"))
    for kind in ("hat", "snow", "cluster", "battleground"):
        save_png(shop_icon(kind, 128), os.path.join(folder, "icons", "%s_small.png" % kind))
        save_png(shop_icon(kind, 256), os.path.join(folder, "icons", "%s_large.png" % kind))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    generate(parser.parse_args().out)
