"""The flomp: a round, stretchy creature with two big eyes. Drawn on a Canvas in any
colour, looking in a direction, cheering, or stretched out along an arm; shared by
the game's sprite sheets, the title picture and the intro story.
"""
import math

from common import mix, rgba

PLAYER_COLOURS = (rgba("ff5d37"), rgba("3a92ff"))
WHITE = (255, 255, 255, 255)
INK = rgba("1d1a24")


def shade(colour, amount):
    """Darker (amount < 0) or lighter (amount > 0) version of an opaque colour."""
    target = (0, 0, 0, colour[3]) if amount < 0 else (255, 255, 255, colour[3])
    return mix(colour, target, abs(amount))


def body(canvas, cx, cy, r, colour, squash=1.0):
    """The body: a slightly wide blob with a dark rim, a belly shade and a highlight."""
    rx, ry = r * (1.08 / squash ** 0.5), r * 0.94 * squash
    canvas.ellipse(cx - rx, cy - ry, cx + rx, cy + ry, fill=shade(colour, -0.45))
    rim = r * 0.07
    canvas.ellipse(cx - rx + rim, cy - ry + rim, cx + rx - rim, cy + ry - rim, fill=colour)
    canvas.ellipse(cx - rx * 0.62, cy + ry * 0.12, cx + rx * 0.62, cy + ry * 0.8, fill=shade(colour, -0.12))
    canvas.ellipse(cx - rx * 0.55, cy - ry * 0.72, cx - rx * 0.12, cy - ry * 0.38, fill=shade(colour, 0.55))


def eyes(canvas, cx, cy, r, angle):
    """Two eyes whose pupils look along angle (radians, 0 = right, pi/2 = up)."""
    dx, dy = math.cos(angle), -math.sin(angle)
    for side in (-1, 1):
        ex, ey = cx + side * r * 0.36 + dx * r * 0.1, cy - r * 0.2 + dy * r * 0.08
        er = r * 0.27
        canvas.ellipse(ex - er, ey - er * 1.1, ex + er, ey + er * 1.1, fill=WHITE, outline=INK, width=r * 0.04)
        pr = er * 0.5
        px, py = ex + dx * er * 0.45, ey + dy * er * 0.5
        canvas.ellipse(px - pr, py - pr, px + pr, py + pr, fill=INK)
        canvas.ellipse(px - pr * 0.2 - pr * 0.5, py - pr * 0.7, px - pr * 0.2, py - pr * 0.2, fill=WHITE)


def mouth(canvas, cx, cy, r, open_smile):
    if open_smile:
        canvas.polygon(arc_points(cx, cy + r * 0.22, r * 0.42, r * 0.36, 0, math.pi, 10), INK)
        canvas.ellipse(cx - r * 0.16, cy + r * 0.38, cx + r * 0.16, cy + r * 0.55, fill=rgba("e2475b"))
    else:
        canvas.line(arc_points(cx, cy + r * 0.2, r * 0.22, r * 0.12, 0.2, math.pi - 0.2, 8), INK, r * 0.07)


def arc_points(cx, cy, rx, ry, start, end, steps):
    """Points on the lower half-ellipse arc between two angles (screen y down)."""
    return [(cx + rx * math.cos(start + (end - start) * i / steps), cy + ry * math.sin(start + (end - start) * i / steps))
            for i in range(steps + 1)]


def looking(canvas, cx, cy, r, colour, angle):
    """A flomp at rest looking along angle."""
    feet(canvas, cx, cy, r, colour)
    body(canvas, cx, cy, r, colour)
    eyes(canvas, cx, cy, r, angle)
    mouth(canvas, cx + math.cos(angle) * r * 0.12, cy, r, False)


def feet(canvas, cx, cy, r, colour):
    for side in (-1, 1):
        fx = cx + side * r * 0.45
        canvas.ellipse(fx - r * 0.3, cy + r * 0.7, fx + r * 0.3, cy + r * 1.0, fill=shade(colour, -0.45))


def cheering(canvas, cx, cy, r, colour):
    """The winner: arms up, eyes squeezed shut with joy, mouth wide open."""
    for side in (-1, 1):
        canvas.line([(cx + side * r * 0.8, cy - r * 0.05), (cx + side * r * 1.05, cy - r * 0.7)],
                    shade(colour, -0.45), r * 0.26)
        canvas.ellipse(cx + side * r * 1.05 - r * 0.17, cy - r * 0.87, cx + side * r * 1.05 + r * 0.17,
                       cy - r * 0.53, fill=colour)
    feet(canvas, cx, cy, r, colour)
    body(canvas, cx, cy, r, colour, squash=0.94)
    for side in (-1, 1):
        ex = cx + side * r * 0.36
        canvas.line(arc_points(ex, cy - r * 0.1, r * 0.2, -r * 0.16, 0.3, math.pi - 0.3, 8), INK, r * 0.09)
    mouth(canvas, cx, cy, r, True)


def blinking(canvas, cx, cy, r, colour):
    feet(canvas, cx, cy, r, colour)
    body(canvas, cx, cy, r, colour)
    for side in (-1, 1):
        ex = cx + side * r * 0.36
        canvas.line([(ex - r * 0.2, cy - r * 0.2), (ex + r * 0.2, cy - r * 0.2)], INK, r * 0.08)
    mouth(canvas, cx, cy, r, False)


def stretched(canvas, cx, cy, r, colour, reach_x):
    """A flomp pulled out sideways: the body on the left, one arm reaching to reach_x."""
    dark = shade(colour, -0.45)
    tip_r = r * 0.42
    arm = [(cx, cy - r * 0.5), (reach_x - tip_r * 0.6, cy - tip_r * 0.75),
           (reach_x - tip_r * 0.6, cy + tip_r * 0.75), (cx, cy + r * 0.5)]
    canvas.polygon(arm, dark)
    inner = [(cx, cy - r * 0.36), (reach_x - tip_r * 0.6, cy - tip_r * 0.5),
             (reach_x - tip_r * 0.6, cy + tip_r * 0.5), (cx, cy + r * 0.36)]
    canvas.polygon(inner, colour)
    canvas.ellipse(reach_x - tip_r * 2, cy - tip_r, reach_x, cy + tip_r, fill=dark)
    canvas.ellipse(reach_x - tip_r * 1.85, cy - tip_r * 0.82, reach_x - tip_r * 0.15, cy + tip_r * 0.82, fill=colour)
    body(canvas, cx, cy, r, colour, squash=0.9)
    eyes(canvas, cx, cy, r, 0.0)
    mouth(canvas, cx + r * 0.1, cy, r, False)
