#!/usr/bin/env python3
"""Writes the seed corpus of setup_fuzz into corpus/setup: small PE32 program files whose only
section holds a resource directory with PACK 131 (a tiny gzipped pack, or the stub's
placeholder), and the same damaged: cut short, the resource directory outside the file, a PACK
entry with a wrong size, a name pointing outside; and one with every resource the installer
needs, whole, or with its icon image missing, its string block or dialog 102 zeroed. Run from
anywhere; deterministic."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RSRC_RVA = 0x1000
ALIGNMENT = 0x1000  # of the sections in the file as in memory, as the stub is linked


def gzip(raw):
    deflate = zlib.compressobj(9, zlib.DEFLATED, -15)
    data = deflate.compress(raw) + deflate.flush()
    return bytes([0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 11]) + data + struct.pack(
        "<II", zlib.crc32(raw), len(raw))


def tiny_pack():
    entry = b"a".ljust(60, b"\0") + struct.pack("<I", 1)
    return gzip(b"ZOLT" + struct.pack("<I", len(entry)) + entry + b"x")


def directory(entries):
    """A resource directory: (name_field, target) pairs, all counted as id entries."""
    out = struct.pack("<IIHHHH", 0, 0, 0, 0, 0, len(entries))
    return out + b"".join(struct.pack("<II", name, target) for name, target in entries)


def resource_section(items, pack_size=None):
    """The .rsrc bytes of items [(type, id, data)], a type by name or number, each in language
    1033: the root, each type's directory, each id's, the names, the data entries, the data.
    pack_size, when given, is put into PACK's data entry instead of its length."""
    types = sorted({t for t, _, _ in items}, key=lambda t: (isinstance(t, int), t))
    ids = {t: sorted(i for u, i, _ in items if u == t) for t in types}
    type_at = 16 + 8 * len(types)
    language_at = type_at + sum(16 + 8 * len(ids[t]) for t in types)
    name_at = language_at + 24 * len(items)
    names, name_offsets = b"", {}
    for t in (t for t in types if isinstance(t, str)):
        name_offsets[t] = name_at + len(names)
        names += struct.pack("<H", len(t)) + t.encode("utf-16-le")
    names += b"\0" * (-(name_at + len(names)) % 4)
    entry_at = name_at + len(names)
    data_at = entry_at + 16 * len(items)
    root, type_directories, languages, entries, blobs = [], b"", b"", b"", b""
    for t in types:
        root.append((0x80000000 | name_offsets[t] if isinstance(t, str) else t,
                     0x80000000 | (type_at + len(type_directories))))
        by_id = []
        for i in ids[t]:
            data = [d for u, j, d in items if (u, j) == (t, i)][0]
            by_id.append((i, 0x80000000 | (language_at + len(languages))))
            languages += directory([(1033, entry_at + len(entries))])
            size = pack_size if t == "PACK" and pack_size is not None else len(data)
            blobs += b"\0" * (-len(blobs) % 4)
            entries += struct.pack("<IIII", RSRC_RVA + data_at + len(blobs), size, 0, 0)
            blobs += data
        type_directories += directory(by_id)
    return directory(root) + type_directories + languages + names + entries + blobs


def resources(data, pack_size=None):
    """The .rsrc bytes with PACK 131 alone."""
    return resource_section([("PACK", 131, data)], pack_size)


def installer_resources(without=(), zeroed=()):
    """PACK 131 and, small but whole, every resource the installer needs (dialog 102 extended,
    with a font), but for the (type, id) pairs `without` and with those `zeroed` all zeros."""
    # A header, no menu, class or title, and one button; dialog 102 with a font, and a static.
    dialog = struct.pack("<IIHhhhh", 0x80C80000, 0, 1, 0, 0, 100, 50) + bytes(6)
    dialog += struct.pack("<IIhhhhHHH", 0x50000000, 0, 5, 5, 40, 14, 1, 0xFFFF, 0x80) + bytes(4)
    menu = struct.pack("<HHIIIHhhhh", 1, 0xFFFF, 0, 0, 0x80C80040, 1, 0, 0, 200, 100)
    menu += bytes(6) + struct.pack("<HHBB", 8, 400, 0, 1) + "A".encode("utf-16-le") + bytes(4)
    menu += struct.pack("<IIIhhhhIHH", 0, 0, 0x50000000, 5, 5, 40, 14, 1001, 0xFFFF, 0x82)
    menu += bytes(4)
    bitmap = struct.pack("<IiiHHIIiiII", 40, 1, 1, 1, 24, 0, 4, 0, 0, 0, 0) + bytes(4)
    strings = bytes(2) + b"".join(struct.pack("<H", 1) + "s".encode("utf-16-le")
                                  for _ in range(8)) + bytes(2 * 7)
    icon = b"an icon image"
    group = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHIH", 16, 16, 0, 0, 1, 32,
                                                       len(icon), 1)
    items = [("PACK", 131, tiny_pack()), (5, 102, menu), ("PROPTABLE", 168, b"glyphs"),
             ("TEXT", 132, b"ReadMe"), (6, 1, strings), (14, 128, group), (3, 1, icon)]
    items += [(5, i, dialog) for i in (156, 157, 158, 160, 161, 162, 163, 164, 165, 166, 191,
                                       193)]
    items += [(2, i, bitmap) for i in (129, 167, 170, 171, 172, 173, 175, 176, 177)]
    items = [(t, i, bytes(len(d)) if (t, i) in zeroed else d) for t, i, d in items
             if (t, i) not in without]
    return resource_section(items)


def program(rsrc, rsrc_rva=RSRC_RVA):
    raw_size = (len(rsrc) + ALIGNMENT - 1) // ALIGNMENT * ALIGNMENT
    dos = b"MZ" + b"\0" * 58 + struct.pack("<I", 0x40)
    coff = struct.pack("<HHIIIHH", 0x14C, 1, 0, 0, 0, 0xE0, 0x0102)
    optional = struct.pack(
        "<HBBIIIIIIIIIHHHHHHIIIIHHIIIIII",
        0x10B, 0, 0,  # magic, linker version
        0, 0, 0, 0, 0, 0,  # code, data and bss sizes, entry point, code and data bases
        0x400000, ALIGNMENT, ALIGNMENT,  # image base, section and file alignment
        4, 0, 0, 0, 4, 0,  # system, image and subsystem versions
        0, RSRC_RVA + raw_size, ALIGNMENT, 0,  # win32 version, image size, header size, checksum
        2, 0,  # GUI subsystem, DLL characteristics
        0x100000, 0x1000, 0x100000, 0x1000, 0, 16)  # stack, heap, loader flags, directories
    directories = [(0, 0)] * 16
    directories[2] = (rsrc_rva, len(rsrc))
    optional += b"".join(struct.pack("<II", *d) for d in directories)
    section = b".rsrc\0\0\0" + struct.pack("<IIIIIIHHI", len(rsrc), RSRC_RVA, raw_size,
                                           ALIGNMENT, 0, 0, 0, 0, 0x40000040)
    headers = dos + b"PE\0\0" + coff + optional + section
    return headers + b"\0" * (ALIGNMENT - len(headers)) + rsrc + b"\0" * (raw_size - len(rsrc))


def main():
    out = os.path.join(HERE, "corpus", "setup")
    os.makedirs(out, exist_ok=True)
    good = program(resources(tiny_pack()))
    seeds = {
        "good": good,
        "stub": program(resources(b"dompack: no payload in this stub")),
        "cut_short": good[:ALIGNMENT + 0x20],
        "resources_outside": program(resources(tiny_pack()), rsrc_rva=0x7FFF0000),
        "pack_size_past_the_file": program(resources(tiny_pack(), pack_size=0x10000)),
        "pack_size_too_small": program(resources(tiny_pack(), pack_size=10)),
        "installer_resources": program(installer_resources()),
        "icon_image_missing": program(installer_resources(without={(3, 1)})),
        "string_block_zeroed": program(installer_resources(zeroed={(6, 1)})),
        "dialog_102_zeroed": program(installer_resources(zeroed={(5, 102)})),
    }
    name_outside = bytearray(good)
    name_outside[ALIGNMENT + 16:ALIGNMENT + 20] = struct.pack("<I", 0x8000FFF0)
    seeds["name_outside"] = bytes(name_outside)
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
