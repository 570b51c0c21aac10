#!/usr/bin/env python3
"""Both programs as a desktop shows them, under Wine: the manifest each .exe carries
and what the loader makes of it, and at 100, 150 and 200 % scaling the status
window, the form and the name dialog run per-monitor DPI aware with Common
Controls 6, every text fits its control and every window fits the screen. The
screenshots of each scaling go to the artifacts (the README's pictures)."""
import shutil
import unittest
import xml.etree.ElementTree as ElementTree

import wine_harness

QUARVEL = "platform/win32/programs/Quarvel.exe"
CONFIG = "platform/win32/programs/QuarvelConfig.exe"
PROBE = "tests/win32/desktop_probe.exe"
WATCH = "tests/win32/window_probe.exe"

ASM_V1, ASM_V3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
COMMON_CONTROLS_6 = {"type": "win32", "name": "Microsoft.Windows.Common-Controls",
                     "version": "6.0.0.0", "processorArchitecture": "*",
                     "publicKeyToken": "6595b64144ccf1df", "language": "*"}
WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
DPI_AWARE, DPI_AWARENESS = "true/pm", "PerMonitorV2, PerMonitor"
# The side-by-side assembly that a process bound to Common Controls 6 loads comctl32 from.
SXS_COMMON_CONTROLS_6 = "microsoft.windows.common-controls_6595b64144ccf1df_6."
PER_MONITOR_AWARE = "2"  # DPI_AWARENESS_PER_MONITOR_AWARE
STATUS_TEXTS = [str(id_) for id_ in range(110, 116)]  # every text the status line shows
# The same 800 x 600 desktop at each scaling.
SCREENS = {96: "800x600x24", 144: "1200x900x24", 192: "1600x1200x24"}

# program: assembly name, exe
PROGRAMS = {"Quarvel": ("Quarvel.Quarvel", QUARVEL),
            "QuarvelConfig": ("Quarvel.QuarvelConfig", CONFIG)}


def ints(text):
    return [int(v) for v in text.split(",")]


def windows_path(path):
    return "Z:" + str(path.resolve()).replace("/", "\\")


class Manifests(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.read = {}
        with wine_harness.session() as wine:
            for program, (_, exe) in PROGRAMS.items():
                code, out = wine.run(wine_harness.mingw_program(PROBE), "manifest",
                                     windows_path(wine_harness.mingw_program(exe)))
                assert code == 0, out
                cls.read[program] = wine_harness.parse_values(out)

    def test_each_program(self):
        for program, (assembly, _) in PROGRAMS.items():
            with self.subTest(program=program):
                values = self.read[program]
                self.assertEqual(values["manifest_ids"], "1", "one manifest, resource 1")
                root = ElementTree.fromstring(bytes.fromhex(values["manifest_hex"]))
                self.assertEqual(root.find(f"{ASM_V1}assemblyIdentity").get("name"), assembly)
                dependencies = [e.attrib for e in root.iter(f"{ASM_V1}assemblyIdentity")][1:]
                self.assertEqual(dependencies, [COMMON_CONTROLS_6])
                supported = [e.get("Id") for e in root.iter(f"{COMPATIBILITY}supportedOS")]
                self.assertIn(WINDOWS_10_AND_11, supported)
                self.assertEqual(root.find(f".//{SETTINGS_2005}dpiAware").text, DPI_AWARE)
                self.assertEqual(root.find(f".//{SETTINGS_2016}dpiAwareness").text, DPI_AWARENESS)
                code_pages = [e.tag for e in root.iter() if e.tag.endswith("activeCodePage")]
                self.assertEqual(code_pages, [], "the ANSI code page stays the process's")
                level = root.find(f".//{ASM_V3}requestedExecutionLevel")
                self.assertEqual(level.get("level"), "asInvoker")
                # What the loader reads from it.
                self.assertEqual(values["actctx"], "1", "the loader refused the manifest")
                self.assertEqual((values["dpiAware"], values["dpiAwareness"]),
                                 (DPI_AWARE, DPI_AWARENESS))
                self.assertIn(SXS_COMMON_CONTROLS_6, values["comctl32"].lower())


class Scaling(unittest.TestCase):
    def setUp(self):
        self.folder = wine_harness.work_dir() / "scaling-run"
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)
        for exe in (QUARVEL, CONFIG):
            shutil.copy(wine_harness.mingw_program(exe), self.folder)

    def probe(self, *args):
        return self.wine.run(wine_harness.mingw_program(PROBE), *args)

    def assert_window(self, title, caption):
        code, out = self.probe("window", title)
        self.assertEqual(code, 0, f"no window titled {title!r}")
        values = wine_harness.parse_values(out)
        self.assertEqual((values["dpi"], values["awareness"], values["caption"]),
                         (str(self.dpi), PER_MONITOR_AWARE, caption), f"{title}: {out}")
        self.assertIn(SXS_COMMON_CONTROLS_6, values["comctl32"].lower(), f"{title}: {out}")

    def assert_layout(self, control_id, *strings):
        code, out = self.probe("layout", str(control_id), *strings)
        self.assertEqual(code, 0, f"no dialog holds control {control_id}")
        values = wine_harness.parse_values(out)
        self.assertEqual(values["dpi"], str(self.dpi))
        left, top, right, bottom = ints(values["window"])
        work = ints(values["work"])
        self.assertTrue(work[0] <= left and work[1] <= top and right <= work[2]
                        and bottom <= work[3], f"window {values['window']} off the work area")
        client = ints(values["client"])
        fits = [line[4:].split("|") for line in out.splitlines() if line.startswith("fit=")]
        self.assertTrue(fits, out)
        for id_, kind, text, need, have, place in fits:
            need, have, place = ints(need), ints(have), ints(place)
            what = f"{kind} {text!r} of control {id_} at {self.dpi} dpi"
            self.assertLessEqual(need[0], have[0], f"{what}: {need[0]} px wide in {have[0]}")
            self.assertLessEqual(need[1], have[1], f"{what}: {need[1]} px high in {have[1]}")
            self.assertTrue(place[0] >= 0 and place[1] >= 0 and place[2] <= client[0]
                            and place[3] <= client[1], f"{what}: at {place}, outside {client}")
        return {(id_, text) for id_, _, text, _, _, _ in fits}

    def check_scale(self, dpi):
        self.dpi = dpi
        prefix = wine_harness.work_dir() / "prefix"
        with wine_harness.display_dpi(prefix, dpi), \
                wine_harness.session(SCREENS[dpi]) as self.wine:
            self.wine.serial_port(1)  # a silent receiver: Quarvel waits
            quarvel = self.wine.start(self.folder / "Quarvel.exe", "COM1:", "n", "0", "0", "1")
            status = self.wine.find_window("Quarvel GPS")
            self.assert_window("Quarvel GPS", caption="0")
            self.assert_layout(1014, *STATUS_TEXTS)
            self.wine.screenshot(f"quarvel-windows-{dpi}dpi", status)
            self.wine.press(status, "Escape")
            self.assertEqual(quarvel.wait(60), 3)

            config = self.wine.start(self.folder / "QuarvelConfig.exe")
            form = self.wine.find_window("Quarvel")
            self.assert_window("Quarvel", caption="1")
            measured = self.assert_layout(1018)
            # The format list's longest entry is its first.
            self.assertIn(("1042", "as Coordinates only says"), measured)
            self.wine.screenshot(f"quarvel-config-windows-{dpi}dpi", form)
            # The name dialog, from the Save soft key's menu.
            self.wine.xdotool("windowfocus", "--sync", form)
            self.wine.run(wine_harness.mingw_program(WATCH), "click", "40020")
            self.wine.xdotool("key", "--delay", "100", "Down", "Down", "Return")
            wine_harness.wait_for(lambda: self.probe("layout", "1041")[0] == 0, 30,
                                  what="the name dialog")
            self.assert_layout(1041)
            self.wine.xdotool("key", "Escape")  # Cancel
            wine_harness.wait_for(lambda: self.probe("layout", "1041")[0] != 0, 30,
                                  what="the name dialog to close")
            self.wine.run(wine_harness.mingw_program(WATCH), "click", "102")  # Exit
            self.assertEqual(config.wait(60), 0)

    def test_100_percent(self):
        self.check_scale(96)

    def test_150_percent(self):
        self.check_scale(144)

    def test_200_percent(self):
        self.check_scale(192)


if __name__ == "__main__":
    wine_harness.skip_unless_ready(programs=(QUARVEL, CONFIG, PROBE, WATCH))
    unittest.main()
