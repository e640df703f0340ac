#!/usr/bin/env python3
"""Checks the folders' layering: every #include "folder/..." of a source file names a folder
that its own folder may use, and the folders' uses form no loop. A folder's tests may use
what the folder may use.

Usage: layering.py [ROOT]   (default: the checkout this script is in)
Prints each include that breaks the layering and exits 1 when there is one.
"""
import re
import sys
from pathlib import Path

# Which folders each folder may include from, lowest floor first. The ground floor serves
# both sides: the contract between the program and the library, the name rules and the
# code-page text. The library never includes the program's side, and the program's core
# (catalogue, creation) includes nothing of the library's or of Windows.
USES = {
    "contract": set(),
    "names": set(),
    "codepage": set(),
    "catalogue": set(),
    "res": set(),
    "testing": set(),
    "framework": {"codepage"},
    "creation": {"catalogue", "contract", "names", "codepage"},
    "velcomp": {"contract", "names", "codepage"},
    "packagelib": {"creation", "catalogue", "contract", "names", "codepage"},
    "platform": {"creation", "catalogue", "framework", "contract", "names", "codepage"},
    "ui": {"creation", "catalogue", "framework", "platform", "res", "contract", "names",
           "codepage"},
    "nameplate": {"velcomp", "framework", "res", "contract", "names", "codepage"},
    "app": {"ui", "creation", "catalogue", "framework", "platform", "packagelib", "res",
            "contract", "names", "codepage", "nameplate"},
    "templates": {"catalogue", "velcomp", "contract", "names", "codepage"},
    "packaging": {"contract", "codepage"},
    "bench": {"velcomp", "contract", "names", "codepage"},
    "fuzz": {"velcomp", "contract", "names", "codepage"},
}
# What a folder's tests may use beyond the folder's own uses: the real Windows side for the
# library's program half, and Nameplate's dialog beside Kitwright's at each DPI.
TEST_USES = {
    "packagelib": {"platform", "framework"},
    "ui": {"nameplate"},
}
SOURCES = {".h", ".hpp", ".c", ".cc", ".cpp", ".rc", ".in"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]*"', re.MULTILINE)


def loop(uses):
    """A loop among the folders' uses, as a list of folders, or None."""
    done, path = set(), []

    def visit(folder):
        if folder in path:
            return path[path.index(folder):] + [folder]
        if folder in done:
            return None
        path.append(folder)
        for used in sorted(uses.get(folder, ())):
            found = visit(used)
            if found:
                return found
        path.pop()
        done.add(folder)
        return None

    for folder in sorted(uses):
        found = visit(folder)
        if found:
            return found
    return None


def breaches(root):
    for file in sorted(root.rglob("*")):
        relative = file.relative_to(root)
        if file.suffix not in SOURCES or relative.parts[0] in {"build", "dist", ".git"}:
            continue
        folder = relative.parts[0]
        if len(relative.parts) == 1:
            continue
        text = file.read_text(encoding="utf-8", errors="replace")
        for used in INCLUDE.findall(text):
            if used == folder or used not in USES:
                continue
            if folder not in USES:
                yield f"{relative}: the folder {folder} has no place in the layering"
                break
            allowed = USES[folder]
            if "tests" in relative.parts:
                allowed = allowed | TEST_USES.get(folder, set())
            if used not in allowed:
                yield f"{relative}: includes from {used}/, which {folder}/ may not use"


def main():
    root = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent
    problems = []
    found = loop(USES)
    if found:
        problems.append("the folders' uses loop: " + " -> ".join(found))
    problems.extend(breaches(root))
    for problem in problems:
        print(f"layering: {problem}", file=sys.stderr)
    if problems:
        sys.exit(1)
    print(f"layering: every include of {len(USES)} folders keeps to the floors, no loop")


if __name__ == "__main__":
    main()
