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

FONT_DIR = Path("/usr/share/fonts/truetype/dejavu")
WIDTH, HEIGHT = 640, 480
# The menu items stand in this column (pixels), over a darker panel.
MENU_PANEL = (176, 182, 382, 462)


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
    draw.rectangle((430, 250, 600, 400), fill=colour)
    for left, top, width in ((420, 190, 40), (490, 150, 46), (570, 200, 40)):
        draw.rectangle((left, top, left + width, 400), fill=colour)
        for step in range(left, left + width, 12):
            draw.rectangle((step, top - 10, step + 6, top), fill=colour)
        draw.polygon([(left - 4, top - 10), (left + width // 2, top - 60),
                      (left + width + 4, top - 10)], fill=colour)
    for wx, wy in ((505, 190), (517, 190), (436, 230), (584, 240), (470, 300), (540, 300)):
        draw.rectangle((wx, wy, wx + 5, wy + 9), fill=(240, 190, 90))


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
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    d.rounded_rectangle(MENU_PANEL, radius=10, fill=(8, 6, 16, 170),
                        outline=(160, 120, 50, 200), width=2)
    img.paste(layer, (0, 0), layer)


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


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2] / "res/art"
    out.mkdir(parents=True, exist_ok=True)
    background(out)
    icon(out)


if __name__ == "__main__":
    main()
