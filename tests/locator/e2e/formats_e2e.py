#!/usr/bin/python3
"""--format and --map-host end to end: the real quarvel on a pseudo-terminal
receiver (support.FIX_GGA and FIX_RMC), standard output, a private X server's
clipboard and a settings.ini beside the program. Usage: formats_e2e.py QUARVEL."""
import json
import os
import shutil
import sys
import tempfile
import unittest

import support
from support import PtyReceiver, Quarvel, XServer, environment

MAP_HOST = os.environ.get("QUARVEL_MAP_HOST", "maps.quarvel.net")
NAMES = "ddm, url, dd, dms, utm, mgrs, plus, geo, osm, json"

# 5545.3480,N 03737.0380,E; utm and mgrs are GeoConvert's (-u, -m -p 0), plus the
# Open Location Code reference's.
LINES = {
    "ddm": "N55°45.348 E37°37.038",
    "url": f"http://{MAP_HOST}/quarvel/?lat=55.7558&lon=37.6173&t=n",
    "dd": "55.755800, 37.617300",
    "dms": "55°45'20.9\"N 37°37'02.3\"E",
    "utm": "37U 413224 6179767",
    "mgrs": "37UDB1322479766",
    "plus": "9G7VQJ48+8W",
    "geo": "geo:55.755800,37.617300",
    "osm": "https://www.openstreetmap.org/?mlat=55.755800&mlon=37.617300"
           "#map=17/55.755800/37.617300",
}
# GGA's altitude with its decimals, RMC's date and time, no accuracy without GST.
JSON = {"alt": 150.0, "time": "2026-01-07T12:00:01.00Z", "quality": 1, "satellites": 8,
        "hdop": 0.9, "accuracy": None}


class FormatRun(unittest.TestCase):
    def setUp(self):
        self.x = XServer()
        self.addCleanup(self.x.close)
        self.gps = PtyReceiver(fix_after=0.0)
        self.addCleanup(self.gps.close)

    def run_quarvel(self, args, words=("n", "0", "0", "0"), **kwargs):
        words = [self.gps.port] + list(words) if words is not None else []
        run = Quarvel(list(args) + words, environment(self.x.display), **kwargs)
        self.addCleanup(lambda: run.proc.poll() is None and run.proc.kill())
        status, out = run.finish()
        self.assertFalse(support.sanitizer_report(run.stderr), run.stderr)
        return status, out, run.stderr

    def test_each_format_on_standard_output(self):
        for name in NAMES.split(", "):
            with self.subTest(name):
                status, out, err = self.run_quarvel(["--no-clipboard", "--format", name])
                self.assertEqual(status, 0, err)
                if name != "json":
                    self.assertEqual(out, LINES[name] + "\n")
                    continue
                record = json.loads(out)
                self.assertAlmostEqual(record.pop("lat"), 55.7558, places=9)
                self.assertAlmostEqual(record.pop("lon"), 37.6173, places=9)
                self.assertEqual(record, dict(JSON, source=self.gps.port))
                self.assertIn('"alt":150.0,', out, "the altitude's decimal as sent")

    def test_formats_on_the_clipboard(self):
        cases = [("dms", "Coordinates copied"), ("osm", "URL copied")]
        for name, message in cases:
            with self.subTest(name):
                status, out, err = self.run_quarvel(["--format=" + name])
                self.assertEqual((status, out), (0, LINES[name] + "\n"), err)
                self.assertEqual(self.x.clipboard(), LINES[name])
                self.assertIn(message, err)

    def test_map_host_on_the_url(self):
        status, out, err = self.run_quarvel(["--map-host", "127.0.0.1:8080/maps"],
                                            words=("k", "1", "0", "0"))
        self.assertEqual(status, 0, err)
        self.assertEqual(out, "http://127.0.0.1:8080/maps/quarvel/?lat=55.7558&lon=37.6173"
                              "&t=k&s=1\n")

    def test_settings_file_with_a_format_and_a_map_host(self):
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder)
        program = os.path.join(folder, "quarvel")
        shutil.copy(support.QUARVEL, program)
        with open(os.path.join(folder, "settings.ini"), "w") as settings:
            # Coordinates only is on, yet the sixth line names the URL.
            settings.write("# COM port\n%s\n# Default map type\nh\n# Lite map\n0\n"
                           "# Bluetooth\n0\n# Coordinates only\n1\n# Format\nurl\n"
                           "# Map host\nmaps.example.org:81/q\n" % self.gps.port)
        url = "http://maps.example.org:81/q/quarvel/?lat=55.7558&lon=37.6173&t=h"
        cases = [([], url), (["--format", "dd"], LINES["dd"]),
                 (["--map-host", "[::1]:8000"], url.replace("maps.example.org:81/q", "[::1]:8000"))]
        for args, line in cases:
            with self.subTest(args=args):
                status, out, err = self.run_quarvel(args, words=None, program=program, cwd="/")
                self.assertEqual((status, out), (0, line + "\n"), err)
                self.assertEqual(self.x.clipboard(), line)

    def test_refused_values(self):
        cases = [
            (["--format", "wgs84"], "malformed value 'wgs84'; the formats are " + NAMES),
            (["--map-host", "maps.example.org/a b"], "--map-host': malformed value"),
        ]
        for args, text in cases:
            with self.subTest(args=args):
                status, out, err = self.run_quarvel(args)
                self.assertEqual((status, out), (64, ""), err)
                self.assertIn(text, err)
                self.assertNotIn("Loading settings", err)


if __name__ == "__main__":
    support.QUARVEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
