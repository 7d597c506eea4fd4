#!/usr/bin/env python3
"""Writes the seed corpus of setup_fuzz into corpus/setup: small PE32 program files whose only
section holds a resource directory with PACK 131 (a tiny gzipped pack, or the stub's
placeholder), and the same damaged: cut short, the resource directory outside the file, a PACK
entry with a wrong size, a name pointing outside. Run from anywhere; deterministic."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RSRC_RVA = 0x1000


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


def resources(data, pack_size=None):
    """The .rsrc bytes: PACK (by name) -> 131 -> language 1033 -> data entry -> data."""
    name_at = 16 + 8 + 16 + 8 + 16 + 8
    name = struct.pack("<H", 4) + "PACK".encode("utf-16-le")
    entry_at = name_at + len(name) + (-(name_at + len(name)) % 4)
    data_at = entry_at + 16
    root = directory([(0x80000000 | name_at, 0x80000000 | 24)])
    by_id = directory([(131, 0x80000000 | 48)])
    by_language = directory([(1033, entry_at)])
    body = root + by_id + by_language + name
    body += b"\0" * (entry_at - len(body))
    size = len(data) if pack_size is None else pack_size
    return body + struct.pack("<IIII", RSRC_RVA + data_at, size, 0, 0) + data


def program(rsrc, rsrc_rva=RSRC_RVA):
    raw_size = (len(rsrc) + 0x1FF) // 0x200 * 0x200
    dos = b"MZ" + b"\0" * 58 + struct.pack("<I", 0x40)
    coff = struct.pack("<HHIIIHH", 0x14C, 1, 0, 0, 0, 0xE0, 0x0102)
    optional = struct.pack(
        "<HBBIIIIIIIIIHHHHHHIIIIHHIIIIII",
        0x10B, 0, 0,  # magic, linker version
        0, 0, 0, 0, 0, 0,  # code, data and bss sizes, entry point, code and data bases
        0x400000, 0x1000, 0x200,  # image base, section and file alignment
        4, 0, 0, 0, 4, 0,  # system, image and subsystem versions
        0, 0x2000, 0x200, 0,  # win32 version, image size, header size, checksum
        2, 0,  # GUI subsystem, DLL characteristics
        0x100000, 0x1000, 0x100000, 0x1000, 0, 16)  # stack, heap, loader flags, directories
    directories = [(0, 0)] * 16
    directories[2] = (rsrc_rva, len(rsrc))
    optional += b"".join(struct.pack("<II", *d) for d in directories)
    section = b".rsrc\0\0\0" + struct.pack("<IIIIIIHHI", len(rsrc), RSRC_RVA, raw_size, 0x200,
                                           0, 0, 0, 0, 0x40000040)
    headers = dos + b"PE\0\0" + coff + optional + section
    return headers + b"\0" * (0x200 - len(headers)) + rsrc + b"\0" * (raw_size - len(rsrc))


def main():
    out = os.path.join(HERE, "corpus", "setup")
    os.makedirs(out, exist_ok=True)
    good = program(resources(tiny_pack()))
    seeds = {
        "good": good,
        "stub": program(resources(b"dompack: no payload in this stub")),
        "cut_short": good[:0x220],
        "resources_outside": program(resources(tiny_pack()), rsrc_rva=0x7FFF0000),
        "pack_size_past_the_file": program(resources(tiny_pack(), pack_size=0x10000)),
        "pack_size_too_small": program(resources(tiny_pack(), pack_size=10)),
    }
    name_outside = bytearray(good)
    name_outside[0x200 + 16:0x200 + 20] = struct.pack("<I", 0x8000FFF0)
    seeds["name_outside"] = bytes(name_outside)
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
