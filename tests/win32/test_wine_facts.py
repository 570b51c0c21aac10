#!/usr/bin/env python3
"""The Win32 behaviour under Wine that the platform layer is built on: if one of
these changes with a Wine release, the layer must change with it."""
import time
import unittest

import wine_harness

PROBE = "tests/win32/facts_probe.exe"


class WineFacts(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe = wine_harness.mingw_program(PROBE)
        cls.wine = wine_harness.session().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.wine.__exit__(None, None, None)

    def test_com_port(self):
        port = self.wine.serial_port(1)
        program = self.wine.start(self.probe, "serial", "1")
        program.wait_for_output("ready")
        time.sleep(0.2)
        port.write(b"$GPGGA,1*")
        time.sleep(0.01)
        port.write(b"AB")
        self.assertEqual(program.wait(60), 0, program.output())
        values = program.values()
        expected = {
            "open_0": "0", "open_1": "0", "open_2": "0",  # COM1, COM1: and \\.\COM1 open
            "getcommstate": "1",
            "sizeof_dcb": "28",                 # the DCBlength the port drivers know
            "setcommstate_len28": "1",
            "baud_after": "4800",
            "setcommtimeouts": "1",
            "read_text": "$GPGGA,1*AB",         # {interval, 0, 0}: the burst whole, at once
            "stop_woke": "1",                   # a stop event ends the wait ...
            "cancelioex": "1",                  # ... and CancelIoEx the pending read
            "cancelled_error": "995",           # ERROR_OPERATION_ABORTED
        }
        for key, value in expected.items():
            with self.subTest(key=key):
                self.assertEqual(values.get(key), value, program.output())
        self.assertLess(int(values["cancel_ms"]), 5000, "the cancel must not wait for data")

    def test_clipboard_exports_whole_block(self):
        # Ten characters, terminator, then filler in a 40-byte block: the filler
        # reaches X11 too, which is why the layer sizes the block to the text.
        program = self.wine.start(self.probe, "clipboard", "0123456789", "40")
        self.wine.find_window("Quarvel probe keeper")
        program.wait_for_output("clipboard_set=1")
        expected = b"0123456789\0" + b"x" * 8
        self.assertEqual(self.wine.clipboard_when(expected), expected)
        program.process.kill()
        program.wait()


if __name__ == "__main__":
    wine_harness.skip_unless_ready(programs=(PROBE,))
    unittest.main()
