#!/usr/bin/env python3
"""Quarvel.exe under Wine on sources over loopback sockets: a TCP server with a fix, a
real gpsd (gpsfake) named by host and port, refused and unknown hosts."""
import os
import shutil
import sys
import unittest

import wine_harness

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from network_peers import TcpPeer, free_port, play_bursts, start_gpsfake  # noqa: E402

QUARVEL = "platform/win32/programs/Quarvel.exe"
WATCH = "tests/win32/window_probe.exe"
COORDINATES = "N55°45.348 E37°37.038"
GN_LOG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "nmea", "data",
                      "ublox8_multi_gnss.nmea")
GN_POSITION = "N48°7.038 E11°31.512"


def sentence(body):
    checksum = 0
    for ch in body.encode():
        checksum ^= ch
    return ("$%s*%02X\r\n" % (body, checksum)).encode()


FIX = (sentence("GPGGA,120001.00,5545.3480,N,03737.0380,E,1,08,0.9,150.0,M,14.0,M,,") +
       sentence("GPRMC,120001.00,A,5545.3480,N,03737.0380,E,0.0,0.0,070126,,,A"))


def reported(program, key):
    prefix = key + "="
    return [line[len(prefix):] for line in program.output().splitlines() if line.startswith(prefix)]


class QuarvelOnTheNetworkUnderWine(unittest.TestCase):
    def setUp(self):
        self.wine = wine_harness.session().__enter__()
        self.addCleanup(self.wine.__exit__, None, None, None)
        self.folder = wine_harness.work_dir() / "quarvel-network"
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)
        shutil.copy(wine_harness.mingw_program(QUARVEL), self.folder / "Quarvel.exe")
        self.watcher = self.wine.start(wine_harness.mingw_program(WATCH), "watch")
        self.watcher.wait_for_output("watching=1")

    def run_to_position(self, port, expected):
        quarvel = self.wine.start(self.folder / "Quarvel.exe", port, "n", "0", "0", "1")
        box = "Quarvel!|Coordinates copied in your clipboard succefully!"
        wine_harness.wait_for(lambda: box in reported(self.watcher, "msgbox"), 60,
                              what=f"{box!r}; the watcher saw {self.watcher.output()!r}")
        self.assertEqual(self.wine.clipboard_when(expected.encode()), expected.encode())
        self.wine.press(self.wine.find_window("Quarvel!"), "Return")
        self.assertEqual(quarvel.wait(60), 0)

    def test_a_tcp_server_with_a_fix(self):
        peer = TcpPeer(play_bursts(lambda: iter(lambda: FIX, None)))
        self.addCleanup(peer.leave)
        self.run_to_position("tcp:127.0.0.1:%d" % peer.port, COORDINATES)

    def test_a_real_gpsd_named_by_host_and_port(self):
        port = start_gpsfake(self, GN_LOG)
        self.run_to_position("gpsd:127.0.0.1:%d" % port, GN_POSITION)

    def test_hosts_that_cannot_be_reached_tell_the_user_why(self):
        closed = free_port()
        cases = [
            ("tcp:127.0.0.1:%d" % closed, "127.0.0.1:%d: connection refused" % closed),
            ("gpsd:127.0.0.1:%d" % closed,
             "gpsd at 127.0.0.1:%d: connection refused (is gpsd running?)" % closed),
            ("tcp:quarvel-no-such-host.invalid:10110",
             "quarvel-no-such-host.invalid:10110: no such host"),
        ]
        for port, reason in cases:
            with self.subTest(port):
                seen = len(reported(self.watcher, "msgbox"))
                quarvel = self.wine.start(self.folder / "Quarvel.exe", port, "n", "0", "0", "1")
                wine_harness.wait_for(lambda: len(reported(self.watcher, "msgbox")) > seen, 60,
                                      what=f"a message box; the watcher saw {self.watcher.output()!r}")
                box = reported(self.watcher, "msgbox")[seen]
                self.assertTrue(box.startswith("Error!|Error Opening Comms Port."), box)
                self.assertIn(reason, self.watcher.output())
                self.wine.press(self.wine.find_window("Error!"), "Return")
                self.assertEqual(quarvel.wait(60), 1)


if __name__ == "__main__":
    wine_harness.skip_unless_ready(programs=(QUARVEL, WATCH))
    unittest.main()
