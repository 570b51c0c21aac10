#!/usr/bin/python3
"""quarvel where scripts, ssh and cron run it: long device links, port errors that
say why, standard output without a display, --timeout, --no-clipboard, tmux's
buffer and a run in the background. Usage: scripts_e2e.py QUARVEL [unittest args]."""
import grp
import os
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import support
from support import PtyReceiver, Quarvel, XServer, environment, wait_for

COORDINATES = "N55°45.348 E37°37.038"
WORDS = ["n", "0", "0", "1"]


class Scripts(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.folder, True)

    def receiver(self, **kwargs):
        receiver = PtyReceiver(**kwargs)
        self.addCleanup(receiver.close)
        return receiver

    def by_id_link(self, receiver):
        """A /dev/serial/by-id style name of 60+ characters leading to the pty."""
        folder = os.path.join(self.folder, "serial", "by-id")
        os.makedirs(folder, exist_ok=True)
        link = os.path.join(folder, "usb-u-blox_AG_-_www.u-blox.com_u-blox_7_-_GPS_GNSS_Receiver-if00")
        os.symlink("/dev/" + receiver.port, link)
        self.assertGreater(len(link), 60)
        return link

    def run_quarvel(self, args, env=None, **kwargs):
        run = Quarvel(args, env if env is not None else environment(), **kwargs)
        self.addCleanup(lambda: run.proc.poll() is None and run.proc.kill())
        status, out = run.finish()
        print("\n  %s -> %s, stdout %r, stderr %r" % (" ".join(args), status, out, run.stderr[-300:]),
              file=sys.stderr)
        self.assertFalse(support.sanitizer_report(run.stderr), run.stderr)
        return status, out, run.stderr

    def test_long_link_on_the_command_line_and_in_settings_ini(self):
        receiver = self.receiver(fix_after=0.5)
        link = self.by_id_link(receiver)
        status, out, err = self.run_quarvel(["--no-clipboard", link] + WORDS)
        self.assertEqual((status, out), (0, COORDINATES + "\n"), err)
        program = os.path.join(self.folder, "quarvel")
        shutil.copy(support.QUARVEL, program)
        with open(os.path.join(self.folder, "settings.ini"), "w") as settings:
            settings.write("# COM port, the stable name of the receiver: " + "#" * 80 + "\n" +
                           link + "\n# map\nn\n# lite\n0\n# bt\n0\n# coordinates\n1\n")
        status, out, err = self.run_quarvel(["--no-clipboard"], program=program, cwd="/")
        self.assertEqual((status, out), (0, COORDINATES + "\n"), err)

    def test_port_errors_say_what_happened(self):
        directory = os.path.join(self.folder, "a-directory")
        os.mkdir(directory)
        cases = [
            ("/dev/ttyUSB97", "/dev/ttyUSB97: No such file or directory"),
            (directory, directory + ": Is a directory"),
            ("gpsd:1", "gpsd at 127.0.0.1:1: connection refused"),
        ]
        for port, reason in cases:
            with self.subTest(port):
                status, out, err = self.run_quarvel([port] + WORDS)
                self.assertEqual((status, out), (1, ""), err)
                self.assertIn("Error! Error Opening Comms Port.\n" + reason, err)

    def test_refused_permission_names_the_devices_group(self):
        if os.geteuid() != 0:
            self.skipTest("setpriv needs root to become an unprivileged user")
        group = grp.getgrnam("dialout")
        receiver = self.receiver(fix=False)
        device = "/dev/" + receiver.port
        os.chown(device, 0, group.gr_gid)
        os.chmod(device, 0o660)
        os.chmod(self.folder, 0o755)
        program = os.path.join(self.folder, "quarvel")
        shutil.copy(support.QUARVEL, program)
        os.chmod(program, 0o755)
        command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", program]
        status, out, err = self.run_setpriv(command, [device] + WORDS)
        self.assertEqual((status, out), (1, ""), err)
        self.assertIn("Error! Error Opening Comms Port.\n%s: Permission denied (the device belongs "
                      "to group dialout: sudo adduser $USER dialout, then log in again)" % device, err)

    def run_setpriv(self, command, args):
        proc = subprocess.run(command + args, env=environment(), stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=support.PATIENCE)
        print("\n  setpriv ... %s -> %s, stderr %r" % (" ".join(args), proc.returncode,
                                                      proc.stderr.decode()[-300:]), file=sys.stderr)
        return proc.returncode, proc.stdout.decode(), proc.stderr.decode()

    def test_no_display_and_no_terminal_still_gives_the_position(self):
        receiver = self.receiver(fix_after=0.5)
        env = environment()
        env.pop("TMUX", None)
        proc = subprocess.run(["setsid", support.QUARVEL, receiver.port] + WORDS, env=env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=support.PATIENCE)
        err = proc.stderr.decode()
        print("\n  no display, no terminal -> %s, stdout %r, stderr %r" % (
            proc.returncode, proc.stdout.decode(), err[-200:]), file=sys.stderr)
        self.assertEqual(proc.returncode, 2, err)
        self.assertEqual(proc.stdout.decode(), COORDINATES + "\n")
        self.assertIn("Error! The position could not be copied to the clipboard.", err)

    def test_timeout_on_a_silent_port(self):
        master, slave = os.openpty()
        self.addCleanup(os.close, master)
        self.addCleanup(os.close, slave)
        start = time.monotonic()
        status, out, err = self.run_quarvel(["--timeout", "2", os.ttyname(slave)] + WORDS)
        elapsed = time.monotonic() - start
        print("  --timeout 2 ended after %.2f s" % elapsed, file=sys.stderr)
        self.assertEqual((status, out), (4, ""), err)
        self.assertLess(elapsed, 3.0)
        self.assertIn("quarvel: no position within 2 seconds", err)

    def test_usage_errors_open_nothing(self):
        for args in (["--frobnicate", "DEMO:"], ["--timeout", "soon", "DEMO:"], ["--timeout"]):
            with self.subTest(args):
                status, out, err = self.run_quarvel(args)
                self.assertEqual((status, out), (64, ""), err)
                self.assertIn("Usage: quarvel", err)
                self.assertNotIn("Loading settings...", err)
        status, out, err = self.run_quarvel(["--version"])
        self.assertEqual(status, 0)
        self.assertRegex(out, r"^quarvel \d+\.\d+\.\d+\n$")

    def test_no_clipboard_leaves_the_x_clipboard_alone(self):
        x = XServer()
        self.addCleanup(x.close)
        subprocess.run(["xclip", "-selection", "clipboard"], input=b"what the user copied",
                       env=environment(x.display), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        receiver = self.receiver(fix_after=0.5)
        status, out, err = self.run_quarvel(["--no-clipboard", receiver.port] + WORDS,
                                            env=environment(x.display))
        self.assertEqual((status, out), (0, COORDINATES + "\n"), err)
        self.assertNotIn("copied in your clipboard", err)
        self.assertEqual(x.clipboard(), "what the user copied")


class InsideTmux(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.socket = os.path.join(self.folder, "tmux")
        self.addCleanup(self.tmux, "kill-server")

    def tmux(self, *args):
        return subprocess.run(["tmux", "-S", self.socket] + list(args), stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=environment(),
                              timeout=support.PATIENCE).stdout.decode(errors="replace")

    def screen(self):
        return self.tmux("capture-pane", "-p", "-S", "-50")

    def start_shell(self):
        self.tmux("new-session", "-d", "-x", "120", "-y", "20", "env -u DISPLAY -u WAYLAND_DISPLAY "
                  "bash --norc --noprofile -i")

    def type_line(self, line):
        self.tmux("send-keys", "-l", line)
        self.tmux("send-keys", "Enter")

    def wait_screen(self, text):
        self.assertTrue(wait_for(lambda: text in self.screen()), "never on screen: %r\n%s" % (
            text, self.screen()))

    def test_tmux_buffer_holds_the_position_without_a_display(self):
        receiver = PtyReceiver(fix_after=0.5)
        self.addCleanup(receiver.close)
        self.start_shell()
        self.type_line("%s %s n 0 0 1 </dev/null; echo EXIT=$? | tr = :" % (shlex.quote(support.QUARVEL),
                                                                 receiver.port))
        self.wait_screen("EXIT:")
        print("\n  in tmux:\n" + self.screen().rstrip(), file=sys.stderr)
        self.assertIn("EXIT:0", self.screen())
        self.assertEqual(self.tmux("show-buffer"), COORDINATES)

    def test_background_run_is_never_stopped_and_draws_no_status_line(self):
        receiver = PtyReceiver(fix_after=1.5)
        self.addCleanup(receiver.close)
        self.start_shell()
        # tostop: any terminal output of a background job would stop it.
        self.type_line("stty tostop; %s %s n 0 0 1 & sleep 0.3; echo STARTED" % (
            shlex.quote(support.QUARVEL), receiver.port))
        self.wait_screen("STARTED")
        self.type_line("wait; echo EXIT=$? | tr = :")
        self.wait_screen("EXIT:")
        screen = self.screen()
        print("\n  background run in tmux:\n" + screen.rstrip(), file=sys.stderr)
        self.assertIn("EXIT:0", screen)
        self.assertNotIn("Stopped", screen)
        self.assertNotIn("Waiting for GPS-data...", screen)
        self.assertIn(COORDINATES, screen)
        self.assertEqual(self.tmux("show-buffer"), COORDINATES)


if __name__ == "__main__":
    support.QUARVEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
