#!/usr/bin/python3
"""Makes the installer's artwork under res/art/ from a free font (DejaVu, Debian's
fonts-dejavu-core) with Pillow (python3-pil). The build uses the committed files; run this only
to change the artwork:  tools/artwork/make_artwork.py [res/art]
"""
import math
import random
import struct
import sys
from pathlib import Path

from PIL import Image, ImageDraw, ImageFilter, ImageFont

from menu_font import make_menu_font

FONT_DIR = Path("/usr/share/fonts/truetype/dejavu")
WIDTH, HEIGHT = 640, 480
# The menu items stand in this column (pixels), over a soft darker panel. Where a column starts
# depends on the dialog font's metrics (x 191 with the classic 6-pixel dialog unit, 222 with a
# 7-pixel one), so the panel is wide enough for both and has no hard edge.
MENU_PANEL = (160, 178, 458, 468)
CASTLE_SHIFT = 26  # keeps the castle clear of the panel


def font(name, size):
    return ImageFont.truetype(str(FONT_DIR / name), size)


def sky(img):
    px = img.load()
    for y in range(HEIGHT):
        t = y / (HEIGHT - 1)
        top, bottom = (10, 12, 38), (70, 30, 60)
        row = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
        for x in range(WIDTH):
            px[x, y] = row


def stars(draw, rng):
    for _ in range(260):
        x, y = rng.randrange(WIDTH), rng.randrange(int(HEIGHT * 0.7))
        level = rng.randrange(120, 256)
        draw.point((x, y), fill=(level, level, min(255, level + 20)))


def moon(img):
    cx, cy, r = 90, 200, 26
    glow = Image.new("L", img.size, 0)
    ImageDraw.Draw(glow).ellipse((cx - 2 * r, cy - 2 * r, cx + 2 * r, cy + 2 * r), fill=90)
    glow = glow.filter(ImageFilter.GaussianBlur(16))
    img.paste(Image.new("RGB", img.size, (200, 190, 150)), (0, 0), glow)
    ImageDraw.Draw(img).ellipse((cx - r, cy - r, cx + r, cy + r), fill=(235, 225, 190))


def ridge(draw, rng, base_y, amplitude, colour):
    points = [(0, HEIGHT)]
    y = base_y
    for x in range(0, WIDTH + 16, 16):
        y = base_y + amplitude * math.sin(x / 70.0 + rng.random()) + rng.randrange(-8, 9)
        points.append((x, y))
    points.append((WIDTH, HEIGHT))
    draw.polygon(points, fill=colour)


def castle(draw):
    colour = (14, 10, 22)
    dx = CASTLE_SHIFT
    draw.rectangle((430 + dx, 250, 600 + dx, 400), fill=colour)
    for left, top, width in ((420 + dx, 190, 40), (490 + dx, 150, 46), (570 + dx, 200, 40)):
        draw.rectangle((left, top, left + width, 400), fill=colour)
        for step in range(left, left + width, 12):
            draw.rectangle((step, top - 10, step + 6, top), fill=colour)
        draw.polygon([(left - 4, top - 10), (left + width // 2, top - 60),
                      (left + width + 4, top - 10)], fill=colour)
    for wx, wy in ((505, 190), (517, 190), (436, 230), (584, 240), (470, 300), (540, 300)):
        draw.rectangle((wx + dx, wy, wx + dx + 5, wy + 9), fill=(240, 190, 90))


def title(img):
    text = "DOMINARCH"
    big = font("DejaVuSerif-Bold.ttf", 64)
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    box = d.textbbox((0, 0), text, font=big)
    x = (WIDTH - (box[2] - box[0])) // 2
    y = 48
    shadow = Image.new("RGBA", img.size, (0, 0, 0, 0))
    ImageDraw.Draw(shadow).text((x + 4, y + 5), text, font=big, fill=(0, 0, 0, 220))
    shadow = shadow.filter(ImageFilter.GaussianBlur(3))
    img.paste(shadow, (0, 0), shadow)
    d.text((x, y), text, font=big, fill=(232, 190, 80), stroke_width=2, stroke_fill=(90, 50, 10))
    img.paste(layer, (0, 0), layer)
    small = font("DejaVuSerif.ttf", 16)
    d = ImageDraw.Draw(img)
    sub = "Installer"
    box = d.textbbox((0, 0), sub, font=small)
    d.text(((WIDTH - (box[2] - box[0])) // 2, y + 84), sub, font=small, fill=(210, 200, 170))


def panel(img):
    shade = Image.new("L", img.size, 0)
    ImageDraw.Draw(shade).rounded_rectangle(MENU_PANEL, radius=24, fill=150)
    shade = shade.filter(ImageFilter.GaussianBlur(10))
    img.paste(Image.new("RGB", img.size, (8, 6, 16)), (0, 0), shade)


def background(out):
    rng = random.Random(1998)
    img = Image.new("RGB", (WIDTH, HEIGHT))
    sky(img)
    draw = ImageDraw.Draw(img)
    stars(draw, rng)
    moon(img)
    draw = ImageDraw.Draw(img)
    ridge(draw, rng, 330, 22, (34, 22, 48))
    castle(draw)
    ridge(draw, rng, 390, 14, (20, 14, 30))
    title(img)
    panel(img)
    img.convert("P", palette=Image.ADAPTIVE, colors=256).save(out / "background.bmp")


def icon_image(size):
    img = Image.new("RGBA", (64, 64), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.polygon([(8, 6), (56, 6), (56, 34), (32, 60), (8, 34)], fill=(120, 20, 30),
              outline=(232, 190, 80), width=4)
    letter = font("DejaVuSerif-Bold.ttf", 34)
    box = d.textbbox((0, 0), "D", font=letter)
    d.text(((64 - (box[2] - box[0])) // 2 - box[0], 8), "D", font=letter, fill=(232, 190, 80))
    return img.resize((size, size), Image.LANCZOS)


def icon_entry(img):
    """One icon image as the classic DIB: 8-bit palette, XOR bitmap and AND mask, bottom-up."""
    size = img.size[0]
    opaque = img.getchannel("A").point(lambda a: 255 if a >= 128 else 0)
    rgb = Image.new("RGB", img.size, (0, 0, 0))
    rgb.paste(img.convert("RGB"), (0, 0), opaque)
    pal = rgb.convert("P", palette=Image.ADAPTIVE, colors=256)
    colours = pal.getpalette()[:768]
    colours += [0] * (768 - len(colours))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b"".join(bytes((colours[i + 2], colours[i + 1], colours[i], 0))
                       for i in range(0, 768, 3))
    pixels = pal.load()
    mask = opaque.load()
    xor = b"".join(bytes(pixels[x, y] for x in range(size)) for y in reversed(range(size)))
    row_bytes = ((size + 31) // 32) * 4
    and_rows = []
    for y in reversed(range(size)):
        row = bytearray(row_bytes)
        for x in range(size):
            if mask[x, y] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        and_rows.append(bytes(row))
    return header + palette + xor + b"".join(and_rows)


def icon(out):
    entries = [(size, icon_entry(icon_image(size))) for size in (32, 16)]
    data = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, blob in entries:
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(blob), offset)
        offset += len(blob)
    data += b"".join(blob for _, blob in entries)
    (out / "dominarch.ico").write_bytes(data)


# The progress picture: a row of runes over a groove, lit from left to right. Both colourings
# share one relief, one mask (1 where the window shows through) and are black outside the runes.
PROGRESS_SIZE = (293, 27)
PROGRESS_SCALE = 4  # drawn this many times larger, then reduced to find each pixel's coverage
# Strokes of each rune on a 10 x 18 grid.
RUNES = [
    [[(2, 0), (2, 18)], [(2, 6), (9, 1)], [(2, 11), (9, 6)]],
    [[(2, 18), (2, 0), (8, 5), (8, 18)]],
    [[(2, 0), (2, 18)], [(2, 4), (8, 9), (2, 14)]],
    [[(2, 0), (2, 18)], [(2, 1), (8, 6)], [(2, 7), (8, 12)]],
    [[(2, 18), (2, 0), (8, 4), (2, 9), (8, 18)]],
    [[(8, 2), (2, 9), (8, 16)]],
    [[(1, 1), (9, 17)], [(9, 1), (1, 17)]],
    [[(2, 18), (2, 0), (8, 4), (2, 9)]],
    [[(2, 0), (2, 18)], [(8, 0), (8, 18)], [(2, 6), (8, 12)]],
    [[(5, 0), (5, 18)], [(1, 6), (9, 12)]],
    [[(5, 0), (5, 18)], [(1, 5), (5, 0), (9, 5)]],
    [[(5, 0), (9, 5), (2, 12), (2, 18)], [(5, 0), (1, 5), (8, 12), (8, 18)]],
    [[(1, 1), (1, 17), (9, 1), (9, 17), (1, 1)]],
    [[(5, 0), (5, 18)], [(1, 3), (5, 8), (9, 3)]],
]
RUNE_PITCH = 20    # pixels from one rune to the next
RUNE_LEFT = 6      # left edge of the first rune's grid
RUNE_TOP = 1
RUNE_UNIT = 1.05   # pixels per grid step
GROOVE = (1, 23, 291, 25)  # the line under the runes: left, top, right, bottom (inclusive)
UNLIT_RAMP = ((46, 42, 52), (98, 92, 102), (162, 156, 160))   # shadow, stone, highlight
LIT_RAMP = ((140, 78, 18), (232, 190, 80), (255, 242, 176))   # shadow, gold, highlight
RAMP_STEPS = 48


def progress_coverage():
    """Fraction of each pixel the runes, their dividers and the groove cover (an L image)."""
    k = PROGRESS_SCALE
    big = Image.new("L", (PROGRESS_SIZE[0] * k, PROGRESS_SIZE[1] * k), 0)
    d = ImageDraw.Draw(big)
    for index, strokes in enumerate(RUNES):
        left = RUNE_LEFT + index * RUNE_PITCH
        for stroke in strokes:
            points = [((left + x * RUNE_UNIT) * k, (RUNE_TOP + y * RUNE_UNIT + 0.5) * k)
                      for x, y in stroke]
            d.line(points, fill=255, width=int(2.6 * k), joint="curve")
            for x, y in points:
                d.ellipse((x - 1.3 * k, y - 1.3 * k, x + 1.3 * k, y + 1.3 * k), fill=255)
        if index + 1 < len(RUNES):  # a word divider: two dots
            cx = (left + 10 * RUNE_UNIT + (RUNE_PITCH - 10 * RUNE_UNIT) / 2 + 0.5) * k
            for cy in (7.5 * k, 13.5 * k):
                d.ellipse((cx - k, cy - k, cx + k, cy + k), fill=255)
    left, top, right, bottom = GROOVE
    d.rectangle((left * k, top * k, (right + 1) * k - 1, (bottom + 1) * k - 1), fill=255)
    return big.resize(PROGRESS_SIZE, Image.BOX)


def progress_shades(coverage, opaque):
    """A relief lit from the top left, as shade levels 0..1 for the opaque pixels."""
    relief = coverage.filter(ImageFilter.GaussianBlur(1.2)).load()
    grain = random.Random(175)
    width, height = PROGRESS_SIZE
    shades = {}
    for y in range(height):
        for x in range(width):
            if not opaque[x, y]:
                continue
            left = relief[max(x - 1, 0), y]
            right = relief[min(x + 1, width - 1), y]
            up = relief[x, max(y - 1, 0)]
            down = relief[x, min(y + 1, height - 1)]
            slope = ((right - left) + (down - up)) / 255.0  # negative where facing the light
            shade = 0.5 - 0.55 * slope + grain.uniform(-0.06, 0.06)
            shades[x, y] = min(1.0, max(0.0, shade))
    return shades


def ramp_colour(ramp, t):
    shadow, middle, highlight = ramp
    a, b, u = (shadow, middle, t * 2) if t < 0.5 else (middle, highlight, t * 2 - 1)
    return tuple(int(round(p + (q - p) * u)) for p, q in zip(a, b))


def progress_image(shades, ramp):
    """An 8-bit picture: palette 0 is black (outside the runes), then the ramp's steps."""
    palette = [0, 0, 0]
    for step in range(RAMP_STEPS):
        palette += ramp_colour(ramp, step / (RAMP_STEPS - 1))
    palette += [0] * (768 - len(palette))
    img = Image.new("P", PROGRESS_SIZE, 0)
    img.putpalette(palette)
    px = img.load()
    for (x, y), shade in shades.items():
        px[x, y] = 1 + int(round(shade * (RAMP_STEPS - 1)))
    return img


def progress(out):
    coverage = progress_coverage()
    opaque_image = coverage.point(lambda c: 255 if c >= 128 else 0)
    opaque = opaque_image.load()
    # 1-bit, black (bit 0) over the runes, white (bit 1) where the window shows through.
    opaque_image.point(lambda c: 0 if c else 255).convert("1").save(out / "progress_mask.bmp")
    shades = progress_shades(coverage, opaque)
    progress_image(shades, UNLIT_RAMP).save(out / "progress_unlit.bmp")
    progress_image(shades, LIT_RAMP).save(out / "progress_lit.bmp")


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2] / "res/art"
    out.mkdir(parents=True, exist_ok=True)
    background(out)
    icon(out)
    progress(out)
    make_menu_font(out, FONT_DIR / "DejaVuSansCondensed-Bold.ttf")


if __name__ == "__main__":
    main()
