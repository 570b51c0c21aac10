#!/usr/bin/env python3
"""The desktop Windows platform layer under Wine: COM ports on pseudo-terminals,
the clipboard as X11 programs see it, files and ANSI text."""
import os
import socket
import sys
import time
import unittest

import wine_harness

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from network_peers import TcpPeer, free_port  # noqa: E402

PROBE = "tests/win32/platform_probe.exe"


class PlatformLayer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe = wine_harness.mingw_program(PROBE)
        cls.wine = wine_harness.session().__enter__()
        cls.port = cls.wine.serial_port(1)

    @classmethod
    def tearDownClass(cls):
        cls.wine.__exit__(None, None, None)

    def test_port_names(self):
        cases = [  # name, opens
            ("COM1:", True), ("COM1", True), ("com1:", True), ("\\\\.\\COM1", True),
            ("COM2:", False),   # mapped to a link with no terminal behind it
            ("COM9:", False), ("COMx", False), ("COM", False), ("COM1::", False),
            ("/dev/ttyS0", False), ("DEMO:", False),
        ]
        code, out = self.wine.run(self.probe, "open", *[name for name, _ in cases])
        self.assertEqual(code, 0, out)
        values = wine_harness.parse_values(out)
        for i, (name, opens) in enumerate(cases):
            with self.subTest(name=name):
                self.assertEqual(values.get(f"open[{i}]"), "1" if opens else "0", out)
                if opens:
                    self.assertEqual(values.get(f"speed[{i}]"), "1", f"4800 baud refused: {out}")

    def test_reads_bursts_whole_and_wakes(self):
        program = self.wine.start(self.probe, "read", "COM1:")
        program.wait_for_output("open=1")
        bursts = [  # what the receiver sends, in pieces, and the read it must make
            ([b"$GPGGA,1*AB\r\n$GPRMC,2*CD\r\n"], "$GPGGA,1*AB\\r\\n$GPRMC,2*CD\\r\\n"),
            ([b"$GPGGA,3", b"*EF\r\n"], "$GPGGA,3*EF\\r\\n"),
            ([b"WAKE"], "WAKE"),
        ]
        for pieces, _ in bursts:
            for piece in pieces:
                self.port.write(piece)
                time.sleep(0.01)  # well inside one burst
            # The next burst must come after the line was quiet; wait for the read.
            time.sleep(0.5)
        self.assertEqual(program.wait(60), 0, program.output())
        values = program.values()
        for i, (_, expected) in enumerate(bursts):
            with self.subTest(read=i):
                self.assertEqual(values.get(f"read[{i}]"), expected, program.output())
        self.assertEqual(values.get("woken"), "0", "a woken read returns 0 bytes")
        self.assertLess(int(values["woken_ms"]), 10000, "the wake must end the blocked read")
        self.assertEqual(values.get("after_wake"), "0", "reads after a wake return at once")

    def test_speed_changes_reach_the_terminal(self):
        """Each speed the hunt sets reaches the pseudo-terminal (Wine passes the DCB's
        speed on); bytes of the speed left are dropped; a read can give up."""
        self.port.write(b"stale bytes at the speed before")
        program = self.wine.start(self.probe, "speeds", "COM1:")
        program.wait_for_output("open=1")
        for speed in (9600, 38400, 115200, 57600, 19200, 4800):
            program.wait_for_output(f"set[{speed}]=1")
            wine_harness.wait_for(lambda: self.port.speed() == speed, 10,
                                  what=f"{speed} baud on the terminal, not {self.port.speed()}")
            self.port.write(f"at {speed}".encode())
        self.assertEqual(program.wait(60), 0, program.output())
        values = program.values()
        for speed in (9600, 38400, 115200, 57600, 19200, 4800):
            self.assertEqual(values.get(f"read[{speed}]"), f"at {speed}", program.output())
        self.assertEqual(values.get("within"), "0", program.output())
        self.assertGreaterEqual(int(values["within_ms"]), 250, program.output())
        self.assertIn("COM1:", values.get("present", "").split(","), program.output())

    def test_hang_up_means_gone(self):
        program = self.wine.start(self.probe, "read", "COM1")
        program.wait_for_output("open=1")
        self.port.write(b"abc")
        wine_harness.wait_for(lambda: "read[0]=abc" in program.output(), what="the first read")
        self.port.hang_up()  # the receiver is unplugged
        self.assertEqual(program.wait(60), 0, program.output())
        self.assertEqual(program.values().get("gone"), "1", program.output())
        self.__class__.port = self.wine.serial_port(1)  # a fresh receiver for later tests

    def test_port_list_names_the_ports_present(self):
        """auto:, then the COM ports Wine maps through HKLM\\Software\\Wine\\Ports
        (COM12 among them; Wine adds its own for the machine's ttyS devices) in number
        order, then DEMO:. A fresh prefix has no friendly names; a registered device of the Ports
        class gives its port one."""
        def entries():
            code, out = self.wine.run(self.probe, "ports")
            self.assertEqual(code, 0, out)
            values = wine_harness.parse_values(out)
            return [tuple(values[f"port[{i}]"].split("|")) for i in range(int(values["ports"]))]

        before = entries()
        ports = [port for _, port in before]
        self.assertEqual((ports[0], ports[-1]), ("auto:", "DEMO:"), before)
        for port in ("COM1:", "COM2:", "COM12:"):
            self.assertIn(port, ports, before)
        numbers = [int(port[3:-1]) for port in ports[1:-1]]
        self.assertEqual(numbers, sorted(numbers), f"COM10 and up after COM9: {before}")
        self.assertEqual([shown for shown, _ in before], ports, "no friendly names yet")

        name = "u-blox 7 GPS/GNSS Receiver (COM12)"
        code, out = self.wine.run(self.probe, "add-port-device", "COM12", name)
        self.assertEqual((code, out), (0, "added=1\n"))
        after = entries()
        self.assertEqual(after, [(name if port == "COM12:" else shown, port)
                                 for shown, port in before])
    def test_network_sockets(self):
        def serve(conn, stop):
            conn.sendall(b"$GPGGA,1*00\r\n")
            stop.wait(0.3)
            conn.sendall(b"WAKE")
            stop.wait(60)
        peer = TcpPeer(serve)
        self.addCleanup(peer.leave)
        closed = free_port()
        unanswered = socket.socket()
        self.addCleanup(unanswered.close)
        unanswered.bind(("127.0.0.1", 0))
        unanswered.listen(0)
        fillers = [socket.socket() for _ in range(3)]
        for filler in fillers:
            self.addCleanup(filler.close)
            filler.setblocking(False)
            filler.connect_ex(unanswered.getsockname())
        time.sleep(0.2)
        cases = [  # probe arguments, what it must report
            (["connect", "127.0.0.1", str(peer.port)],
             {"open": "1", "read[0]": "$GPGGA,1*00\\r\\n", "read[1]": "WAKE", "woken": "0",
              "after_wake": "0"}),
            (["connect", "localhost", str(peer.port)], {"open": "1", "read[0]": "$GPGGA,1*00\\r\\n"}),
            (["connect", "127.0.0.1", str(closed)], {"open": "0", "problem": "connection refused"}),
            (["connect", "quarvel-no-such-host.invalid", "10110"],
             {"open": "0", "problem": "no such host"}),
            (["unanswered", "127.0.0.1", str(unanswered.getsockname()[1])],
             {"open": "0", "problem": "stopped"}),
        ]
        for args, expected in cases:
            with self.subTest(args=args):
                code, out = self.wine.run(self.probe, "net", *args)
                self.assertEqual(code, 0, out)
                values = wine_harness.parse_values(out)
                for key, value in expected.items():
                    self.assertEqual(values.get(key), value, f"{key}: {out}")

    def test_udp_datagrams(self):
        port = free_port(socket.SOCK_DGRAM)
        program = self.wine.start(self.probe, "net", "udp", str(port), "2")
        program.wait_for_output("open=1")
        datagrams = [b"$GPGGA,1*00\r\n", b"$GPGGA,1*00\r\n$GPRMC,2*00\r\n"]
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
            for datagram in datagrams:
                sender.sendto(datagram, ("127.0.0.1", port))
                time.sleep(0.1)
        self.assertEqual(program.wait(60), 0, program.output())
        values = program.values()
        self.assertEqual(values.get("read[0]"), "$GPGGA,1*00\\r\\n", program.output())
        self.assertEqual(values.get("read[1]"), "$GPGGA,1*00\\r\\n$GPRMC,2*00\\r\\n",
                         program.output())

    def test_clipboard_reaches_x11_exactly(self):
        texts = ["N55\u00b045.348 E37\u00b037.038",
                 "http://maps.example/quarvel/?lat=55.7558&lon=37.6173&t=h&s=1",
                 "x"]
        for text in texts:
            with self.subTest(text=text):
                program = self.wine.start(self.probe, "clipboard", text)
                self.wine.find_window("Quarvel clipboard keeper")
                wine_harness.wait_for(lambda: "published=1" in program.output(),
                                      what="the publication")
                got = self.wine.clipboard_when(text.encode())
                self.assertEqual(got, text.encode(), "no byte more, no byte less")
                program.process.kill()
                program.wait()

    def test_files_and_ansi_text(self):
        directory = wine_harness.work_dir() / "files"
        directory.mkdir(parents=True, exist_ok=True)
        code, out = self.wine.run(self.probe, "files", "Z:" + str(directory).replace("/", "\\"))
        self.assertEqual(code, 0, out)
        values = wine_harness.parse_values(out)
        expected = {
            "module": "Z:" + str(self.probe.resolve()).replace("/", "\\"),
            "module_tiny": "0",             # a path that does not fit is refused
            "ansi[0]": "434f4d313a",        # COM1:
            "ansi[1]": "4e3535b034352e333438",  # the degree sign is 0xB0 in 1252
            "ansi[2]": "3f78",              # no Cyrillic in 1252: '?'
            "ansi[3]": "3f78",              # a lone surrogate: '?'
            "ansi_cut": "cut:abc",          # whole characters, terminator kept
            "wide": "N55\u00b01",
            "beside": "1", "durable": "1", "replaced": "1", "temp_left": "0",
            # text mode: CR LF on disk, LF back; lines cut at 3 units go on in the next read
            "line[0]": "COM", "line[1]": "3:\\n", "line[2]": "h\\n",
            "removed": "1", "removed_again": "0",
        }
        if values.get("codepage") != "1252":
            self.skipTest(f"ANSI code page {values.get('codepage')}, expected 1252")
        for key, value in expected.items():
            with self.subTest(key=key):
                self.assertEqual(values.get(key), value, out)


if __name__ == "__main__":
    wine_harness.skip_unless_ready()
    unittest.main()
