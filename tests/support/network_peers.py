"""Peers on loopback for the tests of the network sources: a TCP server whose
connections are served on threads of their own, that can leave and come back; a
real gpsd that gpsfake feeds."""
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time


def free_port(kind=socket.SOCK_STREAM):
    with socket.socket(socket.AF_INET, kind) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_gpsfake(test, log):
    """A real gpsd fed `log` by gpsfake on a free loopback port, ended with the test:
    the port, once gpsd listens (the test is skipped without gpsd and gpsfake)."""
    if not shutil.which("gpsfake") or not shutil.which("gpsd"):
        test.skipTest("gpsd or gpsfake not installed")
    folder = tempfile.mkdtemp()
    test.addCleanup(shutil.rmtree, folder)
    copy = os.path.join(folder, "gn.nmea")
    shutil.copy(log, copy)
    port = free_port()
    fake = subprocess.Popen(["gpsfake", "-q", "-P", str(port), copy], start_new_session=True,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    test.addCleanup(lambda: (os.killpg(fake.pid, signal.SIGTERM), fake.wait()))
    deadline = time.monotonic() + 30
    while not listening(port):
        if time.monotonic() > deadline:
            test.fail("gpsd never listened")
        time.sleep(0.05)
    return port


def listening(port):
    with socket.socket() as probe:
        return probe.connect_ex(("127.0.0.1", port)) == 0


class TcpPeer:
    """A TCP server on 127.0.0.1 that serves each connection with serve(conn, stop)
    on a thread of its own; leave() closes every connection and stops listening,
    come_back() listens again on the same port."""

    def __init__(self, serve, port=0):
        self.serve, self.port = serve, port
        self._connections = []
        self._listen()

    def _listen(self):
        self._server = socket.socket()
        self._server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self._server.bind(("127.0.0.1", self.port))
        self.port = self._server.getsockname()[1]
        self._server.listen(4)
        self._stop = threading.Event()
        threading.Thread(target=self._accept, args=(self._server, self._stop), daemon=True).start()

    def _accept(self, server, stop):
        while not stop.is_set():
            try:
                conn, _ = server.accept()
            except OSError:
                return
            if stop.is_set():
                conn.close()
                return
            self._connections.append(conn)
            threading.Thread(target=self._run, args=(conn, stop), daemon=True).start()

    def _run(self, conn, stop):
        try:
            self.serve(conn, stop)
        except OSError:
            pass

    def leave(self):
        self._stop.set()
        # close() alone leaves a thread blocked in accept(); shutdown() wakes it.
        try:
            self._server.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self._server.close()
        for conn in self._connections:
            try:
                conn.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            conn.close()
        self._connections = []

    def come_back(self):
        self._listen()


def play_bursts(bursts, every=0.3, first_delay=0.0):
    """A serve function that sends bursts()'s next burst every `every` seconds."""
    def serve(conn, stop):
        if stop.wait(first_delay):
            return
        for burst in bursts():
            conn.sendall(burst)
            if stop.wait(every):
                return
    return serve
