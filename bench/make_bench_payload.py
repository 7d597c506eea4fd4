#!/usr/bin/env python3
"""Generates the benchmark payload: a game tree of full size, shaped like the shipped game's.

2,497 files in 163 folders nested up to 5 deep, names of at most 22 characters, 105,893,874
bytes of bodies. The content mixes what a game carries, so that gzip -9 makes it roughly half
as large: text (scripts, dialogue, tables), data that is already compressed (video, music,
packed images: random bytes to deflate), tiled bitmaps, and 8-bit sound. A few files are several
megabytes long; most are small.

Everything follows from one seed: the same version and seed give the same tree, byte for byte.
The tree is written under a temporary name and renamed when complete; a stamp file beside it
(OUT_DIR.stamp) records the version and seed, and is written last.

usage: make_bench_payload.py OUT_DIR     generate (replacing OUT_DIR)
       make_bench_payload.py --stamp     print the stamp the current generator writes
       make_bench_payload.py --check DIR check DIR against the figures above
"""
import os
import random
import shutil
import sys
from pathlib import Path

VERSION = 2
SEED = 20010817

FILE_COUNT = 2497
FOLDER_COUNT = 163
MAX_DEPTH = 5
MAX_NAME = 22
TOTAL_BYTES = 105_893_874

# Share of the bodies per kind of content, before the few large files are placed.
KIND_WEIGHTS = {"text": 0.33, "packed": 0.11, "tiles": 0.34, "sound": 0.22}
EXTENSIONS = {
    "text": [".txt", ".ini", ".scr", ".tbl", ".map", ".dlg", ".cfg"],
    "packed": [".smk", ".jpg", ".mp3", ".pak", ".dll", ".exe"],
    "tiles": [".bmp", ".til", ".spr", ".ani"],
    "sound": [".wav", ".snd"],
}
# Files placed by name: the few large ones, and one with the longest name (MAX_NAME
# characters). (folder theme, name, kind, size)
NAMED_FILES = [
    ("video", "intro.smk", "packed", 9_437_184 + 4_321),
    ("video", "outro.smk", "packed", 5_242_880 + 77),
    ("music", "theme.mp3", "packed", 3_145_728 + 999),
    ("sound", "ambient_forest.wav", "sound", 4_194_304 + 2_222),
    ("gfx", "worldmap.bmp", "tiles", 3_932_160 + 54),
    ("text", "campaign_dialogue.txt", "text", 2_621_440 + 1_234),
    ("text", "campaign_briefing1.txt", "text", 23_456),
]
ROOT_FILES = [("Dominarch.exe", "packed", 1_843_200), ("ReadMe.txt", "text", 18_000),
              ("tovk.cfg", "text", 64), ("Setup.exe", "packed", 312_000)]
TOP_FOLDERS = ["data", "maps", "sound", "music", "video", "gfx", "text", "units", "save"]
SYLLABLES = ["ka", "ro", "dun", "mar", "el", "tor", "vis", "ash", "gal", "ni", "or", "bel",
             "kor", "sa", "thu", "ven", "li", "mo", "rak", "zen", "ul", "fi", "gor", "ta"]


def stamp():
    return f"make_bench_payload version {VERSION} seed {SEED}\n"


def word(rng, low=1, high=3):
    return "".join(rng.choice(SYLLABLES) for _ in range(rng.randint(low, high)))


# --- the tree -------------------------------------------------------------------------------


class Folder:
    def __init__(self, name, parent, theme):
        self.name = name
        self.parent = parent
        self.theme = theme
        self.depth = 0 if parent is None else parent.depth + 1
        self.names = set()  # lower-cased names taken in this folder
        self.children = []
        self.files = []  # (name, kind, size)

    def path(self):
        return Path() if self.parent is None else self.parent.path() / self.name

    def take(self, name):
        """Claims `name` here unless it (or a name differing only in case) is already taken."""
        if name.lower() in self.names or len(name) > MAX_NAME:
            return False
        self.names.add(name.lower())
        return True


def make_folders(rng):
    root = Folder("", None, "data")
    folders = []
    for name in TOP_FOLDERS:
        root.take(name)
        folders.append(Folder(name, root, name))
    # One chain down to the deepest level, so the depth limit is reached.
    chain = folders[1]
    for name in ["campaign", "act3", "chapter2", "keep"]:
        chain.take(name)
        chain = Folder(name, chain, chain.theme)
        folders.append(chain)
    while len(folders) < FOLDER_COUNT:
        parent = rng.choice(folders)
        if parent.depth >= MAX_DEPTH:
            continue
        name = word(rng) + (str(rng.randint(1, 40)) if rng.random() < 0.3 else "")
        if parent.take(name):
            folders.append(Folder(name, parent, parent.theme))
    for folder in folders:
        folder.parent.children.append(folder)
    return root, folders


def file_kind(rng, theme):
    themed = {"sound": "sound", "music": "sound", "video": "packed", "gfx": "tiles",
              "text": "text", "maps": "text", "units": "tiles"}
    if theme in themed and rng.random() < 0.6:
        return themed[theme]
    kinds = list(KIND_WEIGHTS)
    return rng.choices(kinds, weights=[KIND_WEIGHTS[k] for k in kinds])[0]


def small_sizes(rng, count, total):
    """`count` sizes summing to `total`: log-normal, most of a few kilobytes, some of 100s."""
    raw = [rng.lognormvariate(0, 1.5) for _ in range(count)]
    scale = total / sum(raw)
    sizes = [int(r * scale) for r in raw]
    sizes[0] = 0  # games carry empty files too
    sizes[1] = 65_536  # and bodies that fill whole chunks exactly
    sizes[2] = 131_072
    sizes[sizes.index(max(sizes))] += total - sum(sizes)
    if min(sizes) < 0:
        raise SystemExit("make_bench_payload: the named files leave too little for the rest")
    return sizes


def place_files(rng, root, folders):
    by_theme = {}
    for folder in folders:
        by_theme.setdefault(folder.theme, []).append(folder)
    for theme, name, kind, size in NAMED_FILES:
        folder = rng.choice(by_theme[theme])
        if not folder.take(name):
            raise SystemExit(f"make_bench_payload: {name} placed twice in one folder")
        folder.files.append((name, kind, size))
    for name, kind, size in ROOT_FILES:
        root.take(name)
        root.files.append((name, kind, size))
    everything = [root] + folders
    placed = sum(len(f.files) for f in everything)
    used = sum(size for f in everything for _, _, size in f.files)
    for size in small_sizes(rng, FILE_COUNT - placed, TOTAL_BYTES - used):
        folder = rng.choice(folders)
        kind = file_kind(rng, folder.theme)
        while True:
            stem = word(rng, 1, 4) + (f"_{rng.randint(0, 99):02d}" if rng.random() < 0.5 else "")
            name = stem + rng.choice(EXTENSIONS[kind])
            if folder.take(name):
                break
        folder.files.append((name, kind, size))


# --- the content ----------------------------------------------------------------------------

# Noise tables for bytes.translate over random bytes: the lowest bit of every byte (sampling
# noise), or the lowest bit of about one byte in 64 (dithering that breaks some repeats).
EVERY_BYTE = bytes(b & 1 for b in range(256))
SPARSE = bytes(1 if b < 4 else 0 for b in range(256))


def text_body(rng, size):
    vocabulary = [word(rng, 1, 4) for _ in range(1500)] + ["the", "of", "and", "to", "=", "0"]
    out = []
    length = 0
    while length < size:
        words = rng.choices(vocabulary, k=rng.randint(4, 16))
        line = " ".join(words) + ("\r\n" if rng.random() < 0.9 else f" = {rng.randint(0, 9999)}\r\n")
        out.append(line)
        length += len(line)
    return "".join(out).encode("ascii")[:size]


def packed_body(rng, size):
    return rng.randbytes(size)


def xor_noise(rng, data, table):
    noise = rng.randbytes(len(data)).translate(table)
    return (int.from_bytes(data, "little") ^ int.from_bytes(noise, "little")).to_bytes(
        len(data), "little")


def tiles_body(rng, size):
    palette = rng.randbytes(32)
    tile_set = [bytes(rng.choice(palette) for _ in range(64)) for _ in range(48)]
    per_row = 40  # tiles across: a bitmap 320 pixels wide
    rows = []
    length = 0
    while length < size:
        picks = [rng.choice(tile_set) for _ in range(per_row)]
        for line in range(8):
            row = b"".join(tile[line * 8:line * 8 + 8] for tile in picks)
            rows.append(row)
            length += len(row)
    return xor_noise(rng, b"".join(rows)[:size], SPARSE)


def sound_body(rng, size):
    periods = {}
    parts = []
    length = 0
    while length < size:
        period = rng.randint(20, 200)
        amplitude = rng.randint(20, 110)
        key = (period, amplitude)
        if key not in periods:
            # A triangle wave around the 8-bit silence level of 128.
            periods[key] = bytes(128 + amplitude * (abs(2 * i - period) - period // 2) // period
                                 for i in range(period))
        part = periods[key] * (rng.randint(500, 6000) // period + 1)
        parts.append(part)
        length += len(part)
    return xor_noise(rng, b"".join(parts)[:size], EVERY_BYTE)


BODIES = {"text": text_body, "packed": packed_body, "tiles": tiles_body, "sound": sound_body}


def write_tree(root, out):
    out.mkdir(parents=True)
    pending = [root]
    while pending:
        folder = pending.pop()
        target = out / folder.path()
        target.mkdir(exist_ok=True)
        for name, kind, size in folder.files:
            rng = random.Random(f"{SEED}:{folder.path() / name}")
            (target / name).write_bytes(BODIES[kind](rng, size))
        pending.extend(folder.children)


# --- checking -------------------------------------------------------------------------------


def check(tree):
    files = folders = total = deepest = longest = 0
    for directory, subdirs, names in os.walk(tree):
        depth = len(Path(directory).relative_to(tree).parts)
        deepest = max(deepest, depth)
        folders += len(subdirs)
        files += len(names)
        longest = max([longest] + [len(n) for n in names + subdirs])
        total += sum(os.path.getsize(os.path.join(directory, n)) for n in names)
    found = (files, folders, deepest, longest, total)
    wanted = (FILE_COUNT, FOLDER_COUNT, MAX_DEPTH, MAX_NAME, TOTAL_BYTES)
    if found != wanted:
        sys.exit(f"payload {tree}: files, folders, depth, longest name, bytes = {found}, "
                 f"expected {wanted}")


def main():
    arguments = sys.argv[1:]
    if arguments == ["--stamp"]:
        sys.stdout.write(stamp())
        return
    if len(arguments) == 2 and arguments[0] == "--check":
        check(Path(arguments[1]))
        return
    if len(arguments) != 1 or arguments[0].startswith("-"):
        sys.exit(__doc__)
    out = Path(arguments[0])
    stamp_file = Path(str(out) + ".stamp")
    temporary = Path(str(out) + ".partial")
    stamp_file.unlink(missing_ok=True)
    for old in (out, temporary):
        if old.exists():
            shutil.rmtree(old)
    rng = random.Random(SEED)
    root, folders = make_folders(rng)
    place_files(rng, root, folders)
    write_tree(root, temporary)
    check(temporary)
    temporary.rename(out)
    stamp_file.write_text(stamp())


if __name__ == "__main__":
    main()
