#!/usr/bin/python3
"""quarvel's terminal front end on a real terminal (a tmux pane): the title, the
status line and its Stop hint, Esc and q stopping, a message box waiting for
Enter. Usage: tmux_e2e.py QUARVEL [unittest args]."""
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import support
from support import PtyReceiver, XServer, wait_for


class TerminalFrontEnd(unittest.TestCase):
    def setUp(self):
        self.x = XServer()
        self.addCleanup(self.x.close)
        self.folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.sessions = 0

    def tmux(self, *args, socket=None):
        return subprocess.run(["tmux", "-S", socket or self.socket] + list(args), stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              timeout=support.PATIENCE).stdout.decode(errors="replace")

    def start(self, words):
        receiver = PtyReceiver(fix_after=1.0, fix=words[-1] == "fix")
        self.addCleanup(receiver.close)
        command = "env -u WAYLAND_DISPLAY DISPLAY=%s %s %s n 0 0 1; echo EXIT=$?; sleep 600" % (
            self.x.display, shlex.quote(support.QUARVEL), receiver.port)
        # A server of its own per run, so no dying one is ever reused.
        self.sessions += 1
        self.socket = os.path.join(self.folder, "tmux%d" % self.sessions)
        self.addCleanup(self.tmux, "kill-server", socket=self.socket)
        self.tmux("new-session", "-d", "-x", "100", "-y", "12", command)

    def screen(self):
        return self.tmux("capture-pane", "-p")

    def wait_screen(self, *texts):
        found = wait_for(lambda: all(text in self.screen() for text in texts))
        self.assertTrue(found, "never on screen: %r\n%s" % (texts, self.screen()))
        self.assertFalse(support.sanitizer_report(self.screen()), self.screen())

    def test_stop_keys_end_the_wait(self):
        for key in ("Escape", "q"):
            with self.subTest(key):
                self.start(["nofix"])
                # The receiver sends GGA without a fix, and no satellites.
                self.wait_screen("Quarvel 4.0", "Waiting for GPS-data... (no fix yet)", "Esc/q: Stop")
                self.tmux("send-keys", key)
                self.wait_screen("EXIT=3")
                self.assertNotIn("Quarvel!", self.screen())
                self.tmux("kill-server")

    def test_message_box_waits_for_enter(self):
        self.start(["fix"])
        self.wait_screen("Quarvel! Coordinates copied in your clipboard succefully!", "[Enter]")
        time.sleep(1.0)
        self.assertNotIn("EXIT=", self.screen(), "the box did not wait for Enter")
        self.tmux("send-keys", "Enter")
        self.wait_screen("EXIT=0", "N55°45.348 E37°37.038")
        self.assertEqual(self.x.clipboard(), "N55°45.348 E37°37.038")


if __name__ == "__main__":
    support.QUARVEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
