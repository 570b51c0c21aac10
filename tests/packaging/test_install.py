#!/usr/bin/env python3
"""cmake --install into a scratch prefix: every file where the desktop looks for it,
valid by the desktop's own checkers, and --version from the project's version."""
import os
import subprocess
import sys
import tempfile
import unittest

BUILD = VERSION = None
PROGRAMS = ("quarvel", "quarvel-config", "quarvel-decode")
APPS = ("org.quarvel.Quarvel", "org.quarvel.QuarvelConfig")
ICON_SIZES = ("16x16", "24x24", "32x32", "48x48", "64x64", "128x128", "256x256")


def run(*command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, timeout=120, **kwargs)


class Installed(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix="quarvel-install-")
        cls.prefix = cls.scratch.name
        result = run("cmake", "--install", BUILD, "--prefix", cls.prefix)
        assert result.returncode == 0, result.stderr

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def test_every_file_in_its_place(self):
        expected = [("bin", p) for p in PROGRAMS]
        expected += [("share/man/man1", p + ".1") for p in PROGRAMS]
        expected += [("share/applications", a + ".desktop") for a in APPS]
        expected += [(f"share/icons/hicolor/{s}/apps", a + ".png") for s in ICON_SIZES for a in APPS]
        expected += [("share/icons/hicolor/scalable/apps", a + ".svg") for a in APPS]
        expected += [("share/metainfo", "org.quarvel.Quarvel.metainfo.xml"),
                     ("share/quarvel", "per-user-settings")]
        missing = [os.path.join(*e) for e in expected if not os.path.isfile(self.path(*e))]
        self.assertEqual(missing, [])
        for program in PROGRAMS:
            self.assertTrue(os.access(self.path("bin", program), os.X_OK), program)

    def test_png_icons_have_the_size_of_their_folder(self):
        for size in ICON_SIZES:
            for app in APPS:
                with open(self.path(f"share/icons/hicolor/{size}/apps/{app}.png"), "rb") as f:
                    header = f.read(24)
                self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n", app)
                width, height = int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big")
                self.assertEqual(f"{width}x{height}", size, app)

    def test_desktop_entries_are_valid(self):
        for app in APPS:
            entry = self.path("share/applications", app + ".desktop")
            result = run("desktop-file-validate", entry)
            self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""), app)
            with open(entry) as f:
                keys = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
            self.assertEqual(keys["Icon"], app)
            self.assertTrue(keys["Comment"] and keys["Categories"], app)
            self.assertTrue(os.path.isfile(self.path("bin", keys["Exec"].split()[0])), keys["Exec"])

    def test_metainfo_is_valid(self):
        metainfo = self.path("share/metainfo/org.quarvel.Quarvel.metainfo.xml")
        result = run("appstreamcli", "validate", "--no-net", "--explain", metainfo)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        with open(metainfo) as f:
            self.assertIn(f'<release version="{VERSION}"', f.read())

    def test_manual_pages_format_without_warnings(self):
        for program in PROGRAMS:
            page = self.path("share/man/man1", program + ".1")
            result = run("groff", "-man", "-Tutf8", "-ww", "-z", page)
            self.assertEqual((result.returncode, result.stderr), (0, ""), program)
            with open(page) as f:
                text = f.read()
            self.assertIn(f'"Quarvel {VERSION}"', text)
            for section in (".SH SYNOPSIS", ".SH OPTIONS", ".SH EXIT STATUS", ".SH EXAMPLES"):
                self.assertIn(section, text, program)

    def test_version_is_the_projects(self):
        for program in PROGRAMS:
            result = run(self.path("bin", program), "--version", stdin=subprocess.DEVNULL)
            self.assertEqual((result.returncode, result.stdout), (0, f"{program} {VERSION}\n"),
                             program)


if __name__ == "__main__":
    BUILD, VERSION = sys.argv[1], sys.argv[2]
    del sys.argv[1:3]
    unittest.main()
