"""A private D-Bus standing in for the system bus, with a python3-dbusmock template
serving on it when asked: the stand-ins for BlueZ and GeoClue."""
import json
import os
import shutil
import subprocess
import tempfile

import dbus

from support import PATIENCE, wait_for


class MockSystemBus:
    """dbus-daemon on a socket of its own; `template` (a dbusmock template name or
    file, given `parameters`) owns `service` on it unless None."""

    def __init__(self, template, service, parameters=None):
        self.folder = tempfile.mkdtemp()
        self.address = "unix:path=" + os.path.join(self.folder, "bus")
        self.daemon = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--address=" + self.address],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        assert wait_for(self._connect), "no private bus"
        self.mock = None
        if template:
            command = ["/usr/bin/python3", "-m", "dbusmock", "--system", "--template", template]
            if parameters is not None:
                command += ["--parameters", json.dumps(parameters)]
            self.mock = subprocess.Popen(
                command, env=dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=self.address),
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            assert wait_for(lambda: self.bus.name_has_owner(service)), "no mock " + service

    def _connect(self):
        try:
            self.bus = dbus.bus.BusConnection(self.address)
            return True
        except dbus.exceptions.DBusException:
            return False

    def close(self):
        self.bus.close()
        for proc in (self.mock, self.daemon):
            if proc:
                proc.terminate()
                proc.wait(timeout=PATIENCE)
        shutil.rmtree(self.folder, ignore_errors=True)
