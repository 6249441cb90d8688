"""The page of `ferrolit serve` in a real browser: it loads without console
errors, shows the example's result, follows an edited field, shows an input
error beside the field it concerns, keeps the JSON tab in step, and hands
out the HTML record as a download."""

import json
import os
import tempfile
import time
import unittest

import cdp
import tool
from tool import BENDING_RATIO, error_beside, set_field


# The page's WebAssembly module, when make web has written it.
MODULE = os.path.join(os.path.dirname(__file__), "../../build/web/ferrolit.js")


class ServedPage(unittest.TestCase):
    server_options = ()

    def setUp(self):
        self.browser = tool.browser(self)
        served = tool.server(*self.server_options)
        self.url = served.__enter__()
        self.addCleanup(served.__exit__, None, None, None)
        self.browser.open(self.url)
        self.browser.wait_for("document.querySelector('#max-ratio').textContent !== '—'", what="il primo risultato")

    def unexpected_errors(self):
        # A 400 answer to a bad value is the page's business, not an error of the page.
        return [e for e in self.browser.errors if "status of 400" not in e]

    def test_renders_the_example(self):
        b = self.browser
        self.assertEqual(b.errors, [])
        self.assertEqual(b.evaluate("document.querySelector('#verdict').textContent"), "SEZIONE VERIFICATA")
        # C25/30 is the least class of the ordinary environment (Tab. C4.1.IV): concrete_class at exactly 1.
        self.assertEqual(b.evaluate("document.querySelector('#max-ratio').textContent"), "1,000")
        # The example's 3f20 and the code's two top bars, drawn to scale.
        self.assertEqual(b.evaluate("document.querySelectorAll('#section-drawing circle').length"), 5)
        self.assertGreater(b.evaluate("document.querySelectorAll('#domains svg').length"), 0)
        self.assertGreater(b.evaluate("document.querySelectorAll('#checks tr').length"), 5)
        # The ratios are set like the table's other figures, not at the summary's size.
        size = "(q) => getComputedStyle(document.querySelector(q)).fontSize"
        self.assertEqual(b.evaluate(f"({size})('#checks td.ratio')"), b.evaluate(f"({size})('#checks td.num:not(.ratio)')"))
        width, height, colours = cdp.png_colours(b.screenshot())
        self.assertGreater(colours, 8, "lo screenshot sembra vuoto")

    def test_result_follows_an_edited_field(self):
        b = self.browser
        before = b.evaluate(BENDING_RATIO)
        b.evaluate(set_field('[data-key="combinazioni[1].My"]', "150"))
        b.wait_for(f"{BENDING_RATIO} !== {json.dumps(before)}", what="il nuovo rapporto a flessione")
        # 150 kNm over the 147,06 kNm of the example's M_Rd, from 100 kNm before.
        self.assertEqual(b.evaluate(BENDING_RATIO), "1,020")
        # The tension chord governs: shear adds Vz·cot θ/2 = 100 kN to the force of the yielded bottom bars.
        self.assertEqual(b.evaluate("document.querySelector('#max-ratio').textContent"), "1,271")
        self.assertEqual(b.evaluate("document.querySelector('#verdict').textContent"), "SEZIONE NON VERIFICATA")
        # A weaker bar string changes the result again.
        b.evaluate(set_field('[data-key="stringaAs_inf"]', "2f16"))
        b.wait_for(f"{BENDING_RATIO} !== '1,020'", what="il rapporto a flessione con 2f16")
        self.assertEqual(b.errors, [])

    def test_input_errors_show_beside_their_field(self):
        b = self.browser
        cases = [
            ('[data-key="Base"]', "trecento", "campo «Base B (mm)»: tipo errato"),
            ('[data-key="stringaAs_inf"]', "3x20", "scrivere per esempio 3f20+2f16"),
            ('[data-key="combinazioni[2].N"]', "molto", "campo «combinazione QP, N (kN)»"),
        ]
        for selector, bad, message in cases:
            with self.subTest(selector):
                good = b.evaluate(f"document.querySelector({json.dumps(selector)}).value")
                b.evaluate(set_field(selector, bad))
                shown = b.wait_for(error_beside(selector), what=f"l'errore accanto a {selector}")
                self.assertIn(message, shown)
                self.assertTrue(b.evaluate(f"document.querySelector({json.dumps(selector)})"
                                           ".classList.contains('invalid')"))
                self.assertTrue(b.evaluate("document.querySelector('#message').hidden"),
                                "un errore con il suo campo non va nel riquadro generale")
                b.evaluate(set_field(selector, good))
                b.wait_for(f"{error_beside(selector)} === ''", what="l'errore tolto")
                b.wait_for("document.querySelector('#verdict').textContent === 'SEZIONE VERIFICATA'")
        # An error without a field of the form goes to the general box.
        b.evaluate(set_field('[data-key="ClasseCls"]', ""))
        b.wait_for("!document.querySelector('#message').hidden || "
                   f"{error_beside('[data-key=ClasseCls]')} !== ''", what="l'errore del calcestruzzo")
        self.assertEqual(self.unexpected_errors(), [])

    def test_json_tab_stays_in_step(self):
        b = self.browser
        b.evaluate("document.querySelector('[data-tab=json]').click()")
        text = b.evaluate("document.querySelector('#json').value")
        self.assertEqual(json.loads(text), tool.example())
        edited = dict(json.loads(text), Base=350)
        b.evaluate(f"(() => {{ const t = document.querySelector('#json'); t.value = {json.dumps(json.dumps(edited))};"
                   " t.dispatchEvent(new Event('input', {bubbles: true})); })()")
        b.wait_for("document.querySelector('[data-key=Base]').value === '350'", what="il modulo aggiornato")
        b.evaluate(set_field('[data-key="Altezza"]', "550"))
        self.assertEqual(json.loads(b.evaluate("document.querySelector('#json').value"))["Altezza"], 550)
        self.assertEqual(b.errors, [])

    def test_record_download(self):
        b = self.browser
        answer = b.evaluate(
            "fetch('api/record', {method: 'POST', headers: {'Content-Type': 'application/json'},"
            " body: document.querySelector('#json').value}).then(async r => ({status: r.status,"
            " type: r.headers.get('Content-Type'), disposition: r.headers.get('Content-Disposition'),"
            " text: await r.text()}))")
        self.assertEqual(answer["status"], 200)
        self.assertEqual(answer["type"], "text/html; charset=utf-8")
        self.assertEqual(answer["disposition"], 'attachment; filename="relazione-T1.html"')
        self.assertIn("<html", answer["text"])
        # The button saves the same record as a file.
        self.assertIn("<html", tool.downloaded(b, "#download-record", "relazione-T1.html"))
        self.assertEqual(b.errors, [])


class ServedPageWithModule(ServedPage):
    """The same page served with the module make web writes: it computes in the
    browser, and asks the server for its files only."""
    server_options = ("--module", MODULE)

    def setUp(self):
        if not os.path.exists(MODULE):
            raise unittest.SkipTest(f"modulo non costruito ({MODULE}): eseguire make web")
        super().setUp()
        self.browser.send("Network.enable")
        self.assertTrue(self.browser.evaluate("typeof ferrolit === 'object'"))

    def tearDown(self):
        posts = [e["params"]["request"]["url"] for e in self.browser._events
                 if e.get("method") == "Network.requestWillBeSent" and e["params"]["request"]["method"] == "POST"]
        # test_record_download posts to the server on purpose, to compare its record.
        self.assertLessEqual(len(posts), 1, posts)


if __name__ == "__main__":
    unittest.main()
