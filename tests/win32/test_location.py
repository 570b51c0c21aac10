#!/usr/bin/env python3
""""location:" under Wine, which has no Windows.Devices.Geolocation: a stand-in
Geolocator runtime class registered in the prefix (ActivatableClassId\\...\\DllPath,
as combase's RoActivateInstance finds classes) gives a coarse then a fine fix,
denies access or times out; Quarvel.exe and the platform layer read it."""
import os
import shutil
import unittest

import wine_harness

QUARVEL = "platform/win32/programs/Quarvel.exe"
PROBE = "tests/win32/platform_probe.exe"
STANDIN = "tests/win32/geolocator_standin.dll"
CLASS_KEY = ("HKLM\\Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\"
             "Windows.Devices.Geolocation.Geolocator")
DENIED = ("Windows denies the location: it is turned off, or not allowed for desktop apps "
          "(Settings > Privacy & security > Location)")
TIMED_OUT = "no position from the Windows location service within 60 seconds"


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


class LocationUnderWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.wine = wine_harness.session().__enter__()
        cls.folder = wine_harness.work_dir() / "location"
        shutil.rmtree(cls.folder, ignore_errors=True)
        cls.folder.mkdir(parents=True)
        for program in (QUARVEL, PROBE, STANDIN):
            shutil.copy(wine_harness.mingw_program(program), cls.folder)
        cls.log = cls.folder / "standin.log"

    @classmethod
    def tearDownClass(cls):
        cls.unregister()
        cls.wine.__exit__(None, None, None)

    @classmethod
    def register(cls):
        code, _ = cls.wine.run("reg", "add", CLASS_KEY, "/v", "DllPath", "/t", "REG_SZ", "/d",
                               windows_path(cls.folder / "geolocator_standin.dll"), "/f")
        assert code == 0, "the stand-in class could not be registered"

    @classmethod
    def unregister(cls):
        cls.wine.run("reg", "delete", CLASS_KEY, "/f")

    def setUp(self):
        self.register()
        self.log.unlink(missing_ok=True)
        self.wine.env["QUARVEL_STANDIN_LOG"] = windows_path(self.log)

    def answering(self, mode):
        self.wine.env["QUARVEL_STANDIN_GEOLOCATOR"] = mode

    def calls(self):
        return self.log.read_text().splitlines() if self.log.exists() else []

    def probe(self, *args):
        code, out = self.wine.run(self.folder / "platform_probe.exe", "location", *args)
        return code, wine_harness.parse_values(out)

    def test_a_coarse_then_a_fine_fix(self):
        self.answering("fixes")
        code, values = self.probe("3")
        self.assertEqual((code, values.get("open")), (0, "1"), values)
        # latitude, longitude, accuracy, source (1 Wi-Fi, 0 satellites), HDOP
        self.assertEqual(values.get("fix[0]"), "55.755800,37.617300,350.0,1,none")
        self.assertEqual(values.get("fix[1]"), "55.755830,37.617290,4.2,0,0.9")
        self.assertEqual(values.get("fix[2]"), "55.755830,37.617290,4.2,0,0.9")
        self.assertEqual(values.get("woken"), "1", "a stop wakes the paced read")
        # High accuracy asked for, access asked once, a minute for the first fix,
        # then one request per read.
        self.assertEqual(self.calls(), ["activate", "accuracy=1", "access",
                                        "position age=0 timeout=60"] +
                         ["position age=0 timeout=30"] * 2)

    def test_failures_say_why(self):
        for mode, problem in [("denied", DENIED), ("timeout", TIMED_OUT)]:
            with self.subTest(mode=mode):
                self.answering(mode)
                code, values = self.probe("1")
                self.assertEqual((code, values.get("open")), (1, "0"), values)
                self.assertEqual(values.get("problem"), problem)
        self.unregister()
        code, values = self.probe("1")
        self.assertEqual(values.get("problem"),
                         "this Windows has no location service (Windows.Devices.Geolocation)")

    def test_quarvel_copies_the_first_fix(self):
        # The Wi-Fi estimate comes first; without a gate on accuracy it is the position.
        self.answering("fixes")
        program = self.wine.start(self.folder / "Quarvel.exe", "--no-clipboard", "location:", "n",
                                  "0", "0", "1")
        self.assertEqual((program.wait(120), program.output(), program.errors()),
                         (0, "N55°45.348 E37°37.038\n", ""))

    def test_quarvel_from_a_console_says_why_the_port_failed(self):
        self.answering("denied")
        program = self.wine.start("cmd", "/c", windows_path(self.folder / "Quarvel.exe"),
                                  "location:", "n", "0", "0", "1")
        self.assertEqual(program.wait(120), 1)
        self.assertEqual(program.errors().replace("\r\n", "\n"),
                         f"Error! Error Opening Comms Port.\n{DENIED}\n")


if __name__ == "__main__":
    wine_harness.skip_unless_ready(programs=(QUARVEL, PROBE, STANDIN))
    unittest.main()
