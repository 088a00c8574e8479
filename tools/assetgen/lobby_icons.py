"""The rest of the lobby's pictures for a ladder size N: toggles, slider, list rows,
group header, scroll bar, spinner, bubble sheets, toast background and the icon set
(a white glyph on a round tile). Sizes are fractions of N."""
import math

from common import Canvas, rgba, vertical_gradient, masked

TILE, TILE_EDGE = rgba("2b3a50"), rgba("8fa3bd")
GLYPH = rgba("f4f1ea")
ACCENT, GOLD = rgba("3fa7e0"), rgba("f2c230")
ROW, ROW_EDGE = rgba("243042", 230), rgba("3c4d66")


def px(n, fraction):
    return max(4, round(n * fraction))


def toggle(n, on):
    width, height = px(n, 0.12), px(n, 0.06)
    c = Canvas(width, height)
    c.rounded_rect(0, 0, width, height, height / 2, fill=ACCENT if on else rgba("4a5567"))
    knob = height * 0.8
    x = width - height * 0.1 - knob if on else height * 0.1
    c.ellipse(x, height * 0.1, x + knob, height * 0.1 + knob, fill=GLYPH)
    return c.result()


def slider_track(n):
    width, height = px(n, 0.5), px(n, 0.03)
    c = Canvas(width, height)
    c.rounded_rect(0, 0, width, height, height / 2, fill=rgba("4a5567"), outline=TILE_EDGE,
                   width=max(1.0, n / 600))
    return c.result()


def slider_knob(n):
    size = px(n, 0.06)
    c = Canvas(size, size)
    c.ellipse(0, 0, size, size, fill=GLYPH, outline=ACCENT, width=size * 0.12)
    return c.result()


def row(n, height_fraction, top, bottom):
    # Drawn at half width: the widgets stretch it.
    width, height = px(n, 0.5), px(n, height_fraction)
    shape = Canvas(width, height)
    shape.rounded_rect(0, 0, width, height, height * 0.15, fill=(255, 255, 255, 255))
    face = masked(vertical_gradient(width, height, top, bottom), shape.result())
    edge = Canvas(width, height)
    edge.rounded_rect(0.5, 0.5, width - 0.5, height - 0.5, height * 0.15, fill=None, outline=ROW_EDGE,
                      width=max(1.0, n / 500))
    face.alpha_composite(edge.result())
    return face


def page_bg(n):
    width, height = px(n, 0.1), px(n, 0.25)
    return vertical_gradient(width, height, rgba("18324d"), rgba("0b1521"))


def scrollbar(n, vertical):
    thick, long = px(n, 0.012), px(n, 0.1)
    width, height = (thick, long) if vertical else (long, thick)
    c = Canvas(width, height)
    c.rounded_rect(0, 0, width, height, thick / 2, fill=(255, 255, 255, 200))
    return c.result()


def spinner(n):
    size = px(n, 0.08)
    c = Canvas(size, size)
    for i in range(8):
        angle = i * math.pi / 4
        r0, r1 = size * 0.22, size * 0.44
        cx, cy = size / 2, size / 2
        alpha = 60 + i * 24
        c.line([(cx + r0 * math.cos(angle), cy + r0 * math.sin(angle)),
                (cx + r1 * math.cos(angle), cy + r1 * math.sin(angle))], (244, 241, 234, alpha), size * 0.09)
    return c.result()


def bubble_sheet(n, cells):
    """A cells x cells sheet: corners, edges and middle of a speech bubble (or its arrows)."""
    cell = px(n, 0.03)
    size = cell * cells
    c = Canvas(size, size)
    if cells == 3:
        c.rounded_rect(0, 0, size, size, cell * 0.9, fill=rgba("f4f1ea", 240), outline=ACCENT,
                       width=max(1.0, n / 500))
    else:
        for gx in range(2):
            for gy in range(2):
                x0, y0 = gx * cell, gy * cell
                c.polygon([(x0 + cell * 0.1, y0 + cell * 0.5), (x0 + cell * 0.9, y0 + cell * 0.1),
                           (x0 + cell * 0.9, y0 + cell * 0.9)], rgba("f4f1ea", 240))
    return c.result()


def group_header(n):
    return row(n, 0.06, rgba("3a4b63"), rgba("2b3a50"))


def tile(n, size_fraction, fill=TILE):
    size = px(n, size_fraction)
    c = Canvas(size, size)
    c.ellipse(0, 0, size, size, fill=fill, outline=TILE_EDGE, width=max(1.0, size * 0.05))
    return c, size


def _glyph(name, c, s, w):
    """Draws one icon's glyph on a canvas of side s with stroke width w."""
    g = GLYPH
    if name == "follow":
        c.line([(s * 0.5, s * 0.28), (s * 0.5, s * 0.72)], g, w)
        c.line([(s * 0.28, s * 0.5), (s * 0.72, s * 0.5)], g, w)
    elif name == "unfollow":
        c.line([(s * 0.28, s * 0.5), (s * 0.72, s * 0.5)], g, w)
    elif name == "gift":
        c.rounded_rect(s * 0.28, s * 0.42, s * 0.72, s * 0.72, 0, fill=GOLD)
        c.line([(s * 0.5, s * 0.3), (s * 0.5, s * 0.72)], g, w * 0.7)
        c.line([(s * 0.26, s * 0.42), (s * 0.74, s * 0.42)], g, w * 0.7)
    elif name == "challenge":
        # A lit bomb, the game's own weapon: nothing like the cross that closes a page.
        c.ellipse(s * 0.24, s * 0.36, s * 0.64, s * 0.76, fill=g)
        c.polygon([(s * 0.52, s * 0.36), (s * 0.62, s * 0.30), (s * 0.70, s * 0.42), (s * 0.60, s * 0.48)], g)
        c.ellipse(s * 0.33, s * 0.46, s * 0.41, s * 0.54, fill=TILE)
        c.line([(s * 0.66, s * 0.35), (s * 0.70, s * 0.27), (s * 0.74, s * 0.25)], GOLD, w * 0.5)
        spark = []
        for i in range(10):
            r = s * (0.09 if i % 2 == 0 else 0.04)
            a = i * math.pi / 5
            spark.append((s * 0.77 + r * math.sin(a), s * 0.23 - r * math.cos(a)))
        c.polygon(spark, GOLD)
    elif name == "block":
        c.ellipse(s * 0.28, s * 0.28, s * 0.72, s * 0.72, fill=None, outline=g, width=w * 0.8)
        c.line([(s * 0.36, s * 0.64), (s * 0.64, s * 0.36)], g, w * 0.8)
    elif name == "report":
        c.line([(s * 0.5, s * 0.28), (s * 0.5, s * 0.58)], g, w)
        c.ellipse(s * 0.45, s * 0.66, s * 0.55, s * 0.76, fill=g)
    elif name == "arrow":
        c.polygon([(s * 0.3, s * 0.38), (s * 0.7, s * 0.38), (s * 0.5, s * 0.66)], g)
    elif name == "back":
        c.polygon([(s * 0.62, s * 0.28), (s * 0.62, s * 0.72), (s * 0.32, s * 0.5)], g)
    elif name == "close":
        c.line([(s * 0.34, s * 0.34), (s * 0.66, s * 0.66)], g, w)
        c.line([(s * 0.66, s * 0.34), (s * 0.34, s * 0.66)], g, w)
    elif name == "settings":
        c.ellipse(s * 0.3, s * 0.3, s * 0.7, s * 0.7, fill=None, outline=g, width=w)
        for i in range(6):
            a = i * math.pi / 3
            c.line([(s / 2 + s * 0.2 * math.cos(a), s / 2 + s * 0.2 * math.sin(a)),
                    (s / 2 + s * 0.28 * math.cos(a), s / 2 + s * 0.28 * math.sin(a))], g, w)
    elif name == "players":
        c.ellipse(s * 0.24, s * 0.3, s * 0.44, s * 0.5, fill=g)
        c.ellipse(s * 0.56, s * 0.3, s * 0.76, s * 0.5, fill=g)
        c.rounded_rect(s * 0.2, s * 0.54, s * 0.8, s * 0.7, s * 0.06, fill=g)
    elif name == "chat":
        c.rounded_rect(s * 0.24, s * 0.28, s * 0.76, s * 0.6, s * 0.08, fill=g)
        c.polygon([(s * 0.34, s * 0.58), (s * 0.46, s * 0.58), (s * 0.3, s * 0.74)], g)
    elif name == "shop":
        c.rounded_rect(s * 0.28, s * 0.4, s * 0.72, s * 0.72, s * 0.04, fill=g)
        c.ellipse(s * 0.36, s * 0.24, s * 0.64, s * 0.52, fill=None, outline=g, width=w * 0.7)
    elif name == "coins":
        c.ellipse(s * 0.26, s * 0.26, s * 0.74, s * 0.74, fill=GOLD, outline=rgba("b8860b"), width=w * 0.6)
    elif name == "exit":
        c.rounded_rect(s * 0.28, s * 0.26, s * 0.52, s * 0.74, 0, fill=None, outline=g, width=w * 0.7)
        c.line([(s * 0.46, s * 0.5), (s * 0.76, s * 0.5)], g, w * 0.8)
    elif name == "play":
        c.polygon([(s * 0.38, s * 0.28), (s * 0.38, s * 0.72), (s * 0.74, s * 0.5)], g)
    elif name == "logo":
        c.ellipse(s * 0.2, s * 0.2, s * 0.8, s * 0.8, fill=None, outline=GOLD, width=w)
        c.line([(s * 0.36, s * 0.62), (s * 0.5, s * 0.36), (s * 0.64, s * 0.62)], g, w)
    elif name == "message":
        c.rounded_rect(s * 0.24, s * 0.32, s * 0.76, s * 0.68, s * 0.04, fill=g)
        c.line([(s * 0.26, s * 0.34), (s * 0.5, s * 0.52), (s * 0.74, s * 0.34)], TILE, w * 0.5)
    elif name == "achievement":
        c.polygon([(s * 0.5, s * 0.22), (s * 0.58, s * 0.42), (s * 0.78, s * 0.42), (s * 0.62, s * 0.55),
                   (s * 0.68, s * 0.76), (s * 0.5, s * 0.63), (s * 0.32, s * 0.76), (s * 0.38, s * 0.55),
                   (s * 0.22, s * 0.42), (s * 0.42, s * 0.42)], GOLD)


ICONS = ("follow", "unfollow", "gift", "challenge", "block", "report", "arrow", "back", "close", "settings",
         "players", "chat", "shop", "coins", "exit", "play", "logo")


def icon(n, name, size_fraction=0.09):
    c, s = tile(n, size_fraction)
    _glyph(name, c, s, max(1.0, s * 0.09))
    return c.result()


def pictures(n):
    """Every picture of this module for size N, as (file name, image)."""
    out = [("toggle_on.png", toggle(n, True)), ("toggle_off.png", toggle(n, False)),
           ("slider_track.png", slider_track(n)), ("slider_knob.png", slider_knob(n)),
           ("row_small.png", row(n, 0.1, rgba("2b3a50"), rgba("1f2a3a"))),
           ("row_big.png", row(n, 0.2, rgba("2b3a50"), rgba("1a2331"))),
           ("group_header.png", group_header(n)), ("page_bg.png", page_bg(n)),
           ("scroll_v.png", scrollbar(n, True)), ("scroll_h.png", scrollbar(n, False)),
           ("spinner.png", spinner(n)), ("bubble_bg.png", bubble_sheet(n, 3)),
           ("bubble_side.png", bubble_sheet(n, 2)), ("bubble_top.png", bubble_sheet(n, 2).rotate(90)),
           ("toast_bg.png", row(n, 0.14, rgba("233247", 240), rgba("151e2b", 240))),
           ("toast_message.png", icon(n, "message")), ("toast_challenge.png", icon(n, "challenge")),
           ("toast_achievement.png", icon(n, "achievement"))]
    out += [("icon_%s.png" % name, icon(n, name)) for name in ICONS]
    return out
