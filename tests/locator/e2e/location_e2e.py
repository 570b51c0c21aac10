#!/usr/bin/python3
"""quarvel "location:" against a stand-in GeoClue2 (python3-dbusmock with the template
in tests/support) on a private bus standing in for the system bus: this machine has
no location hardware. Usage: location_e2e.py QUARVEL [unittest args]."""
import math
import os
import shlex
import subprocess
import sys
import time
import unittest

import dbus

import support
from mock_system_bus import MockSystemBus
from support import Quarvel, XServer, environment, wait_for  # noqa: F401

TEMPLATE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support",
                        "geoclue2_template.py")
GEOCLUE = "org.freedesktop.GeoClue2"
MANAGER = "/org/freedesktop/GeoClue2/Manager"
REASON_LINE = "Error! Error Opening Comms Port."


class StandInGeoClue(MockSystemBus):
    """The stand-in GeoClue2 on a private bus, when asked."""

    def __init__(self, with_geoclue=True, refuse=""):
        super().__init__(TEMPLATE if with_geoclue else None, GEOCLUE, {"refuse": refuse})

    def move_to(self, latitude, longitude, accuracy, altitude=math.nan):
        manager = self.bus.get_object(GEOCLUE, MANAGER)
        manager.SetLocation(latitude, longitude, accuracy, altitude, dbus.UInt64(int(time.time())),
                            dbus_interface="org.freedesktop.DBus.Mock")

    def client(self, name):
        client = self.bus.get_object(GEOCLUE, "/org/freedesktop/GeoClue2/Client/1")
        return client.Get("org.freedesktop.GeoClue2.Client", name,
                          dbus_interface="org.freedesktop.DBus.Properties")


class LocationRun(unittest.TestCase):
    def setUp(self):
        self.x = XServer()
        self.addCleanup(self.x.close)

    def start(self, **geoclue):
        self.geoclue = StandInGeoClue(**geoclue)
        self.addCleanup(self.geoclue.close)
        env = environment(self.x.display, DBUS_SYSTEM_BUS_ADDRESS=self.geoclue.address)
        run = Quarvel(["location:", "n", "0", "0", "1"], env)
        self.addCleanup(lambda: run.proc.poll() is None and run.proc.kill())
        return run

    def tmux(self, *args):
        return subprocess.run(["tmux", "-S", self.socket] + list(args), stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              timeout=support.PATIENCE).stdout.decode(errors="replace")

    def on_screen(self, text):
        return wait_for(lambda: text in self.tmux("capture-pane", "-p"))

    def test_the_fix_geoclue_sends_is_published(self):
        """On a terminal, where the status line shows what the wait is for. (Fixes one
        after the other, each with its accuracy, are the layer's own test.)"""
        self.geoclue = StandInGeoClue()
        self.addCleanup(self.geoclue.close)
        self.socket = os.path.join(self.geoclue.folder, "tmux")
        self.addCleanup(self.tmux, "kill-server")
        command = "env -u WAYLAND_DISPLAY DISPLAY=%s DBUS_SYSTEM_BUS_ADDRESS=%s %s %s; " \
                  "echo EXIT=$?; sleep 600" % (self.x.display, shlex.quote(self.geoclue.address),
                                               shlex.quote(support.QUARVEL), "location: n 0 0 1")
        self.tmux("new-session", "-d", "-x", "100", "-y", "12", command)
        wait = "Waiting for GPS-data... (GeoClue: waiting for a fix)"
        self.assertTrue(self.on_screen(wait), self.tmux("capture-pane", "-p"))
        self.assertEqual(self.geoclue.client("DesktopId"), "org.quarvel.Quarvel")
        self.assertEqual(self.geoclue.client("RequestedAccuracyLevel"), 8)
        self.geoclue.move_to(55.7558, 37.6173, 350.0)
        self.assertTrue(self.on_screen("[Enter]"), self.tmux("capture-pane", "-p"))
        self.tmux("send-keys", "Enter")
        self.assertTrue(self.on_screen("EXIT=0"), self.tmux("capture-pane", "-p"))
        self.assertIn("N55°45.348 E37°37.038", self.tmux("capture-pane", "-p"))
        self.assertEqual(self.x.clipboard(), "N55°45.348 E37°37.038")

    def test_a_port_failure_with_the_reason_on_the_next_line(self):
        cases = [
            ("no GeoClue", dict(with_geoclue=False),
             "GeoClue is not on the system bus (is geoclue-2.0 installed?)"),
            ("refused", dict(refuse="'org.quarvel.Quarvel' disallowed, no agent for UID 1000"),
             "GeoClue refused the location: 'org.quarvel.Quarvel' disallowed, no agent for UID "
             "1000"),
        ]
        for name, geoclue, reason in cases:
            with self.subTest(name):
                run = self.start(**geoclue)
                status, out = run.finish()
                self.assertEqual((status, out), (1, ""), run.stderr)
                lines = run.stderr.splitlines()
                self.assertIn(REASON_LINE, lines, run.stderr)
                self.assertEqual(lines[lines.index(REASON_LINE) + 1].strip(), reason, run.stderr)


if __name__ == "__main__":
    support.QUARVEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
