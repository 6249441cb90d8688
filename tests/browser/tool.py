"""The ferrolit program for the browser tests: its path, the example, a
running `ferrolit serve`, the HTML record, and what the tests type into the page."""

import contextlib
import json
import os
import subprocess
import tempfile
import time
import unittest

import cdp

BIN = os.environ.get("FERROLIT_BIN", os.path.join(os.path.dirname(__file__), "../../build/tools/ferrolit"))


def run(*args, stdin=None):
    return subprocess.run([BIN, *args], input=stdin, capture_output=True, text=True, timeout=120)


def example():
    return json.loads(run("example").stdout)


def browser(test):
    """A headless Chromium, or the test skipped when there is none."""
    if cdp.find_chromium() is None:
        raise unittest.SkipTest("chromium non trovato: installarlo con make deps (Debian: chromium)")
    b = cdp.Browser()
    test.addCleanup(b.close)
    return b


@contextlib.contextmanager
def server(*options):
    """`ferrolit serve --port 0` with `options` (by default the page computes on the server); yields its URL."""
    process = subprocess.Popen([BIN, "serve", "--port", "0", *(options or ["--server-only"])],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        url = process.stdout.readline().strip()
        if not url.startswith("http://127.0.0.1:"):
            raise AssertionError(f"ferrolit serve non è partito: {url!r} {process.stderr.read()}")
        yield url
    finally:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        process.stdout.close()
        process.stderr.close()


# The ratio of the bending check, the first row of the checks table.
BENDING_RATIO = "document.querySelector('#checks tr:first-child td.ratio').textContent"


def set_field(selector, value):
    """JavaScript that types a value into a field as a person would: the value, then an input event."""
    return (f"(() => {{ const f = document.querySelector({json.dumps(selector)}); f.value = {json.dumps(value)};"
            f" f.dispatchEvent(new Event('input', {{bubbles: true}})); return true; }})()")


def error_beside(selector):
    """JavaScript: the error text shown in the label or cell of a field, or ''."""
    return (f"(() => {{ const f = document.querySelector({json.dumps(selector)});"
            f" const e = f && f.closest('label, td').querySelector('.field-error');"
            f" return e ? e.textContent : ''; }})()")


def downloaded(browser, button, name, folder=None):
    """The text of the file `name` that the page saves, into `folder` (by default a temporary one), when the
    button `button` (a selector) is clicked."""
    if folder is None:
        with tempfile.TemporaryDirectory() as folder:
            return downloaded(browser, button, name, folder)
    browser.send("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": folder}, session=False)
    browser.evaluate(f"document.querySelector({json.dumps(button)}).click()")
    path = os.path.join(folder, name)
    deadline = time.monotonic() + 20
    while not os.path.exists(path) and time.monotonic() < deadline:
        time.sleep(0.1)
    time.sleep(0.2)
    with open(path, encoding="utf-8") as f:
        return f.read()


def write_record(path, text, json_lines=False):
    """The HTML record of one section or of a JSON Lines batch, by `ferrolit verify --html`."""
    source = path + (".jsonl" if json_lines else ".json")
    with open(source, "w", encoding="utf-8") as f:
        f.write(text)
    result = run("verify", source, "--html", path)
    if result.returncode == 2 or not os.path.exists(path):
        raise AssertionError(f"ferrolit verify --html: {result.stderr}")
