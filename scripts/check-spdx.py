#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that every source file starts with its licence line.

  scripts/check-spdx.py [ROOT]         lists the files without it (status 1)
  scripts/check-spdx.py --fix [ROOT]   inserts it where it is missing

C and C++ files (also templates such as version.cpp.in) start with
"// SPDX-License-Identifier: GPL-3.0-or-later"; CMake files, shell and
Python scripts, makefiles with a "#!" line and bash completions carry
"# SPDX-License-Identifier: GPL-3.0-or-later" as their first line, or as
the second after a "#!" line. Data (reports, EMF pages, images, fuzzing
seeds, printer descriptions, XML and desktop files) is not source and is
covered by debian/copyright. The files are those git tracks, or every file
under ROOT outside build folders when ROOT is not a git work tree (an
exported tree).
"""
import os
import subprocess
import sys

TAG = "SPDX-License-Identifier: GPL-3.0-or-later"
C_SUFFIXES = (".c", ".cc", ".cpp", ".h", ".hpp", ".cpp.in", ".h.in")
HASH_SUFFIXES = (".cmake", ".sh", ".py", ".bash-completion")
SKIP_DIRS = {".git", "dist"}


def files_under(root):
    try:
        out = subprocess.run(["git", "-C", root, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                             check=True, capture_output=True).stdout
        return sorted(set(p.decode() for p in out.split(b"\0") if p))
    except (OSError, subprocess.CalledProcessError):
        found = []
        for top, dirs, names in os.walk(root):
            rel_top = os.path.relpath(top, root)
            dirs[:] = [d for d in dirs if d not in SKIP_DIRS and not d.startswith(("build", "obj-"))
                       and not (rel_top == "debian" and d in ("qrpview", "tmp", ".debhelper"))]
            found += [os.path.normpath(os.path.join(rel_top, n)) for n in names]
        return sorted(found)


def comment_style(path, first_line):
    """'//', '#' or None (not source)."""
    name = os.path.basename(path)
    if name.endswith(C_SUFFIXES):
        return "//"
    if name == "CMakeLists.txt" or name.endswith(HASH_SUFFIXES) or first_line.startswith(b"#!"):
        return "#"
    return None


def check(root, fix):
    missing = []
    for rel in files_under(root):
        path = os.path.join(root, rel)
        if not os.path.isfile(path) or os.path.islink(path):
            continue
        with open(path, "rb") as f:
            data = f.read()
        lines = data.splitlines(keepends=True)
        style = comment_style(rel, lines[0] if lines else b"")
        if style is None:
            continue
        wanted = (style + " " + TAG).encode()
        at = 1 if lines and lines[0].startswith(b"#!") else 0
        if len(lines) > at and lines[at].rstrip(b"\r\n") == wanted:
            continue
        missing.append(rel)
        if fix:
            eol = b"\r\n" if data.find(b"\r\n") >= 0 and data.find(b"\r\n") <= data.find(b"\n") else b"\n"
            # A licence line in the wrong place moves to the right one.
            head = [l for l in lines[at:at + 5] if l.rstrip(b"\r\n") != wanted]
            if at and not lines[0].endswith(b"\n"):
                lines[0] += eol
            lines = lines[:at] + [wanted + eol] + head + lines[at + 5:]
            with open(path, "wb") as f:
                f.write(b"".join(lines))
    return missing


def main(argv):
    fix = "--fix" in argv
    args = [a for a in argv if a != "--fix"]
    if len(args) > 1 or any(a.startswith("-") for a in args):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    missing = check(root, fix)
    if fix:
        for rel in missing:
            print("check-spdx: added the licence line to " + rel)
        return 0
    for rel in missing:
        print("check-spdx: %s lacks \"%s\" at its top" % (rel, TAG))
    if missing:
        print("check-spdx: %d file(s) without their licence line; scripts/check-spdx.py --fix adds it" % len(missing))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
