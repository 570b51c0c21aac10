#!/usr/bin/env python3
"""Which front end quarvel shows on a desktop (a private Xvfb): a run that belongs
to a terminal stays there even with standard input from /dev/null; a run of no
terminal opens its window."""
import fcntl
import os
import subprocess
import sys
import termios
import threading
import time
import unittest

from desktop import Desktop, TIMEOUT

QUARVEL = None


class FrontEndOnADesktop(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop()

    @classmethod
    def tearDownClass(cls):
        cls.desktop.close()

    def start(self, options, in_terminal):
        """quarvel DEMO: n 0 0 1 </dev/null in its own session, with a pseudo-terminal
        as its controlling terminal and standard error, or with none; the terminal's
        output is gathered in self.drawn."""
        self.drawn = b""
        stderr, preexec = subprocess.PIPE, None
        if in_terminal:
            master, slave = os.openpty()
            self.addCleanup(os.close, master)
            stderr = slave
            preexec = lambda: fcntl.ioctl(2, termios.TIOCSCTTY, 0)  # noqa: E731

            def gather():
                while True:
                    try:
                        chunk = os.read(master, 4096)
                    except OSError:
                        return
                    if not chunk:
                        return
                    self.drawn += chunk
            threading.Thread(target=gather, daemon=True).start()
        process = subprocess.Popen([QUARVEL, *options, "DEMO:", "n", "0", "0", "1"],
                                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=stderr, start_new_session=True,
                                   preexec_fn=preexec)
        if in_terminal:
            os.close(slave)
        return process

    def test_front_end_follows_the_terminal_of_the_run(self):
        cases = [  # name, options, in a terminal, window expected
            ("in a terminal, standard input from /dev/null", [], True, False),
            ("no terminal (setsid)", [], False, True),
            ("--gui in a terminal", ["--gui"], True, True),
            ("--terminal without a terminal", ["--terminal"], False, False),
        ]
        for name, options, in_terminal, window in cases:
            with self.subTest(name):
                process = self.start(options, in_terminal)
                seen_window = False
                deadline = time.monotonic() + TIMEOUT
                while process.poll() is None and time.monotonic() < deadline:
                    seen_window = seen_window or bool(self.desktop.windows("Quarvel"))
                    for box in self.desktop.windows("Quarvel!")[:1]:
                        subprocess.run(["xdotool", "windowfocus", box, "key", "Return"])
                    time.sleep(0.1)
                if process.poll() is None:
                    process.kill()
                out, _ = process.communicate(timeout=TIMEOUT)
                self.assertEqual(seen_window, window, f"{name}: window shown: {seen_window}")
                self.assertEqual(process.returncode, 0, name)
                self.assertEqual(out.decode(), "N48°51.301 E2°17.698\n", f"{name}: standard output")
                if in_terminal and not window:
                    self.assertIn(b"Waiting for GPS-data...", self.drawn,
                                  f"{name}: the terminal front end drew no status line")


if __name__ == "__main__":
    QUARVEL = sys.argv.pop(1)
    unittest.main()
