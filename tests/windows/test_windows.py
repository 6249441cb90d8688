"""The Windows build: what the DLL exports and imports, and ferrolit.exe under
Wine giving Linux's results, for CRLF input and non-ASCII file and section names.

Environment (set by ctest): FERROLIT_DLL, FERROLIT_EXE (the programs),
FERROLIT_RUN (runs a Windows program: the Wine script), FERROLIT_OBJDUMP,
FERROLIT_HEADER (ferrolit.h), FERROLIT_LINUX_BIN (the Linux build's ferrolit),
FERROLIT_CORPUS (sections to compare).
"""

import glob
import json
import math
import os
import re
import subprocess
import tempfile
import unittest

ENV = os.environ
# What a program may import: Windows' own DLLs, nothing of the compiler's runtime.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "shell32.dll", "advapi32.dll", "ws2_32.dll",
               "ole32.dll", "bcrypt.dll"}
RELATIVE = 1e-12


def objdump(path):
    return subprocess.run([ENV["FERROLIT_OBJDUMP"], "-p", path], capture_output=True, text=True, check=True).stdout


def exported_names(dump):
    table = dump.split("[Ordinal/Name Pointer] Table", 1)[1]
    return set(re.findall(r"^\s*\[\s*\d+\]\s+(\S+)\s*$", table, re.M))


def windows(*args, stdin=None, cwd=None):
    return subprocess.run([ENV["FERROLIT_RUN"], ENV["FERROLIT_EXE"], *args], input=stdin, capture_output=True,
                          cwd=cwd, timeout=300)


def linux(*args, stdin=None):
    return subprocess.run([ENV["FERROLIT_LINUX_BIN"], *args], input=stdin, capture_output=True, timeout=300)


def assert_same(test, a, b, where="$"):
    """Equal JSON, numbers to RELATIVE."""
    test.assertEqual(type(a) is dict, type(b) is dict, where)
    if isinstance(a, dict):
        test.assertEqual(list(a), list(b), where)
        for k in a:
            assert_same(test, a[k], b[k], f"{where}.{k}")
    elif isinstance(a, list):
        test.assertEqual(len(a), len(b), where)
        for i, (x, y) in enumerate(zip(a, b)):
            assert_same(test, x, y, f"{where}[{i}]")
    elif isinstance(a, float) or isinstance(b, float):
        test.assertTrue(math.isclose(a, b, rel_tol=RELATIVE, abs_tol=0.0) or a == b, f"{where}: {a} != {b}")
    else:
        test.assertEqual(a, b, where)


class Dll(unittest.TestCase):
    def test_exports_exactly_the_c_functions_by_name(self):
        with open(ENV["FERROLIT_HEADER"], encoding="utf-8") as f:
            declared = set(re.findall(r"FERROLIT_C_API\b[^;(]*?\b(ferrolit_\w+)\s*\(", f.read()))
        self.assertGreater(len(declared), 30)
        self.assertEqual(exported_names(objdump(ENV["FERROLIT_DLL"])), declared)

    def test_only_windows_own_dlls_are_needed(self):
        for program in (ENV["FERROLIT_DLL"], ENV["FERROLIT_EXE"]):
            imported = {n.lower() for n in re.findall(r"DLL Name: (\S+)", objdump(program))}
            self.assertTrue(imported, program)
            self.assertLessEqual(imported, SYSTEM_DLLS, program)


class SameAsLinux(unittest.TestCase):
    def setUp(self):
        if not os.path.exists(ENV.get("FERROLIT_LINUX_BIN", "")):
            self.skipTest("programma Linux di riferimento non trovato: make build")
        self._dir = tempfile.TemporaryDirectory()
        self.dir = self._dir.name

    def tearDown(self):
        self._dir.cleanup()

    def corpus_lines(self):
        lines = []
        for path in sorted(glob.glob(os.path.join(ENV["FERROLIT_CORPUS"], "*.json"))):
            with open(path, encoding="utf-8", errors="replace") as f:
                try:
                    lines.append(json.dumps(json.loads(f.read()), ensure_ascii=False))
                except ValueError:
                    continue
        self.assertGreater(len(lines), 5)
        return lines

    def compare(self, args_windows, args_linux, stdin=None, cwd=None):
        w, l = windows(*args_windows, stdin=stdin, cwd=cwd), linux(*args_linux, stdin=stdin)
        self.assertEqual((w.returncode, w.stderr), (l.returncode, l.stderr))
        # One JSON document, or JSON Lines for a table.
        lines = [] if l.stdout.lstrip().startswith(b'{\n') else l.stdout.splitlines()
        w_docs, l_docs = ([w.stdout], [l.stdout]) if not lines else (w.stdout.splitlines(), lines)
        self.assertEqual(len(w_docs), len(l_docs))
        for a, b in zip(w_docs, l_docs):
            assert_same(self, json.loads(a), json.loads(b))
        return w

    def test_readme_beam_and_a_table_of_sections(self):
        table = os.path.join(self.dir, "sezioni.jsonl")
        with open(table, "w", encoding="utf-8", newline="\n") as f:
            f.write("\n".join(self.corpus_lines()) + "\n")
        for command in (["verify", "--json"], ["design", "--json"]):
            self.compare(command, command)
            self.compare([*command, table], [*command, table])

    def test_crlf_input_and_non_ascii_names(self):
        section = json.loads(linux("example").stdout)
        section["DescrSezione"] = "Sezione à"
        text = json.dumps(section, indent=2, ensure_ascii=False)
        lf, crlf = os.path.join(self.dir, "lf.json"), os.path.join(self.dir, "Sezione à.json")
        with open(lf, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        with open(crlf, "w", encoding="utf-8", newline="\r\n") as f:
            f.write(text)
        html = os.path.join(self.dir, "Relazione è.html")
        w = self.compare(["verify", "--json", "--html", html, crlf], ["verify", "--json", lf])
        self.assertIn("Sezione à", w.stdout.decode())
        with open(html, encoding="utf-8") as f:
            self.assertIn("Sezione à", f.read())
        self.compare(["verify", "--json", "-"], ["verify", "--json", lf], stdin=text.replace("\n", "\r\n").encode())
        # A relative path, and an absolute one with Windows' separators on drive Z: (Wine's /).
        self.compare(["verify", "--json", "Sezione à.json"], ["verify", "--json", lf], cwd=self.dir)
        self.compare(["verify", "--json", "Z:" + crlf.replace("/", "\\")], ["verify", "--json", lf])

    def test_serve_says_it_is_not_in_this_build(self):
        result = windows("serve")
        self.assertEqual(result.returncode, 2)
        self.assertIn("non disponibile", result.stderr.decode())


if __name__ == "__main__":
    unittest.main()
