#!/usr/bin/python3
"""The real quarvel program end to end: a receiver on a pseudo-terminal, the
clipboard of a private X server, settings beside the program, stops and
unplugged receivers. Usage: quarvel_e2e.py QUARVEL [unittest args]."""
import os
import shutil
import signal
import sys
import tempfile
import time
import unittest

import support
from support import CaptureReplay, PtyReceiver, Quarvel, XServer, environment

COORDINATES = "N55°45.348 E37°37.038"
# The map host the programs were built for (the build setting QUARVEL_MAP_HOST).
MAP_HOST = os.environ.get("QUARVEL_MAP_HOST", "maps.quarvel.net")
URL = f"http://{MAP_HOST}/quarvel/?lat=55.7558&lon=37.6173&t=k&s=1"


class QuarvelRun(unittest.TestCase):
    def setUp(self):
        self.x = XServer()
        self.addCleanup(self.x.close)

    def start(self, args, receiver=None, **kwargs):
        run = Quarvel(args, environment(self.x.display), **kwargs)
        self.addCleanup(lambda: run.proc.poll() is None and run.proc.kill())
        return run

    def assertClean(self, run):
        self.assertFalse(support.sanitizer_report(run.stderr), run.stderr)

    def receiver(self, **kwargs):
        receiver = PtyReceiver(**kwargs)
        self.addCleanup(receiver.close)
        return receiver


class PositionForms(QuarvelRun):
    cases = [
        # (launch words after the port, stdout and clipboard, final message)
        ("coordinates", ["n", "0", "0", "1"], COORDINATES,
         "Quarvel! Coordinates copied in your clipboard succefully!"),
        ("url", ["k", "1", "0", "0"], URL, "Quarvel! URL copied in your clipboard succefully!"),
    ]

    def test_fix_after_a_few_seconds(self):
        for name, words, text, message in self.cases:
            with self.subTest(name):
                receiver = self.receiver(fix_after=2.5)
                run = self.start([receiver.port] + words)
                self.assertTrue(run.wait_for_text("Waiting for GPS-data..."), run.stderr)
                status, out = run.finish()
                self.assertEqual(status, 0, run.stderr)
                self.assertEqual(out, text + "\n")
                self.assertEqual(self.x.clipboard(), text)
                self.assertIn(message, run.stderr)
                self.assertClean(run)

    def test_settings_file_beside_the_program_with_an_empty_command_line(self):
        receiver = self.receiver(fix_after=0.5)
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder)
        program = os.path.join(folder, "quarvel")
        shutil.copy(support.QUARVEL, program)
        with open(os.path.join(folder, "settings.ini"), "w") as settings:
            settings.write("# COM port\n%s\n# Default map type\nn\n# Lite map\n0\n"
                           "# Bluetooth\n0\n# Coordinates only\n1\n" % receiver.port)
        run = self.start([], program=program, cwd="/")
        status, out = run.finish()
        self.assertEqual((status, out), (0, COORDINATES + "\n"), run.stderr)
        self.assertEqual(self.x.clipboard(), COORDINATES)

    def test_demo_receiver(self):
        run = self.start(["DEMO:", "n", "0", "0", "1"])
        status, out = run.finish()
        self.assertEqual(status, 0, run.stderr)
        self.assertTrue(out.startswith("N48°51.") and " E2°17." in out, out)
        self.assertEqual(self.x.clipboard(), out.rstrip("\n"))
        self.assertClean(run)


class MultiGnssReceiver(QuarvelRun):
    capture = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "nmea", "data",
                           "ublox8_multi_gnss.nmea")

    def test_u_blox_8_capture_copies_its_fix_not_the_invalid_position_before_it(self):
        # Three seconds of GN sentences with the last session's position marked
        # invalid (quality 0, status V), then the fix; the wait spans them all.
        receiver = CaptureReplay(self.capture, epoch_seconds=0.5)
        self.addCleanup(receiver.close)
        run = self.start([receiver.port, "n", "0", "0", "1"])
        self.assertTrue(run.wait_for_text("Waiting for GPS-data..."), run.stderr)
        receiver.start()
        status, out = run.finish()
        self.assertEqual((status, out), (0, "N48°7.038 E11°31.512\n"), run.stderr)
        self.assertEqual(self.x.clipboard(), "N48°7.038 E11°31.512")
        self.assertClean(run)


class RunsThatCopyNothing(QuarvelRun):
    def test_missing_port(self):
        before = self.x.clipboard()
        run = self.start(["ttyUSB97", "n", "0", "0", "1"])
        status, out = run.finish()
        self.assertEqual((status, out), (1, ""), run.stderr)
        self.assertIn("Error! ", run.stderr)
        self.assertNotIn("Quarvel!", run.stderr)
        self.assertEqual(self.x.clipboard(), before)

    def test_interrupt_while_waiting(self):
        receiver = self.receiver(fix=False)
        run = self.start([receiver.port, "n", "0", "0", "1"])
        self.assertTrue(run.wait_for_text("Waiting for GPS-data..."), run.stderr)
        run.proc.send_signal(signal.SIGINT)
        status, out = run.finish()
        self.assertEqual((status, out), (3, ""), run.stderr)
        self.assertNotIn("Quarvel!", run.stderr)
        self.assertClean(run)

    def test_unplugged_receiver_costs_no_cpu_and_still_stops(self):
        receiver = self.receiver(fix=False)
        run = self.start([receiver.port, "n", "0", "0", "1"])
        self.assertTrue(run.wait_for_text("Waiting for GPS-data..."), run.stderr)
        time.sleep(1.0)
        receiver.unplug()
        before = run.cpu_seconds()
        time.sleep(4.0)
        spent = run.cpu_seconds() - before
        print("CPU over 4 s unplugged: %.2f s" % spent, file=sys.stderr)
        # A reader spinning on the dead line would burn close to 4 s here.
        self.assertLess(spent, 1.0, "CPU seconds over 4 s with the receiver gone")
        self.assertIsNone(run.proc.poll(), "the run ended by itself")
        run.proc.send_signal(signal.SIGINT)
        status, out = run.finish()
        self.assertEqual((status, out), (3, ""), run.stderr)
        self.assertClean(run)

    def test_help(self):
        for flag in ("--help", "-h"):
            with self.subTest(flag):
                run = self.start([flag])
                status, out = run.finish()
                self.assertEqual(status, 0)
                self.assertIn("Exit status:", out)
                self.assertNotIn("Loading settings...", run.stderr)


if __name__ == "__main__":
    support.QUARVEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
