"""What the end-to-end tests of the tool share: the program (FERROLIT_BIN,
set by ctest), a way to run it, and a temporary folder per test."""

import json
import os
import subprocess
import tempfile
import unittest

BIN = os.environ.get("FERROLIT_BIN", "../../build/tools/ferrolit")


def run(*args, stdin=None):
    return subprocess.run([BIN, *args], input=stdin, capture_output=True, text=True, timeout=300)


class Workspace(unittest.TestCase):
    def setUp(self):
        self._dir = tempfile.TemporaryDirectory()
        self.dir = self._dir.name

    def tearDown(self):
        self._dir.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, text):
        with open(self.path(name), "w", encoding="utf-8") as f:
            f.write(text)
        return self.path(name)

    def read(self, name):
        with open(self.path(name), encoding="utf-8") as f:
            return f.read()

    def section_file(self, section, name="sezione.json"):
        return self.write(name, json.dumps(section, indent=2))

    def lines_file(self, *sections, name="edificio.jsonl"):
        return self.write(name, "\n".join(s if isinstance(s, str) else json.dumps(s) for s in sections) + "\n")
