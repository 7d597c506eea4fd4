#!/usr/bin/env python3
"""Assembles the sample game payload: a small tree shaped like the real game's, holding the
stand-in Dominarch.exe, the icon, an empty data/save folder, a tovk.cfg with an extra section,
nested data folders, a file larger than 64 KiB, a file of exactly 131,072 bytes and an empty file;
with --setup, also the payload-free installer as its Setup.exe (which `dompack setup` puts into
the pack by itself). Contents are deterministic.

usage: make_sample_payload.py OUT_DIR GAME_EXE ICON [--setup SETUP_EXE]
"""
import math
import random
import shutil
import struct
import sys
from pathlib import Path


def wave(seconds=4.0, rate=22050):
    """A short 8-bit mono WAV tune: well over 64 KiB, and it compresses like real sound."""
    notes = [262, 330, 392, 523, 392, 330]
    frames = bytearray()
    total = int(seconds * rate)
    for i in range(total):
        note = notes[(i * len(notes)) // total]
        value = 128 + 90 * math.sin(2 * math.pi * note * i / rate) * (1 - (i % 4000) / 8000)
        frames.append(int(value) & 0xFF)
    header = b"RIFF" + struct.pack("<I", 36 + len(frames)) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, rate, rate, 1, 8)
    header += b"data" + struct.pack("<I", len(frames))
    return header + bytes(frames)


def tiles(size=131072):
    """Exactly 128 KiB of tile data: two full 64 KiB chunks of the installer's copy."""
    rng = random.Random(131072)
    palette = [rng.randrange(256) for _ in range(16)]
    return bytes(palette[(i // 64 + rng.randrange(3)) % 16] for i in range(size))


def map_text(name, rng):
    rows = ["".join(rng.choice(".~^#TT..") for _ in range(48)) for _ in range(24)]
    return (f"; {name}\r\n" + "\r\n".join(rows) + "\r\n").encode("ascii")


def main():
    arguments = sys.argv[1:]
    setup = None
    if len(arguments) == 5 and arguments[3] == "--setup":
        setup = Path(arguments[4])
        arguments = arguments[:3]
    if len(arguments) != 3:
        sys.exit(__doc__)
    out, game, icon = (Path(a) for a in arguments)
    if out.exists():
        shutil.rmtree(out)
    data = out / "data"
    (data / "save").mkdir(parents=True)
    shutil.copyfile(game, out / "Dominarch.exe")
    if setup is not None:
        shutil.copyfile(setup, out / "Setup.exe")
    shutil.copyfile(icon, data / "Dominarch.ico")
    (out / "tovk.cfg").write_bytes(
        b"[vmachine]\ndirectx=yes\n\n[display]\nwidth=640\nheight=480\ndepth=16\n")
    (out / "Manual.txt").write_bytes(b"Dominarch\r\nSee the ReadMe for the rules of play.\r\n")
    (data / "sound").mkdir()
    (data / "sound" / "theme.wav").write_bytes(wave())
    (data / "gfx").mkdir()
    (data / "gfx" / "tiles.bin").write_bytes(tiles())
    (data / "gfx" / "empty.dat").write_bytes(b"")
    rng = random.Random(7)
    campaign = data / "maps" / "campaign"
    for act in ("act1", "act2"):
        folder = campaign / act / "keep"
        folder.mkdir(parents=True)
        (campaign / act / "castle.map").write_bytes(map_text(f"{act} castle", rng))
        (folder / "tower.map").write_bytes(map_text(f"{act} tower", rng))
    (data / "maps" / "skirmish").mkdir()
    (data / "maps" / "skirmish" / "river.map").write_bytes(map_text("river", rng))


if __name__ == "__main__":
    main()
