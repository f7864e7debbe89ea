#!/usr/bin/python3
"""Draws the program's pictures: the two background photographs, the three
install-button states, the caption-button strip and the program icon. Each
picture but the icon is drawn for 100 %, 150 % and 200 % display scales from
the same drawing (the icon holds its sizes itself).

Everything is drawn from code with a fixed random seed, so running this again
on the same Debian release gives the same bytes. Needs Debian's python3-pil,
python3-numpy and fonts-wqy-microhei.

    /usr/bin/python3 tools/make-assets.py          # writes the files
    /usr/bin/python3 tools/make-assets.py --check  # fails if they differ
"""

import io
import pathlib
import sys

import numpy as np
from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

ROOT = pathlib.Path(__file__).resolve().parent.parent
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

WINDOW_W, WINDOW_H = 825, 468
BUTTON_W, BUTTON_H = 193, 58
STRIP_W, STRIP_H = 729, 20


# --- helpers -----------------------------------------------------------------

def fractal_noise(rng, width, height, base_cells, octaves, persistence=0.5):
    """Smooth value noise summed over octaves, normalised to 0..1. Each octave
    is a coarse random grid scaled up and blurred, so no grid shows."""
    total = np.zeros((height, width))
    amplitude, norm = 1.0, 0.0
    cells = base_cells
    for _ in range(octaves):
        grid = rng.random((cells + 1, int(cells * width / height) + 2))
        layer = Image.fromarray((grid * 255).astype(np.uint8), "L")
        layer = layer.resize((width, height), Image.BICUBIC)
        layer = layer.filter(ImageFilter.GaussianBlur(max(1.0, height / cells / 4)))
        total += amplitude * (np.asarray(layer, dtype=np.float64) / 255.0)
        norm += amplitude
        amplitude *= persistence
        cells *= 2
    return total / norm


def ridge_line(rng, width, base, amplitude, cells):
    """The height of a hill ridge along x: smooth 1-D noise around base."""
    points = rng.random(cells + 3)
    x = np.linspace(0, cells, width)
    line = np.interp(x, np.arange(cells + 3), points)
    # Round the knees of the piecewise-linear line.
    kernel = np.hanning(width // cells + 1)
    padded = np.pad(line, len(kernel), mode="edge")
    line = np.convolve(padded, kernel / kernel.sum(), mode="same")[len(kernel):-len(kernel)]
    return base - amplitude * line


def vertical_gradient(height, width, stops):
    """stops: list of (position 0..1, (r, g, b)). Returns an H x W x 3 array."""
    positions = np.array([p for p, _ in stops])
    colours = np.array([c for _, c in stops], dtype=np.float64)
    y = np.linspace(0.0, 1.0, height)
    column = np.stack([np.interp(y, positions, colours[:, i]) for i in range(3)], axis=1)
    return np.repeat(column[:, None, :], width, axis=1)


def smoothstep(edge0, edge1, x):
    t = np.clip((x - edge0) / (edge1 - edge0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def to_bytes(image, fmt, **options):
    out = io.BytesIO()
    image.save(out, fmt, **options)
    return out.getvalue()


# --- backgrounds -------------------------------------------------------------

def scaled(size, k):
    """A size in pixels at k times the 100 % drawing."""
    return round(size * k)


def sky(seed, stops, cloud_colour, cloud_shadow, cloud_band, hills, sun=None, k=1):
    """A landscape photograph: a sky gradient with a sun glow, soft clouds in
    a band, and hill ridges fading into haze at the foot. The hills keep the
    lower left dark, where the window shows white text. At k times the size
    the random draws are the same, so it is the same photograph."""
    rng = np.random.default_rng(seed)
    w, h = scaled(WINDOW_W, k), scaled(WINDOW_H, k)
    picture = vertical_gradient(h, w, stops)

    yy, xx = np.mgrid[0:h, 0:w].astype(np.float64)
    if sun is not None:
        sx, sy, radius, colour, strength = sun
        sx, sy, radius = sx * k, sy * k, radius * k
        distance = np.hypot(xx - sx, yy - sy)
        glow = np.exp(-(distance / radius) ** 2)[..., None] * strength
        picture = picture * (1 - glow) + np.array(colour) * glow

    density = fractal_noise(rng, w, h, 3, 5, 0.5)
    detail = fractal_noise(rng, w, h, 12, 3, 0.5)
    top, bottom = cloud_band
    band = smoothstep(top - 0.06, top + 0.10, yy / h) * (1 - smoothstep(bottom - 0.05, bottom + 0.12, yy / h))
    cover = smoothstep(0.52, 0.70, density * 0.85 + detail * 0.25) * band
    # Clouds are lit from above: the lower side of each puff is shaded.
    shade = np.clip((np.roll(cover, -scaled(8, k), axis=0) - cover) * 1.5, 0, 1)
    cloud = np.array(cloud_colour) * (1 - shade[..., None]) + np.array(cloud_shadow) * shade[..., None]
    picture = picture * (1 - cover[..., None] * 0.95) + cloud * cover[..., None] * 0.95

    for base, amplitude, cells, colour in hills:
        ridge = ridge_line(rng, w, base * h, amplitude * h, cells)
        inside = smoothstep(-1.0 * k, 1.0 * k, yy - ridge[None, :])[..., None]
        # Haze: the hill is lighter at its crest than at its foot.
        depth = np.clip((yy - ridge[None, :]) / (h * 0.35), 0, 1)[..., None]
        tone = np.array(colour) * (0.85 + 0.15 * (1 - depth))
        picture = picture * (1 - inside) + tone * inside

    image = Image.fromarray(np.clip(picture, 0, 255).astype(np.uint8), "RGB")
    return image.filter(ImageFilter.GaussianBlur(0.5 * k))


def background_day(k=1):
    return sky(k=k, seed=20261208,
               stops=[(0.0, (24, 86, 170)), (0.55, (92, 160, 226)), (1.0, (168, 210, 240))],
               cloud_colour=(250, 251, 255), cloud_shadow=(168, 186, 214),
               cloud_band=(0.06, 0.55),
               hills=[(0.80, 0.10, 7, (96, 132, 178)), (0.88, 0.09, 5, (52, 84, 120)),
                      (0.96, 0.07, 4, (26, 48, 72))],
               sun=(690, 70, 150, (255, 248, 220), 0.55))


def background_dusk(k=1):
    return sky(k=k, seed=19991002,
               stops=[(0.0, (38, 28, 84)), (0.45, (150, 74, 120)), (0.8, (236, 140, 92)), (1.0, (250, 188, 120))],
               cloud_colour=(255, 206, 170), cloud_shadow=(118, 64, 104),
               cloud_band=(0.10, 0.55),
               hills=[(0.82, 0.10, 6, (122, 70, 108)), (0.90, 0.08, 5, (70, 38, 76)),
                      (0.97, 0.06, 4, (36, 20, 44))],
               sun=(150, 400, 190, (255, 214, 150), 0.6))


# --- install button ----------------------------------------------------------

def install_button(top, bottom, border, text_offset, k=1):
    """A pill-shaped button with the install caption, drawn at 4x and scaled
    down so the rounded edge and the text are smooth. Outside the pill the
    pixels are fully transparent."""
    scale = 4
    w, h = BUTTON_W * scale, BUTTON_H * scale
    margin = 3 * scale
    fill = Image.fromarray(vertical_gradient(h, w, [(0.0, top), (1.0, bottom)]).astype(np.uint8), "RGB")

    mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(mask).rounded_rectangle(
        (margin, margin, w - margin - 1, h - margin - 1), radius=(h - 2 * margin) // 2, fill=255)
    button = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    button.paste(fill, (0, 0), mask)

    draw = ImageDraw.Draw(button)
    draw.rounded_rectangle((margin, margin, w - margin - 1, h - margin - 1),
                           radius=(h - 2 * margin) // 2, outline=border + (255,), width=2 * scale)
    # A soft gloss over the upper half.
    gloss = Image.new("L", (w, h), 0)
    ImageDraw.Draw(gloss).rounded_rectangle(
        (margin + 6 * scale, margin + 3 * scale, w - margin - 6 * scale, h // 2),
        radius=(h // 2 - margin) // 2, fill=70)
    white = Image.new("RGBA", (w, h), (255, 255, 255, 255))
    button = Image.composite(white, button, ImageChops.multiply(gloss, mask))

    font = ImageFont.truetype(FONT, 26 * scale)
    caption = "立即安装"
    draw = ImageDraw.Draw(button)
    box = draw.textbbox((0, 0), caption, font=font)
    tx = (w - (box[2] - box[0])) // 2 - box[0] + text_offset * scale
    ty = (h - (box[3] - box[1])) // 2 - box[1] + text_offset * scale
    draw.text((tx + scale, ty + 2 * scale), caption, font=font, fill=(0, 0, 0, 90))
    draw.text((tx, ty), caption, font=font, fill=(255, 255, 255, 255))

    # Keep the text shadow inside the pill.
    alpha = np.minimum(np.asarray(button.getchannel("A")), np.asarray(mask))
    button.putalpha(Image.fromarray(alpha))
    return button.resize((scaled(BUTTON_W, k), scaled(BUTTON_H, k)), Image.LANCZOS)


# --- caption buttons ---------------------------------------------------------

# Left edges of the normal, hot and pressed cells of each caption glyph.
STRIP_LAYOUT = [
    ("close", 39, (0, 40, 80)),
    ("maximise", 28, (120, 149, 178)),
    ("restore", 28, (207, 236, 265)),
    ("minimise", 28, (294, 323, 352)),
    ("help", 28, (381, 410, 439)),
    ("menu", 28, (468, 497, 526)),
    ("pin", 28, (555, 584, 613)),
    ("skin", 28, (642, 671, 700)),
]
CELL_TOP, CELL_HEIGHT = 2, 18  # the strip ends at row 19


def draw_glyph(draw, name, cx, cy, colour, s):
    """Draws one caption glyph centred at (cx, cy) at scale s."""
    line = max(1, round(1.3 * s))
    if name == "close":
        d = 4.5 * s
        draw.line((cx - d, cy - d, cx + d, cy + d), fill=colour, width=line)
        draw.line((cx - d, cy + d, cx + d, cy - d), fill=colour, width=line)
    elif name == "maximise":
        d = 4.5 * s
        draw.rectangle((cx - d, cy - d, cx + d, cy + d), outline=colour, width=line)
    elif name == "restore":
        d = 3.5 * s
        o = 2 * s
        draw.rectangle((cx - d + o, cy - d - o, cx + d + o, cy + d - o), outline=colour, width=line)
        draw.rectangle((cx - d - o + s, cy - d + o, cx + d - o, cy + d + o), outline=colour, width=line)
    elif name == "minimise":
        d = 4.5 * s
        draw.line((cx - d, cy + 3 * s, cx + d, cy + 3 * s), fill=colour, width=line)
    elif name == "help":
        r = 3 * s
        draw.arc((cx - r, cy - 6 * s, cx + r, cy), 180, 90, fill=colour, width=line)
        draw.line((cx, cy, cx, cy + 2 * s), fill=colour, width=line)
        draw.ellipse((cx - s, cy + 4 * s, cx + s, cy + 6 * s), fill=colour)
    elif name == "menu":
        d = 4.5 * s
        for dy in (-3.5, 0, 3.5):
            draw.line((cx - d, cy + dy * s, cx + d, cy + dy * s), fill=colour, width=line)
    elif name == "pin":
        draw.ellipse((cx - 3 * s, cy - 5 * s, cx + 3 * s, cy + s), outline=colour, width=line)
        draw.line((cx, cy + s, cx, cy + 6 * s), fill=colour, width=line)
    elif name == "skin":
        d = 5 * s
        draw.polygon([(cx - d, cy - 2 * s), (cx - 2 * s, cy - d), (cx + 2 * s, cy - d), (cx + d, cy - 2 * s),
                      (cx + 3 * s, cy), (cx + 3 * s, cy + d), (cx - 3 * s, cy + d), (cx - 3 * s, cy)],
                     outline=colour, width=line)


def caption_strip(k=1):
    """The 729 x 20 caption-button strip: for each glyph a normal, a hot and a
    pressed cell. Normal cells are the glyph alone (with a faint shadow so it
    reads on light photographs), hot and pressed cells add a backdrop; the
    close button's backdrop is red."""
    s = 4
    strip = Image.new("RGBA", (STRIP_W * s, STRIP_H * s), (0, 0, 0, 0))
    draw = ImageDraw.Draw(strip)
    for name, width, lefts in STRIP_LAYOUT:
        for state, left in enumerate(lefts):
            box = (left * s, CELL_TOP * s, (left + width) * s - 1, (CELL_TOP + CELL_HEIGHT) * s - 1)
            if state == 1:
                backdrop = (232, 17, 35, 230) if name == "close" else (255, 255, 255, 70)
                draw.rounded_rectangle(box, radius=3 * s, fill=backdrop)
            elif state == 2:
                backdrop = (160, 12, 26, 240) if name == "close" else (0, 0, 0, 80)
                draw.rounded_rectangle(box, radius=3 * s, fill=backdrop)
            cx = (left + width / 2) * s
            cy = (CELL_TOP + CELL_HEIGHT / 2) * s
            if state == 0:
                draw_glyph(draw, name, cx + s, cy + s, (0, 0, 0, 110), s)
            draw_glyph(draw, name, cx, cy, (255, 255, 255, 255), s)
    return strip.resize((scaled(STRIP_W, k), scaled(STRIP_H, k)), Image.LANCZOS)


# --- icon --------------------------------------------------------------------

def program_icon():
    """A white cloud on a blue rounded square."""
    s = 256
    icon = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    fill = Image.fromarray(vertical_gradient(s, s, [(0.0, (62, 150, 240)), (1.0, (22, 80, 170))]).astype(np.uint8))
    mask = Image.new("L", (s, s), 0)
    ImageDraw.Draw(mask).rounded_rectangle((8, 8, s - 9, s - 9), radius=52, fill=255)
    icon.paste(fill, (0, 0), mask)
    cloud = Image.new("L", (s, s), 0)
    draw = ImageDraw.Draw(cloud)
    for x, y, r in [(92, 148, 42), (136, 118, 56), (180, 152, 36), (70, 168, 26)]:
        draw.ellipse((x - r, y - r, x + r, y + r), fill=255)
    draw.rounded_rectangle((48, 148, 214, 190), radius=20, fill=255)
    icon.paste((255, 255, 255, 255), (0, 0), cloud)
    return icon


# --- output ------------------------------------------------------------------

# The display scales each picture is drawn for, and the suffix of its file.
SCALES = [(1, ""), (1.5, "-150"), (2, "-200")]


def assets():
    styles = {
        "normal": ((74, 170, 255), (20, 110, 230), (255, 255, 255), 0),
        "hover": ((110, 196, 255), (40, 140, 250), (255, 255, 255), 0),
        "pressed": ((16, 96, 200), (40, 130, 235), (200, 226, 255), 1),
    }
    for k, suffix in SCALES:
        yield f"installer/assets/background-1{suffix}.jpg", to_bytes(background_day(k), "JPEG", quality=90, optimize=True)
        yield f"installer/assets/background-2{suffix}.jpg", to_bytes(background_dusk(k), "JPEG", quality=90, optimize=True)
        for name, (top, bottom, border, offset) in styles.items():
            yield (f"installer/assets/install-button-{name}{suffix}.png",
                   to_bytes(install_button(top, bottom, border, offset, k), "PNG"))
        yield f"engine/core/assets/caption-buttons{suffix}.png", to_bytes(caption_strip(k), "PNG")
    yield "installer/assets/nimbo.ico", to_bytes(program_icon(), "ICO", sizes=[(16, 16), (32, 32), (48, 48), (256, 256)])


def main():
    check = "--check" in sys.argv[1:]
    stale = []
    for relative, data in assets():
        path = ROOT / relative
        if check:
            if not path.exists() or path.read_bytes() != data:
                stale.append(relative)
            continue
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
        print(f"{relative}: {len(data)} bytes")
    if stale:
        print("differs from the generator's output: " + ", ".join(stale))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
