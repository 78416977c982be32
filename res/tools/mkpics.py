#!/usr/bin/env python3
"""Build the program's BMP and ICO files from the text pictures in res/pictures.

Usage: python3 mkpics.py SRCDIR OUTDIR

Every SRCDIR/*.txt is read, in name order. A source holds one or more images:

    image NAME WxH BITS     starts an image. NAME ends in .bmp or .ico;
                            BITS is 1, 4, 8 or 24 for a .bmp, 4 or 8 for an .ico.
    K RRGGBB  any note      legend: the one character K stands for this colour
    K clear                 legend, icons only: a transparent pixel
    ....KKKK....            then exactly H rows of W legend characters, top first

Blank lines and lines starting with '#' are skipped, so neither '#' nor a space
can be a key. Every image that names the same .ico becomes one of its images,
in the order read. The palette is the distinct legend colours in legend order,
padded with black to 2**BITS entries; a clear pixel is drawn black with its AND
mask bit set, which is how Windows expects icon transparency.
"""
import os
import re
import struct
import sys

LEGEND = re.compile(r"^(\S) +(clear|[0-9A-Fa-f]{6})(\s.*)?$")
HEADER = re.compile(r"^image +(\S+\.(bmp|ico)) +(\d+)x(\d+) +(\d+)\s*$")
DEPTHS = {"bmp": (1, 4, 8, 24), "ico": (4, 8)}
BLACK = (0, 0, 0)


class SourceError(Exception):
    pass


class Image:
    def __init__(self, where, name, kind, w, h, bits):
        self.where, self.name, self.kind = where, name, kind
        self.w, self.h, self.bits = w, h, bits
        self.keys = {}  # key -> (r, g, b) or None for clear
        self.rows = []

    def finish(self):
        if len(self.rows) != self.h:
            raise SourceError(f"{self.where}: {self.name} has {len(self.rows)} rows, expected {self.h}")
        colours = []
        for c in self.keys.values():
            c = c or BLACK
            if c not in colours:
                colours.append(c)
        if self.bits < 24 and len(colours) > 1 << self.bits:
            raise SourceError(f"{self.where}: {self.name} uses {len(colours)} colours, "
                              f"{self.bits}-bit allows {1 << self.bits}")
        if self.bits < 24:
            self.palette = colours + [BLACK] * ((1 << self.bits) - len(colours))
        else:
            self.palette = []
        return self


def parse(path):
    images, img = [], None
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            where = f"{path}:{n}"
            if not line.strip() or line.startswith("#"):
                continue
            m = HEADER.match(line)
            if m:
                if img:
                    images.append(img.finish())
                name, kind, w, h, bits = m.group(1), m.group(2), int(m.group(3)), int(m.group(4)), int(m.group(5))
                if name != name.lower() or "/" in name:
                    raise SourceError(f"{where}: output name must be a plain lower-case file name")
                if bits not in DEPTHS[kind]:
                    raise SourceError(f"{where}: {bits}-bit is not supported for .{kind}")
                if not (0 < w <= 256 and 0 < h <= 256):
                    raise SourceError(f"{where}: size {w}x{h} out of range")
                img = Image(where, name, kind, w, h, bits)
                continue
            if img is None:
                raise SourceError(f"{where}: expected an 'image' line first")
            m = LEGEND.match(line)
            if m and not img.rows:
                key, val = m.group(1), m.group(2)
                if key in img.keys:
                    raise SourceError(f"{where}: key {key!r} defined twice")
                if val == "clear":
                    if img.kind != "ico":
                        raise SourceError(f"{where}: 'clear' is only for icons")
                    img.keys[key] = None
                else:
                    img.keys[key] = tuple(bytes.fromhex(val))
                continue
            if len(img.rows) == img.h:
                raise SourceError(f"{where}: {img.name} has more than {img.h} rows")
            if len(line) != img.w:
                raise SourceError(f"{where}: row is {len(line)} wide, expected {img.w}")
            for ch in line:
                if ch not in img.keys:
                    raise SourceError(f"{where}: unknown key {ch!r}")
            img.rows.append(line)
    if img:
        images.append(img.finish())
    return images


def stride(w, bits):
    return (w * bits + 31) // 32 * 4


def pack(img):
    """Pixel bits, bottom row first, each row padded to 4 bytes."""
    # first index of each colour, so clear pixels share the real black if there is one
    index = {c: i for i, c in reversed(list(enumerate(img.palette)))}
    out = bytearray()
    for row in reversed(img.rows):
        line = bytearray()
        if img.bits == 24:
            for ch in row:
                r, g, b = img.keys[ch]
                line += bytes((b, g, r))
        else:
            acc = nbits = 0
            for ch in row:
                acc = acc << img.bits | index[img.keys[ch] or BLACK]
                nbits += img.bits
                if nbits == 8:
                    line.append(acc)
                    acc = nbits = 0
            if nbits:
                line.append(acc << (8 - nbits))
        out += line.ljust(stride(img.w, img.bits), b"\0")
    return bytes(out)


def mask(img):
    out = bytearray()
    for row in reversed(img.rows):
        bits = "".join("1" if img.keys[ch] is None else "0" for ch in row).ljust(stride(img.w, 1) * 8, "0")
        out += int(bits, 2).to_bytes(len(bits) // 8, "big")
    return bytes(out)


def info_header(img, height, size_image):
    used = len(img.palette) if img.kind == "bmp" else 0
    return struct.pack("<IiiHHIIiiII", 40, img.w, height, 1, img.bits, 0, size_image, 0, 0, used, 0)


def palette_bytes(img):
    return b"".join(bytes((b, g, r, 0)) for r, g, b in img.palette)


def make_bmp(img):
    bits = pack(img)
    head = info_header(img, img.h, len(bits)) + palette_bytes(img)
    off = 14 + len(head)
    return struct.pack("<2sIHHI", b"BM", off + len(bits), 0, 0, off) + head + bits


def make_ico(imgs):
    blobs = []
    for img in imgs:
        xor, andm = pack(img), mask(img)
        blobs.append(info_header(img, 2 * img.h, len(xor) + len(andm)) + palette_bytes(img) + xor + andm)
    out = struct.pack("<HHH", 0, 1, len(imgs))
    off = 6 + 16 * len(imgs)
    for img, blob in zip(imgs, blobs):
        colours = 1 << img.bits if img.bits < 8 else 0
        out += struct.pack("<BBBBHHII", img.w % 256, img.h % 256, colours, 0, 1, img.bits, len(blob), off)
        off += len(blob)
    return out + b"".join(blobs)


def build(srcdir, outdir):
    """Parse every source, then write the outputs. Returns the written file names."""
    groups = {}
    names = sorted(f for f in os.listdir(srcdir) if f.endswith(".txt"))
    for fname in names:
        for img in parse(os.path.join(srcdir, fname)):
            if img.kind == "bmp" and img.name in groups:
                raise SourceError(f"{img.where}: {img.name} is drawn twice")
            groups.setdefault(img.name, []).append(img)
    if not groups:
        raise SourceError(f"{srcdir}: no *.txt picture sources")
    os.makedirs(outdir, exist_ok=True)
    for name, imgs in sorted(groups.items()):
        data = make_bmp(imgs[0]) if name.endswith(".bmp") else make_ico(imgs)
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)
    return sorted(groups)


def main(argv):
    if len(argv) != 3:
        sys.exit("usage: mkpics.py SRCDIR OUTDIR")
    try:
        build(argv[1], argv[2])
    except (SourceError, OSError, UnicodeDecodeError) as e:
        sys.exit(f"mkpics: {e}")


if __name__ == "__main__":
    main(sys.argv)
