#!/usr/bin/python3
"""A fix good enough, end to end on a pseudo-terminal: a receiver whose first fixes
are poor and later good, each gate, --average's mean of every passing fix, and a
gate never met. Usage: gates_e2e.py QUARVEL [unittest args]."""
import os
import sys
import tempfile
import unittest

import support
from support import CaptureReplay, Quarvel, environment, sentence

WORDS = ["n", "0", "0", "1"]  # the coordinates text


def gga(lat, lon, satellites, hdop):
    return sentence("GPGGA,120001.00,%s,N,%s,E,1,%02d,%.1f,150.0,M,14.0,M,," %
                    (lat, lon, satellites, hdop))


def gst(error):
    return sentence("GPGST,120001.00,1.0,,,,%.2f,%.2f,3.0" % (error, error))


# Poor: HDOP 25, 4 satellites, ±28 m; good: HDOP 0.8, 10 satellites, ±2.8 m.
POOR = gga("5612.345", "03812.345", 4, 25.0) + gst(20.0)
GOOD = gga("5545.348", "03737.038", 10, 0.8) + gst(2.0)
POOR_TEXT = "N56°12.345 E38°12.345"
GOOD_TEXT = "N55°45.348 E37°37.038"
NO_FIX_RMC = sentence("GNRMC,120001.00,V,,,,,,,070126,,,N")


class Gates(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def run_quarvel(self, options, first, first_seconds, later, timeout=None):
        """A receiver on a pseudo-terminal: `first` every 0.25 s for `first_seconds`,
        then `later`; each epoch led by an RMC without a fix."""
        capture = os.path.join(self.folder.name, "receiver.nmea")
        with open(capture, "w") as epochs:
            epochs.write((NO_FIX_RMC + first) * int(first_seconds * 4) + NO_FIX_RMC + later)
        receiver = CaptureReplay(capture, epoch_seconds=0.25)
        self.addCleanup(receiver.close)
        receiver.start()
        limit = ["--timeout", str(timeout)] if timeout else []
        run = Quarvel(["--no-clipboard"] + limit + options + [receiver.port] + WORDS,
                      environment())
        self.addCleanup(lambda: run.proc.poll() is None and run.proc.kill())
        status, out = run.finish()
        self.assertFalse(support.sanitizer_report(run.stderr), run.stderr)
        return status, out, run.stderr

    def test_each_gate_lets_only_the_good_fix_through(self):
        for options, text in [([], POOR_TEXT),  # no gate: the first fix, as always
                              (["--max-hdop", "2"], GOOD_TEXT),
                              (["--min-satellites", "8"], GOOD_TEXT),
                              (["--accuracy", "5"], GOOD_TEXT)]:
            with self.subTest(options):
                status, out, err = self.run_quarvel(options, POOR, 2.0, GOOD)
                self.assertEqual((status, out), (0, text + "\n"), err)

    def test_a_gate_never_met_says_what_it_waited_for_and_the_best_fix(self):
        better = gga("5612.345", "03812.345", 6, 3.5) + gst(5.0)
        best = "quarvel: best: HDOP 3.5, 6 satellites, accuracy 7.1 m\n"
        for options, waiting in [(["--max-hdop", "0.5"], "HDOP 3.5, waiting for 0.5"),
                                 (["--min-satellites", "12"], "6 satellites, waiting for 12"),
                                 (["--accuracy", "1"], "accuracy 7.1 m, waiting for 1.0 m")]:
            with self.subTest(options):
                status, out, err = self.run_quarvel(options, POOR, 1.0, better, timeout=3)
                self.assertEqual((status, out), (4, ""), err)
                self.assertIn("quarvel: no position within 3 seconds (%s)\n" % waiting, err)
                self.assertIn(best, err)

    def test_average_is_the_mean_of_every_passing_fix(self):
        # Two good fixes in each burst, of which a poll would see the second only; the
        # poor one between them counts for nothing.
        pair = (gga("5545.302", "03737.002", 10, 0.8) + POOR +
                gga("5545.401", "03737.101", 10, 0.8))
        status, out, err = self.run_quarvel(["--max-hdop", "2", "--average", "2"], POOR, 1.0, pair)
        self.assertEqual((status, out), (0, "N55°45.351 E37°37.051\n"), err)
        status, out, err = self.run_quarvel(["--average", "30"], POOR, 0.0, pair, timeout=3)
        self.assertEqual((status, out), (4, ""), err)
        self.assertRegex(err, r"quarvel: no position within 3 seconds \(averaging \d+ fixes, "
                              r"2[789] seconds left\)\nquarvel: best: HDOP 0.8, 10 satellites")

if __name__ == "__main__":
    support.QUARVEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
