#!/usr/bin/env python3
"""The Debian package on this machine: installed with apt-get as root, used by an
unprivileged user with a home of their own (settings land in ~/.config/quarvel,
nothing under /usr), then removed without a file of it left behind."""
import glob
import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "config"))
from config_form_e2e import Terminal  # noqa: E402
from xserver import XServer  # noqa: E402

SKIP = 77
DIST = VERSION = None
MAP_PAGE_TEST = os.path.join(HERE, "..", "web", "map_page_test.py")
PROBE = HOST = None  # map_url_probe and the map host it was built with
USER = "nobody"
SAVED = (b"# COM port\nDEMO:\n# Default map type\nn\n# Lite map\n1\n"
         b"# Bluetooth\n0\n# Coordinates only\n1\n")


def apt_get(*args):
    """apt-get as root, waiting while another apt holds the lock."""
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    for _ in range(60):
        result = subprocess.run(["apt-get", "-y", "-q", *args], env=env, capture_output=True,
                                text=True, timeout=300)
        if result.returncode == 0 or "lock" not in result.stderr.lower():
            return result
        time.sleep(5)
    return result


def package_files():
    result = subprocess.run(["dpkg-query", "-L", "quarvel"], capture_output=True, text=True)
    return [p for p in result.stdout.splitlines() if os.path.isfile(p)]


def settings_files_under_usr():
    found = subprocess.run(["find", "/usr", "-xdev", "-name", "settings.ini"],
                           capture_output=True, text=True).stdout
    return sorted(found.split())


class DebianPackage(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="quarvel-deb-")
        os.chmod(self.root, 0o755)
        self.home = os.path.join(self.root, "home")
        os.mkdir(self.home, 0o700)
        user = pwd.getpwnam(USER)
        os.chown(self.home, user.pw_uid, user.pw_gid)
        self.env = {"HOME": self.home, "TERM": "xterm-256color", "LANG": "C.UTF-8",
                    "PATH": "/usr/bin:/bin", "XDG_RUNTIME_DIR": self.home}
        self.xserver = XServer()
        self.addCleanup(self.xserver.close)
        self.addCleanup(shutil.rmtree, self.root, True)
        self.before = settings_files_under_usr()

    def as_user(self, *command):
        """The command line that runs command as the unprivileged user."""
        user = pwd.getpwnam(USER)
        return ["setpriv", f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}", "--clear-groups",
                "env", "-i", *[f"{k}={v}" for k, v in self.env.items()],
                f"DISPLAY={self.xserver.display}", *command]

    def run_as_user(self, *command, timeout=60):
        return subprocess.run(self.as_user(*command), capture_output=True, text=True,
                              stdin=subprocess.DEVNULL, timeout=timeout)

    def save_with_quarvel_config(self):
        """QuarvelConfig's Main config in a real terminal: port DEMO:, coordinates only."""
        t = Terminal(self.root, " ".join(f"'{w}'" for w in self.as_user("quarvel-config")))
        self.addCleanup(t.close)
        t.wait_for("[COM1:")
        t.keys(*["BSpace"] * 5)
        t.type("DEMO:")
        t.wait_for("[DEMO:")
        t.keys("Tab", "Space")  # coordinates only
        t.save_main_config()
        t.keys("F1")
        self.assertEqual(t.wait_for_exit(), 0)

    def check_map_page(self, installed):
        """The page as installed, with Debian's Leaflet, in the map page's browser test."""
        page = "/usr/share/quarvel/web/quarvel"
        self.assertIn(f"{page}/index.html", installed)
        self.assertEqual(os.path.realpath(f"{page}/leaflet"), "/usr/share/javascript/leaflet")
        if not PROBE:
            print("map page not run in the browser: built without QUARVEL_WEB")
            return
        result = subprocess.run([sys.executable, MAP_PAGE_TEST, "--root", os.path.dirname(page),
                                 "--probe", PROBE, "--host", HOST],
                                capture_output=True, text=True, timeout=300)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_install_use_and_remove(self):
        debs = glob.glob(os.path.join(DIST, f"quarvel_{VERSION}_*.deb"))
        self.assertEqual(len(debs), 1, f"one package of version {VERSION} in {DIST}")
        result = apt_get("install", "--no-install-recommends", os.path.abspath(debs[0]))
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        installed = package_files()
        self.addCleanup(apt_get, "remove", "quarvel")  # also when a check below fails
        for path in ("/usr/bin/quarvel", "/usr/bin/quarvel-config", "/usr/bin/quarvel-decode",
                     "/usr/share/man/man1/quarvel.1.gz", "/usr/share/quarvel/per-user-settings",
                     "/usr/share/applications/org.quarvel.Quarvel.desktop",
                     "/usr/share/metainfo/org.quarvel.Quarvel.metainfo.xml"):
            self.assertIn(path, installed)
        self.check_map_page(installed)

        for program in ("quarvel", "quarvel-config", "quarvel-decode"):
            result = self.run_as_user(program, "--version", timeout=10)
            self.assertEqual((result.returncode, result.stdout), (0, f"{program} {VERSION}\n"))

        # The user's settings, written by QuarvelConfig and read by a plain quarvel.
        self.save_with_quarvel_config()
        with open(os.path.join(self.home, ".config/quarvel/settings.ini"), "rb") as f:
            self.assertEqual(f.read(), SAVED)
        result = self.run_as_user("quarvel", "--terminal")  # no desktop window
        self.assertEqual(result.returncode, 0, result.stderr)
        line = result.stdout.strip()
        self.assertRegex(line, r"^[NS]\d+°[\d.]+ [EW]\d+°[\d.]+$", "coordinates of DEMO:")
        self.assertEqual(self.xserver.clipboard(), line)
        self.assertEqual(settings_files_under_usr(), self.before, "nothing written under /usr")

        result = apt_get("remove", "quarvel")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual([p for p in installed if os.path.lexists(p)], [], "left behind")
        self.assertFalse(os.path.exists("/usr/share/quarvel"))


if __name__ == "__main__":
    DIST, VERSION = sys.argv[1], sys.argv[2]
    del sys.argv[1:3]
    if len(sys.argv) > 3 and sys.argv[1] == "--map-page":  # --map-page PROBE HOST
        PROBE, HOST = sys.argv[2:4]
        del sys.argv[1:4]
    reasons = []
    if os.geteuid() != 0:
        reasons.append("installing a package needs root (CI runs as root)")
    if not glob.glob(os.path.join(DIST, f"quarvel_{VERSION}_*.deb")):
        reasons.append(f"no quarvel_{VERSION}_*.deb in {DIST}: run scripts/package.sh deb")
    reasons += [f"{t} is missing" for t in ("apt-get", "setpriv", "tmux", "Xvfb", "xclip")
                if not shutil.which(t)]
    if reasons:
        print("SKIPPED: " + "; ".join(reasons))
        sys.exit(SKIP)
    unittest.main()
