#!/usr/bin/env python3
"""quarvel-config's form, name dialog and message boxes as GTK windows on a
private desktop, used through keys and clicks and read back through the
accessibility tree and the files it writes."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

from desktop import Desktop, TIMEOUT

BINARY = None
APP = "quarvel-config"
BY_ID = "usb-u-blox_AG_-_www.u-blox.com_u-blox_7_-_GPS_GNSS_Receiver-if00"


class ConfigWindows(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)
        self.root = tempfile.mkdtemp(prefix="quarvel-config-gtk-")
        self.bin = os.path.join(self.root, "bin")
        self.data = os.path.join(self.root, "data")
        os.makedirs(self.bin)
        self.program = os.path.join(self.bin, "quarvel-config")
        shutil.copy(BINARY, self.program)
        # A receiver plugged in, offered by its stable name.
        devices = os.path.join(self.root, "dev")
        os.makedirs(os.path.join(devices, "serial", "by-id"))
        os.symlink("../../ttyACM0", os.path.join(devices, "serial", "by-id", BY_ID))
        os.environ.update(HOME=self.root, XDG_DATA_HOME=self.data,
                          XDG_CONFIG_HOME=os.path.join(self.root, "config"),
                          QUARVEL_DEVICE_DIR=devices)
        self.process = self.desktop.start([self.program, "--gui"], cwd="/")
        self.addCleanup(self.stop)
        self.desktop.node(APP, "label", "GPS:")
        self.form = self.desktop.wait_for_window("Quarvel")

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.communicate(timeout=TIMEOUT)

    def checked(self, name):
        node = self.desktop.node(APP, "check box", name)
        return node.getState().contains(self.desktop.atspi.STATE_CHECKED)

    def save(self, item_keys):
        """Save, then the pop-up's item reached by those keys."""
        self.desktop.click(self.form, self.desktop.node(APP, "push button", "Save"))
        self.desktop.node(APP, "menu item", "Main config")
        subprocess.run(["xdotool", "key", *item_keys, "Return"], check=True)

    def answer_box(self, caption, text, keys=("Return",)):
        box = self.desktop.wait_for_window(caption)
        self.desktop.wait_for(text, lambda: text in self.desktop.texts(APP))
        self.desktop.key(box, *keys)
        self.desktop.wait_for(f"{caption} closed", lambda: not self.desktop.windows(caption))

    def new_window(self, name, known):
        return self.desktop.wait_for(f"a new {name} window", lambda: [
            w for w in self.desktop.windows(name) if w not in known])[0]

    def button(self, window, label):
        found = self.desktop.wait_for(f"button {label!r}", lambda: [
            n for r, t, n in self.desktop.nodes(APP) if r == "push button" and t == label])
        self.desktop.click(window, found[-1])

    def name_dialog(self, name):
        """Save / Shortcut, the name typed and Ok; the name dialog's window."""
        self.save(["Down"])
        self.desktop.node(APP, "label", "Enter shortcut name:")
        dialog = self.new_window("Quarvel", [self.form])
        self.desktop.type(dialog, name)
        self.button(dialog, "Ok")
        return dialog

    def test_defaults_port_change_main_config_and_shortcuts(self):
        self.assertEqual([self.checked(n) for n in ("Bluetooth:", "Coordinates only:",
                                                   "Lite map:")], [False, False, True])
        # The port field has the focus with its text selected: typing replaces it.
        self.desktop.type(self.form, "COM4:")
        self.save([])
        self.answer_box("Ok!", "Config saved successfully!")
        with open(os.path.join(self.bin, "settings.ini"), "rb") as f:
            self.assertEqual(f.read(), b"# COM port\nCOM4:\n# Default map type\nn\n# Lite map\n"
                                       b"1\n# Bluetooth\n0\n# Coordinates only\n0\n")

        # A second start on the desktop brings this form forward and ends at once.
        second = subprocess.run([self.program, "--gui"], stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=TIMEOUT)
        self.assertEqual(second.returncode, 0, second.stderr)
        self.assertEqual(len(self.desktop.windows("Quarvel")), 1)

        self.name_dialog("GPS")
        self.answer_box("Ok!", "Shortcut saved successfully!")
        programs = os.path.join(self.data, "applications")
        target = os.path.join(self.bin, "quarvel")
        with open(os.path.join(programs, "GPS.lnk")) as f:
            self.assertEqual(f.read(), f'{len(target) + 2}#"{target}" COM4: n 1 0 0')

        # The same name again asks first; No writes nothing and keeps the dialog.
        before = os.stat(os.path.join(programs, "GPS.lnk")).st_mtime_ns
        dialog = self.name_dialog("GPS")
        question = self.new_window("Quarvel", [self.form, dialog])  # the box's caption
        self.desktop.wait_for("the question", lambda: "This file already exists. Overwrite?"
                              in self.desktop.texts(APP))
        self.button(question, "No")
        self.desktop.wait_for("the question closed", lambda: "This file already exists. "
                              "Overwrite?" not in self.desktop.texts(APP))
        self.assertEqual(os.stat(os.path.join(programs, "GPS.lnk")).st_mtime_ns, before)
        self.assertIn("Enter shortcut name:", self.desktop.texts(APP))

        # Cancel, then Exit, closes the program.
        self.button(dialog, "Cancel")
        self.desktop.wait_for("the name dialog closed", lambda: "Enter shortcut name:"
                              not in self.desktop.texts(APP))
        self.button(self.form, "Exit")
        self.assertEqual(self.process.wait(timeout=TIMEOUT), 0)

    def test_a_save_keeps_the_sixth_and_seventh_values(self):
        self.button(self.form, "Exit")
        self.assertEqual(self.process.wait(timeout=TIMEOUT), 0)
        text = (b"# COM port\nCOM2:\n# Default map type\nh\n# Lite map\n0\n# Bluetooth\n1\n"
                b"# Coordinates only\n0\n# Format\nmgrs\n# Map host\nmaps.example.org/q\n")
        settings = os.path.join(self.bin, "settings.ini")
        with open(settings, "wb") as f:
            f.write(text)
        self.process = self.desktop.start([self.program, "--gui"], cwd="/")
        self.desktop.node(APP, "label", "Format:")
        self.form = self.desktop.wait_for_window("Quarvel")
        self.save([])
        self.answer_box("Ok!", "Config saved successfully!")
        with open(settings, "rb") as f:
            self.assertEqual(f.read(), text)

    def box(self, node):
        extents = node.queryComponent().getExtents(self.desktop.atspi.WINDOW_COORDS)
        return extents.x, extents.y, extents.width, extents.height

    def test_labels_and_fields_line_up_and_a_by_id_name_reads_whole(self):
        nodes = self.desktop.nodes(APP)
        named = {(role, name): node for role, name, node in nodes}
        combos = [node for role, _, node in nodes if role == "combo box"]
        fields = {"GPS:": combos[0], "Map type:": combos[1], "Format:": combos[2]}
        places = {name: (self.box(named["label", name]),
                         self.box(fields.get(name) or named["check box", name]))
                  for name in ("GPS:", "Bluetooth:", "Coordinates only:", "Map type:", "Lite map:",
                               "Format:")}
        starts = {name: (label[0], field[0]) for name, (label, field) in places.items()}
        self.assertEqual(len(set(starts.values())), 1, f"label and field starts: {starts}")
        for name, ((lx, ly, lw, lh), (fx, fy, fw, fh)) in places.items():
            self.assertGreaterEqual(fx, lx + lw, f"{name} overlaps its field")
            self.assertTrue(fy <= ly + lh / 2 <= fy + fh, f"{name} not beside its field")
        # The format list is the last field, under Lite map.
        _, lite_y, _, lite_h = places["Lite map:"][1]
        _, last_y, _, last_h = places["Format:"][1]
        self.assertGreaterEqual(last_y, lite_y + lite_h, "the format list is not under Lite map")
        copyright_y = self.box(named["label", "(c) 2026 the Quarvel team"])[1]
        self.assertLessEqual(copyright_y - (last_y + last_h), 24, "a band above the copyright")
        # The offered by-id name fits the port field, as GTK measures it.
        import gi
        gi.require_version("Gtk", "4.0")
        from gi.repository import Gtk
        Gtk.init()
        text, _ = Gtk.Entry().create_pango_layout("/dev/serial/by-id/" + BY_ID).get_pixel_size()
        self.assertGreaterEqual(self.box(named["text", "GtkEntry"])[2], text, "the name is cut")

if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main()
