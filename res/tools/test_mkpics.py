#!/usr/bin/env python3
"""Checks mkpics.py by reading its files back with a separate decoder.

Run: python3 res/tools/test_mkpics.py
"""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOOL = os.path.join(HERE, "mkpics.py")
PICTURES = os.path.join(HERE, "..", "pictures")

# name -> (width, height, bits) for bitmaps; for icons a list of images
EXPECTED = {
    **{f"bm_clock_{i}.bmp": (12, 12, 4) for i in range(4)},
    "bm_main_back.bmp": (75, 20, 4),
    "bm_menu_caption.bmp": (57, 16, 4),
    "bm_menu_checked.bmp": (13, 13, 1),
    "bm_menu_unchecked.bmp": (13, 13, 1),
    "bm_menu_clock.bmp": (13, 13, 4),
    "bm_menu_restart.bmp": (13, 13, 4),
    "bm_menu_info.bmp": (13, 13, 4),
    "bm_menu_exit.bmp": (13, 13, 4),
    "header.bmp": (39, 36, 24),
    "mainicon.ico": [(32, 32, 8), (32, 32, 4), (16, 16, 8), (16, 16, 4)],
    "warningicon.ico": [(32, 32, 4)],
}


def stride(w, bits):
    return (w * bits + 31) // 32 * 4


def decode_dib(data, at, w, h, bits, ncolours):
    """Rows of (r, g, b), top first, from the pixel bits of a DIB at `at`."""
    pal = [tuple(data[at + 4 * i:at + 4 * i + 3][::-1]) for i in range(ncolours)]
    bits_at = at + 4 * ncolours
    rows = []
    for y in range(h):
        line = data[bits_at + (h - 1 - y) * stride(w, bits):]
        row = []
        for x in range(w):
            if bits == 24:
                row.append(tuple(line[3 * x:3 * x + 3][::-1]))
            else:
                byte = line[x * bits // 8]
                shift = 8 - bits - (x * bits % 8)
                row.append(pal[(byte >> shift) & ((1 << bits) - 1)])
        rows.append(row)
    return rows, bits_at + stride(w, bits) * h


def read_bmp(data):
    kind, size, _, _, off = struct.unpack_from("<2sIHHI", data, 0)
    hsize, w, h, planes, bits, comp, isize, _, _, used, _ = struct.unpack_from("<IiiHHIIiiII", data, 14)
    info = dict(kind=kind, size=size, off=off, hsize=hsize, w=w, h=h, planes=planes,
                bits=bits, comp=comp, isize=isize, used=used)
    info["rows"], _ = decode_dib(data, 54, w, h, bits, used)
    return info


def read_ico(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1), "not an icon file"
    images = []
    for i in range(count):
        bw, bh, colours, res, planes, bits, nbytes, off = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        hsize, w, h2, hplanes, hbits, comp, isize, _, _, used, _ = struct.unpack_from("<IiiHHIIiiII", data, off)
        ncol = used or (1 << hbits if hbits <= 8 else 0)
        rows, and_at = decode_dib(data, off + hsize, w, h2 // 2, hbits, ncol)
        clear = [[bool(data[and_at + (h2 // 2 - 1 - y) * stride(w, 1) + x // 8] >> (7 - x % 8) & 1)
                  for x in range(w)] for y in range(h2 // 2)]
        images.append(dict(bw=bw, bh=bh, colours=colours, res=res, planes=planes, bits=bits, nbytes=nbytes,
                           off=off, hsize=hsize, w=w, h2=h2, hplanes=hplanes, hbits=hbits, comp=comp,
                           isize=isize, rows=rows, clear=clear, end=and_at + stride(w, 1) * (h2 // 2)))
    return images


def run_tool(src, out):
    return subprocess.run([sys.executable, TOOL, src, out], capture_output=True, text=True)


class Built(unittest.TestCase):
    """The real pictures, as the build makes them."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        r = run_tool(PICTURES, cls.tmp.name)
        assert r.returncode == 0, r.stderr
        cls.files = {}
        for name in os.listdir(cls.tmp.name):
            with open(os.path.join(cls.tmp.name, name), "rb") as f:
                cls.files[name] = f.read()

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_exactly_the_expected_files(self):
        self.assertEqual(sorted(self.files), sorted(EXPECTED))

    def test_bitmap_headers(self):
        for name, wanted in EXPECTED.items():
            if not name.endswith(".bmp"):
                continue
            w, h, bits = wanted
            with self.subTest(name):
                data = self.files[name]
                b = read_bmp(data)
                colours = 0 if bits == 24 else 1 << bits
                self.assertEqual((b["kind"], b["hsize"], b["planes"], b["comp"]), (b"BM", 40, 1, 0))
                self.assertEqual((b["w"], b["h"], b["bits"], b["used"]), (w, h, bits, colours))
                self.assertEqual(b["off"], 54 + 4 * colours)
                self.assertEqual(b["isize"], stride(w, bits) * h)
                self.assertEqual(b["size"], len(data))
                self.assertEqual(b["off"] + b["isize"], len(data))

    def test_icon_directories(self):
        for name, wanted in EXPECTED.items():
            if not name.endswith(".ico"):
                continue
            data = self.files[name]
            images = read_ico(data)
            self.assertEqual([(i["w"], i["h2"] // 2, i["hbits"]) for i in images], wanted, name)
            expect_off = 6 + 16 * len(images)
            for img, (w, h, bits) in zip(images, wanted):
                with self.subTest(name=name, size=w, bits=bits):
                    self.assertEqual((img["bw"], img["bh"], img["res"], img["planes"], img["bits"]), (w, h, 0, 1, bits))
                    self.assertEqual(img["colours"], 16 if bits == 4 else 0)
                    self.assertEqual((img["hsize"], img["h2"], img["hplanes"], img["comp"]), (40, 2 * h, 1, 0))
                    # entries are back to back and each covers exactly its header, palette, XOR and AND bits
                    self.assertEqual(img["off"], expect_off)
                    self.assertEqual(img["end"] - img["off"], img["nbytes"])
                    self.assertEqual(img["isize"], (stride(w, bits) + stride(w, 1)) * h)
                    expect_off += img["nbytes"]
                    # a clear pixel must be black in the XOR bits or it shows through inverted
                    for y in range(h):
                        for x in range(w):
                            if img["clear"][y][x]:
                                self.assertEqual(img["rows"][y][x], (0, 0, 0))
                    self.assertTrue(any(map(any, img["clear"])), "icon has no transparent pixels")
            self.assertEqual(expect_off, len(data))

    def test_display_panel_is_black_where_clock_and_time_are_drawn(self):
        rows = read_bmp(self.files["bm_main_back.bmp"])["rows"]
        for y in range(3, 17):
            for x in range(4, 72):
                self.assertEqual(rows[y][x], (0, 0, 0), (x, y))

    def test_clock_frames_differ_only_in_colour(self):
        shapes = []
        for i in range(4):
            rows = read_bmp(self.files[f"bm_clock_{i}.bmp"])["rows"]
            shapes.append([[c == (0, 0, 0) for c in row] for row in rows])
        self.assertTrue(all(s == shapes[0] for s in shapes))
        self.assertEqual(len({self.files[f"bm_clock_{i}.bmp"] for i in range(4)}), 4)

    def test_same_sources_give_same_bytes(self):
        with tempfile.TemporaryDirectory() as again:
            self.assertEqual(run_tool(PICTURES, again).returncode, 0)
            for name, data in self.files.items():
                with open(os.path.join(again, name), "rb") as f:
                    self.assertEqual(f.read(), data, name)


class Writer(unittest.TestCase):
    """Small made-up sources whose every pixel is known."""

    def build(self, text):
        self.src = tempfile.TemporaryDirectory()
        self.out = tempfile.TemporaryDirectory()
        self.addCleanup(self.src.cleanup)
        self.addCleanup(self.out.cleanup)
        with open(os.path.join(self.src.name, "a.txt"), "w") as f:
            f.write(text)
        return run_tool(self.src.name, self.out.name)

    def read(self, name):
        with open(os.path.join(self.out.name, name), "rb") as f:
            return f.read()

    R, G, B, W, K = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (0, 0, 0)

    def test_pixels_land_where_drawn(self):
        # odd widths so that row padding and nibble/bit order all matter
        r = self.build("image t4.bmp 3x2 4\nr ff0000\ng 00ff00\nb 0000ff\n"
                       "rgb\nbbr\n"
                       "image t1.bmp 9x2 1\n. ffffff\nX 000000\n"
                       "X.......X\n.X......X\n"
                       "image t24.bmp 3x2 24\nr ff0000\ng 00ff00\nb 0000ff\n"
                       "rgb\ngrr\n")
        self.assertEqual(r.returncode, 0, r.stderr)
        R, G, B, W, K = self.R, self.G, self.B, self.W, self.K
        self.assertEqual(read_bmp(self.read("t4.bmp"))["rows"], [[R, G, B], [B, B, R]])
        self.assertEqual(read_bmp(self.read("t1.bmp"))["rows"],
                         [[K, W, W, W, W, W, W, W, K], [W, K, W, W, W, W, W, W, K]])
        self.assertEqual(read_bmp(self.read("t24.bmp"))["rows"], [[R, G, B], [G, R, R]])

    def test_icon_images_keep_order_and_transparency(self):
        r = self.build("image i.ico 2x2 8\n. clear\nw ffffff\n.w\nw.\n"
                       "image i.ico 3x1 4\n. clear\nr ff0000\nK 000000\nr.K\n")
        self.assertEqual(r.returncode, 0, r.stderr)
        big, small = read_ico(self.read("i.ico"))
        self.assertEqual(big["rows"], [[self.K, self.W], [self.W, self.K]])
        self.assertEqual(big["clear"], [[True, False], [False, True]])
        self.assertEqual(small["rows"], [[self.R, self.K, self.K]])
        self.assertEqual(small["clear"], [[False, True, False]])

    def test_bad_sources_are_refused_with_the_place(self):
        bad = {
            "row too wide": "image a.bmp 2x1 4\nr ff0000\nrrr\n",
            "row missing": "image a.bmp 2x2 4\nr ff0000\nrr\n",
            "row too many": "image a.bmp 2x1 4\nr ff0000\nrr\nrr\n",
            "unknown key": "image a.bmp 2x1 4\nr ff0000\nrx\n",
            "too many colours": "image a.bmp 3x1 1\nr ff0000\ng 00ff00\nb 0000ff\nrgb\n",
            "clear in a bitmap": "image a.bmp 1x1 4\n. clear\n.\n",
            "depth": "image a.ico 1x1 24\nr ff0000\nr\n",
            "no image line": "r ff0000\n",
            "key twice": "image a.bmp 1x1 4\nr ff0000\nr 00ff00\nr\n",
        }
        for why, text in bad.items():
            with self.subTest(why):
                r = self.build(text)
                self.assertNotEqual(r.returncode, 0)
                self.assertIn("a.txt:", r.stderr)
                self.assertEqual(os.listdir(self.out.name), [])


if __name__ == "__main__":
    unittest.main()
