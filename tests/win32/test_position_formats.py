#!/usr/bin/env python3
"""The position formats of the Windows build, with its cross-built GeographicLib, under
Wine: every form of the table of positions × formats, as the Linux build writes it."""
import os
import subprocess
import unittest

import wine_harness

PROBE = "tests/win32/position_format_probe.exe"
FORMS = ("dd", "dms", "utm", "mgrs", "plus")


class PositionFormats(unittest.TestCase):
    def test_table(self):
        rows = []
        with open(os.environ["QUARVEL_FORMATS_TABLE"], encoding="utf-8") as table:
            rows = [line.rstrip("\n").split("\t") for line in table
                    if line.strip() and not line.startswith("#")]
        asked = [f"{form} {row[0]} {row[1]}" for row in rows for form in FORMS]
        env = wine_harness.base_env(wine_harness.work_dir() / "prefix")
        result = subprocess.run(["wine", str(wine_harness.mingw_program(PROBE))],
                                input=("\n".join(asked) + "\n").encode(), capture_output=True,
                                env=env, timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        lines = result.stdout.decode("utf-8").replace("\r\n", "\n").splitlines()
        self.assertEqual(len(lines), len(asked), result.stdout)
        expected = [row[2 + i] for row in rows for i in range(len(FORMS))]
        for question, line, want in zip(asked, lines, expected):
            self.assertEqual(line, want, question)


if __name__ == "__main__":
    wine_harness.skip_unless_ready(programs=(PROBE,))
    unittest.main()
