#!/usr/bin/python3
"""quarvel's Bluetooth setting against a mock BlueZ (python3-dbusmock's bluez5
template) on a private bus that stands in for the system bus.
Usage: bluetooth_e2e.py QUARVEL [unittest args]."""
import os
import sys
import unittest

import dbus

import support
from mock_system_bus import MockSystemBus
from support import Quarvel, XServer, environment

ADAPTER = "hci0"


class MockBluez(MockSystemBus):
    """The bluez5 template on a private bus."""

    def __init__(self, with_bluez=True):
        super().__init__("bluez5" if with_bluez else None, "org.bluez")

    def add_adapter(self, powered, device=ADAPTER):
        root = self.bus.get_object("org.bluez", "/")
        root.AddAdapter(device, "quarvel-test", dbus_interface="org.bluez.Mock")
        self.set("Powered", powered, device)

    def set(self, name, value, device=ADAPTER):
        adapter = self.bus.get_object("org.bluez", "/org/bluez/" + device)
        adapter.Set("org.bluez.Adapter1", name, dbus.Boolean(value),
                    dbus_interface="org.freedesktop.DBus.Properties")

    def get(self, name, device=ADAPTER):
        adapter = self.bus.get_object("org.bluez", "/org/bluez/" + device)
        return bool(adapter.Get("org.bluez.Adapter1", name,
                                dbus_interface="org.freedesktop.DBus.Properties"))


class BluetoothRun(unittest.TestCase):
    def setUp(self):
        self.x = XServer()
        self.addCleanup(self.x.close)

    def run_with(self, bluez, watch):
        """Runs quarvel DEMO: with Bluetooth on; watch() is asked while it waits."""
        env = environment(self.x.display, DBUS_SYSTEM_BUS_ADDRESS=bluez.address)
        run = Quarvel(["DEMO:", "n", "0", "1", "1"], env)
        self.addCleanup(lambda: run.proc.poll() is None and run.proc.kill())
        self.assertTrue(run.wait_for_text("Waiting for GPS-data..."), run.stderr)
        during = watch()
        status, out = run.finish()
        self.assertEqual(status, 0, run.stderr)
        self.assertTrue(out.startswith("N48°"), out)
        self.assertIn("Bluetooth activation", run.stderr)
        self.assertIn("Bluetooth deactivation", run.stderr)
        self.assertFalse(support.sanitizer_report(run.stderr), run.stderr)
        return during

    def test_adapter_off_is_powered_for_the_run_and_off_after(self):
        bluez = MockBluez()
        self.addCleanup(bluez.close)
        bluez.add_adapter(powered=False)
        self.assertTrue(self.run_with(bluez, lambda: bluez.get("Powered")),
                        "the adapter was not powered while the run waited")
        self.assertFalse(bluez.get("Powered"))

    def test_adapter_already_on_is_left_on_and_switched_off_after(self):
        bluez = MockBluez()
        self.addCleanup(bluez.close)
        bluez.add_adapter(powered=True)
        bluez.set("Discoverable", True)
        during = self.run_with(bluez, lambda: (bluez.get("Powered"), bluez.get("Discoverable")))
        self.assertEqual(during, (True, True), "an adapter already on is left as it was")
        self.assertFalse(bluez.get("Powered"))

    def test_first_adapter_by_index_not_by_spelling(self):
        bluez = MockBluez()
        self.addCleanup(bluez.close)
        for device in ("hci10", "hci2"):
            bluez.add_adapter(powered=False, device=device)
        during = self.run_with(bluez, lambda: (bluez.get("Powered", "hci2"),
                                               bluez.get("Powered", "hci10")))
        self.assertEqual(during, (True, False), "hci2 comes before hci10")

    def test_no_bluez_on_the_bus_never_holds_the_run_up(self):
        bluez = MockBluez(with_bluez=False)
        self.addCleanup(bluez.close)
        self.run_with(bluez, lambda: None)

    def test_no_adapter(self):
        bluez = MockBluez()
        self.addCleanup(bluez.close)
        self.run_with(bluez, lambda: None)

    def test_no_system_bus_at_all(self):
        bluez = MockBluez(with_bluez=False)
        self.addCleanup(bluez.close)
        bluez.address = "unix:path=" + os.path.join(bluez.folder, "missing")
        self.run_with(bluez, lambda: None)


if __name__ == "__main__":
    support.QUARVEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
