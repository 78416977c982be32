#!/usr/bin/env python3
"""Reads what scripts/check-binaries needs from a PE file, x86 or x64.

  pe.py arch EXE         x86 or x64
  pe.py imports EXE      one "DLL!function" a line, sorted
  pe.py subsystem EXE    the subsystem version, e.g. "5.1"
  pe.py flags EXE        the DllCharacteristics flags set, one name a line
  pe.py relocations EXE  how many base relocations the loader can apply (0: none)
  pe.py resources EXE    one "type/name/language size sha256" a line, sorted
  pe.py resource EXE TYPE NAME LANG   the bytes of one resource on stdout
"""
import hashlib
import struct
import sys


# DllCharacteristics bits of the optional header, by their names in winnt.h.
DLL_CHARACTERISTICS = {
    0x0020: "HIGH_ENTROPY_VA",
    0x0040: "DYNAMIC_BASE",
    0x0080: "FORCE_INTEGRITY",
    0x0100: "NX_COMPAT",
    0x0200: "NO_ISOLATION",
    0x0400: "NO_SEH",
    0x0800: "NO_BIND",
    0x1000: "APPCONTAINER",
    0x2000: "WDM_DRIVER",
    0x4000: "GUARD_CF",
    0x8000: "TERMINAL_SERVER_AWARE",
}
RELOCS_STRIPPED = 0x0001  # file header Characteristics
RELOCATION_ABSOLUTE = 0  # a block's padding entry


class PE:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise SystemExit(f"{path}: not a PE file")
        sections, optional_size, self.characteristics = struct.unpack_from("<H12xHH", self.data, pe + 6)
        self.optional = pe + 24
        magic = struct.unpack_from("<H", self.data, self.optional)[0]
        self.wide = magic == 0x20B  # PE32+
        directories = self.optional + (112 if self.wide else 96)
        self.directories = [struct.unpack_from("<II", self.data, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = self.optional + optional_size
        for i in range(sections):
            vsize, va, rawsize, raw = struct.unpack_from("<IIII", self.data, table + 40 * i + 8)
            self.sections.append((va, max(vsize, rawsize), raw))

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def cstring(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def subsystem(self):
        major, minor = struct.unpack_from("<HH", self.data, self.optional + 48)
        return f"{major}.{minor}"

    def flags(self):
        value = struct.unpack_from("<H", self.data, self.optional + 70)[0]
        return [name for bit, name in sorted(DLL_CHARACTERISTICS.items()) if value & bit]

    def relocations(self):
        if self.characteristics & RELOCS_STRIPPED:
            return 0
        rva, size = self.directories[5]
        count, end = 0, rva + size
        while rva + 8 <= end:
            page, block = struct.unpack_from("<II", self.data, self.offset(rva))
            if block < 8:
                break
            entries = struct.unpack_from(f"<{(block - 8) // 2}H", self.data, self.offset(rva) + 8)
            count += sum(1 for entry in entries if entry >> 12 != RELOCATION_ABSOLUTE)
            rva += block
        return count

    def imports(self):
        rva, _ = self.directories[1]
        found = []
        while rva:
            lookup, _, _, name, thunk = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if name == 0:
                break
            dll = self.cstring(name)
            entry = self.offset(lookup or thunk)
            size, flag = (8, 1 << 63) if self.wide else (4, 1 << 31)
            while True:
                value = int.from_bytes(self.data[entry:entry + size], "little")
                if value == 0:
                    break
                found.append(f"{dll}!#{value & 0xFFFF}" if value & flag else f"{dll}!{self.cstring((value & 0x7FFFFFFF) + 2)}")
                entry += size
            rva += 20
        return sorted(found, key=str.lower)

    def resources(self):
        base_rva, _ = self.directories[2]
        if base_rva == 0:
            return {}
        base = self.offset(base_rva)

        def name_of(entry_name):
            if entry_name & 0x80000000:
                at = base + (entry_name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.data, at)[0]
                return self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            return str(entry_name)

        def walk(directory, path):
            named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
            for i in range(named + numbered):
                entry_name, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
                here = path + [name_of(entry_name)]
                if target & 0x80000000:
                    yield from walk(base + (target & 0x7FFFFFFF), here)
                else:
                    rva, size = struct.unpack_from("<II", self.data, base + target)
                    at = self.offset(rva)
                    yield "/".join(here), self.data[at:at + size]

        return dict(walk(base, []))


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    command, pe = argv[1], PE(argv[2])
    if command == "arch":
        print("x64" if pe.wide else "x86")
    elif command == "imports":
        print("\n".join(pe.imports()))
    elif command == "subsystem":
        print(pe.subsystem())
    elif command == "flags":
        print("\n".join(pe.flags()))
    elif command == "relocations":
        print(pe.relocations())
    elif command == "resources":
        for key, data in sorted(pe.resources().items()):
            print(key, len(data), hashlib.sha256(data).hexdigest())
    elif command == "resource" and len(argv) == 6:
        sys.stdout.buffer.write(pe.resources()["/".join(argv[3:6])])
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
