#!/usr/bin/env python3
"""Converts an uncompressed 24-bit BMP (as the end-to-end driver's screenshots are) to a PNG.

Standard library only: the PNG is written by hand with zlib and struct.

    bmp_to_png.py in.bmp out.png
"""

import struct
import sys
import zlib


class BmpError(Exception):
    pass


def read_bmp24(data):
    """Returns (width, height, rows) with rows top-down, each as RGB bytes."""
    if len(data) < 54 or data[:2] != b"BM":
        raise BmpError("not a BMP file")
    (offset,) = struct.unpack_from("<I", data, 10)
    _, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if bits != 24 or compression != 0:
        raise BmpError(f"only uncompressed 24-bit BMP is supported (got {bits} bits, "
                       f"compression {compression})")
    if width <= 0 or height == 0:
        raise BmpError("empty image")
    top_down = height < 0
    height = abs(height)
    stride = (width * 3 + 3) & ~3
    if offset + stride * height > len(data):
        raise BmpError("pixel data truncated")
    rows = []
    for y in range(height):
        start = offset + stride * y
        bgr = data[start:start + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3] = bgr[2::3]
        rgb[1::3] = bgr[1::3]
        rgb[2::3] = bgr[0::3]
        rows.append(bytes(rgb))
    if not top_down:
        rows.reverse()
    return width, height, rows


def png_chunk(kind, payload):
    body = kind + payload
    return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body))


def encode_png(width, height, rows):
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    raw = b"".join(b"\x00" + row for row in rows)  # filter type 0 on every row
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        data = f.read()
    try:
        width, height, rows = read_bmp24(data)
    except BmpError as error:
        print(f"{argv[1]}: {error}", file=sys.stderr)
        return 1
    with open(argv[2], "wb") as f:
        f.write(encode_png(width, height, rows))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
