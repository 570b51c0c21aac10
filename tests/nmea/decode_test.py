#!/usr/bin/env python3
"""quarvel-decode end to end: JSON Lines output, read sizes, escaping, errors."""
import json
import subprocess
import sys
import unittest
from pathlib import Path

DECODE = sys.argv.pop(1) if len(sys.argv) > 1 else "quarvel-decode"
SAMPLE = Path(__file__).parent / "data" / "sample.nmea"
READ_SIZE = 512


def reference_frames(data: bytes, read_size: int):
    """An independent model of the port reader's framing, one read at a time."""
    texts, carried = [], None
    for offset in range(0, len(data), read_size):
        chunk = data[offset:offset + read_size]
        full = len(chunk) == READ_SIZE
        start = None
        for i, byte in enumerate(chunk + (b"" if full else b"\0")):
            if byte == ord("$"):
                start, carried = i, None
            elif byte == ord("*"):
                text = chunk[start:i + 1] if start is not None else (carried or b"") + chunk[:i + 1]
                if len(text) <= 255:
                    texts.append(text)
                start, carried = None, None
            elif byte == 0:
                start = None
                break
        if full and start is not None:
            carried = chunk[start:] if READ_SIZE - start <= 255 else None
        if len(chunk) < read_size:
            break
    return texts


def decode(*args, stdin=None):
    result = subprocess.run([DECODE, *args], input=stdin, capture_output=True, timeout=60)
    return result.returncode, result.stdout.decode("ascii"), result.stderr.decode()


def lines_of(stdout):
    return [json.loads(line) for line in stdout.splitlines()]


class DecodeSample(unittest.TestCase):
    def setUp(self):
        status, out, err = decode(str(SAMPLE))
        self.assertEqual(status, 0, err)
        self.lines = lines_of(out)
        self.state = self.lines[-1]["state"]
        self.fix = self.lines[-1]["fix"]

    def test_one_line_per_sentence_with_exact_text(self):
        expected = [t.decode("latin-1") for t in reference_frames(SAMPLE.read_bytes(), 512)]
        got = [line["sentence"] for line in self.lines[:-1]]
        self.assertEqual(len(expected), SAMPLE.read_bytes().count(b"$"))
        self.assertEqual(got, expected)

    def test_state_holds_the_latest_of_each_block(self):
        gga = self.state["gga"]
        expected_gga = {"tag": "$GPGGA", "hour": 9, "minute": 27, "second": 52,
                        "latHemisphere": "N", "lonHemisphere": "W", "quality": "1",
                        "satellites": 8, "hdop": 1.02999997, "altitude": 61,
                        "altitudeUnit": "M", "geoidSeparation": 55.2000008, "geoidUnit": "M",
                        "dgpsAge": 0, "dgpsStation": 0}
        for name, value in expected_gga.items():
            self.assertEqual(gga[name], value, f"gga.{name}")
        self.assertAlmostEqual(gga["latitude"], 53 + 21.6803 / 60, places=12)
        self.assertAlmostEqual(gga["longitude"], 6 + 30.3371 / 60, places=12)
        self.assertEqual(self.fix["latitude"], gga["latitude"])
        self.assertEqual(self.fix["longitude"], -gga["longitude"])
        self.assertEqual(self.fix["valid"], 1)
        gsv = self.state["gsv"]
        self.assertEqual((gsv["messageNumber"], gsv["messageCount"]), ("3", "3"))
        self.assertEqual(gsv["satellites"][0], {"prn": 29, "elevation": 9, "azimuth": 301, "snr": 24})
        self.assertEqual(gsv["satellites"][2], {"prn": 36, "elevation": 0, "azimuth": 0, "snr": 0})
        # The GLONASS GSA after the GPS one fills the block: the latest of a type, whatever its talker.
        self.assertEqual(self.state["gsa"]["tag"], "$GNGSA")
        self.assertEqual(self.state["gsa"]["satelliteIds"], [67, 68, 76, 0, 0, 0, 0, 0, 0, 0, 0, 0])
        self.assertEqual(self.state["vtg"]["values"], [31.6599998, 0, 0, 0])
        self.assertEqual(self.state["zda"]["year"], 2011)
        self.assertEqual(self.state["gll"]["latitude"], 5321.6803)
        self.assertEqual(self.state["other"]["text"], "$GPTXT,01,01,02,u-blox ag - www.u-blox.com*")

    def test_every_block_and_field_is_named(self):
        self.assertEqual(list(self.state),
                         ["gga", "gll", "gsa", "gsv", "rmc", "vtg", "zda", "gns", "gst", "other"])
        self.assertEqual(len(self.state["gga"]), 17)
        self.assertEqual(len(self.state["rmc"]), 17)
        self.assertEqual(len(self.state["gns"]), 16)
        self.assertEqual(len(self.state["gst"]), 11)
        self.assertEqual(len(self.state["gsv"]["satellites"]), 4)

    def test_state_only_prints_just_the_last_line(self):
        status, out, _ = decode("--state-only", str(SAMPLE))
        self.assertEqual(status, 0)
        self.assertEqual(lines_of(out), self.lines[-1:])

    def test_stdin_reads_like_a_file(self):
        status, out, _ = decode(stdin=SAMPLE.read_bytes())
        self.assertEqual(status, 0)
        self.assertEqual(lines_of(out), self.lines)


class DecodeMultiGnss(unittest.TestCase):
    """A u-blox 8 with GPS, GLONASS, Galileo and BeiDou: GN solution, GSV per system."""

    def test_gn_sentences_fill_their_blocks_with_their_tags(self):
        status, out, err = decode("--state-only", str(SAMPLE.with_name("ublox8_multi_gnss.nmea")))
        self.assertEqual(status, 0, err)
        last = lines_of(out)[-1]
        state = last["state"]
        tags = {name: state[name]["tag"] for name in ("gga", "gll", "gsa", "gsv", "rmc", "vtg")}
        self.assertEqual(tags, {"gga": "$GNGGA", "gll": "$GNGLL", "gsa": "$GNGSA", "gsv": "$GBGSV",
                                "rmc": "$GNRMC", "vtg": "$GNVTG"})
        self.assertEqual(state["gga"]["quality"], "1")
        self.assertEqual(state["gga"]["satellites"], 12)
        self.assertEqual(state["gsa"]["satelliteIds"][:3], [11, 12, 0], "the BeiDou GSA came last")
        self.assertEqual(state["gsv"]["satellites"][1]["prn"], 12)
        self.assertEqual(state["rmc"]["status"], "A")
        self.assertEqual(state["other"]["text"], "$GNTXT,01,01,02,ANTSTATUS=OK*")
        self.assertAlmostEqual(last["fix"]["latitude"], 48 + 7.03812 / 60, places=12)
        self.assertAlmostEqual(last["fix"]["longitude"], 11 + 31.51247 / 60, places=12)

    def test_an_invalid_position_is_shown_but_gives_no_fix(self):
        capture = SAMPLE.with_name("ublox8_multi_gnss.nmea").read_bytes()
        cold = capture[:capture.index(b"$GNRMC,092757")]  # up to the first fix
        status, out, err = decode("--state-only", stdin=cold)
        self.assertEqual(status, 0, err)
        last = lines_of(out)[-1]
        self.assertEqual(last["state"]["gga"]["quality"], "0")
        self.assertAlmostEqual(last["state"]["gga"]["latitude"], 52 + 31.0092 / 60, places=12)
        self.assertEqual((last["fix"]["latitude"], last["fix"]["longitude"]), (0, 0))


class DecodeWithoutGga(unittest.TestCase):
    """Our captures of receivers that send RMC or GNS alone: the fix follows the
    program's rule (GGA once one came, else a valid RMC, else a GNS with a fix)."""

    def test_fix_of_each_capture(self):
        moscow = (55 + 45.348 / 60, 37 + 37.038 / 60)
        cases = [  # capture, fix, GNS mode shown
            ("rmc_only", moscow, ""),
            ("gns_only", moscow, "AAN"),
            ("gga_with_rmc", moscow, ""),
            ("gga_quality0_with_rmc", (0, 0), ""),
        ]
        for name, (latitude, longitude), mode in cases:
            with self.subTest(name):
                status, out, err = decode("--state-only", str(SAMPLE.with_name(name + ".nmea")))
                self.assertEqual(status, 0, err)
                last = lines_of(out)[-1]
                self.assertAlmostEqual(last["fix"]["latitude"], latitude, places=12)
                self.assertAlmostEqual(last["fix"]["longitude"], longitude, places=12)
                self.assertEqual(last["state"]["gns"]["mode"], mode)


class ReadSizes(unittest.TestCase):
    def test_short_reads_lose_split_sentences_as_the_reader_would(self):
        data = SAMPLE.read_bytes() * 3
        for size in (1, 7, 64, 200, 511, 512):
            status, out, err = decode("--read-size", str(size), stdin=data)
            self.assertEqual(status, 0, err)
            got = [line["sentence"] for line in lines_of(out)[:-1]]
            expected = [t.decode("latin-1") for t in reference_frames(data, size)]
            self.assertEqual(got, expected, f"read size {size}")

    def test_one_byte_reads_pass_only_stars(self):
        status, out, _ = decode("--read-size=1", str(SAMPLE))
        lines = lines_of(out)
        self.assertEqual({line["sentence"] for line in lines[:-1]}, {"*"})
        self.assertEqual(lines[-1]["state"]["gga"]["tag"], "")


class Escaping(unittest.TestCase):
    def test_every_byte_but_nul_survives_as_one_code_point(self):
        low = bytes(b for b in range(1, 128) if b not in b"$*")
        high = bytes(range(128, 256))
        status, out, err = decode(stdin=b"$GNRAW," + low + b"*00\r\n$GNRAW," + high + b"*00\r\n")
        self.assertEqual(status, 0, err)
        self.assertTrue(out.isascii())
        got = [line.get("sentence") for line in lines_of(out)[:-1]]
        self.assertEqual(got, ["$GNRAW," + part.decode("latin-1") + "*" for part in (low, high)])

    def test_non_finite_numbers_are_null(self):
        status, out, _ = decode(stdin=b"$GPGGA,1,,,,,1,1,1e999,1,M,-1e999*00\r\n")
        self.assertEqual(status, 0)
        gga = lines_of(out)[-1]["state"]["gga"]
        self.assertIsNone(gga["hdop"])
        self.assertIsNone(gga["geoidSeparation"])


class BadInput(unittest.TestCase):
    def test_each_is_one_error_line_and_status_2(self):
        cases = {
            "missing file": ["/nonexistent/quarvel.nmea"],
            "directory": [str(SAMPLE.parent)],
            "unknown option": ["--bogus"],
            "read size 0": ["--read-size", "0"],
            "read size 513": ["--read-size", "513"],
            "read size not a number": ["--read-size", "12x"],
            "read size missing": ["--read-size"],
            "two files": [str(SAMPLE), str(SAMPLE)],
        }
        for name, args in cases.items():
            status, out, err = decode(*args, stdin=b"")
            self.assertEqual(status, 2, name)
            self.assertEqual(out, "", name)
            self.assertEqual(len(err.splitlines()), 1, f"{name}: {err!r}")


if __name__ == "__main__":
    unittest.main(verbosity=1)
