#!/usr/bin/env python3
"""Writes the seed corpora of pack_fuzz into corpus/pack (small packs, plain and gzipped, good
and hostile) and of pipeline_fuzz into corpus/pipeline (the same packs behind the byte that
chooses a first installation or a reinstall, and packs whose names meet the links that
pipeline_fuzz leaves in the install folder). Run from anywhere; deterministic."""
import os
import struct
import zlib

FOLDER = 0x80000000
HERE = os.path.dirname(os.path.abspath(__file__))


def entry(name, size):
    return name.ljust(60, b"\0")[:60] + struct.pack("<I", size)


def pack(entries, bodies=b"", count=None):
    directory = b"".join(entry(n, s) for n, s in entries)
    return b"ZOLT" + struct.pack("<I", len(directory) if count is None else count) + directory + bodies


def gzip(raw):
    deflate = zlib.compressobj(9, zlib.DEFLATED, -15)
    data = deflate.compress(raw) + deflate.flush()
    header = bytes([0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 11])
    return header + data + struct.pack("<II", zlib.crc32(raw), len(raw) & 0xFFFFFFFF)


TREE = [(b"Dominarch.exe", 11), (b"data", FOLDER), (b"empty.dat", 0), (b"maps", FOLDER),
        (b"m1.map", 3), (b"..", FOLDER), (b"..", FOLDER), (b"save", FOLDER), (b"..", FOLDER),
        (b"caf\xe9.txt", 1)]
TREE_BODIES = b"MZ stand-inmapx"

SEEDS = {
    "seed_tree": gzip(pack(TREE, TREE_BODIES)),
    "seed_tree_plain": pack(TREE, TREE_BODIES),
    "seed_up_above_root": pack([(b"a", 1), (b"..", FOLDER), (b"b", FOLDER)], b"1"),
    "seed_unterminated_name": pack([(b"n" * 60, 1)], b"1"),
    "seed_bodies_longer": pack(TREE, TREE_BODIES[:-3]),
    "seed_bodies_shorter": pack(TREE, TREE_BODIES + b"!!"),
    "seed_partial_entry": pack([(b"a", 0)], b"\0" * 36, count=100),
    "seed_chunk_sized_body": gzip(pack([(b"big", 65536), (b"next", 1)], b"\x5a" * 65537)),
}

# Names the pipeline fuzzer's install folder holds as links: a file link, folder links, and the
# saved-games folder.
LINKED = gzip(pack([(b"Manual.txt", 3), (b"maps", FOLDER), (b"m.map", 1), (b"..", FOLDER),
                    (b"data", FOLDER), (b"linked", FOLDER), (b"x", 1), (b"..", FOLDER),
                    (b"linked.txt", 2), (b"..", FOLDER), (b"save", FOLDER), (b"s.sav", 1),
                    (b"..", FOLDER)], b"abcmxyzs"))
PIPELINE_SEEDS = {"first_" + n: b"\x01" + d for n, d in SEEDS.items()}
PIPELINE_SEEDS.update({"again_" + n: b"\x00" + d for n, d in SEEDS.items()})
PIPELINE_SEEDS.update({"first_linked_names": b"\x01" + LINKED, "again_linked_names": b"\x00" + LINKED})


def write(folder, seeds):
    out = os.path.join(HERE, "corpus", folder)
    os.makedirs(out, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    write("pack", SEEDS)
    write("pipeline", PIPELINE_SEEDS)
