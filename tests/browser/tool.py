"""The ferrolit program for the browser tests: its path, the example, a
running `ferrolit serve`, and the HTML record."""

import contextlib
import json
import os
import subprocess
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


def write_record(path, text, json_lines=False):
    """The HTML record of one section or of a JSON Lines batch, by `ferrolit verify --html`."""
    source = path + (".jsonl" if json_lines else ".json")
    with open(source, "w", encoding="utf-8") as f:
        f.write(text)
    result = run("verify", source, "--html", path)
    if result.returncode == 2 or not os.path.exists(path):
        raise AssertionError(f"ferrolit verify --html: {result.stderr}")
