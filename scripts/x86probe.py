#!/usr/bin/env python3
"""Whether this machine's kernel runs 32-bit x86 code, found by running some.

  x86probe.py FOLDER...

Writes the smallest static i386 Linux program, one that exits with 42, into
the first folder given where programs may run at all (a shell script is tried
there first: a `noexec` mount refuses every program, whatever its kind), runs
it, and exits with
  0  it ran: the kernel runs 32-bit code;
  1  the kernel refused it ("Exec format error");
  2  programs may run in none of the folders, so the question stays open.
On 1 and 2 it prints the reason in one line. No toolchain is needed: the
program is 96 bytes written out here. Reading the kernel's version or
configuration would not tell (its support can be switched off at boot).
"""
import errno
import os
import shutil
import struct
import subprocess
import sys
import tempfile

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


RUNS, REFUSED, CANNOT_RUN = 0, 1, 2
NATIVE = b"#!/bin/sh\nexit 0\n"


def run(folder, name, content):
    """Writes an executable file into the folder and runs it: its exit code."""
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write(content)
    os.chmod(path, 0o755)
    return subprocess.run([path], stderr=subprocess.DEVNULL).returncode


def probe(folder):
    """RUNS or REFUSED, or the reason programs may not run in the folder."""
    try:
        os.makedirs(folder, exist_ok=True)
        work = tempfile.mkdtemp(prefix="x86probe.", dir=folder)
    except OSError as e:
        return e.strerror
    try:
        try:
            if run(work, "native", NATIVE) != 0:
                return "a shell script failed"
        except OSError as e:
            return e.strerror
        try:
            code = run(work, "x86", program())
        except OSError as e:
            if e.errno != errno.ENOEXEC:
                return e.strerror
            code = None
        return RUNS if code == EXIT_CODE else REFUSED
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    refusals = []
    for folder in sys.argv[1:]:
        result = probe(folder)
        if result == RUNS:
            sys.exit(RUNS)
        if result == REFUSED:
            print("this kernel runs no 32-bit code")
            sys.exit(REFUSED)
        refusals.append(f"{folder} ({result})")
    print(f"programs may not run in {', '.join(refusals)}: the 32-bit probe could not run, so whether "
          "this kernel runs 32-bit code is unknown")
    sys.exit(CANNOT_RUN)


if __name__ == "__main__":
    main()
