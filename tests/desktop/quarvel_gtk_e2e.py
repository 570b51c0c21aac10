#!/usr/bin/env python3
"""quarvel's status window and message boxes as GTK windows on a private desktop,
used through keys and clicks and read back through the accessibility tree."""
import os
import sys
import tempfile
import time
import unittest

from desktop import Desktop, TIMEOUT

QUARVEL = None


class QuarvelWindows(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop()

    @classmethod
    def tearDownClass(cls):
        cls.desktop.close()

    def run_quarvel(self, *words):
        self.home = tempfile.mkdtemp()
        return self.desktop.start([QUARVEL, "--gui", *words], cwd=self.home)

    def finish(self, process):
        out, err = process.communicate(timeout=TIMEOUT)
        process.stdout.close()
        process.stderr.close()
        return process.returncode, out, err

    def test_demo_copies_position_and_message_closes_with_enter(self):
        process = self.run_quarvel("DEMO:", "n", "0", "0", "1")
        self.desktop.node("quarvel", "label", "Quarvel 4.0")
        seen = set()

        def message_up():
            seen.update(self.desktop.texts("quarvel"))
            return self.desktop.windows("Quarvel!")
        self.desktop.wait_for("the Quarvel! message", message_up)
        self.assertIn("Quarvel 4.0", seen)
        self.assertIn("Waiting for GPS-data...", seen)
        box = self.desktop.windows("Quarvel!")[0]
        texts = self.desktop.texts("quarvel")
        self.assertTrue(any("copied" in t for t in texts), texts)
        self.desktop.key(box, "Return")
        code, out, err = self.finish(process)
        self.assertEqual(code, 0, err)
        line = out.strip()
        self.assertTrue(line)
        # The clipboard keeps the line after the window and the program have gone.
        self.assertEqual(self.desktop.x.clipboard(), line)

    def test_stop_while_waiting_ends_without_message(self):
        # A receiver that sends nothing: the wait lasts however slow the machine is.
        master, slave = os.openpty()
        self.addCleanup(os.close, master)
        port = os.ttyname(slave)
        os.close(slave)
        process = self.run_quarvel(port)
        stop = self.desktop.node("quarvel", "push button", "Stop")
        self.desktop.wait_for("waiting", lambda: "Waiting for GPS-data..." in
                              self.desktop.texts("quarvel"))
        self.desktop.click(self.desktop.wait_for_window("Quarvel"), stop)
        code, out, err = self.finish(process)
        self.assertEqual(code, 3, err)
        self.assertEqual(out, "")
        self.assertEqual(self.desktop.windows("Quarvel!"), [])

    def test_missing_port_shows_error(self):
        process = self.run_quarvel("ttyQuarvelMissing7")
        box = self.desktop.wait_for_window("Error!")
        self.desktop.wait_for("the error text", lambda: "Error Opening Comms Port." in
                              self.desktop.texts("quarvel"))
        self.desktop.key(box, "Return")
        code, _, err = self.finish(process)
        self.assertEqual(code, 1, err)


if __name__ == "__main__":
    QUARVEL = sys.argv.pop(1)
    unittest.main()
