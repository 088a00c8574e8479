"""The game's pictures: the 69 of the texture table but the title picture (made with the
intro pictures) and "torch.png", written per pack folder under assets/generated/game/.
Frame sheets keep the top of every frame row empty: the game samples frame rows
0.5 % of the picture's height lower than the row starts.
Usage: game_textures.py --out ROOT
"""
import argparse
import math
import os

from PIL import Image, ImageChops, ImageFilter

from common import Canvas, mix, rgba, save_png
from flomp import INK, PLAYER_COLOURS, WHITE, blinking, cheering, looking, shade, stretched
from icons import TEAL, action_icon, icon, star, training_scene_tile
import surfaces


def clear_row_tops(image, rows):
    """Clears the top 1 % of the picture's height in every frame row (alpha and colour)."""
    band = math.ceil(image.height * 0.01)
    for r in range(rows):
        top = r * image.height // rows
        image.paste((0, 0, 0, 0), (0, top, image.width, top + band))
    return image


def sheet(frames, columns, rows, cell_w, cell_h):
    out = Image.new("RGBA", (columns * cell_w, rows * cell_h), (0, 0, 0, 0))
    for i, frame in enumerate(frames):
        out.paste(frame, ((i % columns) * cell_w, (i // columns) * cell_h))
    return clear_row_tops(out, rows)


def player_animations(player):
    """Frames 0-7 looking at 0, 45, ... 315 degrees, 8 cheering, 9 blinking."""
    colour = PLAYER_COLOURS[player]
    frames = []
    for k in range(10):
        c = Canvas(128, 128)
        if k < 8:
            looking(c, 64, 62, 40, colour, math.radians(45 * k))
        elif k == 8:
            cheering(c, 64, 68, 36, colour)
        else:
            blinking(c, 64, 62, 40, colour)
        frames.append(c.result())
    return sheet(frames, 10, 1, 128, 128)


def player_stretch(player):
    """Ten bands of 64: band n (1-9) shows the arm reaching to u = 0.2 + 0.07 n; band 0 empty."""
    colour = PLAYER_COLOURS[player]
    bands = [Image.new("RGBA", (512, 64), (0, 0, 0, 0))]
    for n in range(1, 10):
        c = Canvas(512, 64)
        stretched(c, 32, 33, 25, colour, (0.2 + 0.07 * n) * 512 - 4)
        bands.append(c.result())
    return sheet(bands, 1, 10, 512, 64)


def ball(size, colour, highlight=True):
    c = Canvas(size, size)
    s = size
    c.ellipse(s * 0.1, s * 0.1, s * 0.9, s * 0.9, fill=shade(colour, -0.4))
    c.ellipse(s * 0.14, s * 0.14, s * 0.86, s * 0.86, fill=colour)
    if highlight:
        c.ellipse(s * 0.26, s * 0.22, s * 0.48, s * 0.42, fill=mix(colour, WHITE, 0.6))
    return c


def projectile(kind):
    s = 64
    if kind == "red":
        return ball(s, PLAYER_COLOURS[0]).result()
    if kind == "blue":
        return ball(s, PLAYER_COLOURS[1]).result()
    if kind == "sticky":
        c = ball(s, rgba("7ed957"))
        for dx, dy in ((0.2, 0.72), (0.62, 0.78), (0.78, 0.4)):
            c.ellipse(s * dx, s * dy, s * (dx + 0.14), s * (dy + 0.14), fill=rgba("7ed957"))
        return c.result()
    c = ball(s, rgba("f4fbff"))
    c.ellipse(s * 0.3, s * 0.5, s * 0.8, s * 0.84, fill=rgba("cfe8fa"))
    return c.result()


def explosion_frames():
    frames = []
    for f in range(16):
        t = f / 15
        c = Canvas(128, 128)
        r = 14 + 44 * math.sqrt(t)
        fade = (1 - t) ** 1.3
        for k, (colour, scale) in enumerate(((rgba("ff9a2e"), 1.0), (rgba("ffd25a"), 0.78), (rgba("fffbe6"), 0.5))):
            a = int(255 * fade * (0.8 + 0.2 * k))
            rr = r * scale
            c.ellipse(64 - rr, 66 - rr, 64 + rr, 66 + rr, fill=colour[:3] + (a,))
        for k in range(7):
            ang = 2 * math.pi * k / 7 + f * 0.15
            pr = r * (0.35 + 0.1 * (k % 3))
            px, py = 64 + math.cos(ang) * r * 0.8, 66 + math.sin(ang) * r * 0.8
            c.ellipse(px - pr, py - pr, px + pr, py + pr, fill=rgba("fff0c8", int(200 * fade)))
        frames.append(c.result().filter(ImageFilter.GaussianBlur(1.2)))
    return sheet(frames, 4, 4, 128, 128)


def timer_frames():
    """Frame 0 a full clock, each next one a sixteenth emptier, 15 empty."""
    frames = []
    for f in range(16):
        c = Canvas(128, 128)
        c.ellipse(10, 12, 118, 120, fill=INK)
        c.ellipse(16, 18, 112, 114, fill=rgba("f7f4ec"))
        left = (15 - f) / 15
        if left > 0:
            colour = mix(rgba("e04848"), rgba("3cb44b"), left)
            box = [round(22 * 4), round(24 * 4), round(106 * 4) - 1, round(108 * 4) - 1]
            c.draw.pieslice(box, -90, -90 + 360 * left, fill=colour)
        angle = -math.pi / 2 + 2 * math.pi * (1 - left)
        c.line([(64, 66), (64 + math.cos(angle) * 38, 66 + math.sin(angle) * 38)], INK, 4)
        c.ellipse(58, 60, 70, 72, fill=INK)
        frames.append(c.result())
    return sheet(frames, 4, 4, 128, 128)


def marker_frames():
    """Frames 0-9 the aiming dots, largest first; 10-15 the turn marker arrow."""
    frames = []
    for f in range(16):
        c = Canvas(64, 64)
        if f < 10:
            r = 24 - f * 1.5
            c.ellipse(32 - r, 33 - r, 32 + r, 33 + r, fill=rgba("ffffff", 110))
            c.ellipse(32 - r * 0.7, 33 - r * 0.7, 32 + r * 0.7, 33 + r * 0.7, fill=WHITE)
        else:
            c.polygon([(12, 14), (52, 14), (32, 54)], INK)
            c.polygon([(18, 18), (46, 18), (32, 47)], rgba("ffd25a"))
        frames.append(c.result())
    return sheet(frames, 16, 1, 64, 64)


def loader():
    c = Canvas(256, 256)
    for k in range(12):
        a = 2 * math.pi * k / 12 - math.pi / 2
        x, y = 128 + math.cos(a) * 90, 128 + math.sin(a) * 90
        r = 10 + k * 1.2
        c.ellipse(x - r, y - r, x + r, y + r, fill=mix(rgba("1fa5a0"), WHITE, k / 11)[:3] + (int(60 + 195 * k / 11),))
    return c.result()


def glow_ring(size=256):
    """White ring with soft edges: the mark behind a chosen button and over the grab box."""
    c = Canvas(size, size)
    s = size
    c.ellipse(s * 0.1, s * 0.1, s * 0.9, s * 0.9, fill=rgba("ffffff", 200))
    c.ellipse(s * 0.22, s * 0.22, s * 0.78, s * 0.78, fill=rgba("ffffff", 60))
    return c.result().filter(ImageFilter.GaussianBlur(s * 0.035))


def particle_star():
    c = Canvas(64, 64)
    c.ellipse(16, 16, 48, 48, fill=rgba("ffffff", 70))
    star(c, 32, 32, 28, WHITE, points=4, inner=0.3)
    return c.result().filter(ImageFilter.GaussianBlur(0.8))


def particle_dot():
    c = Canvas(32, 32)
    for k in range(6):
        r = 15 - k * 2.4
        c.ellipse(16 - r, 16 - r, 16 + r, 16 + r, fill=rgba("ffffff", 40 + k * 40))
    return c.result().filter(ImageFilter.GaussianBlur(1.5))


def helper_mark():
    c = Canvas(64, 64)
    c.ellipse(4, 4, 60, 60, fill=None, outline=rgba("ffd25a", 220), width=5)
    c.line([(32, 16), (32, 48)], rgba("ffd25a", 220), 5)
    c.line([(16, 32), (48, 32)], rgba("ffd25a", 220), 5)
    return c.result()


BUBBLE_FILL = rgba("2e3440")  # the game writes its chat lines on it in white
BUBBLE_EDGE = rgba("e5e9f0")


def bubble(pointer):
    """A 3 x 3 grid of 64-pixel tiles forming a dark speech bubble with a light rim; with
    pointer, each corner tile carries a tail pointing out of its corner."""
    c = Canvas(192, 192)
    c.rounded_rect(3, 3, 189, 189, 40, fill=BUBBLE_EDGE)
    c.rounded_rect(7, 7, 185, 185, 36, fill=BUBBLE_FILL)
    if pointer:
        for sx, sy in ((0, 0), (1, 0), (0, 1), (1, 1)):
            cx, cy = 20 + sx * 152, 20 + sy * 152
            tx, ty = 3 + sx * 186, 3 + sy * 186
            dx, dy = (1 if sx == 0 else -1), (1 if sy == 0 else -1)
            c.polygon([(tx, ty), (cx + dx * 26, cy), (cx, cy + dy * 26)], BUBBLE_EDGE)
            c.polygon([(tx + dx * 5, ty + dy * 5), (cx + dx * 26, cy + dy * 4), (cx + dx * 4, cy + dy * 26)],
                      BUBBLE_FILL)
    return c.result()


def track(width, height):
    c = Canvas(width, height)
    r = min(width, height) / 2
    c.rounded_rect(2, 2, width - 2, height - 2, r - 2, fill=rgba("1d1a24", 170))
    c.rounded_rect(6, 6, width - 6, height - 6, r - 6, fill=rgba("ffffff", 60))
    if height > width:
        c.line([(width / 2 - 12, 30), (width / 2 + 12, 30)], WHITE, 5)
        c.line([(width / 2, 18), (width / 2, 42)], WHITE, 5)
        c.line([(width / 2 - 12, height - 30), (width / 2 + 12, height - 30)], WHITE, 5)
    return c.result()


def knob(size=64):
    c = Canvas(size, size)
    c.ellipse(4, 4, size - 4, size - 4, fill=shade(TEAL, -0.5))
    c.ellipse(8, 8, size - 8, size - 8, fill=TEAL)
    c.ellipse(16, 12, size - 24, size / 2, fill=mix(TEAL, WHITE, 0.5))
    return c.result()


def torch_cell(frame, size=256):
    """Mid-grey is neutral under the 2x multiply: a darker vignette and a warm light that
    drifts and flickers from cell to cell."""
    vignette = Image.radial_gradient("L").resize((size, size), Image.BICUBIC)
    grey = Image.new("RGB", (size, size), (128, 128, 128))
    dark = Image.new("RGB", (size, size), (64, 60, 58))
    out = Image.composite(dark, grey, vignette.point(lambda v: max(0, min(255, (v - 60) * 2))))
    light = Canvas(size, size)
    a = 2 * math.pi * frame / 16
    cx, cy = size * (0.5 + 0.12 * math.cos(a)), size * (0.45 + 0.06 * math.sin(2 * a))
    r = size * (0.3 + 0.02 * math.sin(frame * 2.1))
    light.ellipse(cx - r, cy - r, cx + r, cy + r, fill=(70, 50, 22, 255))
    glow = light.result().filter(ImageFilter.GaussianBlur(size * 0.09)).convert("RGB")
    return ImageChops.add(out, glow).convert("RGBA")


def torch():
    out = Image.new("RGBA", (1024, 1024))
    for f in range(16):
        out.paste(torch_cell(f), ((f % 4) * 256, (f // 4) * 256))
    return out


def generate(root):
    base = os.path.join(root, "assets", "generated", "game")

    def put(pack, name, image):
        save_png(image, os.path.join(base, pack, name))

    for name in ("muteoff", "muteon", "exits", "edit", "bomb_snow", "bomb_cluster", "bomb_none",
                 "confirmation_yes", "confirmation_no", "bomb_sticky", "chatbutton", "training_restart"):
        put("ui", name + ".png", icon(name))
    for name in ("help", "training", "fb_button", "intro", "credits", "nextround"):
        put("ui", name + ".png", icon(name, 256))
    for player in (0, 1):
        for action in ("jump", "bomb", "whip"):
            put("ui", "%s_%02d.png" % (action, player), action_icon(action, player))
    put("ui", "flomploader.png", loader())
    put("ui", "player_background.png", glow_ring())
    put("ui", "timer_flomp.png", timer_frames())
    put("ui", "volumebackgroundz.png", track(256, 64))
    put("ui", "volumezlider.png", knob())
    put("ui", "marker.png", marker_frames())
    put("ui", "chatbubble.png", bubble(False))
    put("ui", "chatbubble_pointer.png", bubble(True))
    put("ui", "training_scene.png", training_scene_tile())
    put("ui", "zoom_bar.png", track(64, 256))
    put("ui", "zoom_indicator.png", knob())

    for player in (0, 1):
        put("players", "player%d_animations.png" % player, player_animations(player))
        put("players", "player%d_stretch.png" % player, player_stretch(player))
    for kind in ("red", "blue", "sticky", "snowball"):
        put("players", "projectile_%s.png" % kind, projectile(kind))

    put("textures", "background_battle.png", surfaces.hills())
    put("textures", "background_unique.png", surfaces.landmark())
    put("textures", "helper.png", helper_mark())
    for material in range(4):
        put("textures", "blockstyle%02d.png" % (material + 1), surfaces.block_frame(material))
    for label, maker in (("Paper", surfaces.paper), ("Metal", surfaces.metal), ("Ice", surfaces.ice),
                         ("Bounce", surfaces.bounce)):
        for variant in range(3):
            put("textures", "Texture_%s%02d.png" % (label, variant + 1), maker(variant))
    put("textures", "water_base.png", surfaces.water_base())
    put("textures", "waves.png", surfaces.waves())
    put("textures", "shadow.png", surfaces.shadow())

    put("effects", "explosion.png", explosion_frames())
    put("effects", "particle_star.png", particle_star())
    put("effects", "particle_dot.png", particle_dot())
    put("effects", "torch.png", torch())


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    generate(parser.parse_args().out)
