"""A desktop for the GTK windows' tests: a private Xvfb, the accessibility tree
read through AT-SPI on the private session bus this test runs in, and xdotool
for the user's keys and clicks."""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xserver import XServer  # noqa: E402

TIMEOUT = 60.0  # seconds; AT-SPI answers slowly on a loaded machine


class Desktop:
    def __init__(self):
        self.x = XServer()
        os.environ["DISPLAY"] = self.x.display
        os.environ.pop("WAYLAND_DISPLAY", None)
        os.environ["GTK_A11Y"] = "atspi"
        os.environ["GDK_BACKEND"] = "x11"
        # The accessibility bus puts its socket in XDG_RUNTIME_DIR, else in ~/.cache
        # where another desktop test's bus, ending, removes it: a folder of its own.
        runtime = tempfile.mkdtemp(prefix="quarvel-desktop-")
        os.environ["XDG_RUNTIME_DIR"] = runtime
        subprocess.run(["dbus-update-activation-environment", f"XDG_RUNTIME_DIR={runtime}"],
                       check=True)
        import pyatspi  # after DISPLAY, so that it finds this desktop's bus
        self.atspi = pyatspi

    def close(self):
        self.x.close()

    def start(self, command, cwd=None, env=None):
        return subprocess.Popen(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    # --- reading -------------------------------------------------------
    def nodes(self, app_name):
        """Every (role, name, node) in the accessibility tree of one program."""
        found = []

        def walk(node):
            try:
                found.append((node.getRoleName(), node.name or "", node))
                for child in node:
                    walk(child)
            except Exception:  # a node that went while it was read
                pass
        desktop = self.atspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == app_name:
                walk(app)
        return found

    def texts(self, app_name):
        return [name for role, name, _ in self.nodes(app_name) if role == "label"]

    def wait_for(self, what, condition, timeout=TIMEOUT):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            result = condition()
            if result:
                return result
            time.sleep(0.1)
        raise AssertionError(f"never saw {what}")

    def node(self, app_name, role, name, timeout=TIMEOUT):
        def find():
            for r, n, node in self.nodes(app_name):
                if r == role and n == name:
                    return node
            return None
        return self.wait_for(f"{role} {name!r} of {app_name}", find, timeout)

    def windows(self, name):
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{name}$"],
                                capture_output=True, text=True)
        return result.stdout.split()

    def wait_for_window(self, name, timeout=TIMEOUT):
        return self.wait_for(f"window {name!r}", lambda: self.windows(name), timeout)[0]

    # --- input ---------------------------------------------------------
    def key(self, window, *keys):
        subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", "--clearmodifiers",
                        *keys], check=True)

    def type(self, window, text):
        subprocess.run(["xdotool", "windowfocus", "--sync", window, "type", "--delay", "20",
                        text], check=True)

    def click(self, window, node):
        """A mouse click in the middle of an accessible widget of a window."""
        box = node.queryComponent().getExtents(self.atspi.WINDOW_COORDS)
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                                  capture_output=True, text=True, check=True).stdout
        place = dict(line.split("=", 1) for line in geometry.split())
        x = int(place["X"]) + box.x + box.width // 2
        y = int(place["Y"]) + box.y + box.height // 2
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"],
                       check=True)

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], check=True)
