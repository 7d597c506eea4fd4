"""The menu items' bitmap font: one glyph table (PROPTABLE), one 1-bit mask and four glyph strips
of identical shapes in the four looks of an item (disabled, normal, hover, pressed).

Glyphs for the codes 33-126 and 161-254 of the ANSI code page (cp1252) stand side by side in
code order, each followed by one blank column; the blank (32) has none. The drawing code puts
codes above 127 two pixels higher, so those glyphs sit two pixels lower in the strip: accented
capitals keep room above them and every glyph ends on one baseline when drawn.
"""
import struct

from PIL import Image, ImageDraw, ImageFont

HEIGHT = 23
BASELINE = 16            # row of the baseline for codes below 128 (two rows lower above 127)
HIGH_CODE_DROP = 2
MIN_WIDTH, MAX_WIDTH = 6, 20
CODES = list(range(33, 127)) + list(range(161, 255))
LONGEST_ITEM = "Language Selection"
ITEM_WIDTH = 170         # the item rectangles are 175 pixels wide
SCALE = 4                # glyphs are drawn this much larger, then reduced, for clean edges

# Fill from the top of a glyph to its bottom, and the outline; per look.
LOOKS = {
    "disabled": ((120, 106, 92), (78, 66, 58), (24, 18, 16)),
    "normal": ((250, 226, 150), (214, 160, 64), (40, 22, 6)),
    "hover": ((255, 255, 230), (255, 214, 110), (90, 40, 0)),
    "pressed": ((255, 170, 90), (190, 70, 20), (40, 8, 0)),
}


def load_font(path, size):
    return ImageFont.truetype(str(path), size * SCALE)


def choose_size(path):
    """The largest size at which the longest item fits its rectangle."""
    for size in range(18, 9, -1):
        f = ImageFont.truetype(str(path), size)
        if f.getlength(LONGEST_ITEM) <= ITEM_WIDTH:
            return size
    return 10


def glyph_width(f, char):
    return max(MIN_WIDTH, min(MAX_WIDTH, round(f.getlength(char) / SCALE)))


def render_glyph(f, char, width, baseline):
    """Coverage of the glyph's fill and of its outline, as two L images of width x HEIGHT."""
    size = (width * SCALE, HEIGHT * SCALE)
    fill = Image.new("L", size, 0)
    outline = Image.new("L", size, 0)
    x = (width * SCALE - f.getlength(char)) / 2
    y = baseline * SCALE
    ImageDraw.Draw(outline).text((x, y), char, font=f, fill=255, anchor="ls",
                                 stroke_width=SCALE, stroke_fill=255)
    ImageDraw.Draw(fill).text((x, y), char, font=f, fill=255, anchor="ls")
    return fill.resize((width, HEIGHT), Image.BOX), outline.resize((width, HEIGHT), Image.BOX)


def colour_at(look, row, coverage_fill):
    top, bottom, edge = LOOKS[look]
    t = row / (HEIGHT - 1)
    body = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
    return tuple(round(e + (c - e) * coverage_fill) for c, e in zip(body, edge))


def make_menu_font(out, font_path):
    size = choose_size(font_path)
    f = load_font(font_path, size)
    glyphs = []
    for code in CODES:
        char = bytes([code]).decode("cp1252")
        width = glyph_width(f, char)
        baseline = BASELINE + (HIGH_CODE_DROP if code > 127 else 0)
        glyphs.append((code, width, *render_glyph(f, char, width, baseline)))

    strip_width = sum(width + 1 for _, width, _, _ in glyphs)
    mask = Image.new("1", (strip_width, HEIGHT), 1)
    strips = {look: Image.new("RGB", (strip_width, HEIGHT), (0, 0, 0)) for look in LOOKS}
    table = bytearray(2064)
    column = packed = 0
    for code, width, fill, outline in glyphs:
        struct.pack_into("<IHH", table, 8 * code, packed, width, HEIGHT)
        packed += width * HEIGHT
        fill_px, outline_px = fill.load(), outline.load()
        for y in range(HEIGHT):
            for x in range(width):
                if outline_px[x, y] < 110:
                    continue
                mask.putpixel((column + x, y), 0)
                for look, strip in strips.items():
                    strip.putpixel((column + x, y), colour_at(look, y, fill_px[x, y] / 255))
        column += width + 1

    (out / "menu_font.proptable").write_bytes(bytes(table))
    mask.save(out / "menu_font_mask.bmp")
    for look, strip in strips.items():
        # Palette index 0 stays black: the drawing ORs the strip in where the mask is clear.
        strip.quantize(colors=255, dither=Image.Dither.NONE).save(out / f"menu_font_{look}.bmp")
    return size, strip_width
