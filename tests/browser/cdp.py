"""A small driver for the system Chromium through the DevTools protocol.

Chromium runs headless with --remote-debugging-pipe: it reads protocol
commands on its file descriptor 3 and writes answers and events on 4, each
message one JSON text ended by a NUL byte. No port, no websocket, nothing
beyond the standard library and the browser Debian installs.
"""

import base64
import json
import os
import shutil
import subprocess
import tempfile
import threading
import time
import zlib

CHROMIUM_NAMES = ("chromium", "chromium-browser", "google-chrome")


def find_chromium():
    """The browser's path, or None."""
    wanted = os.environ.get("CHROMIUM")
    if wanted:
        return shutil.which(wanted) or (wanted if os.path.exists(wanted) else None)
    for name in CHROMIUM_NAMES:
        path = shutil.which(name)
        if path:
            return path
    return None


class ProtocolError(RuntimeError):
    pass


class Browser:
    """One headless Chromium with one page; console errors are collected."""

    def __init__(self, timeout=30.0):
        path = find_chromium()
        if path is None:
            raise FileNotFoundError("chromium non trovato: installarlo con make deps (Debian: chromium)")
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="ferrolit-chromium-")
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()
        # The child finds the command pipe at fd 3 and the answer pipe at fd 4
        # (copied out of the way first, in case either already is 3 or 4);
        # pass_fds keeps 3 and 4 open through the exec.
        def place_pipes():
            commands, answers = os.dup(to_browser_r), os.dup(from_browser_w)
            os.dup2(commands, 3)
            os.dup2(answers, 4)

        self.process = subprocess.Popen(
            [path, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--no-default-browser-check",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-extensions", "--hide-scrollbars", "--mute-audio", f"--user-data-dir={self.profile}",
             "--remote-debugging-pipe", "--window-size=1400,1000", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            pass_fds=(3, 4), preexec_fn=place_pipes)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._next_id = 0
        self._answers = {}
        self._events = []
        self._lock = threading.Condition()
        self._closed = False
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        self.session = None
        self.errors = []  # console errors, exceptions and error log entries of the page
        self._attach()

    # ---------------------------------------------------------------- transport

    def _read(self):
        buffer = b""
        while True:
            try:
                chunk = os.read(self._from_browser, 1 << 16)
            except OSError:
                chunk = b""
            if not chunk:
                with self._lock:
                    self._closed = True
                    self._lock.notify_all()
                return
            buffer += chunk
            while b"\0" in buffer:
                text, buffer = buffer.split(b"\0", 1)
                message = json.loads(text)
                with self._lock:
                    if "id" in message:
                        self._answers[message["id"]] = message
                    else:
                        self._events.append(message)
                        self._note_error(message)
                    self._lock.notify_all()

    def _note_error(self, event):
        method, params = event.get("method"), event.get("params", {})
        if method == "Runtime.consoleAPICalled" and params.get("type") == "error":
            self.errors.append("console: " + " ".join(str(a.get("value", a.get("description", ""))) for a in
                                                     params.get("args", [])))
        elif method == "Runtime.exceptionThrown":
            details = params.get("exceptionDetails", {})
            self.errors.append("exception: " + details.get("exception", {}).get("description", details.get("text", "")))
        elif method == "Log.entryAdded" and params.get("entry", {}).get("level") == "error":
            entry = params["entry"]
            self.errors.append(f"log ({entry.get('source')}): {entry.get('text')} {entry.get('url', '')}".strip())

    def send(self, method, params=None, session=True, timeout=None):
        """Sends a command and waits for its answer; ProtocolError when it fails."""
        with self._lock:
            self._next_id += 1
            ident = self._next_id
        message = {"id": ident, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + (timeout or self.timeout)
        with self._lock:
            while ident not in self._answers:
                left = deadline - time.monotonic()
                if left <= 0 or self._closed:
                    raise ProtocolError(f"{method}: nessuna risposta dal browser")
                self._lock.wait(left)
            answer = self._answers.pop(ident)
        if "error" in answer:
            raise ProtocolError(f"{method}: {answer['error'].get('message')}")
        return answer.get("result", {})

    def wait_event(self, method, timeout=None, since=0):
        """The first event of that name from position `since` of the event list."""
        deadline = time.monotonic() + (timeout or self.timeout)
        with self._lock:
            while True:
                for event in self._events[since:]:
                    if event.get("method") == method:
                        return event
                left = deadline - time.monotonic()
                if left <= 0 or self._closed:
                    raise ProtocolError(f"evento {method} non arrivato")
                self._lock.wait(left)

    def _attach(self):
        targets = self.send("Target.getTargets", session=False)["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self.session = self.send("Target.attachToTarget", {"targetId": page["targetId"], "flatten": True},
                                 session=False)["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self.send(f"{domain}.enable")

    # ---------------------------------------------------------------- page

    def open(self, url):
        """Navigates and waits for the load event."""
        with self._lock:
            mark = len(self._events)
        self.send("Page.navigate", {"url": url})
        self.wait_event("Page.loadEventFired", since=mark)

    def evaluate(self, expression):
        """The value of a JavaScript expression (promises awaited)."""
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in result:
            raise ProtocolError("JavaScript: " + result["exceptionDetails"].get("exception", {}).get(
                "description", result["exceptionDetails"].get("text", "")))
        return result["result"].get("value")

    def wait_for(self, expression, timeout=None, what=None):
        """Polls an expression until it is truthy; returns its value."""
        deadline = time.monotonic() + (timeout or self.timeout)
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise AssertionError(f"in attesa di {what or expression}: tempo scaduto")
            time.sleep(0.05)

    def set_files(self, selector, paths):
        """Chooses files in a file input, as a person would in the browser's dialog (a change event follows)."""
        root = self.send("DOM.getDocument")["root"]["nodeId"]
        node = self.send("DOM.querySelector", {"nodeId": root, "selector": selector})["nodeId"]
        self.send("DOM.setFileInputFiles", {"files": [os.path.abspath(p) for p in paths], "nodeId": node})

    def screenshot(self):
        """PNG bytes of the whole page."""
        data = self.send("Page.captureScreenshot", {"format": "png", "captureBeyondViewport": True})["data"]
        return base64.b64decode(data)

    def pdf(self):
        """PDF bytes of the page printed on A4 with its print stylesheet."""
        data = self.send("Page.printToPDF", {"paperWidth": 8.27, "paperHeight": 11.69, "printBackground": True,
                                              "preferCSSPageSize": True}, timeout=60)["data"]
        return base64.b64decode(data)

    def close(self):
        try:
            self.send("Browser.close", session=False, timeout=5)
        except ProtocolError:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._to_browser)
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


# -------------------------------------------------------------------- checks of the output


def png_colours(png):
    """Number of distinct colours in a PNG (8-bit RGB or RGBA, as Chromium writes), sampled every few pixels."""
    if png[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("non è un PNG")
    pos, idat, header = 8, b"", None
    while pos < len(png):
        length = int.from_bytes(png[pos:pos + 4], "big")
        kind, body = png[pos + 4:pos + 8], png[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height = int.from_bytes(header[0:4], "big"), int.from_bytes(header[4:8], "big")
    depth, colour_type = header[8], header[9]
    if depth != 8 or colour_type not in (2, 6):
        raise ValueError(f"PNG di tipo non previsto: profondità {depth}, colore {colour_type}")
    channels = 3 if colour_type == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    previous = bytearray(stride)
    colours = set()
    for row in range(height):
        start = row * (stride + 1)
        line = _unfilter(raw[start], bytearray(raw[start + 1:start + 1 + stride]), previous, channels)
        if row % 4 == 0:
            for x in range(0, stride, channels * 4):
                colours.add(bytes(line[x:x + 3]))
        previous = line
    return width, height, len(colours)


def _unfilter(kind, line, previous, bpp):
    for i in range(len(line)):
        left = line[i - bpp] if i >= bpp else 0
        up = previous[i]
        if kind == 1:
            line[i] = (line[i] + left) & 0xFF
        elif kind == 2:
            line[i] = (line[i] + up) & 0xFF
        elif kind == 3:
            line[i] = (line[i] + ((left + up) >> 1)) & 0xFF
        elif kind == 4:
            up_left = previous[i - bpp] if i >= bpp else 0
            p = left + up - up_left
            pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
            line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else up_left)) & 0xFF
    return line


def pdf_pages(pdf):
    """Number of page objects of a PDF ("/Type /Page", not "/Pages")."""
    import re
    return len(re.findall(rb"/Type\s*/Page(?![a-zA-Z])", pdf))
