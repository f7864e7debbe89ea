"""The pictures of the sample product Nimbo, drawn from code with the
standard library only, so that the packer needs nothing else and packs the
same bytes on every run.

PICTURES maps an archive name to a function that returns the PNG bytes.
"""

import functools
import math
import struct
import zlib

SKY_TOP = (40, 110, 190)
SKY_BOTTOM = (120, 185, 235)
WHITE = (255, 255, 255)
SUN = (255, 200, 40)


# --- PNG ---------------------------------------------------------------------

def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(width, height, pixel):
    """An 8-bit RGBA PNG whose pixel (x, y) is pixel(x, y) -> (r, g, b, a).
    No time or text chunks: the bytes depend on the pixels only."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter: none
        for x in range(width):
            rows.extend(pixel(x, y))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + _chunk(b"IDAT", zlib.compress(bytes(rows), 9))
            + _chunk(b"IEND", b""))


# --- shapes, in a unit square --------------------------------------------------

def _cloud(u, v):
    """Whether (u, v) of the unit square lies in a cloud of three bumps on a
    rounded base."""
    bumps = ((0.36, 0.55, 0.17), (0.55, 0.45, 0.22), (0.72, 0.58, 0.14))
    if any((u - cx) ** 2 + (v - cy) ** 2 <= r * r for cx, cy, r in bumps):
        return True
    return 0.22 <= u <= 0.84 and 0.55 <= v <= 0.72 and not (
        (u < 0.30 and (u - 0.30) ** 2 + (v - 0.64) ** 2 > 0.08 ** 2)
        or (u > 0.76 and (u - 0.76) ** 2 + (v - 0.64) ** 2 > 0.08 ** 2))


@functools.lru_cache(maxsize=None)
def _sky(v):
    return tuple(round(t + (b - t) * v) for t, b in zip(SKY_TOP, SKY_BOTTOM))


def _mix(a, b, amount):
    return tuple(round(p + (q - p) * amount) for p, q in zip(a, b))


def _antialiased(width, height, inside, colour, background, samples=3):
    """A pixel function: `colour` where inside(u, v) holds, averaged over
    samples x samples points per pixel, over background(u, v) (RGBA). Only
    pixels whose corners disagree are sampled: the shapes are much larger
    than a pixel, and this keeps the packer quick."""
    corners = [[inside(x / width, y / height) for x in range(width + 1)] for y in range(height + 1)]

    def pixel(x, y):
        around = {corners[y][x], corners[y][x + 1], corners[y + 1][x], corners[y + 1][x + 1]}
        if len(around) == 1:
            hits = samples * samples if around.pop() else 0
        else:
            hits = 0
            for j in range(samples):
                for i in range(samples):
                    hits += inside((x + (i + 0.5) / samples) / width, (y + (j + 0.5) / samples) / height)
        base = background((x + 0.5) / width, (y + 0.5) / height)
        if hits == 0:
            return base
        cover = hits / (samples * samples)
        rgb = _mix(base[:3], colour, cover)
        alpha = round(base[3] + (255 - base[3]) * cover)
        return (*rgb, alpha)
    return pixel


def _rounded_square(u, v, radius=0.18):
    du = max(radius - u, 0, u - (1 - radius))
    dv = max(radius - v, 0, v - (1 - radius))
    return du * du + dv * dv <= radius * radius


def _logo(size):
    def background(u, v):
        return (*_sky(v), 255) if _rounded_square(u, v) else (0, 0, 0, 0)
    return png(size, size, _antialiased(size, size, _cloud, WHITE, background))


def _splash():
    width, height = 480, 300

    def background(u, v):
        return (*_sky(v), 255)

    def inside(u, v):
        # The cloud sits in a square of the picture's height, centred.
        return _cloud((u * width - (width - height) / 2) / height, v)
    return png(width, height, _antialiased(width, height, inside, WHITE, background, samples=2))


def _weather_icon():
    size = 48

    def sun(u, v):
        return (u - 0.62) ** 2 + (v - 0.36) ** 2 <= 0.24 ** 2

    def background(u, v):
        return (*SUN, 255) if sun(u, v) else (0, 0, 0, 0)

    def cloud(u, v):
        return _cloud(u * 1.1 - 0.12, v * 1.1 - 0.02)
    return png(size, size, _antialiased(size, size, cloud, (235, 240, 250), background))


def _main_window_shot():
    """A small picture of the main window: the caption band, the two lines
    of text and the close button."""
    width, height = 240, 150

    def pixel(x, y):
        if y < 24:
            if 212 <= x <= 230 and 6 <= y <= 18 and (abs((x - 221) - (y - 12)) <= 1 or abs((x - 221) + (y - 12)) <= 1):
                return (*WHITE, 255)
            return (*SKY_TOP, 255)
        if 30 <= x <= 150 and 60 <= y <= 74:
            return (*WHITE, 255)
        if 30 <= x <= 210 and 90 <= y <= 98:
            return (200, 225, 245, 255)
        shade = 1 - 0.15 * math.sin(math.pi * y / height)
        return (*_mix((0, 0, 0), _sky(y / height), shade), 255)
    return png(width, height, pixel)


PICTURES = {
    "resources/images/logo.png": lambda: _logo(128),
    "resources/images/icon-16.png": lambda: _logo(16),
    "resources/images/icon-32.png": lambda: _logo(32),
    "resources/images/splash.png": _splash,
    "docs/截图/主界面.png": _main_window_shot,
    "插件/天气/图标.png": _weather_icon,
}
