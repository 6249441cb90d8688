"""ferrolit.verify and ferrolit.verify_file: the verification by the 2018
code through the C entry point, end to end."""

import json
import os
import subprocess
import tempfile
import unittest

import ferrolit

# The demo beam: bar centres 60 mm from the faces, 60 − 10 − 8 = 42 mm of clear cover to the stirrups.
BEAM = {"TipoSezione": "Trave", "DescrSezione": "T1", "Base": 300, "Altezza": 500, "Copriferro_Inf": 60,
        "Copriferro_Sup": 60, "ClasseCls": "C25/30", "ClasseAcciaio": "B450C", "stringaAs_inf": "3f20",
        "fStaffe": 8, "nBracciaStaffe": 2, "passoStaffe": 200,
        "combinazioni": [{"nome": "SLU", "tipo": "SLU", "My": 100, "Vz": 80},
                         {"nome": "QP", "tipo": "SLE quasi permanente", "My": 60}]}


class Verify(unittest.TestCase):
    def test_result_contract(self):
        r = ferrolit.verify(BEAM)
        self.assertIs(r["verified"], True)
        self.assertEqual(r["max_ratio"], max(c["ratio"] for c in r["checks"]))
        bending = next(c for c in r["checks"] if c["id"] == "bending")
        self.assertEqual((bending["combination"], bending["unit"]), ("SLU", "kNm"))
        # M_Rd by the parabola-rectangle (d = 440, top 2f12 elastic at 240,4 MPa, x = 91,39 mm): 147,06 kNm.
        self.assertAlmostEqual(bending["capacity"], 147.06, places=2)
        self.assertEqual(r["version"], ferrolit.version())
        # No SLE rara or frequente combination: the families they drive are listed with the reason.
        not_run = {(n["id"], n["reason"].split(":")[0]) for n in r["not_run"]}
        self.assertIn(("stress_steel", "nessuna combinazione SLE rara (§4.1.2.2.5.2)"), not_run)
        self.assertIn(("crack_width", "nessuna combinazione SLE frequente"), not_run)

    def test_not_verified_is_a_result_and_nothing_provided_is_unbounded(self):
        r = ferrolit.verify(BEAM | {"fStaffe": 0})
        self.assertIs(r["verified"], False)
        self.assertIsNone(r["max_ratio"])
        unbounded = [c for c in r["checks"] if c["ratio"] is None]
        self.assertTrue(unbounded and not any(c["verified"] for c in unbounded))

    def test_huge_forces_read_back(self):
        # Once, numbers of 1e62 and more filled the notes with stack bytes: UnicodeDecodeError here. The largest
        # actions accepted read back; beyond them the input is refused as text, naming the key.
        r = ferrolit.verify(BEAM | {"combinazioni": [{"nome": "SLU", "tipo": "SLU", "N": 1e12, "My": 1e12}]})
        self.assertIs(r["verified"], False)
        self.assertEqual(r["input"]["combinazioni"][0]["N"], 1e12)
        with self.assertRaises(ferrolit.Error) as raised:
            ferrolit.verify(BEAM | {"combinazioni": [{"nome": "SLU", "tipo": "SLU", "N": 1e70, "My": 1e300}]})
        self.assertIn('"combinazioni', str(raised.exception))

    def test_unusable_input(self):
        for section, message, key in ((BEAM | {"fck": 30}, '"fck": 30 MPa contraddice la classe "C25/30"', "fck"),
                                      (BEAM | {"Bsae": 1}, 'forse "Base"?', "Bsae"),
                                      (BEAM | {"Base": float("nan")}, "JSON non valido", None)):
            with self.subTest(message):
                with self.assertRaises(ferrolit.Error) as raised:
                    ferrolit.verify(section)
                self.assertEqual(raised.exception.kind, ferrolit.ErrorKind.InvalidOperation)
                self.assertIn(message, str(raised.exception))
                self.assertEqual(raised.exception.key, key)
        with self.assertRaises(TypeError):
            ferrolit.verify(json.dumps(BEAM))

    def test_engine_document(self):
        beam = {"concrete": {"class": "C25/30"}, "outline": [[0, 0], [300, 0], [300, 500], [0, 500]],
                "steel": {}, "bars": [[50, 40, 20], [150, 40, 20], [250, 40, 20], [50, 460, 12], [250, 460, 12]],
                "queries": [{"N": 0, "My": 100}]}
        r = ferrolit.analyse(beam)
        self.assertAlmostEqual(r["results"][0]["My_Rd"], 156.4298, places=3)  # as `ferrolit analyse` prints it
        with self.assertRaises(ferrolit.Error) as raised:
            ferrolit.analyse(beam | {"concrete": {"fck": "30"}})
        self.assertEqual(raised.exception.kind, ferrolit.ErrorKind.InvalidOperation)
        self.assertIn('"concrete.fck"', str(raised.exception))
        self.assertEqual(raised.exception.key, "concrete.fck")

    def test_files(self):
        with tempfile.TemporaryDirectory() as d:
            one = os.path.join(d, "s.json")
            with open(one, "w", encoding="utf-8") as f:
                json.dump(BEAM, f)
            self.assertIs(ferrolit.verify_file(one)["verified"], True)
            many = os.path.join(d, "s.jsonl")
            with open(many, "w", encoding="utf-8") as f:
                f.write(json.dumps(BEAM) + "\n\n" + '{"Base": 1e400}\n' + json.dumps(BEAM | {"DescrSezione": "T2"}))
            kept = ferrolit.verify_file(many, errors="keep")
            self.assertEqual([r["line"] for r in kept], [1, 3, 4])
            self.assertIn(f"{many}:3: numero fuori dall'intervallo", kept[1]["error"])
            self.assertEqual(kept[2]["input"]["DescrSezione"], "T2")
            with self.assertRaises(ferrolit.Error) as raised:
                ferrolit.verify_file(many)
            self.assertIn(f"{many}:3:", str(raised.exception))

    @unittest.skipUnless(os.environ.get("FERROLIT_BIN"), "FERROLIT_BIN (the program) not set")
    def test_same_lines_and_errors_as_the_command_line(self):
        beam = json.dumps(BEAM).encode()
        cases = (
            ("not UTF-8", beam + b"\n" + beam.replace(b'"T1"', b'"T\xff"') + b"\n"),
            ("NUL after an object", beam + b"\0\n" + beam + b"\n"),
            ("bare CR, no line end", beam + b"\r" + beam + b"\n"),
            ("CR LF line ends", beam + b"\r\n\r\n" + beam + b"\r\n"),
            ("blank lines of spaces, tabs, CRs", b" \t\r\n" + beam + b"\n\x0c\n"),
        )
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "s.jsonl")
            for name, data in cases:
                with self.subTest(name):
                    with open(path, "wb") as f:
                        f.write(data)
                    ours = [(r["line"], r.get("error")) for r in ferrolit.verify_file(path, errors="keep")]
                    run = subprocess.run([os.environ["FERROLIT_BIN"], "verify", "--json", path],
                                         capture_output=True, timeout=300)
                    theirs = [json.loads(t) for t in run.stdout.decode("utf-8").splitlines()]
                    self.assertEqual(ours, [(r["line"], r.get("error")) for r in theirs])


if __name__ == "__main__":
    unittest.main()
