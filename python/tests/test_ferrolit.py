"""The Python package over the C interface: the typical use, attributes,
error kinds, outputs by reference and the platform hooks."""

import copy
import gc
import inspect
import pickle
import unittest

import ferrolit

CONCRETE = ("C25/30", 30, 25, 1.5, 0.85, 33, 2.56, 1.79, 3.33, 31476, 0.002, 0.0035, 14.17, 1.19)
STEEL = ("B450C", 450, 1.15, 200000, 391.3, 0.001957, 0.0675)


def beam_registry():
    r = ferrolit.clsGenVerSez()
    r.CreaSezRett("Trave", "T1", 300, 500, 40, 40, 100, 0, 0, 0, 60, 2, 12, 24)
    r.CreaMateriale_Sezione(*CONCRETE, *STEEL)
    return r


class TypicalUse(unittest.TestCase):
    def test_beam_through_domain_shear_and_cracks(self):
        r = beam_registry()
        s = r.SezRet(r.SezioneCorrente)
        self.assertIsInstance(s, ferrolit.clsSezRett)
        s.As_inf, s.stringaAs_inf = 603, "3f16"
        s.As_sup, s.stringaAs_sup = 226, "2f12"
        self.assertEqual(s.H_Utile, 460)
        self.assertEqual(s.fck, 25)
        self.assertEqual(s.ClasseAcciaio, "B450C")

        procedi, msg = s.CalcolaNMDominioSezRett("Y", msg="caller's text")
        self.assertIs(procedi, True)
        self.assertEqual(msg, "caller's text")  # written only on failure
        self.assertGreater(s.MrdY, 0)
        n, m = s.Ny_Dominio(), s.My_Dominio()
        self.assertIsInstance(n, list)
        self.assertEqual(len(n), len(m))
        self.assertEqual(n[0], 0)

        self.assertGreater(s.Vrd_cls("Z"), 0)
        procedi, _ = s.CalcolaWkFessure()
        self.assertIs(procedi, True)
        self.assertGreaterEqual(s.Wk, 0)

    def test_section_is_shared_with_the_registry(self):
        r = beam_registry()
        s = r.SezRet(1)
        s.DescrSezione = "Trave ø 16"
        del r
        self.assertEqual(s.DescrSezione, "Trave ø 16")
        r2 = ferrolit.clsGenVerSez()
        r2.Sezioni.Add(s)
        self.assertEqual(r2.SezRet(1), s)
        self.assertEqual([x.DescrSezione for x in r2.Sezioni], ["Trave ø 16"])
        # A copy is one more reference to the same section, with its own count.
        c = copy.copy(s)
        self.assertEqual(c, s)
        del c
        gc.collect()
        self.assertEqual(s.DescrSezione, "Trave ø 16")
        with self.assertRaises(TypeError):
            copy.deepcopy(s)
        with self.assertRaises(TypeError):
            pickle.dumps(s)

    def test_tee_and_enumerations(self):
        r = ferrolit.clsGenVerSez()
        r.CreaSezT("Pilastro", "T", 800, 300, 600, 150, 40, 40, 0, 0, 0, 0, 0, 2, 12, 24)
        t = r.SezT(1)
        self.assertEqual((t.TipoSezione, t.BaseInf, t.SpessoreT), ("Pilastro", 300, 150))
        self.assertEqual(t.bX(ferrolit.TipoBordo.Sinistro, 250), 600)
        self.assertEqual(t.bX(ferrolit.TipoBordo.Destro, 700), 150)
        self.assertEqual(int(ferrolit.PosizioneFerri.As_infY), 3)


class Attributes(unittest.TestCase):
    def test_members_follow_the_type_information(self):
        self.assertTrue(hasattr(ferrolit.clsSezT, "bX"))
        self.assertFalse(hasattr(ferrolit.clsSezRett, "bX"))
        self.assertTrue(hasattr(ferrolit.clsSezT, "CalcolaNMDominioSezT"))
        self.assertFalse(hasattr(ferrolit.clsSezT, "CalcolaNMDominioSezRett"))
        self.assertIsInstance(ferrolit.clsSezRett.__dict__["Base"], property)
        self.assertEqual(list(inspect.signature(ferrolit.clsGenVerSez.ImpostaFerriNorm).parameters),
                         ["self", "PosFer", "Procedi", "msg"])

    def test_unknown_and_read_only_members(self):
        s = ferrolit.clsSezRett()
        with self.assertRaises(AttributeError):
            s.Bas
        with self.assertRaises(AttributeError):
            s.Bas = 3
        with self.assertRaises(AttributeError):
            s.percAs = 0.01
        with self.assertRaises(TypeError):
            s.Ved()  # missing argument


class Errors(unittest.TestCase):
    def test_kinds(self):
        r = beam_registry()
        s = ferrolit.clsSezRett()
        cases = [
            (lambda: r.SezRet(0), ferrolit.ErrorKind.InvalidIndex),
            (lambda: r.SezT(1), ferrolit.ErrorKind.TypeMismatch),
            (lambda: setattr(s, "Base", "trecento"), ferrolit.ErrorKind.TypeMismatch),
            (lambda: setattr(s, "fStaffe", 1e6), ferrolit.ErrorKind.Overflow),
            (lambda: setattr(s, "NFerriMinimo", 2**40), ferrolit.ErrorKind.Overflow),
            (lambda: setattr(s, "Base", 10**400), ferrolit.ErrorKind.Overflow),
            (lambda: setattr(r, "Sezioni", None), ferrolit.ErrorKind.ObjectRequired),
            (lambda: s.Mz_Dominio(), ferrolit.ErrorKind.InvalidIndex),
            (lambda: ferrolit.clsGenVerSez().CreaMateriale_Sezione(*CONCRETE, *STEEL),
             ferrolit.ErrorKind.InvalidIndex),
        ]
        for action, kind in cases:
            with self.subTest(kind=kind.name):
                with self.assertRaises(ferrolit.Error) as caught:
                    action()
                self.assertIs(caught.exception.kind, kind)
                self.assertTrue(caught.exception.description)

    def test_kinds_and_descriptions_come_from_the_library(self):
        self.assertEqual(ferrolit.ErrorKind.Overflow, 6)
        self.assertEqual(ferrolit.ErrorKind.ArgumentCount, 450)
        self.assertEqual(ferrolit.Error(ferrolit.ErrorKind.DivisionByZero).description, "Divisione per zero")

    def test_failed_write_changes_nothing(self):
        s = ferrolit.clsSezRett()
        s.fStaffe = 8.5
        with self.assertRaises(ferrolit.Error):
            s.fStaffe = -1e9
        self.assertEqual(s.fStaffe, 8)


class Outputs(unittest.TestCase):
    def test_result_then_outputs(self):
        r = ferrolit.clsGenVerSez()
        text, procedi, msg = r.EstraiFerriMin(500, 220, 2, 12, 24)
        self.assertIsInstance(text, str)
        self.assertIsInstance(procedi, bool)
        self.assertIsInstance(msg, str)
        self.assertEqual(r.EstraiAs("3f16+2f12"), 829)



class Hooks(unittest.TestCase):
    def tearDown(self):
        ferrolit.set_message_box_handler(None)
        ferrolit.set_beep_handler(None)

    def test_handlers_fire_after_their_callables_are_collected(self):
        # The package must keep the C callbacks alive itself: the lambdas and
        # every Python object around them are dropped before the library calls back.
        seen = []
        ferrolit.set_message_box_handler(lambda text, title: seen.append((title, text)))
        ferrolit.set_beep_handler(lambda: seen.append("beep"))
        gc.collect()

        r = ferrolit.clsGenVerSez()
        # No bar reaches the least diameter 32: the code minimum fails and shows its box.
        r.CreaSezRett("Pilastro", "P1", 300, 300, 30, 30, 0, 0, 0, 0, 0, 2, 32, 30)
        r.CreaMateriale_Sezione(*CONCRETE, *STEEL)
        procedi, msg = r.ImpostaFerriNorm(ferrolit.PosizioneFerri.As_inf)
        self.assertIs(procedi, False)
        self.assertTrue(msg.endswith("Occorrono più di 100ø30"), msg)
        self.assertEqual(seen, [("Armatura Minima P1", msg)])

        # Stirrups without legs never reach the beam minimum: the design beeps.
        r.CreaSezRett("Trave", "T1", 300, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20)
        r.CreaMateriale_Sezione(*CONCRETE, *STEEL)
        r.SezRet(2).nBracciaStaffe = 0
        r.ImpostaStaffeNorm()
        self.assertEqual(seen[1:], ["beep"])

    def test_decimal_separator(self):
        r = ferrolit.clsGenVerSez()
        for separator, text in ((",", "70686,00"), (".", "70686.00")):
            ferrolit.set_decimal_separator(separator)
            _, procedi, msg = r.EstraiFerriMin(1e6, 300, 1, 5, 30)
            self.assertIs(procedi, False)
            self.assertTrue(msg.endswith(f"Cui corrisponde As ={text} mmq"), msg)
        with self.assertRaises(ferrolit.Error) as caught:
            ferrolit.set_decimal_separator(",,")
        self.assertIs(caught.exception.kind, ferrolit.ErrorKind.InvalidOperation)


if __name__ == "__main__":
    unittest.main()
