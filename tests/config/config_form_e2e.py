#!/usr/bin/env python3
"""quarvel-config end to end in a real terminal (tmux): edit the form, save the
settings file and shortcuts, and the single-instance rule."""
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xserver import XServer  # noqa: E402

BINARY = None
QUARVEL = None  # the locator program, for the round trip; None skips it
TIMEOUT = 30.0


class Terminal:
    """One tmux server of its own, running one program in an 80x24 window."""

    def __init__(self, root, command, width=80, height=24):
        self.socket = os.path.join(root, "tmux.sock")
        self.exit_file = os.path.join(root, "exit-code")
        if os.path.exists(self.exit_file):
            os.remove(self.exit_file)
        shell = f"{command}; echo $? > {self.exit_file}; sleep 600"
        self.tmux("-f", "/dev/null", "new-session", "-d", "-x", str(width), "-y", str(height),
                  shell)

    def tmux(self, *args):
        return subprocess.run(["tmux", "-S", self.socket, *args], check=True,
                              capture_output=True, text=True).stdout

    def screen(self):
        return self.tmux("capture-pane", "-p")

    def keys(self, *keys):
        self.tmux("send-keys", *keys)

    def type(self, text):
        self.tmux("send-keys", "-l", text)

    def wait_for(self, text, absent=False):
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            screen = self.screen()
            if (text in screen) != absent:
                return screen
            time.sleep(0.05)
        raise AssertionError(f"{'still' if absent else 'never'} saw {text!r} on:\n{self.screen()}")

    def save_main_config(self):
        """Save, Main config, and the success box answered."""
        self.keys("F2")
        self.wait_for("Main config")
        self.keys("Enter")
        self.wait_for("Config saved successfully!")
        self.keys("Enter")
        self.wait_for("Config saved successfully!", absent=True)

    def wait_for_exit(self):
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            if os.path.exists(self.exit_file):
                with open(self.exit_file) as f:
                    code = f.read().strip()
                if code:
                    return int(code)
            time.sleep(0.05)
        raise AssertionError(f"the program did not end; screen:\n{self.screen()}")

    def close(self):
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], capture_output=True)


class ProgramFolder(unittest.TestCase):
    """A copy of quarvel-config in a scratch folder, with a home and XDG folders of
    its own, run in a terminal of its own."""

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="quarvel-config-e2e-")
        self.bin = os.path.join(self.root, "bin")
        self.home = os.path.join(self.root, "home")
        self.run_dir = os.path.join(self.root, "run")
        self.data = os.path.join(self.root, "data")
        for d in (self.bin, self.home, self.run_dir):
            os.makedirs(d, mode=0o700)
        # A copy of the program, so that settings.ini lands beside it here.
        self.program = os.path.join(self.bin, "quarvel-config")
        shutil.copy(BINARY, self.program)
        self.env = {"HOME": self.home, "XDG_RUNTIME_DIR": self.run_dir,
                    "XDG_DATA_HOME": self.data, "TERM": "xterm-256color", "LANG": "C.UTF-8",
                    "PATH": os.environ.get("PATH", "/usr/bin:/bin")}
        self.terminals = []

    def tearDown(self):
        for t in self.terminals:
            t.close()
        shutil.rmtree(self.root, ignore_errors=True)

    def start(self, width=80, name=""):
        exports = " ".join(f"{k}='{v}'" for k, v in self.env.items())
        root = os.path.join(self.root, name) if name else self.root
        os.makedirs(root, exist_ok=True)
        t = Terminal(root, f"env -i {exports} '{self.program}'", width=width)
        self.terminals.append(t)
        return t

    def read(self, name):
        with open(name, "rb") as f:
            return f.read()


class ConfigFormEndToEnd(ProgramFolder):
    def test_edit_save_shortcuts_and_single_instance(self):
        t = self.start()
        t.wait_for("F1 Exit")
        t.wait_for("[COM1:")
        # Back deletes the port, then a new one is typed.
        t.keys(*["BSpace"] * 5)
        t.wait_for("[COM1:", absent=True)
        t.type("COM4:")
        t.wait_for("[COM4:")
        # Tab order: port, coordinates only, Bluetooth, map type, lite map.
        t.keys("Tab", "Tab", "Space")
        t.keys("Tab", "Right", "Right")
        t.wait_for("Hybrid")
        t.save_main_config()
        settings = self.read(os.path.join(self.bin, "settings.ini"))
        self.assertEqual(settings, b"# COM port\nCOM4:\n# Default map type\nh\n# Lite map\n1\n"
                                   b"# Bluetooth\n1\n# Coordinates only\n0\n")
        self.assertEqual(len(settings), 86)

        # A second start on a terminal says the form is open and ends, without a form.
        second = self.start(name="second")
        screen = second.wait_for("the form is already open")
        self.assertNotIn("F1 Exit", screen)
        self.assertEqual(second.wait_for_exit(), 0)

        # A shortcut under a name: the text shortcut and its desktop entry.
        t.keys("F2", "Down", "Enter")
        t.wait_for("Enter shortcut name:")
        t.type("GPS")
        t.keys("F2")
        t.wait_for("Shortcut saved successfully!")
        t.keys("Enter")
        target = os.path.join(self.bin, "quarvel")
        programs = os.path.join(self.data, "applications")
        lnk = self.read(os.path.join(programs, "GPS.lnk")).decode()
        self.assertEqual(lnk, f'{len(target) + 2}#"{target}" COM4: h 1 1 0')
        desktop = self.read(os.path.join(programs, "GPS.desktop")).decode()
        self.assertEqual(desktop, "[Desktop Entry]\nType=Application\nName=GPS\n"
                                  f"Exec={target} COM4: h 1 1 0\nIcon=org.quarvel.Quarvel\n"
                                  "Terminal=false\n")

        # The same name again: No keeps the dialog, Cancel writes nothing.
        t.keys("F2", "Down", "Enter")
        t.wait_for("Enter shortcut name:")
        t.type("GPS")
        t.keys("F2")
        t.wait_for("This file already exists. Overwrite?")
        t.keys("n")
        t.wait_for("Overwrite?", absent=True)
        screen = t.wait_for("Enter shortcut name:")
        self.assertIn("GPS", screen)
        t.keys("F1")
        t.wait_for("F2 Save")
        self.assertEqual(self.read(os.path.join(programs, "GPS.lnk")).decode(), lnk)

        # An empty name is refused; the dialog stays.
        t.keys("F2", "Down", "Enter")
        t.wait_for("Enter shortcut name:")
        t.keys("F2")
        t.wait_for("You must enter valid shortcut name!")
        t.keys("Enter")
        t.wait_for("You must enter valid shortcut name!", absent=True)
        t.wait_for("Enter shortcut name:")
        t.keys("Escape")
        t.wait_for("F2 Save")
        self.assertEqual(sorted(os.listdir(programs)), ["GPS.desktop", "GPS.lnk"])

        t.keys("F1")
        self.assertEqual(t.wait_for_exit(), 0)

    def test_opens_the_saved_settings_and_greys_for_coordinates_only(self):
        with open(os.path.join(self.bin, "settings.ini"), "w") as f:
            f.write("# COM port\nBSP4:\n# Default map type\np\n# Lite map\n0\n"
                    "# Bluetooth\n0\n# Coordinates only\n1\n")
        t = self.start()
        screen = t.wait_for("[BSP4:")
        self.assertIn("Physical", screen)
        # The map type and lite map are drawn dim (greyed); Bluetooth is not.
        coloured = t.tmux("capture-pane", "-p", "-e").splitlines()
        for label, dim in (("Lite map:", True), ("Map type:", True), ("Bluetooth:", False)):
            line = next(l for l in coloured if label in l)
            self.assertEqual("\x1b[2m" in line, dim, f"{label} line: {line!r}")
        t.keys("Tab", "Space")  # coordinates only off: usable again
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            line = next(l for l in t.tmux("capture-pane", "-p", "-e").splitlines()
                        if "Lite map:" in l)
            if "\x1b[2m" not in line:
                break
            time.sleep(0.05)
        else:
            self.fail(f"lite map stayed greyed: {line!r}")
        # Ctrl-C closes the form without saving.
        t.keys("C-c")
        self.assertEqual(t.wait_for_exit(), 0)
        self.assertIn(b"BSP4:", self.read(os.path.join(self.bin, "settings.ini")))

    def test_format_list_saves_the_sixth_value_and_keeps_the_seventh(self):
        five = (b"# COM port\nBSP4:\n# Default map type\np\n# Lite map\n0\n"
                b"# Bluetooth\n0\n# Coordinates only\n1\n")
        with open(os.path.join(self.bin, "settings.ini"), "wb") as f:
            f.write(five + b"# Format\ngeo\n# Map host\nmaps.example.org:8080\n")
        t = self.start()
        screen = t.wait_for("[geo")
        line = next(l for l in screen.splitlines() if "Format:" in l)
        self.assertIn("[geo", line, f"the list is not beside its label on:\n{screen}")
        # Tab order: port, coordinates only, Bluetooth, then (map type and lite map
        # greyed) the format list.
        t.keys("Tab", "Tab", "Tab", "Right")
        t.wait_for("[osm")
        t.save_main_config()
        self.assertEqual(self.read(os.path.join(self.bin, "settings.ini")),
                         five + b"# Format\nosm\n# Map host\nmaps.example.org:8080\n")
        t.keys("F1")
        self.assertEqual(t.wait_for_exit(), 0)

    def test_narrow_terminal_gets_the_smartphone_layout(self):
        t = self.start(width=38)
        t.wait_for("GPS COM-port:")
        screen = t.wait_for("[Normal")
        # Each label shares its row with the field it names.
        for label, field in (("GPS COM-port:", "[COM1:"), ("Map type:", "[Normal"),
                             ("Format:", "[as Coordinates")):
            line = next(l for l in screen.splitlines() if label in l)
            self.assertIn(field, line, f"{label!r} is not beside its field on:\n{screen}")
        t.keys("F1")
        self.assertEqual(t.wait_for_exit(), 0)

    def test_unwritable_settings_file_is_reported(self):
        # A folder in the file's place cannot be replaced, not even by root.
        os.mkdir(os.path.join(self.bin, "settings.ini"))
        t = self.start()
        t.wait_for("F1 Exit")
        t.keys("F2", "Enter")
        screen = t.wait_for("Error!")
        self.assertIn("could not be saved", screen)
        self.assertNotIn("successfully", screen)
        t.keys("Enter")
        t.wait_for("Error!", absent=True)
        t.keys("F1")
        self.assertEqual(t.wait_for_exit(), 0)
        self.assertEqual(sorted(os.listdir(self.bin)), ["quarvel-config", "settings.ini"],
                         "a scratch file was left")


class StartingWithoutAForm(ProgramFolder):
    """Without a terminal to draw on, and for --help and --version, no form opens."""

    def run_detached(self, *args, term="xterm-256color"):
        """Runs the program with no terminal at all (its own session, /dev/null in,
        files out); returns status, CPU seconds, wall seconds, stdout and stderr."""
        out, err = (tempfile.TemporaryFile() for _ in range(2))
        env = dict(self.env, TERM=term)
        started = time.monotonic()
        program = subprocess.Popen([self.program, *args], env=env, stdin=subprocess.DEVNULL,
                                   stdout=out, stderr=err, start_new_session=True)
        deadline = started + TIMEOUT
        while (result := os.wait4(program.pid, os.WNOHANG))[0] == 0:
            if time.monotonic() > deadline:
                program.kill()
                self.fail(f"{args} still runs after {TIMEOUT} s")
            time.sleep(0.01)
        wall = time.monotonic() - started
        _, status, usage = result
        program.returncode = os.waitstatus_to_exitcode(status)  # reaped here, not by Popen
        texts = []
        for f in (out, err):
            with f:
                f.seek(0)
                texts.append(f.read().decode())
        return program.returncode, usage.ru_utime + usage.ru_stime, wall, *texts

    def test_without_a_terminal_it_says_why_and_ends_at_once(self):
        code, cpu, wall, out, err = self.run_detached()
        self.assertEqual(code, 1, err)
        self.assertIn("quarvel-config: cannot show the form: standard input is not a terminal",
                      err)
        self.assertEqual(out, "", "a form was drawn into nothing")
        # It used to draw anyway and spin; ending is measured, not assumed.
        self.assertLess(cpu, 0.5, f"{cpu:.2f} s of CPU")
        self.assertLess(wall, 5.0)
        self.assertFalse(os.path.exists(os.path.join(self.bin, "settings.ini")))

    def test_help_version_and_unknown_arguments(self):
        cases = [  # arguments, status, stdout's pattern, text on stderr
            (["--help"], 0, r"^Usage: quarvel-config \[OPTION...\]\n", ""),
            (["-h"], 0, r"  --version +print the version", ""),
            (["--version"], 0, r"^quarvel-config \d+\.\d+\.\d+\n$", ""),
            (["--gui-please"], 64, r"^$", "unknown option '--gui-please'"),
            (["--help", "x"], 64, r"^$", "unexpected argument 'x'"),
            (["COM1:"], 64, r"^$", "unexpected argument 'COM1:'"),
        ]
        for args, status, stdout, stderr in cases:
            with self.subTest(args=args):
                code, _, _, out, err = self.run_detached(*args)
                self.assertEqual(code, status, err)
                self.assertRegex(out, stdout)
                self.assertIn(stderr, err)

    def test_a_terminal_that_cannot_place_the_cursor_is_refused(self):
        for term, why in (("dumb", "TERM) cannot place"), ("no-such-term", "TERM) is unknown")):
            with self.subTest(term=term):
                self.env["TERM"] = term
                t = self.start(name=term)
                screen = t.wait_for(why)
                self.assertNotIn("F1 Exit", screen)
                self.assertEqual(t.wait_for_exit(), 1)


class RoundTripWithQuarvel(ProgramFolder):
    """What quarvel-config saves is what quarvel runs with."""

    def setUp(self):
        if not QUARVEL:
            self.skipTest("quarvel is not built")
        super().setUp()
        shutil.copy(QUARVEL, os.path.join(self.bin, "quarvel"))
        self.x = XServer()
        self.addCleanup(self.x.close)

    def run_quarvel(self, argv):
        env = {"HOME": self.home, "PATH": self.env["PATH"], "DISPLAY": self.x.display,
               "LANG": "C.UTF-8"}
        # --terminal: with a display and no terminal quarvel would open its window.
        done = subprocess.run(argv[:1] + ["--terminal"] + argv[1:], env=env, cwd="/", stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=120)
        return done.returncode, done.stdout.decode(), done.stderr.decode()

    def test_settings_file_and_shortcut_start_quarvel_with_the_form_values(self):
        t = self.start()
        t.wait_for("[COM1:")
        t.keys(*["BSpace"] * 5)
        t.wait_for("[COM1:", absent=True)
        t.type("DEMO:")
        t.keys("Tab", "Tab", "Tab", "Right")  # map type: Satellite; lite map stays on
        t.wait_for("Satellite")
        t.keys("F2", "Enter")
        t.wait_for("Config saved successfully!")
        t.keys("Enter")
        t.keys("F2", "Down", "Enter")
        t.wait_for("Enter shortcut name:")
        t.type("Demo run")
        t.keys("F2")
        t.wait_for("Shortcut saved successfully!")
        t.keys("Enter", "F1")
        self.assertEqual(t.wait_for_exit(), 0)

        quarvel = os.path.join(self.bin, "quarvel")
        # No arguments: quarvel reads the settings.ini that quarvel-config wrote.
        status, out, err = self.run_quarvel([quarvel])
        self.assertEqual(status, 0, err)
        # The simulated receiver wanders a little: the settings show in the query.
        url = r"^http://[^/]+/quarvel/\?lat=[-0-9.]+&lon=[-0-9.]+&t=s&s=1\n$"
        self.assertRegex(out, url)

        # The desktop entry's Exec line starts quarvel with the same five words.
        programs = os.path.join(self.data, "applications")
        with open(os.path.join(programs, "Demo run.desktop")) as f:
            exec_line = next(l for l in f.read().splitlines() if l.startswith("Exec="))
        argv = shlex.split(exec_line[len("Exec="):])
        self.assertEqual(argv, [quarvel, "DEMO:", "s", "1", "0", "0"])
        status, out, err = self.run_quarvel(argv)
        self.assertEqual(status, 0, err)
        self.assertRegex(out, url)

        # And the text shortcut names the same program and line.
        with open(os.path.join(programs, "Demo run.lnk")) as f:
            count, command = f.read().split("#", 1)
        self.assertEqual(int(count), len(quarvel) + 2)
        self.assertEqual(command, f'"{quarvel}" DEMO: s 1 0 0')


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
        QUARVEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
