"""End-to-end runs of the ferrolit command-line program.

The program comes from FERROLIT_BIN (set by ctest). Expected figures are
worked out here by hand from the code's formulas, not read back from the
program.
"""

import json
import math
import os
import re
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ET

BIN = os.environ.get("FERROLIT_BIN", "../../build/tools/ferrolit")


def run(*args, stdin=None):
    return subprocess.run([BIN, *args], input=stdin, capture_output=True, text=True, timeout=120)


def example():
    return json.loads(run("example").stdout)


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

    def section_file(self, section, name="sezione.json"):
        return self.write(name, json.dumps(section, indent=2))

    def verify_json(self, section):
        result = run("verify", "--json", self.section_file(section))
        self.assertIn(result.returncode, (0, 1), result.stderr)
        return result.returncode, json.loads(result.stdout)


def report_number(text):
    """A number as the report writes it (decimal comma)."""
    return float(text.replace(",", "."))


class EmbeddedExample(Workspace):
    """The 300 x 500 beam: 3f20 given below, top layer by the code minimum, f8/200 stirrups."""

    def test_report_and_exit_status(self):
        result = run("verify")
        self.assertEqual(result.returncode, 0, result.stderr)
        out = result.stdout
        self.assertIn('Verifica della sezione "T1": Trave, sezione rettangolare', out)
        # Top layer: As,min = 0.26*2.56*300*460/450 = 204.1 mm2; the first bar-table
        # arrangement of at least 2 bars of 12..20 mm reaching it is 2 bars of 12 (226).
        self.assertRegex(out, r"As_sup\s+2f12\s+226 mm²\s+minimo di normativa")
        self.assertRegex(out, r"As_inf\s+3f20\s+942 mm²\s+assegnata")
        self.assertIn("As,min 204 mm², As,max 6000 mm²", out)
        self.assertIn("ESITO: SEZIONE VERIFICATA", out)
        self.assertIn("Flessione Z   non richiesta", out)

    def test_figures(self):
        _, r = self.verify_json(example())
        # Shear with f8, 2 legs, 200 mm, fyd 391.3, d 460: 0.9*460*100.53/200*391.3 = 81.4 kN.
        self.assertAlmostEqual(r["taglio"]["Z"]["Vrsd"], 81.4, delta=0.05)
        # Struts: 0.9*460*300*0.5*14.17 (cot 45 = 1, /(1+1)) = 440.0 kN; plane Y: 0.9*260*500*... = 414.5.
        self.assertAlmostEqual(r["taglio"]["Z"]["Vrcd"], 440.0, delta=0.1)
        self.assertAlmostEqual(r["taglio"]["Y"]["Vrcd"], 414.5, delta=0.1)
        self.assertAlmostEqual(r["taglio"]["Z"]["Vrd"], 81.4, delta=0.05)
        # Without stirrups: both layers, rho = 1168/(300*460).
        d, bw, rho = 460.0, 300.0, 1168 / (300 * 460)
        k = 1 + math.sqrt(200 / d)
        v1 = 0.18 * k * (100 * rho * 25) ** (1 / 3) / 1.5 * bw * d / 1000
        self.assertAlmostEqual(r["taglio"]["Z"]["Vrd_cls"], v1, delta=0.05)
        # Cracked section under 100 kNm with 3f20 / 2f12.
        crack = r["fessurazione"]
        self.assertAlmostEqual(crack["Wk"], 0.246, delta=0.0006)
        self.assertAlmostEqual(crack["DELTAsm"], 143.7, delta=0.06)
        self.assertAlmostEqual(crack["EPSsm"], 0.001008, delta=0.000001)
        self.assertEqual((crack["wk_lim"], crack["origine_limite"]), (0.3, "valore predefinito"))

    def test_resisting_moment_against_hand_calculation(self):
        _, r = self.verify_json(example())
        fy = r["flessione"]["Y"]
        # Parabola-rectangle block (0.8095 b x fcd at 0.416 x) with both layers yielded;
        # moments about mid-depth.
        fyd, fcd, b = 391.3, 14.17, 300
        x = (942 - 226) * fyd / (0.8095 * b * fcd)
        m = 0.8095 * b * fcd * x * (250 - 0.416 * x) + (942 + 226) * fyd * 210
        self.assertAlmostEqual(fy["Mrd"], m / 1e6, delta=0.015 * m / 1e6)
        self.assertAlmostEqual(fy["rapporto"], 100 / fy["Mrd"], places=5)
        self.assertFalse(fy["fuori_dominio"])
        self.assertIsNone(r["flessione"]["Z"])
        self.assertIsNone(r["flessione_deviata"])
        self.assertTrue(r["verificata"])
        self.assertEqual(r["verifica_governante"], "taglio Z")

    def test_json_agrees_with_report(self):
        _, r = self.verify_json(example())
        text = run("verify").stdout
        line = next(l for l in text.splitlines() if l.strip().startswith("Flessione Y"))
        self.assertAlmostEqual(report_number(line.split()[7]), r["flessione"]["Y"]["Mrd"], delta=0.006)
        self.assertEqual(r["armature"]["As_sup"], {"stringa": "2f12", "area": 226.0, "origine": "normativa"})


class Checks(Workspace):
    def test_outcomes(self):
        cases = [
            # (what changes, exit status, text expected in the report)
            ({"Med_y": 200}, 1, "SEZIONE NON VERIFICATA"),
            ({"Ned_x": -1000}, 1, "è fuori dal dominio di resistenza"),
            ({"CondizioniAmbientali": 3}, 1, "limite: ambiente molto aggressivo"),
            ({"CondizioniAmbientali": 1}, 0, "limite: ambiente ordinario"),
            ({"wk_lim": 0.2}, 1, "limite: wk_lim"),
            ({"Taglio_z": 90}, 1, "SEZIONE NON VERIFICATA"),
        ]
        for change, status, text in cases:
            with self.subTest(change=change):
                section = example() | change
                result = run("verify", self.section_file(section))
                self.assertEqual(result.returncode, status, result.stdout + result.stderr)
                self.assertIn(text, result.stdout)

    def test_outside_domain_has_no_ratio(self):
        _, r = self.verify_json(example() | {"Ned_x": -1000})
        self.assertTrue(r["flessione"]["Y"]["fuori_dominio"])
        self.assertEqual(r["flessione"]["Y"]["Mrd"], 0)
        self.assertIsNone(r["flessione"]["Y"]["rapporto"])
        self.assertFalse(r["verificata"])

    def test_hogging_mirrors_sagging(self):
        # Equal covers: the beam turned upside down resists and cracks alike.
        _, down = self.verify_json(example() | {"As_sup": 226, "stringaAs_sup": "2f12"})
        up = example() | {"Med_y": -100, "stringaAs_sup": "3f20", "As_sup": 942, "stringaAs_inf": "2f12", "As_inf": 226}
        _, r = self.verify_json(up)
        self.assertAlmostEqual(r["flessione"]["Y"]["Mrd"], down["flessione"]["Y"]["Mrd"], delta=0.01)
        self.assertTrue(r["fessurazione"]["momento_negativo"])
        self.assertAlmostEqual(r["fessurazione"]["Wk"], down["fessurazione"]["Wk"], places=5)

    def test_biaxial_bending(self):
        section = example() | {"Med_z": 20, "stringaAs_infY": "2f16", "stringaAs_supY": "2f16"}
        _, r = self.verify_json(section)
        fy, fz = r["flessione"]["Y"], r["flessione"]["Z"]
        self.assertAlmostEqual(r["flessione_deviata"]["valore"], 100 / fy["Mrd"] + 20 / fz["Mrd"], places=4)
        self.assertEqual(r["armature"]["As_infY"]["area"], 402)  # 2 x round(201.06)

    def test_biaxial_fails_past_the_tip_of_a_branch(self):
        # Between the last two points of the sagging Y branch the interpolated
        # MrdY is negative: no positive moment is resisted there, whatever Z does.
        csv = self.path("d.csv")
        run("verify", "--csv", csv)
        with open(csv, encoding="utf-8") as f:
            tip = [r.split(",") for r in f.read().splitlines() if ",Y,+," in r][-2:]
        (n1, m1), (n2, m2) = ((float(r[5]), float(r[6])) for r in tip)
        self.assertLess(m2, 0)
        ned = n2 - 0.5 * m2 / (m2 - m1) * (n2 - n1)  # halfway from the last point to M = 0
        section = example() | {"Ned_x": ned, "Med_z": 1, "stringaAs_infY": "4f24", "stringaAs_supY": "4f24"}
        status, r = self.verify_json(section)
        self.assertLess(r["flessione"]["Y"]["Mrd"], 0)
        self.assertTrue(r["flessione"]["Z"]["verificata"])
        self.assertIsNone(r["flessione_deviata"]["valore"])
        self.assertFalse(r["flessione_deviata"]["verificata"])
        self.assertEqual(status, 1)

    def test_stirrups_by_code(self):
        section = example()
        for key in ("fStaffe", "passoStaffe", "nBracciaStaffe"):
            del section[key]
        status, r = self.verify_json(section)
        # Minimum 1.5*300 = 450 mm2/m with 2 legs of 8 (100.53 mm2): spacing 223 mm.
        st = r["staffe"]
        self.assertEqual((st["fStaffe"], st["passoStaffe"], st["origine"]), (8, 223, "normativa"))
        # 0.9*460*100.53/223*391.3 = 73.0 kN < 80 kN.
        self.assertAlmostEqual(r["taglio"]["Z"]["Vrsd"], 73.03, delta=0.05)
        self.assertEqual(status, 1)

    def test_material_classes(self):
        section = example()
        for key in ("Rck", "fck", "gammaC", "alfaCC", "fcm", "fctm", "fctk05", "fctk95", "Ec", "eps_c2",
                    "eps_cu", "fcd", "fctd", "fyk", "gammaS", "Es", "fyd", "eps_yd", "eps_ud"):
            del section[key]
        for cls, expected in (("C25/30", "fck 25,00 MPa   fcd 14,17 MPa   fctm 2,56 MPa   Ec 31476 MPa"),
                              ("C30/37", "fck 30,00 MPa   fcd 17,00 MPa   fctm 2,90 MPa   Ec 32837 MPa")):
            with self.subTest(cls=cls):
                result = run("verify", self.section_file(section | {"ClasseCls": cls}))
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn(expected, result.stdout)
                self.assertIn("fyk 450,0 MPa   fyd 391,3 MPa   Es 200000 MPa   eps_ud 0,0675", result.stdout)

    def test_tee_cracks_like_its_web(self):
        section = example() | {"Base": 800, "BaseInf": 300, "SpessoreT": 120, "As_sup": 226, "stringaAs_sup": "2f12"}
        _, r = self.verify_json(section)
        self.assertEqual(r["forma"], "T")
        self.assertAlmostEqual(r["fessurazione"]["Wk"], 0.246, delta=0.0006)

    def test_bars_given_by_area_alone_are_flagged_in_the_crack_check(self):
        section = example()
        del section["stringaAs_inf"]
        result = run("verify", self.section_file(section))
        self.assertIn("barre tese date solo come area", result.stdout)
        self.assertNotIn("barre tese date solo come area", run("verify").stdout)


class Columns(Workspace):
    def test_code_minimum_of_a_column(self):
        section = example() | {"TipoSezione": "Pilastro", "Ned_x": 500, "Med_y": 30, "Taglio_z": 20}
        for key in ("stringaAs_inf", "As_inf", "fStaffe", "passoStaffe", "nBracciaStaffe"):
            del section[key]
        _, r = self.verify_json(section)
        # As,min = max(0.1*500/391.3, 0.003*300*500) = 450 mm2: 4 bars of 12 (452) in each layer.
        self.assertEqual(r["AsMin"], 450)
        for layer in ("As_inf", "As_sup"):
            self.assertEqual(r["armature"][layer], {"stringa": "4f12", "area": 452.0, "origine": "normativa"})
        # Column stirrups: no area required, spacing at most 12 x 12 mm = 144 mm.
        self.assertEqual((r["staffe"]["fStaffe"], r["staffe"]["passoStaffe"], r["staffe"]["AstaffeMin"]), (8, 144, 0))
        # Compression raises the resisting moment above the beam's pure-bending value.
        _, beam = self.verify_json(example() | {"As_sup": 452, "stringaAs_sup": "4f12", "As_inf": 452,
                                                "stringaAs_inf": "4f12"})
        self.assertGreater(r["flessione"]["Y"]["Mrd"], beam["flessione"]["Y"]["Mrd"])


class Sources(Workspace):
    def test_standard_input_and_printed_example(self):
        printed = run("example").stdout
        from_stdin = run("verify", "-", stdin=printed)
        embedded = run("verify")
        self.assertEqual(from_stdin.returncode, 0, from_stdin.stderr)
        # The same report, apart from where the section came from.
        self.assertEqual(from_stdin.stdout.replace("<stdin>", "<esempio>"), embedded.stdout)


class BadInput(Workspace):
    def test_each_class_names_file_line_and_key(self):
        good = json.dumps(example(), indent=2)
        lines = good.splitlines()
        base_line = next(i for i, l in enumerate(lines, 1) if '"Base"' in l)
        cases = [
            ("unknown key", good.replace('"Base"', '"Bsae"'), f":{base_line}: chiave \"Bsae\": chiave sconosciuta"),
            ("wrong type", good.replace('"Base": 300', '"Base": "300"'),
             f":{base_line}: chiave \"Base\": tipo errato: atteso un numero, trovato string"),
            ("not an integer", good.replace('"nBracciaStaffe": 2', '"nBracciaStaffe": 2.5'),
             'chiave "nBracciaStaffe": tipo errato: atteso un numero intero'),
            ("null", good.replace('"Base": 300', '"Base": null'), f":{base_line}: chiave \"Base\": valore mancante"),
            ("missing", good.replace('"Altezza": 500,', ""), ':1: chiave "Altezza": valore mancante'),
            ("malformed", good.replace('"Base": 300,', '"Base": 300'), f":{base_line + 1}: JSON non valido"),
            ("repeated key", good.replace('"Base": 300,', '"Base": 300, "Base": 400,'),
             f":{base_line}: chiave \"Base\": chiave ripetuta"),
            ("unknown class", json.dumps({k: v for k, v in example().items() if k != "fcd"} | {"ClasseCls": "C26/31"}),
             'chiave "ClasseCls": classe di calcestruzzo sconosciuta "C26/31"'),
            ("negative size", good.replace('"Base": 300', '"Base": -300'), 'chiave "Base": deve essere maggiore di 0'),
            ("bad section type", good.replace('"Trave"', '"trave"'), 'chiave "TipoSezione": ammessi'),
            ("bad bar text", good.replace('"3f20"', '"tre da 20"').replace('"As_inf": 942,', ""),
             'chiave "stringaAs_inf": testo di armatura non leggibile'),
            ("fails to compute", good.replace('"dFerriMinimo": 12', '"dFerriMinimo": 32'),
             "sezione non calcolabile: impossibile scegliere l'armatura As_sup"),
            ("not an object", "[1, 2]", ":1: una sezione è un oggetto JSON"),
            # The JSON reader stops at a NUL byte, the scan of the keys' lines
            # did not: what follows gave wrong messages, or aborted the
            # program when it held a key the scan could not read.
            ("NUL, then more", good + '\0{"Base": 400}', f":{len(lines)}: JSON non valido: carattere NUL"),
            ("NUL, then a bad key", good + '\0{"\x01": 1}', f":{len(lines)}: JSON non valido: carattere NUL"),
        ]
        for name, text, message in cases:
            with self.subTest(name):
                path = self.write("sezione.json", text)
                svg = self.path("out.svg")
                result = run("verify", "--svg", svg, path)
                self.assertEqual(result.returncode, 2, result.stdout + result.stderr)
                # Every message reads FILE:LINE: [chiave "KEY": ]problem.
                if message.startswith(":"):
                    self.assertIn(path + message, result.stderr)
                else:
                    self.assertRegex(result.stderr, re.escape(path) + r":\d+: " + re.escape(message))
                self.assertEqual(result.stdout, "")
                self.assertFalse(os.path.exists(svg))

    def test_library_message_reaches_the_error(self):
        path = self.section_file(example() | {"dFerriMinimo": 32})
        result = run("verify", path)
        self.assertIn("Impossibile Procedere.", result.stderr)
        self.assertIn("Per verificare la sezione Occorrono più di 100ø30", result.stderr)

    def test_unusable_files_and_options(self):
        for args in (["verify", self.path("assente.json")], ["verify", "--nessuna"], ["nessuno"],
                     ["verify", "--svg", self.path("manca/dir/x.svg")],
                     ["verify", "--svg", self.path("x.svg"), "--csv", self.path("./x.svg")]):
            with self.subTest(args=args):
                result = run(*args)
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertEqual(result.stdout, "")
                self.assertFalse(os.path.exists(self.path("x.svg")))
        self.assertEqual(run("--help").returncode, 0)


class Batch(Workspace):
    def lines(self, *sections):
        return self.write("edificio.jsonl", "\n".join(json.dumps(s) for s in sections) + "\n\n")

    def test_one_result_line_per_section(self):
        path = self.lines(example(), example() | {"DescrSezione": "T2", "Med_y": 200},
                          example() | {"DescrSezione": "T3", "Base": 800, "BaseInf": 300, "SpessoreT": 120})
        result = run("verify", path)
        self.assertEqual(result.returncode, 1, result.stderr)
        out = result.stdout.splitlines()
        self.assertEqual(len(out), 3)
        self.assertTrue(out[0].startswith(path + ':1: "T1" VERIFICATA'))
        self.assertTrue(out[1].startswith(path + ':2: "T2" NON VERIFICATA'))
        self.assertIn("(fessurazione)", out[1])  # 1.88 against 1.28 in bending
        self.assertTrue(out[2].startswith(path + ':3: "T3" VERIFICATA'))

    def test_json_lines_out(self):
        path = self.lines(example(), example() | {"DescrSezione": "T2"})
        result = run("verify", "--json", path)
        self.assertEqual(result.returncode, 0, result.stderr)
        records = [json.loads(l) for l in result.stdout.splitlines()]
        self.assertEqual([(r["riga"], r["DescrSezione"]) for r in records], [(1, "T1"), (2, "T2")])

    def test_bad_lines_are_all_named_and_nothing_printed(self):
        path = self.lines(example(), example() | {"Altezzza": 1}, example(), {"Base": "x"})
        result = run("verify", path)
        self.assertEqual(result.returncode, 2)
        self.assertEqual(result.stdout, "")
        self.assertIn(path + ':2: chiave "Altezzza": chiave sconosciuta', result.stderr)
        self.assertIn(path + ':4: chiave "Base": tipo errato', result.stderr)


class Drawings(Workspace):
    def test_svg_is_well_formed_and_closed(self):
        svg, csv = self.path("d.svg"), self.path("d.csv")
        result = run("verify", "--svg", svg, "--csv", csv)
        self.assertEqual(result.returncode, 0, result.stderr)
        root = ET.parse(svg).getroot()
        ns = {"s": "http://www.w3.org/2000/svg"}
        polygons = root.findall(".//s:polygon", ns)
        self.assertEqual(len(polygons), 2)  # directions Y and Z
        texts = "".join(t.text or "" for t in root.iter("{http://www.w3.org/2000/svg}text"))
        self.assertIn("N [kN]", texts)
        self.assertIn("M [kNm]", texts)
        self.assertEqual(len(root.findall(".//s:circle", ns)), 2)
        with open(csv, encoding="utf-8") as f:
            rows = [l.split(",") for l in f.read().splitlines()]
        self.assertEqual(rows[0], ["riga", "sezione", "direzione", "ramo", "punto", "N_kN", "M_kNm"])
        y_plus = [r for r in rows[1:] if r[2] == "Y" and r[3] == "+"]
        y_minus = [r for r in rows[1:] if r[2] == "Y" and r[3] == "-"]
        self.assertTrue(y_plus and y_minus)
        # Both branches start at pure tension of all bars: -(942+226)*391.3 N.
        for branch in (y_plus, y_minus):
            self.assertAlmostEqual(float(branch[0][5]), -(942 + 226) * 391.3 / 1000, delta=0.5)
        # The sagging branch carries positive moments, the hogging one negative.
        self.assertGreater(max(float(r[6]) for r in y_plus), 100)
        self.assertLess(min(float(r[6]) for r in y_minus), -50)

    def test_svg_of_many_sections_is_refused(self):
        path = self.write("e.jsonl", json.dumps(example()) + "\n")
        result = run("verify", "--svg", self.path("x.svg"), path)
        self.assertEqual(result.returncode, 2)


if __name__ == "__main__":
    unittest.main()
