"""Drawing and file helpers shared by the asset generators.

Everything here is deterministic: shapes are drawn at SUPER times the size and
reduced with a fixed filter, noise comes from a seeded random.Random, and files
are written without time stamps or metadata.
"""
import math
import os
import random

from PIL import Image, ImageDraw

SUPER = 4
LADDER = (1536, 1080, 768, 640, 480, 360, 320, 240)


def rgba(hex_text, alpha=255):
    """'ff8800' -> (255, 136, 0, alpha)."""
    value = int(hex_text, 16)
    return ((value >> 16) & 255, (value >> 8) & 255, value & 255, alpha)


def mix(a, b, t):
    """Linear blend of two colour tuples, t in 0..1."""
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


class Canvas:
    """An RGBA picture drawn at SUPER times its size and reduced on save."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.image = Image.new("RGBA", (width * SUPER, height * SUPER), background)
        self.draw = ImageDraw.Draw(self.image)

    def _box(self, x0, y0, x1, y1):
        return [round(x0 * SUPER), round(y0 * SUPER), round(x1 * SUPER) - 1, round(y1 * SUPER) - 1]

    def rounded_rect(self, x0, y0, x1, y1, radius, fill, outline=None, width=0):
        self.draw.rounded_rectangle(self._box(x0, y0, x1, y1), radius=round(radius * SUPER), fill=fill,
                                    outline=outline, width=round(width * SUPER))

    def ellipse(self, x0, y0, x1, y1, fill, outline=None, width=0):
        self.draw.ellipse(self._box(x0, y0, x1, y1), fill=fill, outline=outline, width=round(width * SUPER))

    def polygon(self, points, fill):
        self.draw.polygon([(round(x * SUPER), round(y * SUPER)) for x, y in points], fill=fill)

    def line(self, points, fill, width):
        self.draw.line([(round(x * SUPER), round(y * SUPER)) for x, y in points], fill=fill,
                       width=max(1, round(width * SUPER)), joint="curve")

    def paste(self, layer):
        """Composites another full-size layer (an RGBA image at SUPER scale) over this one."""
        self.image = Image.alpha_composite(self.image, layer)
        self.draw = ImageDraw.Draw(self.image)

    def layer(self):
        """An empty layer of this canvas's size, to draw masked or faded parts on."""
        return Image.new("RGBA", self.image.size, (0, 0, 0, 0))

    def result(self):
        return self.image.resize((self.width, self.height), Image.LANCZOS)


def vertical_gradient(width, height, top, bottom):
    """An RGBA image fading from the top colour to the bottom one."""
    image = Image.new("RGBA", (width, height))
    pixels = image.load()
    for y in range(height):
        colour = mix(top, bottom, y / max(1, height - 1))
        for x in range(width):
            pixels[x, y] = colour
    return image


def radial_gradient(size, inner, outer):
    """A square RGBA image fading from the centre colour to the edge colour."""
    image = Image.new("RGBA", (size, size))
    pixels = image.load()
    centre = (size - 1) / 2
    for y in range(size):
        for x in range(size):
            t = min(1.0, math.hypot(x - centre, y - centre) / (size / 2))
            pixels[x, y] = mix(inner, outer, t)
    return image


def masked(fill_image, mask_canvas_image):
    """fill_image coloured through the alpha of a mask of the same size."""
    out = fill_image.copy()
    out.putalpha(mask_canvas_image.getchannel("A"))
    return out


def nine_patch(width, height, border, radius, face, edge, edge_width):
    """A frame whose outer `border` pixels are the corners and sides of a 3 x 3 stretch grid."""
    canvas = Canvas(width, height)
    canvas.rounded_rect(0.5, 0.5, width - 0.5, height - 0.5, radius, fill=face, outline=edge, width=edge_width)
    return canvas.result()


def noise(image, seed, amount):
    """Adds seeded grey noise of +-amount to the colour of every visible pixel."""
    rng = random.Random(seed)
    pixels = image.load()
    for y in range(image.height):
        for x in range(image.width):
            r, g, b, a = pixels[x, y]
            if a:
                d = rng.randint(-amount, amount)
                pixels[x, y] = (max(0, min(255, r + d)), max(0, min(255, g + d)), max(0, min(255, b + d)), a)
    return image


def ensure_dir(path):
    os.makedirs(path, exist_ok=True)


def save_png(image, path):
    """PNG without text chunks or gamma; optimised for size but byte-stable."""
    ensure_dir(os.path.dirname(path))
    image.save(path, format="PNG", optimize=True)


def save_jpeg(image, path, quality=88):
    """Baseline JPEG, fixed quality, no EXIF or ICC data."""
    ensure_dir(os.path.dirname(path))
    image.convert("RGB").save(path, format="JPEG", quality=quality, optimize=True, progressive=False,
                              subsampling=0)
