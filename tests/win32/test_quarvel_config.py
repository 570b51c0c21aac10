#!/usr/bin/env python3
"""QuarvelConfig.exe under Wine: the form's defaults without settings.ini, a port
typed in, "Main config" from the Save soft key's menu, the format list, and a named
shortcut."""
import shutil
import unittest

import wine_harness

CONFIG = "platform/win32/programs/QuarvelConfig.exe"
WATCH = "tests/win32/window_probe.exe"

# Port | map type | lite map | Bluetooth | coordinates only | map combo enabled | lite box enabled
DEFAULTS = "COM1:|Normal|1|0|0|1|1"


def settings_text(port, letter, lite, bluetooth, coordinates, *later):
    """later: the values after the fifth, "# Format" and "# Map host"."""
    lines = ["# COM port", port, "# Default map type", letter, "# Lite map", lite,
             "# Bluetooth", bluetooth, "# Coordinates only", coordinates]
    for comment, value in zip(("# Format", "# Map host"), later):
        lines += [comment, value]
    return "".join(line + "\r\n" for line in lines).encode()  # text mode: CR LF


class QuarvelConfigUnderWine(unittest.TestCase):
    def setUp(self):
        self.wine = wine_harness.session().__enter__()
        self.addCleanup(self.wine.__exit__, None, None, None)
        self.folder = wine_harness.work_dir() / "config-run"
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)
        shutil.copy(wine_harness.mingw_program(CONFIG), self.folder / "QuarvelConfig.exe")
        self.watcher = self.wine.start(wine_harness.mingw_program(WATCH), "watch")
        self.watcher.wait_for_output("watching=1")
        self.config = self.wine.start(self.folder / "QuarvelConfig.exe")
        self.form = self.wine.find_window("Quarvel")

    def reported(self, key):
        prefix = key + "="
        return [l[len(prefix):] for l in self.watcher.output().splitlines() if l.startswith(prefix)]

    def wait_reported(self, key, value, timeout=60.0):
        wine_harness.wait_for(lambda: value in self.reported(key), timeout,
                              what=f"{key} {value!r}; the watcher saw {self.watcher.output()!r}")

    def probe(self, *args):
        code, out = self.wine.run(wine_harness.mingw_program(WATCH), *args)
        self.assertEqual(code, 0, out)
        return out

    def click_control(self, control_id):
        """A real mouse click in the middle of the control."""
        x, y, width, height = (int(v) for v in
                               wine_harness.parse_values(self.probe("rect", str(control_id)))["rect"].split(","))
        self.wine.xdotool("mousemove", "--sync", str(x + min(width // 4, 20)), str(y + height // 2))
        self.wine.xdotool("click", "1")

    def type_port(self, text):
        self.click_control(1018)
        self.wine.xdotool("key", "End", *["BackSpace"] * 12)
        self.wine.xdotool("type", "--delay", "30", text)

    def save_menu(self, item_position):
        """Opens the Save soft key's pop-up and picks its nth item by keyboard."""
        self.click_control(40020)
        self.wine.xdotool("key", "--delay", "100", *["Down"] * item_position, "Return")

    def dismiss(self, caption):
        self.wine.press(self.wine.find_window(caption), "Return")

    def exit_form(self):
        self.probe("click", "102")  # the left soft key, Exit
        self.assertEqual(self.config.wait(60), 0)

    def placement(self, control_id):
        values = wine_harness.parse_values(self.probe("placement", str(control_id)))
        window, work = ([int(v) for v in values[k].split(",")] for k in ("window", "work"))
        return window, work, values["minimizebox"]

    def assert_centred(self, window, over, what):
        for axis in (0, 1):  # x, then y: the middles within a pixel or two
            middle, expected = (window[axis] + window[axis + 2]) / 2, (over[axis] + over[axis + 2]) / 2
            self.assertLessEqual(abs(middle - expected), 2, f"{what}: {window} over {over}")

    def test_form_in_the_middle_of_the_work_area_with_a_minimise_box(self):
        self.wait_reported("form", DEFAULTS)
        form, work, minimize_box = self.placement(1018)
        self.assertNotEqual(form[:2], [0, 0], "the form sits in the corner")
        self.assert_centred(form, work, "form")
        self.assertEqual(minimize_box, "1")
        # The name dialog opens over the form, not at the screen's corner.
        self.save_menu(2)
        self.wait_reported("namedialog", "open")
        name, _, minimize_box = self.placement(1041)
        self.assert_centred(name, form, "name dialog")
        self.assertEqual(minimize_box, "0")
        self.wine.xdotool("key", "Escape")  # Cancel
        wine_harness.wait_for(
            lambda: self.wine.run(wine_harness.mingw_program(WATCH), "placement", "1041")[0] != 0,
            30, what="the name dialog to close")
        # And so does a message box (its text is control 0xFFFF).
        self.save_menu(1)
        self.wait_reported("msgbox", "Ok!|Config saved successfully!")
        box, _, _ = self.placement(0xFFFF)
        self.assert_centred(box, form, "message box")
        self.dismiss("Ok!")
        self.exit_form()

    def test_defaults_then_main_config_writes_the_file(self):
        self.wait_reported("form", DEFAULTS)
        self.wine.screenshot("quarvel-config")  # the README's picture
        self.type_port("COM3:")
        self.wait_reported("form", "COM3:|Normal|1|0|0|1|1")
        self.save_menu(1)
        self.wait_reported("msgbox", "Ok!|Config saved successfully!")
        self.dismiss("Ok!")
        self.assertEqual((self.folder / "settings.ini").read_bytes(),
                         settings_text("COM3:", "n", "1", "0", "0"))
        self.exit_form()

    def test_format_list_keeps_the_values_after_the_fifth(self):
        self.wait_reported("format", "as Coordinates only says")
        self.exit_form()
        (self.folder / "settings.ini").write_bytes(
            settings_text("COM2:", "s", "0", "0", "1", "UTM", "maps.example.org:8080"))
        self.config = self.wine.start(self.folder / "QuarvelConfig.exe")
        self.form = self.wine.find_window("Quarvel")
        self.wait_reported("format", "utm")
        self.click_control(1042)  # drops the list down; utm, mgrs, plus follow
        self.wine.xdotool("key", "--delay", "100", "Down", "Down", "Return")
        self.wait_reported("format", "plus")
        self.save_menu(1)
        self.wait_reported("msgbox", "Ok!|Config saved successfully!")
        self.dismiss("Ok!")
        self.assertEqual((self.folder / "settings.ini").read_bytes(),
                         settings_text("COM2:", "s", "0", "0", "1", "plus", "maps.example.org:8080"))
        self.exit_form()

    def shortcuts(self, name):
        return [p for p in (self.wine.prefix / "drive_c" / "users").rglob(name)
                if p.parent.name == "Programs" and p.parent.parent.name == "Start Menu"]

    def test_shortcut_with_a_name(self):
        for old in self.shortcuts("GPS.lnk"):  # left by an earlier run on this prefix
            old.unlink()
        self.wait_reported("form", DEFAULTS)
        self.type_port("COM4:")
        self.wait_reported("form", "COM4:|Normal|1|0|0|1|1")
        self.click_control(1042)  # the format list: ddm, url, dd after the first entry
        self.wine.xdotool("key", "--delay", "100", "Down", "Down", "Down", "Return")
        self.wait_reported("format", "dd")
        self.save_menu(2)
        self.wait_reported("namedialog", "open")
        name_dialog = self.wine.find_window("Quarvel")
        self.wine.xdotool("type", "--delay", "30", "GPS")
        self.wine.press(name_dialog, "Return")  # the Done button: OK
        self.wait_reported("msgbox", "Ok!|Shortcut saved successfully!")
        self.dismiss("Ok!")
        links = self.shortcuts("GPS.lnk")
        self.assertEqual(len(links), 1, "GPS.lnk in the Programs folder")
        data = links[0].read_bytes()
        self.assertEqual(data[:4], b"\x4c\x00\x00\x00", "a shell link's header")
        self.assertIn("COM4: n 1 0 0".encode("utf-16-le"), data, "the five words as arguments")
        self.assertIn("--format dd COM4: n 1 0 0".encode("utf-16-le"), data,
                      "the format before the five words")
        self.assertIn(b"Quarvel.exe", data.replace(b"\x00", b""), "Quarvel.exe as the target")
        self.exit_form()


if __name__ == "__main__":
    wine_harness.skip_unless_ready(programs=(CONFIG, WATCH))
    unittest.main()
