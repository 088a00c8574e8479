"""The game's title picture and the eleven pictures of its intro film: a little story of
two flomps on their block towers by the sea. Each picture is a scene: sky, sun, sea,
towers and flomps, with the moment's extras (a flying ball, a blast, a splash).
"""
import math

from PIL import Image, ImageFont

from common import SUPER, Canvas, rgba, vertical_gradient
from flomp import PLAYER_COLOURS, WHITE, cheering, looking, shade

W, H = 1024, 512
HORIZON = 0.62
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
SKIES = {"day": (rgba("5fb8f0"), rgba("d8f1ff")), "noon": (rgba("3d9be0"), rgba("bfe6ff")),
         "dusk": (rgba("5b4a9e"), rgba("ffb36b")), "night": (rgba("0f1638"), rgba("3b4f8a"))}
BLOCK_COLOURS = (rgba("e9dfc6"), rgba("aab3bb"), rgba("bfe6f5"), rgba("ff8fc0"))


def sky_and_sea(c, sky, sun):
    top, bottom = SKIES[sky]
    c.paste(sky_layer(top, bottom))
    if sun:
        sx, sy, colour = sun
        c.ellipse(sx - 46, sy - 46, sx + 46, sy + 46, fill=colour)
    for k, (cx, cy, s) in enumerate(((180, 90, 1.0), (620, 60, 0.8), (860, 130, 1.2))):
        cloud_colour = WHITE if sky not in ("dusk", "night") else rgba("d9c6e8", 200)
        for dx, dy, r in ((0, 0, 28), (30, -12, 34), (64, 0, 26), (32, 10, 28)):
            c.ellipse(cx + dx * s - r * s, cy + dy * s - r * s, cx + dx * s + r * s, cy + dy * s + r * s,
                      fill=cloud_colour)
    sea_top = H * HORIZON
    c.rounded_rect(0, sea_top, W, H, 0, fill=rgba("1d86ad") if sky != "night" else rgba("10325a"))
    for row in range(6):
        y = sea_top + 12 + row * 30
        points = [(x, y + 5 * math.sin(x / 40 + row)) for x in range(0, W + 16, 16)]
        c.line(points, rgba("8fd3ea", 150), 3)


def sky_layer(top, bottom):
    layer = Image.new("RGBA", (W * SUPER, H * SUPER), (0, 0, 0, 0))
    layer.paste(vertical_gradient(1, int(H * HORIZON), top, bottom).resize((W * SUPER, int(H * HORIZON * SUPER))))
    return layer


def tower(c, x, levels, seed):
    """A stack of blocks standing in the sea; returns the y of its top."""
    y = H * HORIZON + 30
    for k in range(levels):
        w = 120 - 18 * k
        h = 46
        colour = BLOCK_COLOURS[(seed + k) % 4]
        c.rounded_rect(x - w / 2, y - h, x + w / 2, y, 6, fill=shade(colour, -0.35))
        c.rounded_rect(x - w / 2 + 4, y - h + 4, x + w / 2 - 4, y - 4, 4, fill=colour)
        y -= h
    return y


def flying_ball(c, x0, y0, x1, y1, t, colour):
    """A dotted arc from (x0, y0) towards (x1, y1), the ball at fraction t of it."""
    def point(u):
        return x0 + (x1 - x0) * u, y0 + (y1 - y0) * u - 110 * math.sin(math.pi * u)
    for k in range(int(t * 14)):
        px, py = point(k / 14)
        c.ellipse(px - 4, py - 4, px + 4, py + 4, fill=rgba("ffffff", 180))
    bx, by = point(t)
    c.ellipse(bx - 14, by - 14, bx + 14, by + 14, fill=colour)


def blast(c, x, y, r):
    for colour, scale in ((rgba("ff9a2e"), 1.0), (rgba("ffd25a"), 0.7), (rgba("fffbe6"), 0.4)):
        c.ellipse(x - r * scale, y - r * scale, x + r * scale, y + r * scale, fill=colour)
    for k in range(10):
        a = 2 * math.pi * k / 10
        c.line([(x + math.cos(a) * r * 1.1, y + math.sin(a) * r * 1.1),
                (x + math.cos(a) * r * 1.6, y + math.sin(a) * r * 1.6)], rgba("ffd25a"), 6)


def splash(c, x):
    y = H * HORIZON + 20
    for k in range(7):
        a = math.pi * (0.15 + 0.7 * k / 6)
        c.line([(x, y), (x - math.cos(a) * 70, y - math.sin(a) * 90)], rgba("d9f3ff"), 10)


# Each picture: sky, sun, tower levels (left, right), flomp poses (angle in degrees or
# "cheer", None = absent), and extras.
STORY = [
    dict(sky="day", sun=(840, 120), towers=(0, 0), flomps=(None, None)),
    dict(sky="day", sun=(820, 110), towers=(2, 0), flomps=(0, None)),
    dict(sky="day", sun=(800, 100), towers=(2, 2), flomps=(0, 180)),
    dict(sky="noon", sun=(700, 80), towers=(3, 3), flomps=(45, 135)),
    dict(sky="noon", sun=(640, 70), towers=(3, 3), flomps=(0, 180), ball=(0.45, 0)),
    dict(sky="noon", sun=(580, 70), towers=(3, 3), flomps=(0, 90), blast=True),
    dict(sky="noon", sun=(520, 80), towers=(3, 2), flomps=(90, 180), ball=(0.6, 1)),
    dict(sky="dusk", sun=(420, 150), towers=(2, 2), flomps=(270, 180), splash=True),
    dict(sky="dusk", sun=(360, 200), towers=(2, 2), flomps=(0, 180)),
    dict(sky="night", sun=None, towers=(2, 2), flomps=(315, 225)),
    dict(sky="dusk", sun=(512, 230), towers=(3, 3), flomps=("cheer", "cheer")),
]


def scene(spec):
    c = Canvas(W, H)
    sun = spec["sun"]
    sky_and_sea(c, spec["sky"], (sun[0], sun[1], rgba("ffe27a")) if sun else (780, 90, rgba("f4f1ea")))
    xs = (250, 774)
    tops = [tower(c, x, levels, i) for i, (x, levels) in enumerate(zip(xs, spec["towers"]))]
    for i, pose in enumerate(spec["flomps"]):
        if pose is None:
            continue
        r = 44
        cx, cy = xs[i], tops[i] - r * 0.98
        if pose == "cheer":
            cheering(c, cx, cy + 4, r, PLAYER_COLOURS[i])
        else:
            looking(c, cx, cy, r, PLAYER_COLOURS[i], math.radians(pose))
    if "ball" in spec:
        t, thrower = spec["ball"]
        x0, x1 = (xs[0], xs[1]) if thrower == 0 else (xs[1], xs[0])
        flying_ball(c, x0, tops[thrower] - 60, x1, tops[1 - thrower] - 60, t, PLAYER_COLOURS[thrower])
    if spec.get("blast"):
        blast(c, xs[1] - 40, tops[1] + 10, 60)
    if spec.get("splash"):
        splash(c, xs[1] + 120)
    return c.result().convert("RGB")


def story_picture(index):
    """Intro picture index (0 to 10)."""
    return scene(STORY[index])


def title_picture():
    """The title: both flomps on their towers at dusk under the game's name."""
    c = Canvas(W, H)
    sky_and_sea(c, "dusk", (512, 250, rgba("ffd27a")))
    for i, x in enumerate((200, 824)):
        top = tower(c, x, 2, i)
        looking(c, x, top - 43, 44, PLAYER_COLOURS[i], math.radians(0 if i == 0 else 180))
    font = ImageFont.truetype(FONT_BOLD, 112 * SUPER)
    for dx, dy, fill in ((8, 8, rgba("2a1f3d")), (0, 0, rgba("ffd25a"))):
        c.draw.text(((512 + dx) * SUPER, (100 + dy) * SUPER), "QUORVALIN", font=font, fill=fill, anchor="mm",
                    stroke_width=6 * SUPER, stroke_fill=rgba("2a1f3d"))
    return c.result().convert("RGB")
