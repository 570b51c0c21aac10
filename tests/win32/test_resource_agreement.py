#!/usr/bin/env python3
"""The resource scripts agree with the portable resource data: every dialog template,
control, menu, menu-bar record and string that each .exe holds, and nothing else."""
import os
import subprocess
import unittest

import wine_harness

PROBES = {"quarvel": "tests/win32/template_probe_quarvel.exe",
          "config": "tests/win32/template_probe_quarvel_config.exe"}


def lines(text):
    return sorted(line for line in text.replace("\r\n", "\n").splitlines() if "=" in line)


class ResourceAgreement(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.compiled = {}
        with wine_harness.session() as wine:
            for program, probe in PROBES.items():
                code, out = wine.run(wine_harness.mingw_program(probe))
                assert code == 0, out
                cls.compiled[program] = lines(out)

    def test_each_program(self):
        for program in PROBES:
            with self.subTest(program=program):
                portable = lines(subprocess.run([os.environ["QUARVEL_RESOURCE_DUMP"], program],
                                                capture_output=True, text=True, check=True).stdout)
                compiled = self.compiled[program]
                self.assertTrue(portable, "the portable data is empty")
                self.assertEqual(compiled, portable, f"{program}: .rc and portable data differ")


if __name__ == "__main__":
    wine_harness.skip_unless_ready(programs=tuple(PROBES.values()))
    unittest.main()
