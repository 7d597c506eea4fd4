#!/usr/bin/python3
"""What `dompack setup` writes, read back by an independent PE reader (Debian's python3-pefile):
a game folder stamped into the payload-free installer twice, or with the stub reached through a
symbolic link, gives the same bytes; the result is a valid image (sections, image size, checksum)
that keeps every resource of the stub byte for byte and whose PACK 131 is exactly what `dompack
build` packs of the folder with the stub as its Setup.exe; list and verify read it as they read
that pack, and extract unpacks the same tree; a signed copy verifies; and damaged copies, bad
stubs, what build refuses, and a folder that holds Setup.exe are handled as they must be.

usage: check_setup_stamp.py DOMPACK STUB GAME_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile

import pefile

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print(f"FAILED: {what}")


def run(*command):
    return subprocess.run(command, capture_output=True, text=True)


def resources(pe):
    """Every resource as {(type, id, language): bytes}."""
    found = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        type_key = str(kind.name) if kind.name is not None else kind.id
        for entry in kind.directory.entries:
            for language in entry.directory.entries:
                data = language.data.struct
                found[(type_key, entry.id, language.id)] = pe.get_data(data.OffsetToData,
                                                                      data.Size)
    return found


def tree_of(root):
    """Every folder and file under root, as {relative path: None for a folder, a file's bytes}."""
    tree = {}
    for folder, folders, files in os.walk(root):
        tree.update({os.path.relpath(os.path.join(folder, name), root): None for name in folders})
        for name in files:
            with open(os.path.join(folder, name), "rb") as f:
                tree[os.path.relpath(os.path.join(folder, name), root)] = f.read()
    return tree


def pack_of(pe):
    return [v for (t, i, _), v in resources(pe).items() if t == "PACK" and i == 131][0]


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    dompack, stub, game = sys.argv[1:]
    work = tempfile.mkdtemp(prefix="stamp-")
    try:
        check_stamp(dompack, stub, game, work)
        check_damage(dompack, work)
        check_refusals(dompack, stub, game, work)
        check_signing(dompack, work)
    finally:
        shutil.rmtree(work)
    if failures:
        sys.exit(f"{len(failures)} check(s) of dompack setup failed")
    print("dompack setup: every check passed")


def check_stamp(dompack, stub, game, work):
    # The publisher's folder with the stub beside dompack as a symbolic link.
    publisher = os.path.join(work, "publisher")
    os.mkdir(publisher)
    shutil.copy(dompack, publisher)
    link = os.path.join(publisher, "SetupBare.exe")
    os.symlink(os.path.abspath(stub), link)
    stampings = {
        "the same stub again": (dompack, "--stub", stub),
        "the stub through a link": (dompack, "--stub", link),
        "a linked stub beside dompack": (os.path.join(publisher, "dompack"),),
    }
    first = os.path.join(work, "first.exe")
    result = run(dompack, "setup", game, first, "--stub", stub)
    check(result.returncode == 0, f"setup exits 0: {result.stderr}")
    for label, (program, *stub_option) in stampings.items():
        out = os.path.join(work, "again.exe")
        result = run(program, "setup", game, out, *stub_option)
        check(result.returncode == 0, f"setup with {label} exits 0: {result.stderr}")
        if result.returncode == 0:
            with open(first, "rb") as a, open(out, "rb") as b:
                check(a.read() == b.read(), f"setup with {label} gives the same bytes")
            os.remove(out)

    base = pefile.PE(stub)
    out = pefile.PE(first)
    check(out.get_warnings() == [], f"pefile has no warnings: {out.get_warnings()}")
    check(out.OPTIONAL_HEADER.CheckSum == out.generate_checksum(), "the PE checksum is right")
    names = [s.Name.rstrip(b"\0") for s in out.sections]
    check(names == [s.Name.rstrip(b"\0") for s in base.sections] + [b".pack"],
          f"the stub's sections, then .pack: {names}")
    # Only PACK 131's data entry (its RVA and size, in .rsrc) changes in the stub's sections.
    entry_at = [kind for kind in out.DIRECTORY_ENTRY_RESOURCE.entries if str(kind.name) == "PACK"][
        0].directory.entries[0].directory.entries[0].data.struct.get_file_offset()
    for old, new in zip(base.sections, out.sections):
        old_data, new_data = bytearray(old.get_data()), bytearray(new.get_data())
        start = entry_at - new.PointerToRawData
        if 0 <= start < len(new_data):
            old_data[start:start + 8] = new_data[start:start + 8] = bytes(8)
        check(old_data == new_data, f"section {old.Name} is unchanged but for PACK's entry")
    last = out.sections[-1]
    end = last.VirtualAddress + last.Misc_VirtualSize
    alignment = out.OPTIONAL_HEADER.SectionAlignment
    check(out.OPTIONAL_HEADER.SizeOfImage == (end + alignment - 1) // alignment * alignment,
          "SizeOfImage ends with the last section")
    check(out.OPTIONAL_HEADER.FileAlignment == 4096 and
          all(s.PointerToRawData % 4096 == 0 for s in out.sections),
          "every section lies in the file as in memory (file alignment 4096)")
    check(out.FILE_HEADER.TimeDateStamp == 0, "no time stamp")

    stub_resources, out_resources = resources(base), resources(out)
    check(stub_resources.keys() == out_resources.keys(), "the stub's resources are all there")
    for key, data in stub_resources.items():
        if key[:2] != ("PACK", 131):
            check(out_resources.get(key) == data, f"resource {key} byte for byte")

    with_stub = os.path.join(work, "game-with-stub")
    shutil.copytree(game, with_stub)
    shutil.copyfile(stub, os.path.join(with_stub, "Setup.exe"))
    pack = os.path.join(work, "game.pack")
    check(run(dompack, "build", with_stub, pack).returncode == 0, "dompack build of the folder")
    with open(pack, "rb") as f:
        check(pack_of(out) == f.read(),
              "PACK 131 is what dompack build packs of the folder with the stub as Setup.exe")
    for command in ("list", "verify"):
        from_setup, from_pack = run(dompack, command, first), run(dompack, command, pack)
        check(from_setup.returncode == 0 and from_pack.returncode == 0, f"{command} exits 0")
        if command == "list":
            check(from_setup.stdout == from_pack.stdout, "list of Setup.exe is list of the pack")
        else:
            check(from_setup.stdout.split(": ", 1)[1] == from_pack.stdout.split(": ", 1)[1],
                  f"verify agrees: {from_setup.stdout} / {from_pack.stdout}")
    for source in (first, pack):
        into = os.path.join(work, "extracted-" + os.path.basename(source))
        result = run(dompack, "extract", source, into)
        check(result.returncode == 0 and tree_of(into) == tree_of(with_stub),
              f"extract of {os.path.basename(source)} gives the folder with the stub as "
              f"Setup.exe: {result.stderr}")
    shutil.copyfile(first, os.path.join(work, "Setup.exe"))


def damaged_copies(setup):
    """Setup.exe damaged in several ways, as (label, bytes, the commands that refuse it, a text of
    their message)."""
    with open(setup, "rb") as f:
        data = f.read()
    pe = pefile.PE(data=data)

    def changed(offset, new):
        return data[:offset] + new + data[offset + len(new):]

    def le32(value):
        return value.to_bytes(4, "little")

    def kind(type_key):
        return [k for k in pe.DIRECTORY_ENTRY_RESOURCE.entries
                if type_key in (k.id, str(k.name))][0]

    def data_entry(type_key, resource_id):
        entry = [e for e in kind(type_key).directory.entries if e.id == resource_id][0]
        return entry.directory.entries[0].data.struct

    def zeroed(type_key, resource_id):
        entry = data_entry(type_key, resource_id)
        return changed(pe.get_offset_from_rva(entry.OffsetToData), bytes(entry.Size))

    pack = data_entry("PACK", 131)
    both = ("list", "verify")
    # list reads only the pack's directory and no other resource.
    return [
        ("cut short", data[: len(data) // 2], both, "runs past the end of the file"),
        ("resource directory outside the file",
         changed(pe.OPTIONAL_HEADER.DATA_DIRECTORY[2].get_file_offset(), le32(0x7FFF0000)), both,
         "the resource directory lies outside the file"),
        ("PACK size past the file", changed(pack.get_file_offset() + 4, le32(len(data) * 2)),
         both, "#131's data"),
        ("PACK size too small", changed(pack.get_file_offset() + 4, le32(pack.Size - 1000)),
         ("verify",), "truncated"),
        ("its icon images renumbered", changed(kind(3).struct.get_file_offset(), le32(0x7FFF)),
         ("verify",), "icon 128 is damaged: the icon image"),
        ("string table block 1 zeroed", zeroed(6, 1), ("verify",), "string table block 1"),
        ("dialog 102 zeroed", zeroed(5, 102), ("verify",), "dialog 102 is damaged"),
    ]


def check_damage(dompack, work):
    for label, data, commands, message in damaged_copies(os.path.join(work, "Setup.exe")):
        damaged = os.path.join(work, "damaged.exe")
        with open(damaged, "wb") as f:
            f.write(data)
        for command in commands:
            result = run(dompack, command, damaged)
            check(result.returncode == 1 and message in result.stderr,
                  f"{command} of a Setup.exe with {label}: status 1 and '{message}' "
                  f"(status {result.returncode}, {result.stderr.strip()})")


def check_refusals(dompack, stub, game, work):
    out = os.path.join(work, "refused.exe")
    # What build refuses, setup refuses with the same status.
    bad_name = os.path.join(work, "game-with-a-bad-name")
    shutil.copytree(game, bad_name)
    with open(os.path.join(bad_name, "a:b"), "wb") as f:
        f.write(b"a name Windows cannot use")
    missing = os.path.join(work, "missing")
    for label, folder, output, status in (
            ("a name Windows cannot use", bad_name, out, 1),
            ("a missing game folder", missing, out, 2),
            ("a missing output folder", game, os.path.join(missing, "x.exe"), 2)):
        built = run(dompack, "build", folder, output + ".pack")
        stamped = run(dompack, "setup", folder, output, "--stub", stub)
        check(built.returncode == status and stamped.returncode == status,
              f"{label}: build and setup exit {status} (build {built.returncode}, setup "
              f"{stamped.returncode}: {stamped.stderr.strip()})")
        check(not [name for name in os.listdir(work) if name.startswith("refused.exe")],
              f"{label}: nothing is left")
    unmappable = os.path.join(work, "aligned-to-512.exe")
    with open(stub, "rb") as f:
        data = bytearray(f.read())
    at = pefile.PE(data=bytes(data)).OPTIONAL_HEADER.get_field_absolute_offset("FileAlignment")
    data[at:at + 4] = (512).to_bytes(4, "little")
    with open(unmappable, "wb") as f:
        f.write(data)
    for label, bad_stub, message in (
            ("a stamped stub", os.path.join(work, "Setup.exe"), "payload already"),
            ("a stub of file alignment 512", unmappable, "file alignment is 512")):
        result = run(dompack, "setup", game, out, "--stub", bad_stub)
        check(result.returncode == 1 and message in result.stderr,
              f"{label} is refused: {result.stderr.strip()}")
        check(not os.path.exists(out), f"nothing is left of a setup with {label}")
    game_with_setup = os.path.join(work, "game-with-old-setup")
    shutil.copytree(game, game_with_setup)
    with open(os.path.join(game_with_setup, "setup.EXE"), "wb") as f:
        f.write(b"an old installer")
    result = run(dompack, "setup", game_with_setup, out, "--stub", stub)
    check(result.returncode == 0 and "replaced" in result.stderr,
          f"a Setup.exe in the folder is replaced, with a warning: {result.stderr.strip()}")
    listing = run(dompack, "list", out).stdout.splitlines()
    check(f"{os.path.getsize(stub)} Setup.exe" in listing and
          not any(line.endswith("setup.EXE") for line in listing),
          "the pack holds the stub as Setup.exe, not the folder's")
    os.remove(out)


def check_signing(dompack, work):
    key, cert = os.path.join(work, "key.pem"), os.path.join(work, "cert.pem")
    made = run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
               "-out", cert, "-days", "2", "-subj", "/CN=Dominarch test publisher")
    check(made.returncode == 0, f"a throwaway certificate: {made.stderr}")
    setup, signed = os.path.join(work, "Setup.exe"), os.path.join(work, "signed.exe")
    result = run("osslsigncode", "sign", "-certs", cert, "-key", key, "-in", setup, "-out",
                 signed)
    check(result.returncode == 0, f"osslsigncode signs it: {result.stdout} {result.stderr}")
    result = run("osslsigncode", "verify", "-in", signed, "-CAfile", cert)
    check(result.returncode == 0, f"osslsigncode verify accepts it: {result.stdout[-400:]}")
    check(run(dompack, "verify", signed).returncode == 0, "dompack verify reads a signed one")
    result = run(dompack, "setup", work, os.path.join(work, "x.exe"), "--stub", signed)
    check(result.returncode == 1 and "signed" in result.stderr,
          f"a signed stub is refused: {result.stderr.strip()}")


if __name__ == "__main__":
    main()
