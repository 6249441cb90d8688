"""The page that computes in the browser (make web), opened from file:// in
headless Chromium: its WebAssembly module answers as the native program
does, the page shows results and errors beside their fields, downloads the
record, and requests nothing from the network."""

import glob
import json
import os
import pathlib
import tempfile
import time
import unittest

import tool
from tool import BENDING_RATIO, error_beside, set_field

PAGE = os.environ.get("FERROLIT_WEB_PAGE", os.path.join(os.path.dirname(__file__), "../../build/web/index.html"))
CORPUS = os.path.join(os.path.dirname(__file__), "../fuzz/corpus/cli_input")
# Relative difference allowed between the module's numbers and the native program's.
TOLERANCE = 1e-12

TEE = {
    "DescrSezione": "Trave a T", "forma": "T", "Base": 800, "BaseInf": 300, "Altezza": 600, "SpessoreT": 150,
    "Copriferro_Inf": 45, "Copriferro_Sup": 40, "ClasseCls": "C30/37", "ClasseAcciaio": "B450C",
    "stringaAs_inf": "4f20", "stringaAs_sup": "4f14", "fStaffe": 8, "nBracciaStaffe": 2, "passoStaffe": 150,
    "combinazioni": [
        {"nome": "SLU1", "tipo": "SLU", "N": 0, "My": 250, "Vz": 150},
        {"nome": "SLU2", "tipo": "SLU", "N": 200, "My": -80, "Vz": 60},
        {"nome": "RARA", "tipo": "SLE rara", "N": 0, "My": 170},
    ],
}
POLYGON = {"concrete": {"class": "C30/37"}, "steel": {"class": "B450C"}, "outline": [[0, 0], [400, 0], [400, 600], [0, 600]],
           "bars": [[40, 40, 20], [360, 40, 20], [40, 560, 16]],
           "queries": [{"N": 300, "My": 120, "Mz": 40}, {"domain": "My", "points": 60}, {"contour": 200}]}


def magnitude(value):
    """The largest absolute number in a JSON value."""
    if isinstance(value, dict):
        value = list(value.values())
    if isinstance(value, list):
        return max((magnitude(v) for v in value), default=0)
    return abs(value) if isinstance(value, (int, float)) and not isinstance(value, bool) else 0


def differences(native, module, scale=0, path="$"):
    """Where two JSON values differ: [(path, native value, module value)]. Numbers differ when
    they are apart by more than TOLERANCE of the larger of them or, in a list, of the list's
    largest number (a domain's point near M = 0 is found by the same search as the others)."""
    if isinstance(native, bool) or isinstance(module, bool) or not isinstance(native, (int, float)):
        if isinstance(native, dict) and isinstance(module, dict) and native.keys() == module.keys():
            return [d for k in native for d in differences(native[k], module[k], 0, f"{path}.{k}")]
        if isinstance(native, list) and isinstance(module, list) and len(native) == len(module):
            return [d for i, (a, b) in enumerate(zip(native, module))
                    for d in differences(a, b, max(scale, magnitude(native)), f"{path}[{i}]")]
        return [] if native == module else [(path, native, module)]
    if not isinstance(module, (int, float)) or isinstance(module, bool):
        return [(path, native, module)]
    return [] if abs(native - module) <= TOLERANCE * max(abs(native), abs(module), scale) else \
        [(path, native, module)]


class StaticPage(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        if not os.path.exists(PAGE):
            raise unittest.SkipTest(f"pagina non costruita ({PAGE}): eseguire make web")
        self.browser = tool.browser(self)
        self.browser.send("Network.enable")
        self.browser.open(pathlib.Path(os.path.abspath(PAGE)).as_uri())
        self.browser.wait_for("document.querySelector('#max-ratio').textContent !== '—'", what="il primo risultato")

    def tearDown(self):
        # Everything the page loaded came from its own folder or from itself.
        urls = [e["params"]["request"]["url"] for e in self.browser._events
                if e.get("method") == "Network.requestWillBeSent"]
        self.assertTrue(urls, "nessun caricamento registrato: il controllo della rete non funziona")
        self.assertEqual([u for u in urls if not u.startswith(("file:", "blob:", "data:"))], [])

    def module(self, function, section):
        """The module's answer: the text, or {"error", "kind", "key"} when it rejects the input."""
        return self.browser.evaluate(
            f"ferrolit.{function}({json.dumps(section)}).catch(e => ({{error: e.message, kind: e.kind, key: e.key}}))")

    def test_module_answers_as_the_native_program(self):
        sections = [("README", tool.run("example").stdout), ("T", json.dumps(TEE))]
        for path in sorted(glob.glob(os.path.join(CORPUS, "*.json"))):
            with open(path, encoding="utf-8", errors="replace") as f:
                sections.append((os.path.basename(path), f.read()))
        cases = [("verify", name, text) for name, text in sections]
        cases += [("design", "README", sections[0][1]), ("analyse", "poligono", json.dumps(POLYGON))]
        for function, name, text in cases:
            with self.subTest(function=function, section=name):
                native = tool.run(function, "-", *(["--json"] if function != "analyse" else []), stdin=text)
                answer = self.module(function, text)
                if native.returncode == 2:
                    # The same message, which the program prefixes with where the text came from.
                    self.assertIsInstance(answer, dict, native.stderr)
                    self.assertTrue(native.stderr.strip().endswith(answer["error"]), (native.stderr, answer))
                    self.assertEqual(answer["kind"], 5)
                    continue
                self.assertIsInstance(answer, str, answer)
                expected = json.loads(native.stdout)
                self.assertEqual(differences(expected, json.loads(answer)), [])
        self.assertEqual(self.browser.errors, [])

    def test_page_verifies_and_shows_errors_beside_their_fields(self):
        b = self.browser
        self.assertEqual(b.evaluate("document.querySelector('#verdict').textContent"), "SEZIONE VERIFICATA")
        self.assertEqual(b.evaluate("document.querySelector('#max-ratio').textContent"), "1,000")
        b.evaluate(set_field('[data-key="combinazioni[1].My"]', "150"))
        b.wait_for(f"{BENDING_RATIO} === '1,020'", what="il nuovo rapporto a flessione")
        for selector, bad, message in [('[data-key="Base"]', "trecento", "campo «Base B (mm)»: tipo errato"),
                                       ('[data-key="stringaAs_inf"]', "3x20", "scrivere per esempio 3f20+2f16")]:
            with self.subTest(selector):
                good = b.evaluate(f"document.querySelector({json.dumps(selector)}).value")
                b.evaluate(set_field(selector, bad))
                self.assertIn(message, b.wait_for(error_beside(selector), what=f"l'errore accanto a {selector}"))
                b.evaluate(set_field(selector, good))
                b.wait_for(f"{error_beside(selector)} === ''", what="l'errore tolto")
        self.assertEqual(b.errors, [])

    def test_wide_layouts_keep_every_table_within_its_panel(self):
        b = self.browser
        # A check that fails, whose verdict is the table's widest text.
        b.evaluate(set_field('[data-key="combinazioni[1].My"]', "150"))
        b.wait_for(f"{BENDING_RATIO} === '1,020'", what="una verifica non soddisfatta")
        # Neither panel's content nor a table passes its edge (a table would scroll).
        overflowing = ("JSON.stringify(Array.from(document.querySelectorAll('.editor, .results, .table-wrap'))"
                       ".filter(e => e.scrollWidth > e.clientWidth + 1)"
                       ".map(e => (e.querySelector('table') || e).className))")
        for width in (1100, 1250, 1280, 1440, 1920):
            with self.subTest(width=width):
                b.send("Emulation.setDeviceMetricsOverride", {"width": width, "height": 1000, "deviceScaleFactor": 1,
                                                              "mobile": False})
                self.assertEqual(json.loads(b.evaluate(overflowing)), [])
                self.assertLessEqual(b.evaluate("document.documentElement.scrollWidth"), width)
        self.assertEqual(b.errors, [])

    def test_record_download(self):
        b = self.browser
        text = tool.downloaded(b, "#download-record", "relazione-T1.html")
        self.assertIn("SEZIONE VERIFICATA", text)
        self.assertIn("§4.1.2.3.4.2", text)
        self.assertEqual(b.errors, [])


if __name__ == "__main__":
    unittest.main()
