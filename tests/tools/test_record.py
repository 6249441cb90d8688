"""The calculation record of ferrolit verify --html and the plots of --svg, read back.

The program comes from FERROLIT_BIN (set by ctest). Each record is parsed
with html.parser and compared with the --json output of the same input: the
tables, points and bars must be the ones the verification produced. The SVG
plots are checked for the shape of the domain (closed, convex, no tail along
M = 0) and for their labels.
"""

import html.parser
import json
import math
import os
import re
import unittest

import cli_support
from cli_support import run
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
VOID = {"meta", "br", "col", "img", "hr", "link", "input", "wbr"}



class Node:
    def __init__(self, tag, attrs, parent=None):
        self.tag, self.attrs, self.parent, self.children, self.text = tag, dict(attrs), parent, [], ""

    def all(self, tag=None, **attrs):
        """Every descendant with the tag and the attribute values (class matches one of the classes)."""
        found = []
        for c in self.children:
            if (tag is None or c.tag == tag) and all(
                (v in c.attrs.get("class", "").split()) if k == "cls" else c.attrs.get(k) == v
                for k, v in attrs.items()
            ):
                found.append(c)
            found.extend(c.all(tag, **attrs))
        return found

    def one(self, tag=None, **attrs):
        found = self.all(tag, **attrs)
        if len(found) != 1:
            raise AssertionError(f"{len(found)} <{tag} {attrs}> instead of one")
        return found[0]

    def content(self):
        return self.text + "".join(c.content() for c in self.children)


class Tree(html.parser.HTMLParser):
    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.root = self.top = Node("#document", {})
        self.feed(text)
        self.close()

    def handle_starttag(self, tag, attrs):
        node = Node(tag, attrs, self.top)
        self.top.children.append(node)
        if tag not in VOID:
            self.top = node

    def handle_startendtag(self, tag, attrs):
        self.top.children.append(Node(tag, attrs, self.top))

    def handle_endtag(self, tag):
        node = self.top
        while node is not self.root and node.tag != tag:
            node = node.parent
        if node is not self.root:
            self.top = node.parent

    def handle_data(self, data):
        # Text after a child belongs to the parent's content in order; keep it simple: append to the open node.
        self.top.children.append(Node("#text", {}, self.top))
        self.top.children[-1].text = data


BEAM = {
    "DescrSezione": "Trave 30x50", "Base": 300, "Altezza": 500, "Copriferro_Inf": 40, "Copriferro_Sup": 40,
    "ClasseCls": "C25/30", "ClasseAcciaio": "B450C", "stringaAs_inf": "3f20", "stringaAs_sup": "2f12",
    "fStaffe": 8, "nBracciaStaffe": 2, "passoStaffe": 200,
    "combinazioni": [
        {"nome": "SLU1", "tipo": "SLU", "N": 0, "My": 100, "Vz": 80},
        {"nome": "SLU2", "tipo": "SLU", "N": 300, "My": -40, "Vz": 30},
        {"nome": "QP", "tipo": "SLE quasi permanente", "N": 0, "My": 60},
    ],
}
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
RING = [[50, 50], [300, 50], [550, 50], [550, 300], [550, 550], [300, 550], [50, 550], [50, 300]]
HOLLOW = {
    "DescrSezione": "Cassone con foro", "TipoSezione": "Pilastro", "forma": "poligono",
    "ClasseCls": "C30/37", "ClasseAcciaio": "B450C",
    "contorno": [[0, 0], [600, 0], [600, 600], [0, 600]],
    "fori": [[[200, 200], [400, 200], [400, 400], [200, 400]]],
    "barre": [{"y": y, "z": z, "d": 24 if (y, z) == (50, 50) else 20} for y, z in RING],
    "fStaffe": 8, "nBracciaStaffe": 2, "passoStaffe": 150,
    "combinazioni": [{"nome": "SLU1", "tipo": "SLU", "N": 1500, "My": 200, "Vz": 50}],
}
COLUMN = {
    "DescrSezione": "Pilastro P3", "TipoSezione": "Pilastro", "Base": 400, "Altezza": 400,
    "Copriferro_Inf": 45, "Copriferro_Sup": 45, "ClasseCls": "C28/35", "ClasseAcciaio": "B450C",
    "stringaAs_inf": "3f18", "stringaAs_sup": "3f18", "stringaAs_supY": "1f18", "stringaAs_infY": "1f18",
    "fStaffe": 8, "nBracciaStaffe": 2, "passoStaffe": 200,
    "combinazioni": [
        {"nome": "SLU1", "tipo": "SLU", "N": 1200, "My": 90, "Mz": 60, "Vz": 40, "Vy": 30},
        {"nome": "SLU2", "tipo": "SLU", "N": 1200, "My": -40, "Mz": 110},
        {"nome": "SLU3", "tipo": "SLU", "N": 400, "My": 60, "Mz": -30},
    ],
}
# Only an ultimate combination and no stirrups: service checks not run, an unbounded stirrup ratio.
BARE = {
    "DescrSezione": "Senza staffe", "Base": 300, "Altezza": 500, "Copriferro_Inf": 40, "Copriferro_Sup": 40,
    "ClasseCls": "C25/30", "ClasseAcciaio": "B450C", "stringaAs_inf": "3f16", "stringaAs_sup": "2f12",
    "fStaffe": 0, "nBracciaStaffe": 0, "passoStaffe": 0,
    "combinazioni": [{"nome": "A", "tipo": "SLU", "N": 0, "My": 60, "Vz": 50}],
}
# An L with a left side layer: the Mz panel is drawn for its side bars alone. Its top bars spread
# over the whole flange.
ELL = TEE | {"DescrSezione": "Trave a L", "forma": "L", "stringaAs_supY": "1f14", "larghezza_armatura_ala": 800}
SECTIONS = {"trave": BEAM, "T": TEE, "L": ELL, "foro": HOLLOW, "pilastro": COLUMN, "senza staffe": BARE}


class Workspace(cli_support.Workspace):
    def verified(self, section, *extra):
        """The section's --json result, its HTML record parsed, and the record's text."""
        source = self.write("sezione.json", json.dumps(section))
        result = run("verify", "--json", "--html", self.path("r.html"), *extra, source)
        self.assertIn(result.returncode, (0, 1), result.stderr)
        text = self.read("r.html")
        return json.loads(result.stdout), Tree(text).root, text


def rows(table):
    return [tr for tr in table.one("tbody").all("tr") if "note-row" not in tr.attrs.get("class", "")]


class SectionRecord(Workspace):
    def test_every_section(self):
        for name, section in SECTIONS.items():
            with self.subTest(name):
                r, doc, text = self.verified(section)
                self.a_table_per_check_family_with_a_row_per_check(section, r, doc, text)
                self.governing_check_stated_before_the_tables(section, r, doc, text)
                self.every_ultimate_combination_drawn_with_its_name(section, r, doc, text)
                self.section_drawn_to_scale_with_every_bar(section, r, doc, text)
                self.self_contained(section, r, doc, text)
                self.checks_summed_up_one_row_per_family(section, r, doc, text)
                self.tables_and_figures_numbered_in_order(section, r, doc, text)

    def a_table_per_check_family_with_a_row_per_check(self, section, r, doc, text):
        ids = [c["id"] for c in r["checks"]]
        tables = doc.all("table", cls="checks")
        self.assertEqual(sorted(t.attrs["data-check"] for t in tables), sorted(set(ids)))
        for t in tables:
            mine = [c for c in r["checks"] if c["id"] == t.attrs["data-check"]]
            body = rows(t)
            self.assertEqual(len(body), len(mine), t.attrs["data-check"])
            for tr, c in zip(body, mine):
                cells = [td.content() for td in tr.all("td")]
                self.assertEqual(cells[0], c["combination"] or "regola di dettaglio")
                self.assertEqual(cells[1], c["clause"])
                # The verdict reads without colour: a symbol and a word.
                self.assertIn("✔ verificata" if c["verified"] else "✘ NON verificata", cells[5])
                if c["unit"] and c["capacity"] is not None:
                    self.assertTrue(cells[3].endswith("\xa0" + c["unit"]), cells[3])

    def governing_check_stated_before_the_tables(self, section, r, doc, text):
        g = r["governing"]
        outcome = doc.one("div", cls="outcome").content()
        self.assertIn(f"({g['id']})", outcome)
        self.assertIn(g["clause"], outcome)
        if g["combination"]:
            self.assertIn(f"combinazione {g['combination']}", outcome)
        self.assertIn("SEZIONE VERIFICATA" if r["verified"] else "SEZIONE NON VERIFICATA", outcome)
        self.assertLess(text.index('class="outcome'), text.index('class="checks'))

    def every_ultimate_combination_drawn_with_its_name(self, section, r, doc, text):
        domains = doc.one("svg", cls="domains")
        ultimate = [c["nome"] for c in section["combinazioni"] if c["tipo"].startswith("SLU")]
        axes = [g.attrs["data-axis"] for g in domains.all("g", cls="panel")]
        for panel in domains.all("g", cls="panel"):
            points = panel.all("g", cls="design-point")
            self.assertEqual([p.attrs["data-combination"] for p in points], ultimate)
            for p in points:
                self.assertIn(p.attrs["data-combination"], p.one("text").content())
        # Mz only where a combination has Mz or there are side bars.
        has_mz = any(c.get("Mz", 0) for c in section["combinazioni"]) or "stringaAs_supY" in section
        self.assertEqual(axes, ["My", "Mz"] if has_mz else ["My"])

    def section_drawn_to_scale_with_every_bar(self, section, r, doc, text):
        drawing = doc.one("svg", cls="section-drawing")
        circles = drawing.all("circle", cls="bar")
        bars = r["section"]["bars"]
        self.assertEqual(len(circles), len(bars))
        # One scale for radii and positions: r/d and the distances between centres agree.
        xs, ys = [float(c.attrs["cx"]) for c in circles], [b["y"] for b in bars]
        scale = (max(xs) - min(xs)) / (max(ys) - min(ys))
        for c, b in zip(circles, bars):
            self.assertAlmostEqual(float(c.attrs["r"]), b["d"] / 2 * scale, delta=0.01)
            self.assertAlmostEqual(float(c.attrs["cx"]) - float(circles[0].attrs["cx"]),
                                   (b["y"] - bars[0]["y"]) * scale, delta=0.02)
            self.assertAlmostEqual(float(c.attrs["cy"]) - float(circles[0].attrs["cy"]),
                                   -(b["z"] - bars[0]["z"]) * scale, delta=0.02)
        outline = drawing.one("path", cls="concrete").attrs["d"]
        self.assertEqual(outline.count("M"), 1 + len(r["section"]["holes"]))
        dims = [d.content() for d in drawing.all("g", cls="dimension")]
        self.assertTrue(dims, "no dimension")
        for layer in r["section"]["layers"]:
            self.assertIn(f"c {layer['cover']:.0f}", dims)

    def self_contained(self, section, r, doc, text):
        self.assertEqual(doc.all("script"), [])
        self.assertNotRegex(text, r"(?i)https?://")
        self.assertNotRegex(text, r"(?i)<(link|img|iframe|object|embed)\b")
        self.assertIn("@page", text)
        self.assertIn("@media print", text)
        with open(os.path.join(os.path.dirname(__file__), "../../tools/web/palette.css"), encoding="utf-8") as f:
            self.assertIn(f.read(), text)  # the page's colours, so a verdict looks the same in both
        ids = [n.attrs["id"] for n in doc.all() if "id" in n.attrs]
        self.assertEqual(len(ids), len(set(ids)), "repeated id")

    def checks_summed_up_one_row_per_family(self, section, r, doc, text):
        summary = rows(doc.one("table", **{"data-table": "checks-summary"}))
        self.assertEqual(sorted(tr.attrs["data-check"] for tr in summary), sorted({c["id"] for c in r["checks"]}))
        for tr in summary:
            family = [c for c in r["checks"] if c["id"] == tr.attrs["data-check"]]
            self.assertEqual("✔" in tr.content(), all(c["verified"] for c in family), tr.attrs["data-check"])

    def tables_and_figures_numbered_in_order(self, section, r, doc, text):
        for word, captions in (("Tabella", [n.content() for n in doc.all("caption")]),
                               ("Figura", [n.content() for n in doc.all("div", cls="caption")])):
            self.assertEqual([c.split(" — ")[0] for c in captions],
                             [f"{word} {k}" for k in range(1, len(captions) + 1)])

    def test_materials_with_their_factors(self):
        r, doc, _ = self.verified(BEAM)
        concrete = doc.one("table", **{"data-table": "concrete"}).content()
        steel = doc.one("table", **{"data-table": "steel"}).content()
        # fcd = 0,85·25/1,5 = 14,17 MPa; fyd = 450/1,15 = 391,3 MPa.
        for text in ("14,17\xa0MPa", "0,850", "1,50", "2,00\xa0‰", "3,50\xa0‰", "2,56\xa0MPa", "31476\xa0MPa"):
            self.assertIn(text, concrete)
        for text in ("450,0\xa0MPa", "391,3\xa0MPa", "1,15", "200000\xa0MPa", "67,50\xa0‰"):
            self.assertIn(text, steel)

    def test_header_names_program_version_date_and_code(self):
        version = run("--version").stdout.strip()
        project = {"opera": "Scuola <media>", "committente": "Comune di Pisa", "progettista": "Ing. M. Rossi",
                   "luogo": "Pisa", "note": "primo impalcato"}
        _, doc, _ = self.verified(BEAM | {"progetto": project})
        title = {tr.one("th").content(): tr.one("td").content() for tr in doc.one("section", id="progetto").all("tr")}
        for label in ("opera", "committente", "progettista", "luogo", "note"):
            self.assertEqual(title[label.capitalize()], project[label])
        self.assertEqual(title["Versione"], version)
        self.assertRegex(title["Build"], r"^(git [0-9a-f]{12}(-modificato)?|non da git)$")
        self.assertIn("MIT", title["Licenza"])
        for wrong in ({"opera": 3}, {"opera": "a\u0000b"}, {"cliente": "x"}):
            refused = run("verify", self.write("p.json", json.dumps(BEAM | {"progetto": wrong})))
            self.assertEqual(refused.returncode, 2, wrong)
            self.assertIn("progetto." + next(iter(wrong)), refused.stderr)
        header = doc.one("header")
        self.assertEqual(header.one("h1").content(), "ferrolit")
        self.assertEqual(header.one("span", cls="version").content(), version)
        self.assertRegex(header.one("span", cls="date").content(), r"^\d{4}-\d\d-\d\d$")
        self.assertEqual(header.one("span", cls="code").content(), "NTC 2018 (D.M. 17/01/2018) §4.1")

    def test_checks_not_run_and_unbounded_ratios_said_in_words(self):
        r, doc, text = self.verified(BARE)
        self.assertFalse(r["service_checks_run"])
        self.assertEqual(len(doc.all("p", **{"data-not-run": "service"})), 1)
        self.assertEqual(doc.all("p", **{"data-not-run": "ultimate"}), [])
        listed = [li.attrs["data-not-run-id"] for li in doc.one("ul", cls="not-run-list").all("li")]
        self.assertEqual(listed, [n["id"] for n in r["not_run"]])
        self.assertIn("stress_steel", listed)
        stirrups = rows(doc.one("table", **{"data-check": "stirrups"}))
        self.assertEqual(stirrups[0].one("td", cls="ratio").content(), "illimitato")
        for sentinel in (r"1e999", r"\binf\b", r"1e\+", r"\bnan\b", r"∞"):
            self.assertNotRegex(text, rf"(?i)>[^<]*{sentinel}")

    def test_biaxial_column_has_its_my_mz_contour(self):
        r, doc, _ = self.verified(COLUMN)
        contour = doc.one("svg", cls="contour")
        governing = next(c for c in r["checks"] if c["id"] == "bending" and c["ratio"] == max(
            x["ratio"] for x in r["checks"] if x["id"] == "bending"))
        n = next(d["value"] for d in governing["details"] if d["name"] == "N_Ed")
        self.assertIn(f"N = {n:.1f}".replace(".", ","), contour.content())
        at_n = [c["nome"] for c in COLUMN["combinazioni"] if c["N"] == n]
        self.assertEqual([g.attrs["data-combination"] for g in contour.all("g", cls="design-point")], at_n)
        self.assertTrue(convex(points_of(contour.one("polygon", cls="outline").attrs["points"])))
        # A uniaxial beam has none.
        _, beam, _ = self.verified(BEAM)
        self.assertEqual(beam.all("svg", cls="contour"), [])

    def test_design_writes_a_record_too(self):
        section = BEAM | {"Copriferro_Inf": 60, "Copriferro_Sup": 60}  # 42 mm of clear cover (Tab. C4.1.IV: 35)
        del section["stringaAs_inf"]
        source = self.write("progetto.json", json.dumps(section))
        result = run("design", "--html", self.path("p.html"), source)
        self.assertEqual(result.returncode, 0, result.stderr)
        doc = Tree(self.read("p.html")).root
        layers = doc.one("table", **{"data-table": "layers"}).content()
        self.assertIn("progetto", layers)


class Validation(Workspace):
    """ferrolit validate: the built-in set agrees with its hand calculations; an altered one does not."""

    SET = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools/validation/casi.json")

    def test_built_in_set_agrees_and_an_altered_case_fails(self):
        with open(self.SET, encoding="utf-8") as f:
            cases = json.load(f)
        figures = sum(len(c["attesi"]) for c in cases["casi"])
        ok = run("validate", "--html", self.path("v.html"))
        self.assertEqual(ok.returncode, 0, ok.stdout + ok.stderr)
        self.assertEqual(len(re.findall(r" conforme$", ok.stdout, re.M)), figures, ok.stdout)
        for record in (self.read("v.html"), self.verified(BEAM)[2]):  # validate --html, and any record
            table = rows(Tree(record).root.one("table", **{"data-table": "validation"}))
            self.assertEqual(len(table), figures)
            self.assertTrue(all("✔ conforme" in tr.content() for tr in table))
        # The first figure moved beyond its tolerance: that case, and the run, disagree.
        cases["casi"][0]["attesi"][0]["valore"] *= 1 + 2 * cases["casi"][0]["attesi"][0]["tolleranza"]
        altered = run("validate", "--set", self.write("altered.json", json.dumps(cases)))
        self.assertEqual(altered.returncode, 1, altered.stderr)
        self.assertRegex(altered.stdout, rf"{cases['casi'][0]['id']} .* NON conforme\n")
        self.assertEqual(altered.stdout.count("NON conforme"), 1)
        # A set that cannot be read, and a case whose input is refused: errors, exit status 2.
        cases["casi"][0]["dati"]["Base"] = -300
        for text in ("{", json.dumps(cases)):
            broken = run("validate", "--set", self.write("broken.json", text))
            self.assertEqual(broken.returncode, 2, broken.stdout)


class Batch(Workspace):
    def test_summary_sorted_by_ratio_with_errors_and_working_anchors(self):
        lines = [json.dumps(BEAM), json.dumps(COLUMN), '{"Base": 300, "Altezza": -5}', json.dumps(TEE),
                 json.dumps(BARE)]
        source = self.write("edificio.jsonl", "\n".join(lines) + "\n")
        result = run("verify", "--json", "--html", self.path("b.html"), source)
        self.assertEqual(result.returncode, 2)
        by_line = {r["line"]: r for r in map(json.loads, result.stdout.splitlines())}
        doc = Tree(self.read("b.html")).root
        summary = rows(doc.one("table", cls="summary"))
        self.assertEqual(len(summary), len(lines))
        # The line with an error opens the list and says why.
        self.assertIn("error", summary[0].attrs.get("class", ""))
        self.assertIn("deve essere maggiore di 0", summary[0].content())
        ratios = [float(tr.one("td", cls="ratio").attrs["data-ratio"]) for tr in summary[1:]]
        self.assertEqual(ratios, sorted(ratios, reverse=True))
        expected = sorted(math.inf if r["max_ratio"] is None else r["max_ratio"] for r in by_line.values()
                          if "error" not in r)
        self.assertEqual(ratios, [rounded(x) for x in reversed(expected)])
        self.assertTrue(math.isinf(ratios[0]), "the section without stirrups has no bound")
        ids = {n.attrs["id"] for n in doc.all() if "id" in n.attrs}
        targets = [a.attrs["href"] for tr in summary for a in tr.all("a")]
        self.assertEqual(len(targets), len(lines))
        for href in targets:
            self.assertTrue(href.startswith("#") and href[1:] in ids, href)
        sections = doc.all("section", cls="record-section")
        self.assertEqual(len(sections), len(lines))
        self.assertEqual(len(sections[2].all("div", cls="error-block")), 1)
        self.assertEqual(len(sections[1].all("table", cls="checks")),
                         len({c["id"] for c in by_line[2]["checks"]}))

    def test_too_many_sections_for_one_record(self):
        source = self.write("grande.jsonl", "{}\n" * 1001)
        result = run("verify", "--html", self.path("g.html"), source)
        self.assertEqual(result.returncode, 2)
        self.assertIn("al più 1000 sezioni", result.stderr)
        self.assertFalse(os.path.exists(self.path("g.html")))


def rounded(x):
    return x if math.isinf(x) else float(f"{x:.2f}")


def points_of(points):
    """The vertices of a drawn outline, whose first point is repeated at the end (once)."""
    ring = [tuple(map(float, p.split(","))) for p in points.split()]
    assert ring[0] == ring[-1] and ring[-2] != ring[-1], "outline not closed by one repeated point"
    return ring[:-1]


def convex(points, tolerance=1e-3):
    """Turning one way at every vertex, but for dents no deeper than the engine's accuracy: a vertex
    that turns the other way lies within `tolerance` of the outline's extent (on each axis) from the
    chord of its neighbours. The engine places its points within 0,1 % of the extent of the true
    outline, which is convex (a slice of the convex domain of resistance)."""
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    sx, sy = max(xs) - min(xs), max(ys) - min(ys)
    q = [(x / sx, y / sy) for x, y in points]
    turns = [((b[0] - a[0]) * (c[1] - b[1]) - (b[1] - a[1]) * (c[0] - b[0]), a, c)
             for a, b, c in zip(q[-1:] + q[:-1], q, q[1:] + q[:1])]
    way = sum(t for t, _, _ in turns) > 0
    for t, a, c in turns:
        if t != 0 and (t > 0) != way and abs(t) / math.hypot(c[0] - a[0], c[1] - a[1]) > tolerance:
            return False
    return True


class DomainPlot(Workspace):
    def svg(self, section):
        source = self.write("s.json", json.dumps(section))
        result = run("verify", "--svg", self.path("d.svg"), source)
        self.assertIn(result.returncode, (0, 1), result.stderr)
        return ET.parse(self.path("d.svg")).getroot()

    @staticmethod
    def zero_level(panel):
        """The drawing's y of M = 0, from the tick labels of the M axis (linear in M)."""
        ticks = [(float(t.text.replace(",", ".").replace("−", "-")), float(t.get("y")) - 4)
                 for t in panel.iter(SVG + "text") if t.get("class") == "tick" and t.get("text-anchor") == "end"]
        (m0, y0), (m1, y1) = ticks[0], ticks[-1]
        return y0 + (0 - m0) * (y1 - y0) / (m1 - m0), [label for label, _ in ticks]

    def test_outline_closed_convex_without_tail_and_labelled(self):
        for name, section in SECTIONS.items():
            with self.subTest(name):
                root = self.svg(section)
                title = "".join(next(t for t in root.iter(SVG + "text") if t.get("class") == "plot-title").itertext())
                self.assertIn(section["DescrSezione"], title)
                panels = [g for g in root.iter(SVG + "g") if g.get("class") == "panel"]
                self.assertTrue(panels)
                for panel in panels:
                    outline = points_of(
                        next(p for p in panel.iter(SVG + "polygon") if p.get("class") == "outline").get("points"))
                    self.assertTrue(convex(outline), panel.get("data-axis"))
                    level, labels = self.zero_level(panel)
                    self.assertIn(0.0, labels)
                    x_labels = [t.text for t in panel.iter(SVG + "text")
                                if t.get("class") == "tick" and t.get("text-anchor") == "middle"]
                    self.assertIn("0", x_labels)
                    titles = [t.text for t in panel.iter(SVG + "text") if t.get("class") == "axis-title"]
                    self.assertIn("[kN]", titles[0])
                    self.assertIn("[kNm]", titles[1])
                    # No edge of the outline along M = 0, and no drawn line along it but the grid.
                    for (x0, y0), (x1, y1) in zip(outline, outline[1:] + outline[:1]):
                        self.assertFalse(abs(y0 - level) < 0.5 and abs(y1 - level) < 0.5 and abs(x1 - x0) > 0.5)
                    for line in panel.iter(SVG + "line"):
                        if line.get("class") == "grid":
                            continue
                        along = all(abs(float(line.get(k)) - level) < 0.5 for k in ("y1", "y2"))
                        self.assertFalse(along and float(line.get("x1")) != float(line.get("x2")))
                    labels = ["".join(g.itertext()) for g in panel.iter(SVG + "g") if g.get("class") == "design-point"]
                    names = [c["nome"] for c in section["combinazioni"] if c["tipo"].startswith("SLU")]
                    self.assertEqual(len(labels), len(names))
                    for label, name_ in zip(labels, names):
                        self.assertIn(name_, label)


if __name__ == "__main__":
    unittest.main()
