"""Headless Chromium driven over the DevTools protocol on a pipe (no port, no websocket)."""
import base64
import json
import os
import shutil
import subprocess
import tempfile
import time


class Browser:
    """One headless Chromium with one page. Names outside loopback do not resolve,
    so a page runs as offline here as it would on a machine without a network."""

    def __init__(self, width=900, height=640):
        self.profile = tempfile.mkdtemp(prefix="quarvel-chromium-")
        to_browser, self._write = os.pipe()
        self._read, from_browser = os.pipe()
        command = [
            shutil.which("chromium") or "chromium", "--headless", "--no-sandbox",
            "--remote-debugging-pipe", "--no-first-run", "--disable-gpu",
            "--disable-dev-shm-usage", "--disable-background-networking", "--disable-extensions",
            "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1",
            f"--user-data-dir={self.profile}", f"--window-size={width},{height}",
            "about:blank"]
        # Chromium reads commands on fd 3 and writes answers on fd 4.
        self.process = subprocess.Popen(
            ["sh", "-c", f'exec "$@" 3<&{to_browser} 4>&{from_browser}', "sh", *command],
            pass_fds=(to_browser, from_browser),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser)
        os.close(from_browser)
        self._buffer = b""
        self._next_id = 0
        self.events = []
        self.session = None
        page = next(t for t in self.call("Target.getTargets")["targetInfos"]
                    if t["type"] == "page")
        self.session = self.call("Target.attachToTarget", targetId=page["targetId"],
                                 flatten=True)["sessionId"]
        for domain in ("Page", "Runtime", "Network"):
            self.call(domain + ".enable")

    def _receive(self, deadline):
        while b"\0" not in self._buffer:
            if time.monotonic() > deadline:
                raise RuntimeError("Chromium did not answer in time")
            chunk = os.read(self._read, 1 << 16)
            if not chunk:
                raise RuntimeError("Chromium closed its DevTools pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, timeout=30, **params):
        """Sends one command (to the page once attached) and returns its result; events
        that come first are kept."""
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if self.session:
            message["sessionId"] = self.session
        os.write(self._write, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            answer = self._receive(deadline)
            if answer.get("id") == self._next_id:
                if "error" in answer:
                    raise RuntimeError(f"{method}: {answer['error']}")
                return answer["result"]
            if "method" in answer:
                self.events.append(answer)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression[:60]}...: {result['exceptionDetails']}")
        return result["result"].get("value")

    def open(self, url, timeout=20):
        """Loads url and waits until the page and its scripts have run."""
        self.events.clear()
        self.call("Page.navigate", url=url)
        deadline = time.monotonic() + timeout
        while self.evaluate("document.readyState") != "complete" or \
                self.evaluate("location.href") != url:
            if time.monotonic() > deadline:
                raise RuntimeError(f"{url} did not finish loading")
            time.sleep(0.05)

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))

    def close(self):
        self.process.kill()
        self.process.wait()
        os.close(self._read)
        os.close(self._write)
        shutil.rmtree(self.profile, ignore_errors=True)
