"""Helpers for running the real quarvel: a pseudo-terminal receiver, a private
X server, a process whose standard error is read as it comes, CPU time."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from xserver import XServer  # noqa: E402  (re-exported for the tests)

QUARVEL = os.environ.get("QUARVEL", "")
PATIENCE = 60.0  # seconds; generous for a loaded machine and sanitizers

NO_FIX_GGA = "GPGGA,120000.00,,,,,0,00,99.9,,M,,M,,"
FIX_GGA = "GPGGA,120001.00,5545.3480,N,03737.0380,E,1,08,0.9,150.0,M,14.0,M,,"
FIX_RMC = "GPRMC,120001.00,A,5545.3480,N,03737.0380,E,0.0,0.0,070126,,,A"


def sentence(body):
    checksum = 0
    for ch in body.encode():
        checksum ^= ch
    return "$%s*%02X\r\n" % (body, checksum)


def wait_for(condition, timeout=PATIENCE, step=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(step)
    return condition()


class PtyReceiver:
    """A GPS receiver on a pseudo-terminal: no fix for fix_after seconds, then
    a fix, one burst every 0.5 s. port is the name Quarvel takes (pts/N)."""

    def __init__(self, fix_after=2.0, fix=True):
        self.master, self.slave = os.openpty()
        self.port = os.ttyname(self.slave)[len("/dev/"):]
        self.fix_after = fix_after
        self.fix = fix
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self):
        start = time.monotonic()
        while not self._stop.wait(0.5):
            fixed = self.fix and time.monotonic() - start >= self.fix_after
            burst = sentence(FIX_GGA) + sentence(FIX_RMC) if fixed else sentence(NO_FIX_GGA)
            try:
                os.write(self.master, burst.encode())
            except OSError:
                return

    def unplug(self):
        """The receiver goes away: the line hangs up for every holder."""
        self._stop.set()
        self._thread.join()
        for fd in (self.master, self.slave):
            try:
                os.close(fd)
            except OSError:
                pass
        self.master = self.slave = -1

    def close(self):
        if self.master >= 0:
            self.unplug()


class CaptureReplay:
    """A receiver on a pseudo-terminal that plays a capture back once start() is
    called, one epoch (from one $GNRMC to the next) every epoch_seconds, then
    repeats the last epoch until closed."""

    def __init__(self, capture, epoch_seconds=0.5):
        self.master, self.slave = os.openpty()
        self.port = os.ttyname(self.slave)[len("/dev/"):]
        data = open(capture, "rb").read()
        starts = [0] + [i for i in range(1, len(data)) if data.startswith(b"$GNRMC", i)]
        self.epochs = [data[a:b] for a, b in zip(starts, starts[1:] + [len(data)])]
        self.epoch_seconds = epoch_seconds
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def start(self):
        self._thread.start()

    def _run(self):
        for index in range(1 << 30):
            try:
                os.write(self.master, self.epochs[min(index, len(self.epochs) - 1)])
            except OSError:
                return
            if self._stop.wait(self.epoch_seconds):
                return

    def close(self):
        self._stop.set()
        if self._thread.is_alive():
            self._thread.join()
        for fd in (self.master, self.slave):
            os.close(fd)


def environment(display=None, **changes):
    env = dict(os.environ)
    for name in ("WAYLAND_DISPLAY", "DISPLAY"):
        env.pop(name, None)
    if display:
        env["DISPLAY"] = display
    env.update(changes)
    return env


class Quarvel:
    """The real program with stdin not a terminal; stderr collected as it comes."""

    def __init__(self, args, env, program=None, cwd=None):
        # --terminal: with a display and no terminal it would otherwise open its window.
        self.proc = subprocess.Popen([program or QUARVEL, "--terminal"] + list(args), env=env,
                                     cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)
        self._stderr = b""
        self._stdout = b""
        self._lock = threading.Lock()
        self._readers = [threading.Thread(target=self._read, args=(stream, name), daemon=True)
                         for stream, name in ((self.proc.stderr, "_stderr"),
                                              (self.proc.stdout, "_stdout"))]
        for reader in self._readers:
            reader.start()

    def _read(self, stream, name):
        for chunk in iter(lambda: stream.read1(4096), b""):
            with self._lock:
                setattr(self, name, getattr(self, name) + chunk)

    @property
    def stderr(self):
        with self._lock:
            return self._stderr.decode(errors="replace")

    def wait_for_text(self, text, timeout=PATIENCE):
        return wait_for(lambda: text in self.stderr or self.proc.poll() is not None and
                        text in self.stderr, timeout)

    def finish(self, timeout=PATIENCE):
        """Exit status (None: it hung and was killed) and standard output, once
        every holder of the output pipes has closed them."""
        try:
            status = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            status = None
        for reader in self._readers:
            reader.join(timeout)
        with self._lock:
            return status, self._stdout.decode(errors="replace")

    def cpu_seconds(self):
        with open("/proc/%d/stat" % self.proc.pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def sanitizer_report(stderr):
    return "ThreadSanitizer" in stderr or "AddressSanitizer" in stderr or "runtime error" in stderr
