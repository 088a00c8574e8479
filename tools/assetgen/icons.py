"""The game's buttons and icons: round tiles with a light symbol on them, drawn from
primitives. Every function returns an RGBA picture of the given size.
"""
import math

from PIL import ImageFont

from common import SUPER, Canvas, mix, rgba
from flomp import INK, PLAYER_COLOURS, WHITE, shade

FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
TEAL, GREEN, RED, GREY, GOLD = rgba("1fa5a0"), rgba("3cb44b"), rgba("e04848"), rgba("6b7685"), rgba("f2b830")
SNOW, STICKY = rgba("bfe6ff"), rgba("7ed957")


def tile(size, colour, inset=0.04):
    """A round tile: dark rim, face lit from the top and a soft gloss."""
    c = Canvas(size, size)
    m = size * inset
    c.ellipse(m, m, size - m, size - m, fill=shade(colour, -0.5))
    rim = size * 0.05
    c.ellipse(m + rim, m + rim, size - m - rim, size - m - rim, fill=colour)
    c.ellipse(m + rim * 2, m + rim * 1.5, size - m - rim * 2, size * 0.55, fill=mix(colour, WHITE, 0.22))
    c.ellipse(m + rim * 2, size * 0.3, size - m - rim * 2, size - m - rim * 2, fill=colour)
    return c


def text(canvas, cx, cy, label, height, fill):
    font = ImageFont.truetype(FONT_BOLD, round(height * SUPER))
    canvas.draw.text((round(cx * SUPER), round(cy * SUPER)), label, font=font, fill=fill, anchor="mm")


def speaker(c, s, muted):
    c.polygon([(s * 0.24, s * 0.4), (s * 0.36, s * 0.4), (s * 0.52, s * 0.26), (s * 0.52, s * 0.74),
               (s * 0.36, s * 0.6), (s * 0.24, s * 0.6)], WHITE)
    if muted:
        c.line([(s * 0.6, s * 0.38), (s * 0.78, s * 0.62)], WHITE, s * 0.07)
        c.line([(s * 0.78, s * 0.38), (s * 0.6, s * 0.62)], WHITE, s * 0.07)
    else:
        for k, reach in enumerate((0.1, 0.2)):
            pts = [(s * 0.56 + s * reach * math.cos(a), s * 0.5 + s * reach * 1.3 * math.sin(a))
                   for a in [(-0.9 + 1.8 * i / 8) for i in range(9)]]
            c.line(pts, WHITE, s * 0.05)


def arrow(c, points, width, fill=WHITE):
    """A thick line ending in an arrow head at its last point."""
    c.line(points[:-1] + [points[-1]], fill, width)
    (x0, y0), (x1, y1) = points[-2], points[-1]
    a = math.atan2(y1 - y0, x1 - x0)
    h = width * 2.2
    c.polygon([(x1 + math.cos(a) * h * 0.6, y1 + math.sin(a) * h * 0.6),
               (x1 + math.cos(a + 2.3) * h, y1 + math.sin(a + 2.3) * h),
               (x1 + math.cos(a - 2.3) * h, y1 + math.sin(a - 2.3) * h)], fill)


def curve(cx, cy, r, start, end, steps=16):
    return [(cx + r * math.cos(start + (end - start) * i / steps), cy + r * math.sin(start + (end - start) * i / steps))
            for i in range(steps + 1)]


def bomb_shape(c, s, colour, fuse=True):
    c.ellipse(s * 0.22, s * 0.3, s * 0.72, s * 0.8, fill=colour)
    c.ellipse(s * 0.3, s * 0.38, s * 0.44, s * 0.5, fill=mix(colour, WHITE, 0.5))
    if fuse:
        c.rounded_rect(s * 0.5, s * 0.24, s * 0.64, s * 0.36, s * 0.02, fill=GREY)
        c.line([(s * 0.58, s * 0.25), (s * 0.66, s * 0.16), (s * 0.74, s * 0.2)], rgba("8a6a3a"), s * 0.03)
        star(c, s * 0.76, s * 0.18, s * 0.08, GOLD)


def star(c, cx, cy, r, fill, points=5, inner=0.45):
    pts = []
    for i in range(points * 2):
        a = -math.pi / 2 + math.pi * i / points
        rr = r if i % 2 == 0 else r * inner
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    c.polygon(pts, fill)


def snowflake(c, cx, cy, r, fill, width):
    for k in range(3):
        a = math.pi * k / 3
        dx, dy = math.cos(a) * r, math.sin(a) * r
        c.line([(cx - dx, cy - dy), (cx + dx, cy + dy)], fill, width)
        for end in (-1, 1):
            bx, by = cx + end * dx * 0.6, cy + end * dy * 0.6
            for twig in (-0.6, 0.6):
                ta = a + (0 if end > 0 else math.pi) + math.pi + twig
                c.line([(bx, by), (bx + math.cos(ta) * r * 0.3, by + math.sin(ta) * r * 0.3)], fill, width * 0.8)


def icon(name, size=128):
    """The picture of one named icon."""
    s = size
    base = {"muteoff": TEAL, "muteon": GREY, "exits": RED, "edit": GOLD, "help": TEAL, "training": GREEN,
            "fb_button": rgba("4a6fd1"), "bomb_snow": rgba("5aa9d6"), "bomb_cluster": rgba("8a5cc7"),
            "bomb_none": GREY, "confirmation_yes": GREEN, "confirmation_no": RED, "bomb_sticky": rgba("3f8f3a"),
            "intro": rgba("d16a3a"), "credits": rgba("c4862a"), "nextround": GREEN, "chatbutton": TEAL,
            "training_restart": GOLD}[name]
    c = tile(s, base)
    if name in ("muteoff", "muteon"):
        speaker(c, s, name == "muteon")
    elif name == "exits":
        c.rounded_rect(s * 0.26, s * 0.26, s * 0.52, s * 0.74, s * 0.03, fill=None, outline=WHITE, width=s * 0.06)
        arrow(c, [(s * 0.42, s * 0.5), (s * 0.7, s * 0.5)], s * 0.07)
    elif name == "edit":
        c.polygon([(s * 0.3, s * 0.72), (s * 0.34, s * 0.58), (s * 0.62, s * 0.3), (s * 0.72, s * 0.4),
                   (s * 0.44, s * 0.68)], WHITE)
        c.polygon([(s * 0.3, s * 0.72), (s * 0.34, s * 0.58), (s * 0.44, s * 0.68)], INK)
    elif name == "help":
        text(c, s * 0.5, s * 0.52, "?", s * 0.55, WHITE)
    elif name == "training":
        for k, rr in enumerate((0.3, 0.2, 0.1)):
            c.ellipse(s * (0.5 - rr), s * (0.5 - rr), s * (0.5 + rr), s * (0.5 + rr),
                      fill=WHITE if k % 2 == 0 else base)
    elif name == "fb_button":
        for dx, scale in ((-0.12, 0.85), (0.12, 0.85), (0.0, 1.0)):
            hx = s * (0.5 + dx)
            c.ellipse(hx - s * 0.09 * scale, s * 0.3, hx + s * 0.09 * scale, s * (0.3 + 0.18 * scale),
                      fill=WHITE if scale == 1.0 else mix(base, WHITE, 0.6))
            c.ellipse(hx - s * 0.16 * scale, s * 0.52, hx + s * 0.16 * scale, s * 0.86,
                      fill=WHITE if scale == 1.0 else mix(base, WHITE, 0.6))
    elif name == "bomb_snow":
        snowflake(c, s * 0.5, s * 0.5, s * 0.26, WHITE, s * 0.05)
    elif name == "bomb_cluster":
        for bx, by in ((0.36, 0.6), (0.64, 0.6), (0.5, 0.36)):
            c.ellipse(s * (bx - 0.13), s * (by - 0.13), s * (bx + 0.13), s * (by + 0.13), fill=INK)
            c.ellipse(s * (bx - 0.08), s * (by - 0.09), s * (bx - 0.02), s * (by - 0.03), fill=WHITE)
    elif name == "bomb_none":
        for k in range(12):
            a0 = 2 * math.pi * k / 12
            c.line(curve(s * 0.5, s * 0.5, s * 0.24, a0, a0 + 0.3, 4), WHITE, s * 0.04)
    elif name == "confirmation_yes":
        c.line([(s * 0.3, s * 0.52), (s * 0.44, s * 0.66), (s * 0.72, s * 0.36)], WHITE, s * 0.1)
    elif name == "confirmation_no":
        c.line([(s * 0.33, s * 0.33), (s * 0.67, s * 0.67)], WHITE, s * 0.1)
        c.line([(s * 0.67, s * 0.33), (s * 0.33, s * 0.67)], WHITE, s * 0.1)
    elif name == "bomb_sticky":
        bomb_shape(c, s, STICKY)
        for dx in (0.32, 0.47, 0.6):
            c.ellipse(s * dx, s * 0.74, s * (dx + 0.07), s * 0.86, fill=STICKY)
    elif name == "intro":
        c.rounded_rect(s * 0.24, s * 0.3, s * 0.76, s * 0.7, s * 0.04, fill=INK)
        for k in range(5):
            x = s * (0.28 + k * 0.1)
            c.rounded_rect(x, s * 0.32, x + s * 0.05, s * 0.36, 0, fill=WHITE)
            c.rounded_rect(x, s * 0.64, x + s * 0.05, s * 0.68, 0, fill=WHITE)
        c.polygon([(s * 0.44, s * 0.4), (s * 0.6, s * 0.5), (s * 0.44, s * 0.6)], WHITE)
    elif name == "credits":
        star(c, s * 0.5, s * 0.5, s * 0.28, WHITE)
    elif name == "nextround":
        c.polygon([(s * 0.38, s * 0.28), (s * 0.74, s * 0.5), (s * 0.38, s * 0.72)], WHITE)
    elif name == "chatbutton":
        c.rounded_rect(s * 0.24, s * 0.28, s * 0.76, s * 0.62, s * 0.08, fill=WHITE)
        c.polygon([(s * 0.34, s * 0.6), (s * 0.48, s * 0.6), (s * 0.32, s * 0.74)], WHITE)
        for k in range(3):
            x = s * (0.37 + k * 0.13)
            c.ellipse(x - s * 0.03, s * 0.42, x + s * 0.03, s * 0.48, fill=base)
    elif name == "training_restart":
        arrow(c, curve(s * 0.5, s * 0.5, s * 0.22, -0.4, 4.4), s * 0.07)
    return c.result()


def action_icon(name, player, size=128):
    """jump, bomb or whip on a tile of the player's colour."""
    s = size
    colour = PLAYER_COLOURS[player]
    c = tile(s, colour)
    if name == "jump":
        c.ellipse(s * 0.36, s * 0.62, s * 0.64, s * 0.78, fill=shade(colour, -0.35))
        arrow(c, [(s * 0.5, s * 0.66), (s * 0.5, s * 0.44), (s * 0.5, s * 0.3)], s * 0.08)
    elif name == "bomb":
        bomb_shape(c, s, INK)
    elif name == "whip":
        pts = [(s * (0.28 + 0.46 * t), s * (0.66 - 0.3 * t + 0.12 * math.sin(t * 7))) for t in
               [i / 16 for i in range(17)]]
        c.line(pts, WHITE, s * 0.05)
        c.rounded_rect(s * 0.22, s * 0.62, s * 0.34, s * 0.74, s * 0.02, fill=rgba("8a6a3a"))
    return c.result()


def training_scene_tile(size=128):
    """A blank numbered-level tile: the number is drawn over it by the game."""
    c = Canvas(size, size)
    s = size
    c.rounded_rect(s * 0.06, s * 0.06, s * 0.94, s * 0.94, s * 0.16, fill=shade(TEAL, -0.5))
    c.rounded_rect(s * 0.1, s * 0.1, s * 0.9, s * 0.9, s * 0.13, fill=TEAL)
    c.rounded_rect(s * 0.16, s * 0.14, s * 0.84, s * 0.4, s * 0.1, fill=mix(TEAL, WHITE, 0.2))
    return c.result()
