#!/usr/bin/env python3
"""The Windows Installer package under Wine: a silent per-machine install over an
older version (in place), the installed Quarvel.exe publishing a DEMO: position,
the installed QuarvelConfig.exe saving into %APPDATA%\\Quarvel, and a silent
removal that leaves Program Files\\Quarvel gone."""
import os
import re
import subprocess
import sys
import unittest
from pathlib import Path

import test_quarvel_config
import wine_harness

ROOT = Path(__file__).resolve().parents[2]
PROGRAMS = "platform/win32/programs"
WATCH = "tests/win32/window_probe.exe"
VERSION = os.environ.get("QUARVEL_VERSION", "0.0.0")
OLDER = "3.9.0"
MENU = "Microsoft/Windows/Start Menu/Programs/Quarvel"
COORDINATES = re.compile(r"^[NS]\d+°[\d.]+ [EW]\d+°[\d.]+$")


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


class InstalledUnderWine(unittest.TestCase):
    # The form's helpers, shared with the portable QuarvelConfig's tests.
    for name in ("probe", "click_control", "type_port", "save_menu", "dismiss", "reported",
                 "wait_reported"):
        locals()[name] = getattr(test_quarvel_config.QuarvelConfigUnderWine, name)

    def setUp(self):
        self.work = wine_harness.work_dir() / "msi"
        self.work.mkdir(parents=True, exist_ok=True)
        self.packages = {}
        for version in (OLDER, VERSION):
            out = self.work / f"Quarvel-{version}.msi"
            subprocess.run([ROOT / "packaging/windows/make-msi.sh", version,
                            wine_harness.mingw_program(PROGRAMS), out], check=True,
                           capture_output=True, timeout=300)
            self.packages[version] = out
        self.wine = wine_harness.session().__enter__()
        self.addCleanup(self.wine.__exit__, None, None, None)
        drive = self.wine.prefix / "drive_c"
        self.folder = drive / "Program Files" / "Quarvel"
        # Wine's msiexec puts even a per-machine package's menu entries into the
        # installing user's Programs folder; Windows puts them into the common one.
        self.appdata = next((drive / "users").glob("*/AppData/Roaming"))
        self.menus = [drive / "ProgramData" / MENU, self.appdata / MENU]
        self.watcher = self.wine.start(wine_harness.mingw_program(WATCH), "watch")
        self.watcher.wait_for_output("watching=1")

    def msiexec(self, action, version):
        code, out = self.wine.run("msiexec", action, windows_path(self.packages[version]), "/qn",
                                  timeout=300)
        self.assertEqual(code, 0, f"msiexec {action} {version}: {out}")

    def installed_versions(self):
        """DisplayVersion of every Programs and Features entry named Quarvel."""
        code, out = self.wine.run("reg", "query",
                                  r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall", "/s")
        versions, name = [], None
        for line in out.splitlines():
            fields = line.split(None, 2)
            if len(fields) == 3 and fields[0] == "DisplayName":
                name = fields[2].strip()
            if len(fields) == 3 and fields[0] == "DisplayVersion" and name == "Quarvel":
                versions.append(fields[2].strip())
            if line.startswith("HKEY_"):
                name = None
        return versions

    def run_installed_quarvel(self):
        quarvel = self.wine.start(self.folder / "Quarvel.exe", "DEMO:", "n", "0", "0", "1")
        self.wait_reported("msgbox", "Quarvel!|Coordinates copied in your clipboard succefully!",
                           timeout=90)
        text = self.wine.clipboard().decode()
        self.assertRegex(text, COORDINATES)
        self.dismiss("Quarvel!")
        self.assertEqual(quarvel.wait(60), 0)

    def save_with_installed_config(self):
        saved = self.appdata / "Quarvel" / "settings.ini"
        if saved.exists():
            saved.unlink()
        self.config = self.wine.start(self.folder / "QuarvelConfig.exe")
        self.form = self.wine.find_window("Quarvel")
        self.type_port("COM3:")
        self.wait_reported("form", "COM3:|Normal|1|0|0|1|1")
        self.save_menu(1)
        self.wait_reported("msgbox", "Ok!|Config saved successfully!")
        self.dismiss("Ok!")
        self.assertEqual(saved.read_bytes(), test_quarvel_config.settings_text("COM3:", "n", "1", "0", "0"))
        self.assertFalse((self.folder / "settings.ini").exists(), "nothing beside the programs")
        self.probe("click", "102")  # Exit
        self.assertEqual(self.config.wait(60), 0)

    def test_install_over_an_older_version_use_and_remove(self):
        # Also when a check fails, the shared prefix is left without Quarvel.
        self.addCleanup(self.wine.run, "msiexec", "/x", windows_path(self.packages[VERSION]),
                        "/qn", timeout=300)
        self.msiexec("/i", OLDER)
        self.assertEqual(self.installed_versions(), [OLDER])
        self.msiexec("/i", VERSION)
        self.assertEqual(self.installed_versions(), [VERSION], "the older one replaced in place")
        for name in ("Quarvel.exe", "QuarvelConfig.exe", "per-user-settings"):
            self.assertTrue((self.folder / name).is_file(), name)
        for name in ("Quarvel.lnk", "QuarvelConfig.lnk"):
            self.assertTrue(any((m / name).is_file() for m in self.menus), f"Start menu: {name}")

        self.run_installed_quarvel()
        self.save_with_installed_config()

        self.msiexec("/x", VERSION)
        self.assertEqual(self.installed_versions(), [])
        self.assertFalse(self.folder.exists(), "Program Files\\Quarvel removed")
        self.assertFalse(any(m.exists() for m in self.menus), "Start-menu folder removed")


if __name__ == "__main__":
    wine_harness.skip_unless_ready(programs=(f"{PROGRAMS}/Quarvel.exe",
                                             f"{PROGRAMS}/QuarvelConfig.exe", WATCH))
    if not subprocess.run(["sh", "-c", "command -v wixl"], capture_output=True).returncode == 0:
        print("SKIPPED: wixl is not installed (scripts/install-deps.sh package)")
        sys.exit(wine_harness.SKIP)
    unittest.main()
