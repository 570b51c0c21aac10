#!/usr/bin/env python3
"""quarvel DEMO: n 0 0 1 </dev/null on a desktop (a private Xvfb): a run that
belongs to a terminal stays there; a run of no terminal opens its window."""
import fcntl
import os
import subprocess
import sys
import termios
import time
import unittest

from desktop import Desktop, TIMEOUT

QUARVEL = None


class FrontEndOnADesktop(unittest.TestCase):
    def test_front_end_follows_the_terminal_of_the_run(self):
        desktop = Desktop()
        self.addCleanup(desktop.close)
        cases = [  # name, options, a pseudo-terminal as its controlling terminal, window
            ("in a terminal, standard input from /dev/null", [], True, False),
            ("no terminal (setsid)", [], False, True),
            ("--gui in a terminal", ["--gui"], True, True),
        ]
        for name, options, in_terminal, window in cases:
            master, slave = os.openpty()
            process = subprocess.Popen(
                [QUARVEL, *options, "DEMO:", "n", "0", "0", "1"], stdin=subprocess.DEVNULL,
                stdout=subprocess.PIPE, stderr=slave if in_terminal else subprocess.DEVNULL,
                start_new_session=True,
                preexec_fn=(lambda: fcntl.ioctl(2, termios.TIOCSCTTY, 0)) if in_terminal else None)
            os.close(slave)
            seen_window, deadline = False, time.monotonic() + TIMEOUT
            while process.poll() is None and time.monotonic() < deadline:
                seen_window = seen_window or bool(desktop.windows("Quarvel"))
                for box in desktop.windows("Quarvel!")[:1]:  # the success message
                    subprocess.run(["xdotool", "windowfocus", box, "key", "Return"])
                time.sleep(0.1)
            process.kill()
            out, _ = process.communicate(timeout=TIMEOUT)
            os.set_blocking(master, False)
            try:
                drawn = os.read(master, 1 << 16)  # the status line's few redraws
            except OSError:
                drawn = b""
            os.close(master)
            self.assertEqual(seen_window, window, f"{name}: window shown: {seen_window}")
            self.assertEqual(process.returncode, 0, name)
            # The simulated receiver wanders a little: a slow run copies a later fix.
            self.assertRegex(out.decode(), r"^N48°51\.\d+ E2°17\.\d+\n$",
                             f"{name}: standard output")
            if in_terminal and not window:
                self.assertIn(b"Waiting for GPS-data...", drawn, f"{name}: no status line drawn")


if __name__ == "__main__":
    QUARVEL = sys.argv.pop(1)
    unittest.main()
