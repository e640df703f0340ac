#!/usr/bin/env python3
"""Checks the 32-bit files that ship by reading them, without running them: their kind, what
Kitwright imports from the library and what the library exports, the system DLLs that they
need, the embedded manifest, the version block, debug sections, and that their resources are
the 64-bit test build's, byte for byte, but for the manifest's architecture.

Usage: pe-check.py ZIP X86_64_FOLDER
  ZIP is the zip that ships, with the i686 Kitwright.exe, velCompDLL.dll and Nameplate.exe in
  its Kitwright folder; X86_64_FOLDER holds the same three from the 64-bit build.
Prints one line per check and exits 1 when any fails.
"""
import os
import struct
import sys
import zipfile
from pathlib import Path

# The seven calls of the host's own library, which Kitwright relies on, and our two more,
# which Kitwright looks up at run time so that the host's library can take our library's place.
HOST_CALLS = {"InitVEL", "GetMyKUID", "ClosePackage", "CreatePackage", "SetStringData",
              "AddToPackageSpecial", "ExtractFromPackage"}
LIBRARY_CALLS = HOST_CALLS | {"GetLastPackageError", "GetLastPackageNote"}
# System DLLs that every Windows from 7 on carries, under the names that we link.
WINDOWS7_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
                 "comctl32.dll", "msvcrt.dll", "ole32.dll", "shlwapi.dll", "version.dll"}
RT_BITMAP, RT_DIALOG, RT_VERSION, RT_MANIFEST = 2, 5, 16, 24
IMAGE_FILE_DLL = 0x2000
SUBSYSTEM_GUI = 2


class Image:
    """The parts of a PE file that the checks read."""

    def __init__(self, path, data):
        self.path = Path(path)
        self.data = data
        pe = self.u32(0x3C)
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError(f"{self.path.name} is no PE file")
        (self.machine, count, self.stamp, self.symbols, symbol_count, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", self.data, pe + 4)
        optional = pe + 24
        self.magic = self.u16(optional)
        self.subsystem = self.u16(optional + 68)
        self.subsystem_version = (self.u16(optional + 48), self.u16(optional + 50))
        directories = optional + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", self.data, directories + 8 * i)
                            for i in range(self.u32(directories - 4))]
        strings = self.symbols + 18 * symbol_count
        self.sections = []
        for i in range(count):
            header = optional + optional_size + 40 * i
            name = self.data[header:header + 8].rstrip(b"\0").decode("latin-1")
            if name.startswith("/") and self.symbols:
                name = self.cstring(strings + int(name[1:]))
            size, address, raw_size, raw = struct.unpack_from("<IIII", self.data, header + 8)
            self.sections.append((name, address, max(size, raw_size), raw))

    def u16(self, at):
        return struct.unpack_from("<H", self.data, at)[0]

    def u32(self, at):
        return struct.unpack_from("<I", self.data, at)[0]

    def cstring(self, at):
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def offset(self, rva):
        for _, address, size, raw in self.sections:
            if address <= rva < address + size:
                return raw + rva - address
        raise ValueError(f"{self.path.name}: address {rva:#x} lies in no section")

    def imports(self):
        """{dll name: [function names, or '#ordinal']}"""
        rva, _ = self.directories[1]
        found = {}
        wide = self.magic == 0x20B
        at = self.offset(rva) if rva else None
        while at is not None:
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, at)
            if name == 0:
                break
            functions = []
            entry = self.offset(lookup or thunks)
            while True:
                value = struct.unpack_from("<Q" if wide else "<I", self.data, entry)[0]
                if value == 0:
                    break
                if value >> (63 if wide else 31):
                    functions.append(f"#{value & 0xFFFF}")
                else:
                    functions.append(self.cstring(self.offset(value) + 2))
                entry += 8 if wide else 4
            found[self.cstring(self.offset(name))] = functions
            at += 20
        return found

    def exports(self):
        rva, _ = self.directories[0]
        if not rva:
            return []
        table = self.offset(rva)
        count, names = self.u32(table + 24), self.offset(self.u32(table + 32))
        return [self.cstring(self.offset(self.u32(names + 4 * i))) for i in range(count)]

    def resources(self):
        """{(type, name, language): bytes}, each level by its id or its name."""
        rva, _ = self.directories[2]
        base = self.offset(rva) if rva else None
        found = {}

        def key(entry_name):
            if entry_name & 0x80000000:
                at = base + (entry_name & 0x7FFFFFFF)
                return self.data[at + 2:at + 2 + 2 * self.u16(at)].decode("utf-16-le")
            return entry_name

        def walk(directory, path):
            entries = self.u16(directory + 12) + self.u16(directory + 14)
            for i in range(entries):
                entry_name, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
                here = path + (key(entry_name),)
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), here)
                else:
                    data, size = struct.unpack_from("<II", self.data, base + target)
                    found[here] = self.data[self.offset(data):self.offset(data) + size]

        if base is not None:
            walk(base, ())
        return found


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, what, problems):
        if problems:
            self.failed += 1
            print(f"32-bit files: FAILED: {what}: {'; '.join(problems)}", file=sys.stderr)
        else:
            self.passed += 1
            print(f"32-bit files: ok: {what}")


def kind(image, dll):
    problems = []
    if image.magic != 0x10B or image.machine != 0x14C:
        problems.append(f"{image.path.name} is not PE32 for i386 "
                        f"(magic {image.magic:#x}, machine {image.machine:#x})")
    if bool(image.characteristics & IMAGE_FILE_DLL) != dll:
        problems.append(f"{image.path.name} is {'not ' if dll else ''}a DLL")
    if not dll and image.subsystem != SUBSYSTEM_GUI:
        problems.append(f"{image.path.name} is no GUI program (subsystem {image.subsystem})")
    if image.subsystem_version > (6, 1):
        problems.append(f"{image.path.name} asks for Windows "
                        f"{image.subsystem_version[0]}.{image.subsystem_version[1]}")
    return problems


def library_imports(kitwright):
    imported = {dll.lower(): names for dll, names in kitwright.imports().items()}
    names = imported.get("velcompdll.dll")
    if names is None:
        return ["Kitwright.exe does not import velCompDLL.dll"]
    problems = []
    if set(names) != HOST_CALLS or len(names) != len(HOST_CALLS):
        problems.append(f"it imports {sorted(names)}, not the seven calls")
    return problems


def library_exports(library):
    names = library.exports()
    if set(names) == LIBRARY_CALLS and len(names) == len(LIBRARY_CALLS):
        return []
    return [f"velCompDLL.dll exports {sorted(names)}, not its {len(LIBRARY_CALLS)} calls undecorated"]


def system_dlls(images):
    problems = []
    for image in images:
        for dll in image.imports():
            if dll.lower() not in WINDOWS7_DLLS | {"velcompdll.dll"}:
                problems.append(f"{image.path.name} imports {dll}")
    return problems


def manifest(image, arch):
    found = [data for key, data in image.resources().items() if key[:2] == (RT_MANIFEST, 1)]
    if len(found) != 1:
        return [f"{image.path.name} carries {len(found)} manifests"]
    text = found[0].decode("utf-8")
    named = text.count(f'processorArchitecture="{arch}"')
    if named != 2 or text.count("processorArchitecture=") != 2:
        return [f"{image.path.name}'s manifest names {arch} {named} times of 2"]
    return []


def version_block(image):
    blocks = [data for key, data in image.resources().items() if key[0] == RT_VERSION]
    if len(blocks) != 1 or struct.pack("<I", 0xFEEF04BD) not in blocks[0]:
        return [f"{image.path.name} has no version block"]
    return []


def debug_sections(image):
    names = [name for name, *_ in image.sections if name.startswith(".debug")]
    problems = [f"{image.path.name} keeps {', '.join(names)}"] if names else []
    if image.symbols:
        problems.append(f"{image.path.name} keeps a symbol table")
    # A link time would make two builds of the same sources differ.
    if image.stamp:
        problems.append(f"{image.path.name} carries a link time ({image.stamp})")
    return problems


def same_resources(shipped, test_build):
    """Every resource but the manifest the same bytes; the manifest differs in its
    architecture alone."""
    ours, theirs = shipped.resources(), test_build.resources()
    problems = []
    if set(ours) != set(theirs):
        problems.append(f"{shipped.path.name}: resources {sorted(map(str, set(ours) ^ set(theirs)))}"
                        " are in one build only")
    for key in sorted(set(ours) & set(theirs), key=str):
        mine, other = ours[key], theirs[key]
        if key[0] == RT_MANIFEST:
            other = other.replace(b'"amd64"', b'"x86"')
        if mine != other:
            problems.append(f"{shipped.path.name}: resource {key} differs")
    kinds = {key[0] for key in ours}
    if not {RT_DIALOG, RT_BITMAP} <= kinds and shipped.path.name == "Kitwright.exe":
        problems.append("Kitwright.exe has no dialog or no bitmap")
    return problems


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    test_build = Path(sys.argv[2])
    names = ["Kitwright.exe", "Nameplate.exe", "velCompDLL.dll"]
    try:
        with zipfile.ZipFile(sys.argv[1]) as shipped:
            images = {name: Image(name, shipped.read(f"Kitwright/{name}")) for name in names}
        others = {name: Image(name, (test_build / name).read_bytes()) for name in names}
    except (OSError, KeyError, ValueError, zipfile.BadZipFile) as error:
        sys.exit(f"32-bit files: cannot read them: {error}")
    checks = Checks()
    checks.check("Kitwright.exe and Nameplate.exe are PE32 i386 GUI programs, velCompDLL.dll "
                 "a PE32 i386 DLL, for Windows 6.1 or older",
                 sum((kind(images[name], name.endswith(".dll")) for name in names), []))
    checks.check("Kitwright.exe imports exactly the seven calls from velCompDLL.dll, "
                 "undecorated", library_imports(images["Kitwright.exe"]))
    checks.check(f"velCompDLL.dll exports its {len(LIBRARY_CALLS)} calls undecorated",
                 library_exports(images["velCompDLL.dll"]))
    checks.check("only system DLLs present on Windows 7 are imported",
                 system_dlls(images.values()))
    checks.check("the embedded manifests name x86",
                 manifest(images["Kitwright.exe"], "x86") + manifest(images["Nameplate.exe"], "x86"))
    checks.check("the version block is there",
                 version_block(images["Kitwright.exe"]) + version_block(images["Nameplate.exe"]))
    checks.check("no debug sections, no symbols, no link time",
                 sum((debug_sections(image) for image in images.values()), []))
    checks.check("dialogs, bitmaps, icons and version blocks are the 64-bit build's bytes",
                 same_resources(images["Kitwright.exe"], others["Kitwright.exe"]) +
                 same_resources(images["Nameplate.exe"], others["Nameplate.exe"]))
    total = checks.passed + checks.failed
    outcome = (f"{checks.failed} of {total} checks FAILED" if checks.failed
               else f"all {total} checks passed")
    # The make test summary's note of this stage (scripts/wine-env.sh, kitwright_record).
    if os.environ.get("KITWRIGHT_LEDGER"):
        with open(os.environ["KITWRIGHT_LEDGER"], "a", encoding="utf-8") as ledger:
            ledger.write(f"32-bit files, read without running (pe-check)\ti686\t{outcome}\n")
    print(f"32-bit files: {outcome}, without running them",
          file=sys.stderr if checks.failed else sys.stdout)
    sys.exit(1 if checks.failed else 0)

if __name__ == "__main__":
    main()
