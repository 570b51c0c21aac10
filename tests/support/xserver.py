"""A private Xvfb for the end-to-end tests, on a display number it picks itself
(so parallel tests never clash), with the clipboard read back through xclip."""
import os
import subprocess

PATIENCE = 60.0  # seconds; generous for a loaded machine and sanitizers


class XServer:
    def __init__(self, screen="640x480x24"):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0", screen],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as announced:
            number = announced.readline().strip()
        if not number:
            self.proc.kill()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def clipboard(self):
        """The clipboard's text, or None when nothing holds it."""
        result = subprocess.run(["xclip", "-selection", "clipboard", "-o"],
                                env=dict(os.environ, DISPLAY=self.display),
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                stdin=subprocess.DEVNULL, timeout=PATIENCE)
        return result.stdout.decode() if result.returncode == 0 else None

    def close(self):
        self.proc.terminate()
        self.proc.wait(timeout=PATIENCE)
