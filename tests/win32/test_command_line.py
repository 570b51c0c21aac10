#!/usr/bin/env python3
"""Quarvel.exe and QuarvelConfig.exe from a command line under Wine: their options,
standard output and exit statuses as on Linux, what a console run writes instead of
its message boxes, and a Start-menu run (no console, no handles) that shows only
windows."""
import os
import pty
import re
import shutil
import subprocess
import unittest

import wine_harness

QUARVEL = "platform/win32/programs/Quarvel.exe"
CONFIG = "platform/win32/programs/QuarvelConfig.exe"
WATCH = "tests/win32/window_probe.exe"
LAUNCH = "tests/win32/launch_probe.exe"
VERSION = os.environ.get("QUARVEL_VERSION", "4.0.0")
USAGE = "Usage: Quarvel [OPTION...] [--] [PORT [MAP LITE BLUETOOTH COORDINATES]]\n"
CONFIG_USAGE = "Usage: QuarvelConfig [OPTION...]\n"


class CommandLineUnderWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.wine = wine_harness.session().__enter__()
        cls.folder = wine_harness.work_dir() / "command-line"
        shutil.rmtree(cls.folder, ignore_errors=True)
        cls.folder.mkdir(parents=True)
        for program in (QUARVEL, CONFIG):
            shutil.copy(wine_harness.mingw_program(program), cls.folder)
        cls.watcher = cls.wine.start(wine_harness.mingw_program(WATCH), "watch")
        cls.watcher.wait_for_output("watching=1")

    @classmethod
    def tearDownClass(cls):
        cls.wine.__exit__(None, None, None)

    def run_program(self, exe, *args, via=()):
        """(exit status, standard output, standard error) of a run with pipes; via a
        Windows program (cmd /c) the path is a Windows one."""
        path = self.folder / exe
        if via:
            path = "Z:" + str(path).replace("/", "\\")
        program = self.wine.start(*via, path, *args)
        status = program.wait(120)
        return status, program.output(), program.errors().replace("\r\n", "\n")

    def boxes(self):
        return [line[len("msgbox="):] for line in self.watcher.output().splitlines()
                if line.startswith("msgbox=")]

    def test_answers_of_the_options(self):
        boxes = len(self.boxes())
        cases = [
            ("Quarvel.exe", ["--version"], 0, f"Quarvel {VERSION}\n", ""),
            ("Quarvel.exe", ["--help"], 0, USAGE, ""),
            ("Quarvel.exe", ["/?"], 0, USAGE, ""),
            ("Quarvel.exe", ["-h", "COM1:"], 0, USAGE, ""),
            ("Quarvel.exe", ["--frobnicate", "DEMO:"], 64, "",
             "Quarvel: unknown option '--frobnicate'\n\n" + USAGE),
            ("Quarvel.exe", ["--timeout", "soon"], 64, "",
             "Quarvel: option '--timeout': malformed value 'soon'\n\n" + USAGE),
            ("Quarvel.exe", ["--max-hdop", "0"], 64, "",
             "Quarvel: option '--max-hdop': malformed value '0'\n\n" + USAGE),
            ("Quarvel.exe", ["--terminal"], 64, "", "Quarvel: unknown option '--terminal'\n"),
            ("Quarvel.exe", ["--format", "wgs84", "DEMO:"], 64, "",
             "Quarvel: option '--format': malformed value 'wgs84'; the formats are "
             "ddm, url, dd, dms, utm, mgrs, plus, geo, osm, json\n\n" + USAGE),
            ("Quarvel.exe", ["--map-host", "http://x.example", "DEMO:"], 64, "",
             "Quarvel: option '--map-host': malformed value 'http://x.example'\n\n" + USAGE),
            ("QuarvelConfig.exe", ["--version"], 0, f"QuarvelConfig {VERSION}\n", ""),
            ("QuarvelConfig.exe", ["/?"], 0, CONFIG_USAGE, ""),
            ("QuarvelConfig.exe", ["COM1:"], 64, "",
             "QuarvelConfig: unexpected argument 'COM1:'\n\n" + CONFIG_USAGE),
        ]
        for exe, args, status, out, err in cases:
            with self.subTest(exe=exe, args=args):
                got = self.run_program(exe, *args)
                self.assertEqual(got[0], status, got)
                self.assertTrue(got[1].startswith(out) and (out or not got[1]), got[1])
                self.assertTrue(got[2].startswith(err) and (err or not got[2]), got[2])
        usage = self.run_program("Quarvel.exe", "--help")[1]
        for part in ("--no-clipboard", "--timeout SECONDS", "--version", "-h, --help, /?",
                     "--format NAME", "--map-host HOST",
                     " 4 no position", " 64 the command", "%APPDATA%\\Quarvel\\"):
            self.assertIn(part, usage)
        self.assertNotIn("--gui", usage, "the windows are always shown on Windows")
        self.assertEqual(self.boxes()[boxes:], [], "an answer on standard output opens no box")

    def test_position_on_standard_output(self):
        status, out, err = self.run_program("Quarvel.exe", "--no-clipboard", "DEMO:", "n", "0",
                                            "0", "1")
        self.assertEqual((status, out, err), (0, "N48°51.301 E2°17.698\n", ""))

    def test_a_format_and_a_map_host(self):
        cases = [
            (["--format", "json"], r'\{"lat":48\.85\d*,"lon":2\.29\d*,"alt":\d+\.\d+,'
             r'"time":"20\d\d-\d\d-\d\dT\d\d:\d\d:\d\d\.00Z","quality":1,"satellites":9,'
             r'"hdop":0\.9,"accuracy":null,"source":"DEMO:"\}\n'),
            (["--format=DMS"], r'48°51\'\d\d\.\d"N 2°17\'\d\d\.\d"E\n'),
            (["--map-host", "127.0.0.1:8080/m"],
             r"http://127\.0\.0\.1:8080/m/quarvel/\?lat=48\.85\d*&lon=2\.29\d*&t=h\n"),
        ]
        for args, line in cases:
            with self.subTest(args=args):
                status, out, err = self.run_program("Quarvel.exe", "--no-clipboard", *args,
                                                    "DEMO:", "h", "0", "0", "0")
                self.assertEqual((status, err), (0, ""), out)
                self.assertRegex(out, "^" + line + "$")

    def test_timeout_on_a_silent_port(self):
        self.wine.serial_port(1)
        status, out, err = self.run_program("Quarvel.exe", "--timeout", "2", "COM1:", "n", "0",
                                            "0", "1")
        self.assertEqual((status, out, err), (4, "", "Quarvel: no position within 2 seconds\n"))

    def test_a_gate_never_met_ends_with_the_best_fix(self):
        # The simulated receiver's fixes come from 9 satellites from its third second on.
        status, out, err = self.run_program("Quarvel.exe", "--timeout", "6", "--min-satellites",
                                            "12", "DEMO:", "n", "0", "0", "1")
        self.assertEqual((status, out, err), (4, "", "Quarvel: no position within 6 seconds\n"
                                              "Quarvel: best: HDOP 0.9, 9 satellites\n"))

    def test_a_console_run_writes_its_boxes_to_standard_error(self):
        # cmd hands its console on: the run writes the box and never waits for a click.
        boxes = len(self.boxes())
        status, out, err = self.run_program("Quarvel.exe", "COM7:", "n", "0", "0", "1",
                                            via=("cmd", "/c"))
        self.assertEqual((status, out), (1, ""))
        # The box's text, then its detail: the device tried and the system's words.
        first, detail = err.split("\n", 1)
        self.assertEqual(first, "Error! Error Opening Comms Port.")
        self.assertRegex(detail, r"^\\\\\.\\COM7: .+\n$")
        self.assertEqual(self.boxes()[boxes:], [])

    def on_a_terminal(self, *args):
        """What a Windows program printed when run on a pseudo-terminal, where Wine
        gives it a console whose Ctrl-C works (escape sequences dropped)."""
        master, slave = pty.openpty()
        process = subprocess.Popen(["wine", *args], env=self.wine.env, stdin=slave, stdout=slave,
                                   stderr=slave, start_new_session=True)
        os.close(slave)
        output = b""
        while True:
            try:
                chunk = os.read(master, 4096)
            except OSError:
                break
            if not chunk:
                break
            output += chunk
        process.wait(120)
        os.close(master)
        return re.sub(r"\x1b\[[0-9;?]*[A-Za-z]", "", output.decode("utf-8", "replace"))

    def test_ctrl_c_in_the_console_presses_stop(self):
        # The demo receiver has no fix for three seconds; Ctrl-C comes after one.
        out = self.on_a_terminal(wine_harness.mingw_program(LAUNCH), "--ctrl-c", "1000",
                                 self.folder / "Quarvel.exe", "DEMO:", "n", "0", "0", "1")
        self.assertIn("pressed=1", out)
        self.assertIn("exit=3", out)

    def test_a_start_menu_run_shows_only_windows(self):
        for exe, args, caption, text in [
            ("Quarvel.exe", ["/?"], "Quarvel.exe", USAGE.rstrip("\n")),
            ("QuarvelConfig.exe", ["--version"], "QuarvelConfig.exe", f"QuarvelConfig {VERSION}"),
            ("Quarvel.exe", ["--frobnicate"], "Error!", "Quarvel: unknown option '--frobnicate'"),
        ]:
            with self.subTest(exe=exe, args=args):
                seen = len(self.boxes())
                launch = self.wine.start(wine_harness.mingw_program(LAUNCH), self.folder / exe,
                                         *args)
                wine_harness.wait_for(lambda: len(self.boxes()) > seen, 60, what="a box")
                self.assertTrue(self.boxes()[seen].startswith(f"{caption}|{text}"),
                                self.boxes()[seen])
                self.wine.press(self.wine.find_window(caption), "Return")
                self.assertEqual(launch.wait(60), 0)
                status = 64 if caption == "Error!" else 0
                self.assertEqual(launch.values().get("exit"), str(status))


if __name__ == "__main__":
    wine_harness.skip_unless_ready(programs=(QUARVEL, CONFIG, WATCH, LAUNCH))
    unittest.main()
