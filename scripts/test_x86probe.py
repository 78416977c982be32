#!/usr/bin/env python3
"""Checks how x86probe.py reads the ways its program may fail to run: a folder
that refuses every program (noexec) is passed over, and is never taken for a
kernel without 32-bit code. The refusals are made here; the shell script that
tries a folder runs for real, so its folders are made where one does run: in
the build folder given (default: the repository's build/), else $TMPDIR, else
/dev/shm. On the hosts the probe is for, $TMPDIR is often mounted noexec.

Run: python3 scripts/test_x86probe.py [BUILD_FOLDER]
"""
import contextlib
import errno
import importlib.util
import io
import os
import shutil
import sys
import tempfile
import unittest
from unittest import mock

spec = importlib.util.spec_from_file_location("x86probe", os.path.join(os.path.dirname(__file__), "x86probe.py"))
probe = importlib.util.module_from_spec(spec)
spec.loader.exec_module(probe)
real_run = probe.run

NOEXEC = PermissionError(errno.EACCES, "Permission denied")
REFUSED = OSError(errno.ENOEXEC, "Exec format error")

HERE = os.path.dirname(os.path.abspath(__file__))
# A first argument that is no unittest option names the build folder.
if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
    BUILD = sys.argv.pop(1)
else:
    BUILD = os.path.join(HERE, "..", "build")


def runnable_place():
    """The first of the candidate folders where a shell script really runs."""
    tried = []
    for place in [BUILD, tempfile.gettempdir(), "/dev/shm"]:
        try:
            os.makedirs(place, exist_ok=True)
            work = tempfile.mkdtemp(prefix="test_x86probe.", dir=place)
        except OSError as e:
            tried.append(f"{place} ({e.strerror})")
            continue
        try:
            if real_run(work, "native", probe.NATIVE) == 0:
                return place
            tried.append(f"{place} (the script failed)")
        except OSError as e:
            tried.append(f"{place} ({e.strerror})")
        finally:
            shutil.rmtree(work, ignore_errors=True)
    raise RuntimeError("no folder lets a shell script run: " + ", ".join(tried))


def answer(place, noexec_folders, x86):
    """The probe's exit code and line over two folders A and B in place, those
    named in noexec_folders refusing every program; the x86 program raises x86
    or returns it as its exit code."""
    with tempfile.TemporaryDirectory(dir=place) as a, tempfile.TemporaryDirectory(dir=place) as b:
        names = {a: "A", b: "B"}

        def run(folder, name, content):
            if names[os.path.dirname(folder)] in noexec_folders:
                raise NOEXEC
            if name != "x86":
                return real_run(folder, name, content)
            if isinstance(x86, OSError):
                raise x86
            return x86

        out = io.StringIO()
        with mock.patch.object(probe, "run", run), mock.patch("sys.argv", ["x86probe.py", a, b]):
            with contextlib.redirect_stdout(out), unittest.TestCase().assertRaises(SystemExit) as end:
                probe.main()
        line = out.getvalue().strip()
        for folder, name in names.items():
            line = line.replace(folder, name)
        return end.exception.code, line


class ProbeTest(unittest.TestCase):
    def test_answers(self):
        place = runnable_place()
        kernel = "this kernel runs no 32-bit code"
        nowhere = "programs may not run in A (Permission denied), B (Permission denied):"
        for noexec_folders, x86, code, line in [
            ("", probe.EXIT_CODE, 0, ""),
            ("", REFUSED, 1, kernel),
            ("", 0, 1, kernel),  # ran, but not as written
            ("A", REFUSED, 1, kernel),  # B answered
            ("A", probe.EXIT_CODE, 0, ""),
            ("AB", REFUSED, 2, nowhere),
            ("", NOEXEC, 2, nowhere),  # the shell script ran, the program did not
        ]:
            with self.subTest(noexec=noexec_folders, x86=x86):
                got_code, got_line = answer(place, noexec_folders, x86)
                self.assertEqual(got_code, code)
                self.assertTrue(got_line.startswith(line) if line else got_line == "", got_line)


if __name__ == "__main__":
    unittest.main()
