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

    def run_quarvel(self, *words, env=None):
        self.home = tempfile.mkdtemp()
        return self.desktop.start([QUARVEL, "--gui", *words], cwd=self.home, env=env)

    def silent_port(self):
        """A receiver that sends nothing: the wait lasts however slow the machine is."""
        master, slave = os.openpty()
        self.addCleanup(os.close, master)
        port = os.ttyname(slave)
        os.close(slave)
        return port

    def box_texts(self, caption, first_line):
        """The labels of the box from its exact first line on, once it is up."""
        self.desktop.wait_for_window(caption)

        def up():
            texts = self.desktop.texts("quarvel")
            return texts[texts.index(first_line):] if first_line in texts else None
        return self.desktop.wait_for(f"the box {first_line!r}", up)

    def screenshot(self, name):
        """For a person to look at: QUARVEL_SCREENSHOTS names a folder to keep them in."""
        folder = os.environ.get("QUARVEL_SCREENSHOTS")
        if folder:
            self.desktop.screenshot(os.path.join(folder, name + ".png"))

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
        # What was copied, under the box's exact first line.
        shown = self.box_texts("Quarvel!", "Coordinates copied in your clipboard succefully!")
        self.screenshot("quarvel-gtk-copied")
        self.desktop.key(box, "Return")
        code, out, err = self.finish(process)
        self.assertEqual(code, 0, err)
        line = out.strip()
        self.assertTrue(line)
        self.assertEqual(shown[1:2], [line], "the copied text as the box's secondary text")
        # The clipboard keeps the line after the window and the program have gone.
        self.assertEqual(self.desktop.x.clipboard(), line)

    def test_stop_while_waiting_ends_without_message(self):
        def click_stop(window):
            self.desktop.click(window, self.desktop.node("quarvel", "push button", "Stop"))

        def press_escape(window):
            self.desktop.key(window, "Escape")
        for how, stop in (("the Stop button", click_stop), ("Esc", press_escape)):
            with self.subTest(how):
                process = self.run_quarvel(self.silent_port())
                self.desktop.wait_for("waiting", lambda: "Waiting for GPS-data..." in
                                      self.desktop.texts("quarvel"))
                stop(self.desktop.wait_for_window("Quarvel"))
                code, out, err = self.finish(process)
                self.assertEqual(code, 3, f"after {how}: {err}")
                self.assertEqual(out, "")
                self.assertEqual(self.desktop.windows("Quarvel!"), [])

    def test_silent_receiver_shows_why_the_wait_goes_on(self):
        process = self.run_quarvel(self.silent_port())
        stop = self.desktop.node("quarvel", "push button", "Stop")

        lines = ["Waiting for GPS-data...", "no data from the port yet"]

        def detail_under_status():
            texts = self.desktop.texts("quarvel")
            return any(texts[at:at + 2] == lines for at in range(len(texts)))
        self.desktop.wait_for(f"{lines} as two lines, one under the other", detail_under_status)
        self.screenshot("quarvel-gtk-waiting")
        self.desktop.click(self.desktop.wait_for_window("Quarvel"), stop)
        code, _, err = self.finish(process)
        self.assertEqual(code, 3, err)

    def test_missing_port_shows_error(self):
        process = self.run_quarvel("ttyQuarvelMissing7")
        box = self.desktop.wait_for_window("Error!")
        self.desktop.wait_for("the error text", lambda: "Error Opening Comms Port." in
                              self.desktop.texts("quarvel"))
        # The system's reason as the secondary text under the exact first line.
        shown = self.box_texts("Error!", "Error Opening Comms Port.")
        self.assertEqual(shown[1:2], ["/dev/ttyQuarvelMissing7: No such file or directory"])
        self.screenshot("quarvel-gtk-port-error")
        self.desktop.key(box, "Return")
        code, _, err = self.finish(process)
        self.assertEqual(code, 1, err)

    def test_refused_clipboard_says_why_and_where_the_position_is(self):
        # No xclip or xsel on PATH: the display has no tool to take the text.
        env = dict(os.environ, PATH=tempfile.mkdtemp())
        process = self.run_quarvel("DEMO:", "n", "0", "0", "1", env=env)
        shown = self.box_texts("Error!", "The position could not be copied to the clipboard.")
        self.screenshot("quarvel-gtk-clipboard-refused")
        self.desktop.key(self.desktop.wait_for_window("Error!"), "Return")
        code, out, err = self.finish(process)
        self.assertEqual(code, 2, err)
        self.assertEqual(shown[1:2], ["no clipboard tool installed (xclip or xsel)\n"
                                      "The position is on standard output: " + out.strip()])


if __name__ == "__main__":
    QUARVEL = sys.argv.pop(1)
    unittest.main()
