#!/usr/bin/env python3
"""Quarvel.exe under Wine: a run on COM1 fed through a pseudo-terminal, Stop or Esc
while waiting, the status window's title beside QuarvelConfig's form, a missing
port, and the Bluetooth radio through a Widcomm-style tray; the line under the status
that says why the wait goes on, and what each box shows under its text."""
import os
import shutil
import termios
import threading
import time
import unittest

import wine_harness

QUARVEL = "platform/win32/programs/Quarvel.exe"
CONFIG = "platform/win32/programs/QuarvelConfig.exe"
PROBE = "tests/win32/desktop_probe.exe"
WATCH = "tests/win32/window_probe.exe"
TRAY = "tests/win32/bluetooth_tray.exe"

FIX_GGA = "GPGGA,120001.00,5545.3480,N,03737.0380,E,1,08,0.9,150.0,M,14.0,M,,"
NO_FIX_GGA = "GPGGA,120000.00,,,,,0,00,99.9,,M,,M,,"
COORDINATES = "N55°45.348 E37°37.038"
# The map host the programs were built for (the build setting QUARVEL_MAP_HOST).
MAP_HOST = os.environ.get("QUARVEL_MAP_HOST", "maps.quarvel.net")
URL = f"http://{MAP_HOST}/quarvel/?lat=55.7558&lon=37.6173&t=k&s=1"
STATUS_ORDER = ["Loading settings...", "Bluetooth activation", "Connecting...",
                "Waiting for GPS-data...", "Saving...", "", "Bluetooth deactivation"]
GREEN, RED = "00c000", "e00000"


def sentence(body):
    checksum = 0
    for ch in body.encode():
        checksum ^= ch
    return ("$%s*%02X\r\n" % (body, checksum)).encode()


def reported(program, key):
    """Every value the watcher printed for key, in order."""
    prefix = key + "="
    return [line[len(prefix):] for line in program.output().splitlines() if line.startswith(prefix)]


class Receiver(threading.Thread):
    """Sends a burst every 0.3 s: no fix until fix() is called, then a fix."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.port, self.body, self.running = port, NO_FIX_GGA, True

    def fix(self):
        self.body = FIX_GGA

    def run(self):
        while self.running:
            try:
                self.port.write(sentence(self.body))
            except OSError:
                return
            time.sleep(0.3)


class SpeedReceiver(threading.Thread):
    """A receiver at its own speed, a burst a second: a fix while the program has
    set the terminal to that speed, else bytes that frame no sentence."""

    def __init__(self, port, speed):
        super().__init__(daemon=True)
        self.port, self.speed, self.running = port, speed, True
        self.speeds_set = []
        # A speed outside the hunt's list marks the terminal as not yet set.
        attributes = termios.tcgetattr(port.slave)
        attributes[4] = attributes[5] = termios.B300
        termios.tcsetattr(port.slave, termios.TCSANOW, attributes)

    def run(self):
        burst = sentence(FIX_GGA)
        while self.running:
            try:
                now = self.port.speed()
                if now and (not self.speeds_set or self.speeds_set[-1] != now):
                    self.speeds_set.append(now)
                self.port.write(burst if now == self.speed else bytes(0x80 | b for b in burst))
            except (OSError, ValueError):  # the port was closed under it
                return
            time.sleep(1.0)


class QuarvelUnderWine(unittest.TestCase):
    def setUp(self):
        self.wine = wine_harness.session().__enter__()
        self.addCleanup(self.wine.__exit__, None, None, None)
        # A folder of its own, so that no settings.ini lies beside the program.
        self.folder = wine_harness.work_dir() / "quarvel-run"
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)
        shutil.copy(wine_harness.mingw_program(QUARVEL), self.folder / "Quarvel.exe")
        self.watcher = self.wine.start(wine_harness.mingw_program(WATCH), "watch")
        self.watcher.wait_for_output("watching=1")

    def start_quarvel(self, *args):
        return self.wine.start(self.folder / "Quarvel.exe", *args)

    def wait_reported(self, key, value, timeout=60.0):
        wine_harness.wait_for(lambda: value in reported(self.watcher, key), timeout,
                              what=f"{key} {value!r}; the watcher saw {self.watcher.output()!r}")

    def dismiss(self, caption):
        self.wine.press(self.wine.find_window(caption), "Return")

    def assert_status_order(self):
        seen = [s for s in reported(self.watcher, "status")]
        positions = [STATUS_ORDER.index(s) for s in seen if s in STATUS_ORDER]
        self.assertEqual(positions, sorted(positions), f"status texts out of order: {seen}")
        self.assertEqual(len(positions), len(seen), f"unknown status text: {seen}")

    def run_to_position(self, args, expected_text, box_text):
        port = self.wine.serial_port(1)
        receiver = Receiver(port)
        self.addCleanup(setattr, receiver, "running", False)
        receiver.start()
        quarvel = self.start_quarvel(*args)
        self.wait_reported("status", "Waiting for GPS-data...")
        # The indicator blinks green, then red, once a second (black, or the
        # window's grey while it is first painted, may come before).
        self.wait_reported("indicator", RED, timeout=30)
        blinks = [c for c in reported(self.watcher, "indicator") if c in (GREEN, RED)]
        self.assertEqual(blinks[:2], [GREEN, RED], "first two indicator phases")
        receiver.fix()
        self.wait_reported("msgbox", box_text)
        self.assertEqual(self.wine.clipboard_when(expected_text.encode()), expected_text.encode())
        self.assertEqual(reported(self.watcher, "status")[-1], "", "status line cleared")
        # The box's second paragraph is what was copied; the wait's detail is gone.
        self.wait_reported("msgdetail", expected_text)
        self.assertEqual(reported(self.watcher, "detail")[-1], "", "wait detail cleared")
        self.wine.screenshot("quarvel-copied")
        self.dismiss("Quarvel!")
        self.assertEqual(quarvel.wait(60), 0)
        self.assert_status_order()
        # The text outlives Quarvel while a windowed program keeps Wine's desktop up.
        self.assertEqual(self.wine.clipboard(), expected_text.encode())

    def test_coordinates_on_the_clipboard(self):
        self.run_to_position(["COM1:", "n", "0", "0", "1"], COORDINATES,
                             "Quarvel!|Coordinates copied in your clipboard succefully!")

    def test_map_url_on_the_clipboard(self):
        self.run_to_position(["COM1", "k", "1", "0", "0"], URL,
                             "Quarvel!|URL copied in your clipboard succefully!")

    def wait_on_a_silent_receiver(self):
        port = self.wine.serial_port(1)
        receiver = Receiver(port)
        self.addCleanup(setattr, receiver, "running", False)
        receiver.start()
        quarvel = self.start_quarvel("COM1:", "n", "0", "0", "1")
        self.wait_reported("status", "Waiting for GPS-data...")
        self.wait_reported("indicator", RED, timeout=30)
        # The receiver sends GGA without a position: said on the line under the status.
        self.wait_reported("detail", "no fix yet")
        return quarvel

    def stop_while_waiting(self, stop):
        quarvel = self.wait_on_a_silent_receiver()
        stop()
        self.assertEqual(quarvel.wait(60), 3, "stopped before a position")
        time.sleep(0.5)  # a message box would have shown by now
        self.assertEqual(reported(self.watcher, "msgbox"), [])
        self.assert_status_order()

    def test_stop_while_waiting_ends_without_message(self):
        def click_stop():
            self.wine.screenshot("quarvel-waiting")  # the README's picture
            code, out = self.wine.run(wine_harness.mingw_program(WATCH), "click", "1013")
            self.assertEqual(code, 0, out)
        self.stop_while_waiting(click_stop)

    def test_escape_presses_stop(self):
        self.stop_while_waiting(lambda: self.wine.press(self.wine.find_window("Quarvel GPS"),
                                                        "Escape"))

    def test_titled_status_window_leaves_the_form_to_quarvel_config(self):
        quarvel = self.wait_on_a_silent_receiver()
        code, out = self.wine.run(wine_harness.mingw_program(PROBE), "window", "Quarvel GPS")
        self.assertEqual(code, 0, "no window titled 'Quarvel GPS'")
        self.assertEqual(wine_harness.parse_values(out)["caption"], "0", "the caption-less look")
        code, out = self.wine.run(wine_harness.mingw_program(PROBE), "window", "Quarvel")
        self.assertEqual(code, 1, f"a window titled 'Quarvel' while Quarvel waits: {out}")
        # QuarvelConfig, looking for its own form by that title, opens it.
        shutil.copy(wine_harness.mingw_program(CONFIG), self.folder / "QuarvelConfig.exe")
        config = self.wine.start(self.folder / "QuarvelConfig.exe")
        wine_harness.wait_for(lambda: reported(self.watcher, "form"), 30, what="the form")
        self.assertIsNone(config.process.poll(), "QuarvelConfig ended at once")
        code, out = self.wine.run(wine_harness.mingw_program(WATCH), "click", "102")  # Exit
        self.assertEqual((code, config.wait(60)), (0, 0), out)
        self.assertIsNone(quarvel.process.poll(), "Quarvel stopped waiting")

    def test_missing_port_tells_the_user(self):
        quarvel = self.start_quarvel("COM7:", "n", "0", "0", "1")
        self.wait_reported("msgbox", "Error!|Error Opening Comms Port.")
        self.assertEqual(reported(self.watcher, "status")[-1], "Connecting...")
        # The system's reason, with the device path tried, as the second paragraph.
        wine_harness.wait_for(lambda: reported(self.watcher, "msgdetail"), 30, what="a reason")
        reason = reported(self.watcher, "msgdetail")[-1]
        self.assertRegex(reason, r"^\\\\\.\\COM7: \S", "the device path, then the system's words")
        self.wine.screenshot("quarvel-port-error")
        self.dismiss("Error!")
        self.assertEqual(quarvel.wait(60), 1)

    def test_receivers_at_every_speed(self):
        cases = [  # receiver speed, port text, speeds the program may set
            (4800, "COM1:", None), (9600, "COM1:", None), (38400, "COM1:", None),
            (115200, "COM1:", None), (9600, "COM1:@9600", [9600]),
        ]
        for speed, port_text, only in cases:
            with self.subTest(speed=speed, port=port_text):
                port = self.wine.serial_port(1)
                receiver = SpeedReceiver(port, speed)
                self.addCleanup(setattr, receiver, "running", False)
                receiver.start()
                quarvel = self.start_quarvel(port_text, "n", "0", "0", "1")
                # Found by its window: the watcher names a box once per window
                # handle, and Wine hands a closed box's handle to the next one.
                try:
                    box = self.wine.find_window("Quarvel!", timeout=60)
                except TimeoutError as error:
                    self.fail(f"{error}; the speeds set: {receiver.speeds_set}")
                finally:
                    receiver.running = False
                self.assertEqual(self.wine.clipboard_when(COORDINATES.encode()),
                                 COORDINATES.encode())
                self.wine.press(box, "Return")
                self.assertEqual(quarvel.wait(60), 0)
                self.assertEqual(receiver.speeds_set[-1], speed, receiver.speeds_set)
                if only:
                    self.assertEqual(receiver.speeds_set, only)
                self.assertEqual(port.written_back(), b"", "nothing is sent to the receiver")

    def run_with_tray(self, radio, calls):
        tray = self.wine.start(wine_harness.mingw_program(TRAY), radio)
        tray.wait_for_output("ready=1")
        self.run_to_position(["COM1:", "n", "0", "1", "1"], COORDINATES,
                             "Quarvel!|Coordinates copied in your clipboard succefully!")
        got = [" ".join(v.split()[:2]) for v in reported(tray, "call")]
        self.assertEqual(got, calls, tray.output())

    def test_widcomm_tray_switches_radio_on_and_off(self):
        # Off at the start: asked, switched on; asked again at the end, switched off.
        self.run_with_tray("off", ["status answer=4", "on answer=1", "status answer=1",
                                   "off answer=1"])

    def test_widcomm_radio_already_on_is_left_on_then_switched_off(self):
        self.run_with_tray("on", ["status answer=1", "status answer=1", "off answer=1"])

if __name__ == "__main__":
    wine_harness.skip_unless_ready(programs=(QUARVEL, CONFIG, PROBE, WATCH, TRAY))
    unittest.main()
