"""Runs cross-built Windows programs under Wine on a private X display.

One Wine prefix per test run (made by `prepare`), one Xvfb and one persistent
wineserver per session, COM ports backed by pseudo-terminals, and helpers to
find windows, press keys, read the clipboard and take screenshots.
"""
import contextlib
import os
import pty
import shutil
import subprocess
import sys
import termios
import time
import tty
from pathlib import Path

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xserver import XServer  # noqa: E402

SKIP = 77  # CTest's SKIP_RETURN_CODE for the Wine tests


def work_dir():
    return Path(os.environ.get("QUARVEL_WINE_WORK", "/tmp/quarvel-wine"))


def mingw_program(name):
    """A program of the mingw build, e.g. "tests/win32/platform_probe.exe"."""
    return Path(os.environ.get("QUARVEL_MINGW_DIR", "build/mingw")) / name


def skip_unless_ready(need_prefix=True, programs=("tests/win32/platform_probe.exe",)):
    """Ends the test as skipped (CTest's code 77) when Wine, the tools or the
    cross-built programs are missing, saying what to do about it."""
    reasons = [f"{tool} is not installed (scripts/install-deps.sh win32)" for tool in missing_tools()]
    reasons += [f"{mingw_program(p)} is missing: build the mingw preset first "
                f"(cmake --preset mingw && cmake --build --preset mingw)"
                for p in programs if not mingw_program(p).exists()]
    if need_prefix and not (work_dir() / "prefix" / "system.reg").exists():
        reasons.append(f"no Wine prefix in {work_dir()}: run the win32_wine_prefix test first")
    if reasons:
        print("SKIPPED: " + "; ".join(reasons))
        sys.exit(SKIP)


def parse_values(text):
    """The "key=value" lines of a probe's output, as a dict."""
    return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)


def session(screen="800x600x24"):
    return WineSession(work_dir() / "prefix", work_dir() / "artifacts", screen)


def wait_for(condition, timeout=30.0, interval=0.05, what="condition"):
    """Polls until condition() is truthy and returns its value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def base_env(prefix, display=None):
    env = dict(os.environ)
    env.update(WINEPREFIX=str(prefix), WINEARCH="win64", WINEDEBUG="-all", LANG="C.UTF-8",
               LC_ALL="C.UTF-8", WINEDLLOVERRIDES="mscoree,mshtml=")
    if display:
        env["DISPLAY"] = display
    else:
        env.pop("DISPLAY", None)
    return env


def missing_tools():
    tools = ("wine", "wineserver", "Xvfb", "xdotool", "xclip", "import")
    return [t for t in tools if not shutil.which(t)]


def port_link(prefix, number):
    """The fixed path that HKLM\\Software\\Wine\\Ports maps COMn to; each session
    points it at a fresh pseudo-terminal."""
    return Path(prefix).parent / f"com{number}"


def prepare(prefix, ports=(1, 2, 12)):
    """Makes a fresh prefix: no window-manager waits, COM ports on fixed links."""
    prefix = Path(prefix)
    if prefix.exists():
        subprocess.run(["wineserver", "-k"], env=base_env(prefix), check=False)
        shutil.rmtree(prefix)
    prefix.parent.mkdir(parents=True, exist_ok=True)
    env = base_env(prefix)
    subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=300)
    # The title bar's glyphs come from Marlett; Wine does not pick fonts-wine's copy
    # up by itself and draws the letters ("r" for the close box) instead.
    marlett = Path("/usr/share/wine/fonts/marlett.ttf")
    if marlett.exists():
        shutil.copy(marlett, prefix / "drive_c" / "windows" / "Fonts" / "marlett.ttf")
    keys = [("HKCU\\Software\\Wine\\X11 Driver", "Managed", "N")]
    keys += [("HKLM\\Software\\Wine\\Ports", f"COM{n}", str(port_link(prefix, n))) for n in ports]
    for key, name, value in keys:
        subprocess.run(["wine", "reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", value, "/f"],
                       env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=120)
    subprocess.run(["wineserver", "-w"], env=env, check=False, timeout=120)


def wine_reg(prefix, *args):
    """Changes the prefix's registry outside a session. The wineserver it starts (and
    the desktop process, without a display) lingers a few seconds: a session opened
    meanwhile would join it and every window would fail, so this waits for its end."""
    env = base_env(prefix)
    subprocess.run(["wine", "reg", *args], env=env, check=False, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120)
    subprocess.run(["wineserver", "-w"], env=env, check=False, timeout=120)


@contextlib.contextmanager
def display_dpi(prefix, dpi):
    """The display at dpi (96 is 100 % scaling, 144 150 %, 192 200 %) for the
    sessions opened inside; the prefix's other tests keep 96 afterwards."""
    key = "HKCU\\Control Panel\\Desktop"
    wine_reg(prefix, "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    try:
        yield
    finally:
        wine_reg(prefix, "delete", key, "/v", "LogPixels", "/f")


def start_xvfb(screen="800x600x24"):
    """An Xvfb on a display number it picks itself, so parallel tests never clash."""
    server = XServer(screen=screen)
    return server.proc, server.display


class PseudoPort:
    """The receiver's end of a COM port: a pty whose slave Wine opens."""

    def __init__(self, link):
        self.master, self.slave = pty.openpty()
        tty.setraw(self.master)
        tty.setraw(self.slave)
        self.link = Path(link)
        with contextlib.suppress(FileNotFoundError):
            self.link.unlink()
        self.link.symlink_to(os.ttyname(self.slave))

    def write(self, data):
        os.write(self.master, data)

    def speed(self):
        """The speed the program has set on the terminal, in baud (0 when unknown)."""
        speeds = {getattr(termios, f"B{n}"): n for n in (4800, 9600, 19200, 38400, 57600, 115200)}
        return speeds.get(termios.tcgetattr(self.slave)[4], 0)

    def written_back(self):
        """What the program sent towards the receiver."""
        os.set_blocking(self.master, False)
        try:
            return os.read(self.master, 4096)
        except BlockingIOError:
            return b""
        finally:
            os.set_blocking(self.master, True)

    def hang_up(self):
        """The receiver goes away (as when a USB adapter is pulled)."""
        if self.master >= 0:
            os.close(self.master)
            self.master = -1

    def close(self):
        self.hang_up()
        if self.slave >= 0:
            os.close(self.slave)
            self.slave = -1
        with contextlib.suppress(FileNotFoundError):
            self.link.unlink()


class Program:
    """A started Windows program and what it has printed so far."""

    def __init__(self, process, out, err):
        self.process, self.out, self.err = process, out, err

    def output(self):
        self.out.seek(0)
        return self.out.read().decode("utf-8", "replace").replace("\r\n", "\n")

    def errors(self):
        self.err.seek(0)
        return self.err.read().decode("utf-8", "replace")

    def wait_for_output(self, text, timeout=30.0):
        """Polls the output until it holds text; fails early if the program ended."""
        def seen():
            if text in self.output():
                return True
            if self.process.poll() is not None and text not in self.output():
                raise AssertionError(f"program ended ({self.process.returncode}) without "
                                     f"printing {text!r}; it printed {self.output()!r}")
            return False
        wait_for(seen, timeout, what=repr(text))

    def wait(self, timeout=120.0):
        return self.process.wait(timeout)

    def values(self):
        """The "key=value" lines printed so far, as a dict."""
        return parse_values(self.output())


class WineSession:
    """One Xvfb display and one persistent wineserver on a prepared prefix."""

    def __init__(self, prefix, artifacts=None, screen="800x600x24"):
        self.prefix, self.screen = Path(prefix), screen
        self.artifacts = Path(artifacts) if artifacts else self.prefix.parent / "artifacts"
        self.ports = {}
        self.programs = []

    def __enter__(self):
        self.xvfb, self.display = start_xvfb(self.screen)
        self.env = base_env(self.prefix, self.display)
        self.server = subprocess.Popen(["wineserver", "-p", "-f"], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Wine's service processes start with the first program and inherit its
        # output: start them here, on /dev/null, so no later pipe stays open.
        subprocess.run(["wine", "cmd", "/c", "exit"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120,
                       check=False)
        return self

    def __exit__(self, *exc):
        for program in self.programs:
            if program.process.poll() is None:
                program.process.kill()
                program.process.wait()
            program.out.close()
            program.err.close()
        subprocess.run(["wineserver", "-k"], env=self.env, check=False)
        with contextlib.suppress(subprocess.TimeoutExpired):
            self.server.wait(timeout=30)
        for port in self.ports.values():
            port.close()
        self.xvfb.terminate()
        self.xvfb.wait()
        return False

    def serial_port(self, number=1):
        """Backs COMn with a fresh pseudo-terminal; returns its receiver end."""
        if number in self.ports:
            self.ports[number].close()
        self.ports[number] = PseudoPort(port_link(self.prefix, number))
        return self.ports[number]

    def start(self, exe, *args, cwd=None):
        """Starts a Windows program; its output goes to files read by Program."""
        self.artifacts.mkdir(parents=True, exist_ok=True)
        stem = self.artifacts / f"{Path(exe).stem}-{len(self.programs)}"
        out, err = open(f"{stem}.out", "w+b"), open(f"{stem}.err", "w+b")
        process = subprocess.Popen(["wine", str(exe), *args], env=self.env, cwd=cwd,
                                   stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        program = Program(process, out, err)
        self.programs.append(program)
        return program

    def run(self, exe, *args, timeout=120, cwd=None):
        """Runs a program to its end: (exit code, standard output)."""
        program = self.start(exe, *args, cwd=cwd)
        return program.wait(timeout), program.output()

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                                text=True, check=False)
        return result.stdout.split()

    def find_window(self, title, timeout=30.0):
        """The X window id of the first visible window whose title matches."""
        return wait_for(lambda: next(iter(self.xdotool("search", "--onlyvisible", "--name",
                                                       f"^{title}$")), None),
                        timeout, what=f"a window titled {title!r}")

    def window_gone(self, title, timeout=30.0):
        wait_for(lambda: not self.xdotool("search", "--onlyvisible", "--name", f"^{title}$"),
                 timeout, what=f"the window {title!r} to close")

    def press(self, window, key):
        """Focuses the window and sends a plain key press (see DESIGN: a synthetic
        event to a given window can leave Wine believing the key is held)."""
        self.xdotool("windowfocus", "--sync", window)
        self.xdotool("key", key)

    def clipboard(self):
        """The X11 clipboard text; a Wine window must be alive to serve it."""
        result = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=self.env,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=30,
                                check=False)
        return result.stdout if result.returncode == 0 else None

    def clipboard_when(self, expected, timeout=30.0):
        """Polls the clipboard until it holds expected; returns what it held last."""
        deadline = time.monotonic() + timeout
        while True:
            got = self.clipboard()
            if got == expected or time.monotonic() > deadline:
                return got
            time.sleep(0.1)

    def screenshot(self, name, window="root"):
        """The screen, or one X window (an id from find_window), as a PNG."""
        self.artifacts.mkdir(parents=True, exist_ok=True)
        path = self.artifacts / f"{name}.png"
        subprocess.run(["import", "-window", str(window), str(path)], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        return path
