#!/usr/bin/env python3
"""Whether this machine's kernel runs 32-bit x86 code, found by running some.

Writes the smallest static i386 Linux program, one that exits with 42, to the
path given, runs it and exits 0 if it returned 42, 1 otherwise. No toolchain
is needed: the program is 96 bytes written out here. A kernel without 32-bit
support refuses it with "Exec format error"; reading the kernel's version or
configuration would not tell (its support can be switched off at boot).
"""
import os
import struct
import subprocess
import sys

EXIT_CODE = 42
BASE = 0x08048000  # the usual load address of an i386 program
ELF_HEADER_SIZE, PROGRAM_HEADER_SIZE = 52, 32

# mov ebx, 42; mov eax, 1 (exit); int 0x80
CODE = bytes([0xBB, EXIT_CODE, 0, 0, 0, 0xB8, 1, 0, 0, 0, 0xCD, 0x80])


def program():
    entry = BASE + ELF_HEADER_SIZE + PROGRAM_HEADER_SIZE
    size = ELF_HEADER_SIZE + PROGRAM_HEADER_SIZE + len(CODE)
    ident = b"\x7fELF" + bytes([1, 1, 1]) + bytes(9)  # 32-bit, little-endian, version 1
    header = ident + struct.pack(
        "<HHIIIIIHHHHHH",
        2,  # executable
        3,  # i386
        1,  # version
        entry,
        ELF_HEADER_SIZE,  # program headers follow at once
        0,  # no section headers
        0,  # flags
        ELF_HEADER_SIZE,
        PROGRAM_HEADER_SIZE,
        1,  # one program header
        0,
        0,
        0,
    )
    # One loadable segment, readable and executable, holding the whole file.
    segment = struct.pack("<IIIIIIII", 1, 0, BASE, BASE, size, size, 5, 0x1000)
    return header + segment + CODE


def main():
    path = sys.argv[1]
    with open(path, "wb") as f:
        f.write(program())
    os.chmod(path, 0o755)
    try:
        code = subprocess.run([path], stderr=subprocess.DEVNULL).returncode
    except OSError:
        code = None
    finally:
        os.remove(path)
    sys.exit(0 if code == EXIT_CODE else 1)


if __name__ == "__main__":
    main()
