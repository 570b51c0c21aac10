#!/usr/bin/env python3
"""Quarvel's compiled resources as Win32 reads them under Wine: status texts,
indicator bitmaps and the status dialog's template."""
import struct
import unittest
from pathlib import Path

import wine_harness

PROBE = "tests/win32/resource_probe.exe"
RESOURCES = Path(__file__).resolve().parents[2] / "resources"

WS_CAPTION, WS_SYSMENU, WS_POPUP, DS_MODALFRAME = 0x00C00000, 0x00080000, 0x80000000, 0x80
SS_BITMAP, WS_TABSTOP, WS_GROUP, WS_VISIBLE = 0x0E, 0x00010000, 0x00020000, 0x10000000
SS_LEFTNOWORDWRAP, SS_ENDELLIPSIS = 0x0C, 0x4000


def mul_div(value, numerator, denominator):
    return (value * numerator * 2 + denominator) // (denominator * 2)


class QuarvelResources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with wine_harness.session() as wine:
            code, cls.out = wine.run(wine_harness.mingw_program(PROBE))
        assert code == 0, cls.out
        cls.values = wine_harness.parse_values(cls.out)

    def test_status_texts(self):
        texts = {110: "Bluetooth activation", 111: "Bluetooth deactivation",
                 112: "Connecting...", 113: "Waiting for GPS-data...", 114: "Saving...",
                 115: "Loading settings..."}
        for id_, text in texts.items():
            with self.subTest(id=id_):
                self.assertEqual(self.values.get(f"string[{id_}]"), text, self.out)

    def test_indicator_bitmaps(self):
        colours = {107: ("indicator_green.bmp", "00c000"), 108: ("indicator_red.bmp", "e00000"),
                   109: ("indicator_black.bmp", "000000")}
        for id_, (name, centre) in colours.items():
            with self.subTest(id=id_):
                size, _, frame, inside = self.values[f"bitmap[{id_}]"].split("/")
                self.assertEqual((size, frame, inside), ("18x18", "6e7f9c", centre))
                header = (RESOURCES / name).read_bytes()[:30]
                width, height, _, bits = struct.unpack("<iiHH", header[18:30])
                self.assertEqual((width, height, bits), (18, 18, 24), f"{name} as stored")

    def test_status_dialog(self):
        style = int(self.values["dialog_style"], 16)
        self.assertEqual(style & (WS_POPUP | WS_SYSMENU | DS_MODALFRAME),
                         WS_POPUP | WS_SYSMENU | DS_MODALFRAME, hex(style))
        self.assertEqual(style & WS_CAPTION, 0, "no caption bar")
        x_units, y_units = (int(v) for v in self.values["units_per_100"].split(","))
        controls = [  # id, class, text, x, y, width, height, style bits
            (1010, "Static", None, 107, 1, None, None, SS_BITMAP),
            (1013, "Button", "Stop", 86, 25, 33, 14, WS_TABSTOP),
            (1014, "Static", "", 1, 3, 96, 8, WS_GROUP),
            # The wait detail: one line under the status line, cut with an ellipsis.
            (1016, "Static", "", 1, 12, 118, 8, WS_GROUP | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS),
            (1015, "Static", "Quarvel 4.0", 1, 31, 52, 8, WS_GROUP),
        ]
        for id_, class_, text, x, y, width, height, bits in controls:
            with self.subTest(id=id_):
                got_class, got_text, got_style, rect = self.values[f"control[{id_}]"].split("|")
                self.assertEqual(got_class, class_)
                if text is not None:
                    self.assertEqual(got_text, text)
                self.assertEqual(int(got_style, 16) & (bits | WS_VISIBLE), bits | WS_VISIBLE)
                # Dialog units to pixels as the dialog manager converts them (MulDiv,
                # which rounds halves up), each value on its own.
                pixels = [int(v) for v in rect.split(",")]
                expect = [mul_div(x, x_units, 400), mul_div(y, y_units, 800)]
                if width is not None:
                    expect += [mul_div(width, x_units, 400), mul_div(height, y_units, 800)]
                else:
                    expect += [18, 18]  # a bitmap static takes its bitmap's size
                self.assertEqual(pixels, expect, f"control {id_} in pixels")


if __name__ == "__main__":
    wine_harness.skip_unless_ready(programs=(PROBE,))
    unittest.main()
