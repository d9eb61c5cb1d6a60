#!/usr/bin/env python3
"""Checks a built setup.exe with llvm-readobj, a tool independent of the
build: its header (machine, PE32 or PE32+, GUI subsystem, no time stamp,
stripped), that it imports system DLLs only, and its exact resource
inventory: nothing more, nothing less, every size as the program needs it.

It also holds packset's own reading of the executable against it: the set
packset finds inside must be exactly the "BINARY" 140 resource llvm-readobj
lists.

usage: check_setup_exe.py LLVM_READOBJ SETUP_EXE BITS PACKED_SET PACKSET
"""
import os
import re
import subprocess
import sys

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll",
               "advapi32.dll", "comctl32.dll", "comdlg32.dll", "msvcrt.dll"}


def readobj(tool, exe, flag):
    return subprocess.run([tool, flag, exe], check=True, capture_output=True, text=True).stdout


def resources(text):
    """(type, id, language, size) for every resource, in listing order."""
    found = []
    kind = name = language = None
    for line in text.splitlines():
        line = line.strip()
        if m := re.match(r"Type: (.*?)(?: \(ID (\d+)\))? \[$", line):
            kind = m.group(2) if m.group(2) else m.group(1)
        elif m := re.match(r"Name: \(ID (\d+)\) \[$", line):
            name = int(m.group(1))
        elif m := re.match(r"Name: (.*) \[$", line):
            name = m.group(1)
        elif m := re.match(r"Language: \(ID (\d+)\) \[$", line):
            language = int(m.group(1))
        elif m := re.match(r"DataSize: (\d+)$", line):
            found.append((str(kind), name, language, int(m.group(1))))
    return sorted(found, key=str)


def main():
    tool, exe, bits, packed_set, packset = sys.argv[1:6]
    problems = []

    headers = readobj(tool, exe, "--file-headers")
    machine, magic = (("IMAGE_FILE_MACHINE_I386", "0x10B") if bits == "32"
                      else ("IMAGE_FILE_MACHINE_AMD64", "0x20B"))
    for wanted in (f"Machine: {machine}", f"Magic: {magic}", "Subsystem: IMAGE_SUBSYSTEM_WINDOWS_GUI",
                   "TimeDateStamp: 1970-01-01 00:00:00 (0x0)", "PointerToSymbolTable: 0x0",
                   "SymbolCount: 0"):
        if wanted not in headers:
            problems.append(f"header lacks '{wanted}'")

    imports = re.findall(r"^\s*Name: (\S+)$", readobj(tool, exe, "--coff-imports"), re.M)
    if not imports:
        problems.append("no imports found at all")
    for dll in imports:
        if dll.lower() not in SYSTEM_DLLS:
            problems.append(f"imports {dll}, which is not a system DLL")

    expected = sorted([
        ("5", 101, 2057, 566),                              # the setup dialog
        ("14", 102, 2057, 34),                              # icon group: two images
        ("3", 1, 2057, 744),                                # icon 32 x 32, 4 bpp
        ("3", 2, 2057, 296),                                # icon 16 x 16, 4 bpp
        ("2", 104, 2057, 2284),                             # Browse picture 44 x 17, 24 bpp
        ("2", 112, 2057, 83792),                            # banner 481 x 58, 24 bpp
        ("LICENSE", 111, 2057, 5115),                       # agreement text
        ("BINARY", 140, 2057, os.path.getsize(packed_set)),  # the packed file set
    ], key=str)
    actual = resources(readobj(tool, exe, "--coff-resources"))
    for entry in sorted(set(actual) - set(expected), key=str):
        problems.append(f"unexpected resource (type, id, language, size): {entry}")
    for entry in sorted(set(expected) - set(actual), key=str):
        problems.append(f"missing resource (type, id, language, size): {entry}")

    listing = subprocess.run([packset, "list", exe], capture_output=True, text=True).stdout
    read = re.search(r"^\d+ records, \d+ bytes of data, (\d+) bytes in the set$", listing, re.M)
    binary = [size for kind, name, _, size in actual if (kind, name) == ("BINARY", 140)]
    if not read or [int(read.group(1))] != binary:
        problems.append(f"packset reads a set of {read.group(1) if read else 'no'} bytes, "
                        f"llvm-readobj lists BINARY 140 as {binary}")

    for problem in problems:
        print(f"{exe}: {problem}")
    if problems:
        return 1
    print(f"{exe}: {bits}-bit GUI program, imports {', '.join(imports)}; "
          f"{len(actual)} resources as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
