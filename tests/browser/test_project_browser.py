"""The page keeps a project, in a real browser against `ferrolit serve`: a
members model and its forces table opened from files, every member verified
with its progress, the project saved and opened again unchanged; the work
survives a reload; the page fits a 400 px screen, a polygon's holes
included; a server that is gone
greys the result and says so."""

import json
import os
import tempfile
import time
import unittest

import tool
from tool import set_field

BUILDING = os.path.join(os.path.dirname(__file__), "../../examples/building")
MODEL = os.path.join(BUILDING, "model.json")
FORCES = os.path.join(BUILDING, "forces.csv")
FIRST_RESULT = "document.querySelector('#max-ratio').textContent !== '—'"


class ProjectPage(unittest.TestCase):
    def setUp(self):
        self.browser = tool.browser(self)
        self.served = tool.server()
        self.url = self.served.__enter__()
        self.addCleanup(self.served.__exit__, None, None, None)
        self.browser.open(self.url)
        self.browser.wait_for(FIRST_RESULT, what="il primo risultato")

    def open_project(self, model=MODEL):
        b = self.browser
        b.set_files("#open-project", [model])
        b.wait_for("!document.querySelector('#project').hidden", what="il progetto aperto")
        b.set_files("#open-forces", [FORCES])
        b.wait_for("document.querySelector('#project-forces').textContent.includes('forces.csv (54 righe)')",
                   what="la tabella delle sollecitazioni")

    def saved_project(self, folder):
        return json.loads(tool.downloaded(self.browser, "#save-project", "model.json", folder))

    def test_project_round_trip(self):
        b = self.browser
        self.open_project()
        self.assertEqual(b.evaluate("[...document.querySelectorAll('#project-sections button')].map(x => x.textContent)"),
                         ["T30x50", "P40x40"])
        # The form edits the first section, with the page's combinations to try it.
        self.assertEqual(b.evaluate("document.querySelector('[data-key=Altezza]').value"), "500")
        b.evaluate("document.querySelector('#run-members').click()")
        b.wait_for("document.querySelector('#members-status').textContent.includes('rapporto massimo')",
                   what="le membrature verificate")
        native = json.loads(tool.run("members", MODEL, "--json").stdout)
        # Sorted by ratio, the largest first; equal ratios in the model's order.
        ratios = [(m["max_ratio"], m["id"]) for m in sorted(native["members"], key=lambda m: -m["max_ratio"])]
        rows = b.evaluate("[...document.querySelectorAll('#members tr')].map(r => [r.cells[0].textContent,"
                          " r.cells[4].textContent, r.querySelector('a').getAttribute('href')])")
        self.assertEqual([r[0] for r in rows], [i for _, i in ratios])
        self.assertEqual(rows[0][1], f"{ratios[0][0]:.3f}".replace(".", ","))
        order = [m["id"] for m in native["members"]]
        for member, _, link in rows:
            self.assertTrue(link.startswith("blob:") and link.endswith(f"#membratura-{order.index(member) + 1}"), link)
        with open(MODEL, encoding="utf-8") as f:
            original = json.load(f)
        with tempfile.TemporaryDirectory() as folder:
            self.assertEqual(self.saved_project(folder), original)
        # An edit of the section in the form goes into the saved project, without combinations.
        b.evaluate(set_field('[data-key="Altezza"]', "550"))
        b.wait_for("document.querySelector('table.members').classList.contains('stale')", what="l'elenco da rifare")
        with tempfile.TemporaryDirectory() as folder:
            edited = self.saved_project(folder)
            expected = json.loads(json.dumps(original))
            expected["sezioni"]["T30x50"]["Altezza"] = 550
            self.assertEqual(edited, expected)
            self.open_project(os.path.join(folder, "model.json"))
        self.assertEqual(b.evaluate("document.querySelector('[data-key=Altezza]').value"), "550")
        self.assertEqual(b.errors, [])

    def test_work_survives_a_reload(self):
        b = self.browser
        self.open_project()
        b.evaluate("document.querySelector('#project-sections li:nth-child(2) button').click()")
        b.evaluate(set_field('[data-key="Base"]', "450"))
        b.open(self.url)
        b.wait_for(FIRST_RESULT, what="il risultato dopo il ricaricamento")
        self.assertEqual(b.evaluate("document.querySelector('[data-key=Base]').value"), "450")
        self.assertEqual(b.evaluate("document.querySelector('#project-title').textContent"),
                         "Progetto: Edificio di esempio: telaio in c.a. a due campate")
        self.assertIn("forces.csv", b.evaluate("document.querySelector('#project-forces').textContent"))
        # What another layout stored is ignored: the page starts from the example.
        b.evaluate("localStorage.setItem('ferrolit.lavoro', JSON.stringify({versione: 0, sezione: {Base: 1}}))")
        b.open(self.url)
        b.wait_for(FIRST_RESULT, what="il risultato dell'esempio")
        self.assertEqual(b.evaluate("document.querySelector('[data-key=DescrSezione]').value"), "T1")
        self.assertTrue(b.evaluate("document.querySelector('#project').hidden"))
        self.assertEqual(b.errors, [])

    def test_narrow_screen_needs_no_sideways_scrolling(self):
        b = self.browser
        b.send("Emulation.setDeviceMetricsOverride", {"width": 400, "height": 900, "deviceScaleFactor": 1,
                                                      "mobile": False})
        self.open_project()
        b.evaluate("document.querySelector('#run-members').click()")
        b.wait_for("document.querySelector('#members-status').textContent.includes('rapporto massimo')",
                   what="le membrature verificate")
        for shape in ("rettangolare", "poligono"):
            with self.subTest(shape):
                b.evaluate(f"(() => {{ const f = document.querySelector('[data-key=forma]'); f.value = '{shape}';"
                           " f.dispatchEvent(new Event('input', {bubbles: true})); })()")
                b.wait_for(FIRST_RESULT)
                self.assertLessEqual(b.evaluate("document.documentElement.scrollWidth"), 400)
        # The polygon's holes: a blank line between two, sent as "fori" and drawn.
        b.evaluate(set_field('[data-key="contorno"]', "0 0\n300 0\n300 500\n0 500"))
        b.evaluate(set_field('[data-key="fori"]', "100 150\n200 150\n200 200\n\n100 300\n200 300\n200 350"))
        b.wait_for("document.querySelector('#section-drawing path.concrete').getAttribute('d').split('Z').length === 4",
                   what="i due fori disegnati")
        self.assertEqual(json.loads(b.evaluate("document.querySelector('#json').value"))["fori"],
                         [[[100, 150], [200, 150], [200, 200]], [[100, 300], [200, 300], [200, 350]]])
        self.assertEqual(b.errors, [])

    def test_server_gone_greys_the_result(self):
        b = self.browser
        self.served.__exit__(None, None, None)
        b.evaluate(set_field('[data-key="Base"]', "310"))
        b.wait_for("document.querySelector('.results').classList.contains('stale')", what="il risultato in grigio")
        message = b.evaluate("document.querySelector('#message').textContent")
        self.assertIn("Il server di ferrolit non risponde", message)
        self.assertIn("non sono aggiornati", message)
        self.assertEqual(b.evaluate("document.querySelector('#verdict').textContent"), "risultato non aggiornato")


if __name__ == "__main__":
    unittest.main()
