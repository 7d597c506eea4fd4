#!/usr/bin/env python3
"""Reads shortcut files with lnkinfo (liblnk, independent of wine and of the installer) and checks
each against the fields the end-to-end suite expects of it: for every NAME.lnk.expected in the
folder (lines "field=value": target, arguments, working_folder, description, icon), NAME.lnk must
show exactly those. Prints one line per shortcut; exits 1 when any differs or cannot be read.

usage: check_shortcuts.py FOLDER
"""
import subprocess
import sys
from pathlib import Path

# lnkinfo's names for the fields.
FIELDS = {
    "target": "Local path",
    "arguments": "Command line arguments",
    "working_folder": "Working directory",
    "description": "Description",
    "icon": "Icon location",
}


def link_information(path):
    """The "key : value" lines of lnkinfo's report, as a dict."""
    report = subprocess.run(["lnkinfo", str(path)], capture_output=True, text=True,
                            encoding="latin-1", check=True).stdout
    shown = {}
    for line in report.splitlines():
        key, colon, value = line.partition(":")
        if colon and line.startswith("\t") and not line.startswith("\t\t"):
            shown.setdefault(key.strip(), value[1:] if value.startswith(" ") else value)
    return shown


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    failed = 0
    for expected_file in sorted(Path(sys.argv[1]).glob("*.lnk.expected")):
        link = expected_file.with_suffix("")
        expected = dict(line.split("=", 1) for line in
                        expected_file.read_text(encoding="latin-1").splitlines() if line)
        try:
            shown = link_information(link)
        except (OSError, subprocess.CalledProcessError) as error:
            print(f"shortcut {link.name}: lnkinfo cannot read it ({error})")
            failed += 1
            continue
        wrong = [f"{field}: {shown.get(FIELDS[field], '')!r}, expected {value!r}"
                 for field, value in expected.items() if shown.get(FIELDS[field], "") != value]
        if shown.get("Icon index", "0") != "0":
            wrong.append(f"icon index {shown['Icon index']}")
        print(f"shortcut {link.name}: " + ("; ".join(wrong) if wrong else "as expected"))
        failed += bool(wrong)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
