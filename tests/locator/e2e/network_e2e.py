#!/usr/bin/python3
"""The real quarvel on sources over loopback sockets: a TCP server playing a GN log,
one that leaves and comes back, refused and unknown hosts, UDP datagrams, a real
gpsd fed by gpsfake, a flood of noise, silent peers and stops.
Usage: network_e2e.py QUARVEL [unittest args]."""
import os
import random
import re
import signal
import socket
import subprocess
import sys
import threading
import time
import unittest

import support
from network_peers import TcpPeer, free_port, play_bursts, start_gpsfake
from support import FIX_GGA, FIX_RMC, NO_FIX_GGA, Quarvel, XServer, environment, sentence

HERE = os.path.dirname(os.path.abspath(__file__))
GN_LOG = os.path.join(HERE, "..", "..", "nmea", "data", "ublox8_multi_gnss.nmea")
GN_POSITION = "N48°7.038 E11°31.512"
COORDINATES = "N55°45.348 E37°37.038"
FIX = (sentence(FIX_GGA) + sentence(FIX_RMC)).encode()
NO_FIX = sentence(NO_FIX_GGA).encode()


def gn_epochs():
    data = open(GN_LOG, "rb").read()
    starts = [0] + [m.start() for m in re.finditer(rb"\$GNRMC", data)][1:]
    epochs = [data[a:b] for a, b in zip(starts, starts[1:] + [len(data)])]
    for index in range(1 << 30):
        yield epochs[min(index, len(epochs) - 1)]


class NetworkRun(unittest.TestCase):
    def start(self, args, env=None):
        run = Quarvel(args, env or environment())
        self.addCleanup(lambda: run.proc.poll() is None and run.proc.kill())
        return run

    def peer(self, serve, port=0):
        peer = TcpPeer(serve, port)
        self.addCleanup(peer.leave)
        return peer

    def assertClean(self, run):
        self.assertFalse(support.sanitizer_report(run.stderr), run.stderr)


class TcpSources(NetworkRun):
    def test_a_server_playing_a_gn_log_publishes_its_position(self):
        x = XServer()
        self.addCleanup(x.close)
        peer = self.peer(play_bursts(gn_epochs, every=0.5, first_delay=2.0))
        run = self.start(["tcp:127.0.0.1:%d" % peer.port, "n", "0", "0", "1"],
                         environment(x.display))
        status, out = run.finish()
        self.assertEqual((status, out), (0, GN_POSITION + "\n"), run.stderr)
        self.assertEqual(x.clipboard(), GN_POSITION)
        self.assertClean(run)

    def test_a_server_that_leaves_and_comes_back_is_connected_again(self):
        fixed = threading.Event()
        peer = self.peer(play_bursts(lambda: iter(lambda: FIX if fixed.is_set() else NO_FIX, None)))
        run = self.start(["--no-clipboard", "tcp:127.0.0.1:%d" % peer.port, "n", "0", "0", "1"])
        self.assertTrue(run.wait_for_text("Waiting for GPS-data..."), run.stderr)
        time.sleep(1.0)  # some bursts without a fix
        peer.leave()
        time.sleep(1.5)  # refused meanwhile: the run waits on
        self.assertIsNone(run.proc.poll(), run.stderr)
        fixed.set()
        peer.come_back()
        status, out = run.finish()
        self.assertEqual((status, out), (0, COORDINATES + "\n"), run.stderr)
        self.assertClean(run)

    def test_hosts_that_cannot_be_reached_are_port_failures_with_the_reason(self):
        closed = free_port()
        cases = [
            ("tcp:127.0.0.1:%d" % closed, "127.0.0.1:%d: connection refused" % closed),
            ("tcp:[::1]:%d" % closed, "[::1]:%d: connection refused" % closed),
            ("tcp:quarvel-no-such-host.invalid:10110",
             "quarvel-no-such-host.invalid:10110: no such host"),
            ("gpsd:127.0.0.1:%d" % closed,
             "gpsd at 127.0.0.1:%d: connection refused (is gpsd running?)" % closed),
            ("tcp:gps.local", "tcp: a port must follow the host, as in tcp:192.168.1.10:10110"),
        ]
        for port, reason in cases:
            with self.subTest(port):
                run = self.start(["--no-clipboard", port, "n", "0", "0", "1"])
                status, out = run.finish()
                self.assertEqual((status, out), (1, ""), run.stderr)
                self.assertIn("Error! Error Opening Comms Port.\n" + reason + "\n", run.stderr)


class UdpSources(NetworkRun):
    def test_datagrams_of_one_and_of_several_sentences(self):
        cases = [
            ("one sentence each", [sentence(NO_FIX_GGA), sentence(FIX_RMC), sentence(FIX_GGA)]),
            ("several sentences each", [sentence(NO_FIX_GGA) + sentence(FIX_RMC) + sentence(FIX_GGA)]),
        ]
        for name, datagrams in cases:
            with self.subTest(name):
                port = free_port(socket.SOCK_DGRAM)
                run = self.start(["--no-clipboard", "udp:%d" % port, "n", "0", "0", "1"])
                self.assertTrue(run.wait_for_text("Waiting for GPS-data..."), run.stderr)
                sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
                self.addCleanup(sender.close)
                while run.proc.poll() is None:
                    for datagram in datagrams:
                        sender.sendto(datagram.encode(), ("127.0.0.1", port))
                    time.sleep(0.3)
                status, out = run.finish()
                self.assertEqual((status, out), (0, COORDINATES + "\n"), run.stderr)

    def test_a_flood_of_datagrams_costs_little_cpu_and_stops_at_once(self):
        port = free_port(socket.SOCK_DGRAM)
        run = self.start(["--no-clipboard", "udp:%d" % port, "n", "0", "0", "1"])
        self.assertTrue(run.wait_for_text("Waiting for GPS-data..."), run.stderr)
        stop = threading.Event()
        noise = bytes(random.Random(1).randrange(256) for _ in range(1400))

        def flood():
            with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
                while not stop.is_set():
                    sender.sendto(noise, ("127.0.0.1", port))
        threading.Thread(target=flood, daemon=True).start()
        self.addCleanup(stop.set)
        time.sleep(0.5)
        before = run.cpu_seconds()
        time.sleep(4.0)
        spent = run.cpu_seconds() - before
        print("CPU over 4 s of datagram flood: %.2f s" % spent, file=sys.stderr)
        self.assertLess(spent, 1.0, "CPU seconds over 4 s of a datagram flood")
        run.proc.send_signal(signal.SIGINT)
        self.assertEqual(run.finish(timeout=10)[0], 3, run.stderr)


class Gpsd(NetworkRun):
    def test_a_real_gpsd_named_by_host_and_port(self):
        port = start_gpsfake(self, GN_LOG)
        run = self.start(["--no-clipboard", "gpsd:localhost:%d" % port, "n", "0", "0", "1"])
        status, out = run.finish()
        self.assertEqual((status, out), (0, GN_POSITION + "\n"), run.stderr)
        self.assertClean(run)


class HostilePeers(NetworkRun):
    def test_30_mb_of_noise_then_sentences_in_bounded_memory(self):
        chunk = bytes(random.Random(2).choice(b"abcxyz0123,.\x00\xff*") for _ in range(1 << 16))

        def serve(conn, stop):
            for _ in range(30 * 16):  # 30 MB without '$' or a line end
                conn.sendall(chunk)
            while not stop.wait(0.3):
                conn.sendall(FIX)
        peer = self.peer(serve)
        timed = subprocess.run(
            ["/usr/bin/time", "-v", support.QUARVEL, "--terminal", "--no-clipboard",
             "tcp:127.0.0.1:%d" % peer.port, "n", "0", "0", "1"],
            env=environment(), stdin=subprocess.DEVNULL, capture_output=True, text=True,
            timeout=support.PATIENCE * 2)
        self.assertEqual((timed.returncode, timed.stdout), (0, COORDINATES + "\n"), timed.stderr)
        peak = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", timed.stderr).group(1))
        print("peak memory after 30 MB of noise: %d kB" % peak, file=sys.stderr)
        if os.environ.get("QUARVEL_SANITIZED") != "1":  # a sanitizer's shadow memory is not ours
            self.assertLess(peak, 20 * 1024, "peak resident set in kB")

    def test_silent_peers_end_with_the_timeout_and_with_stop(self):
        silent = self.peer(lambda conn, stop: stop.wait(120))
        # Its accept queue full, this one never answers a connect.
        unanswered = socket.socket()
        self.addCleanup(unanswered.close)
        unanswered.bind(("127.0.0.1", 0))
        unanswered.listen(0)
        fillers = [socket.create_connection(unanswered.getsockname()) for _ in range(1)]
        for filler in fillers:
            self.addCleanup(filler.close)
        for late in range(2):
            late_one = socket.socket()
            late_one.setblocking(False)
            late_one.connect_ex(unanswered.getsockname())
            self.addCleanup(late_one.close)
        connected = "tcp:127.0.0.1:%d" % silent.port
        connecting = "tcp:127.0.0.1:%d" % unanswered.getsockname()[1]
        cases = [
            ("connected, timeout", ["--timeout", "2", connected], "Waiting for GPS-data...", 4),
            ("connected, stop", [connected], "Waiting for GPS-data...", 3),
            ("connecting, timeout", ["--timeout", "2", connecting], "Connecting...", 4),
            ("connecting, stop", [connecting], "Connecting...", 3),
        ]
        for name, args, shown, expected in cases:
            with self.subTest(name):
                run = self.start(["--no-clipboard"] + args + ["n", "0", "0", "1"])
                self.assertTrue(run.wait_for_text(shown), run.stderr)
                if expected == 3:
                    time.sleep(0.5)
                    run.proc.send_signal(signal.SIGINT)
                began = time.monotonic()
                status, out = run.finish(timeout=30)
                self.assertEqual((status, out), (expected, ""), run.stderr)
                self.assertLess(time.monotonic() - began, 8.0, "the run did not end at once")
                self.assertNotIn("Error!", run.stderr)


if __name__ == "__main__":
    support.QUARVEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
