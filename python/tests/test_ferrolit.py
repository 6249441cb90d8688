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


class Description(unittest.TestCase):
    def test_docstrings_give_types_and_units(self):
        self.assertEqual(ferrolit.clsSezRett.Base.__doc__, "Base: single, mm; read and write.")
        self.assertEqual(ferrolit.clsSezRett.percAs.__doc__, "percAs: single; read only.")
        creation = ferrolit.clsGenVerSez.CreaSezRett.__doc__
        for line in ("Med_y: single, kNm", "Ned_x: single, kN", "DferMax: 16-bit integer, mm", "DescrSez: text"):
            self.assertIn(line, creation)
        self.assertIn("Matr: list of singles, kNm (output)", ferrolit.clsSezT.My_Dominio.__doc__)
        self.assertIn("the result (single, mm²/m)", ferrolit.clsSezRett.Astaffe_ml.__doc__)
        self.assertIn("Bordo: TipoBordo", ferrolit.clsSezT.bX.__doc__)

    def test_repr_tells_what_the_object_is(self):
        r = beam_registry()
        r.CreaSezT("Pilastro", "P2", 800, 300, 600, 150, 40, 40, 0, 0, 0, 0, 0, 2, 12, 24)
        self.assertEqual(repr(r), "<ferrolit.clsGenVerSez: 2 sections, current 2>")
        self.assertEqual(repr(r.Sezioni), "<ferrolit.Collection: 2 sections>")
        self.assertEqual(repr(r.SezRet(1)), "<ferrolit.clsSezRett: Trave 'T1', 300 x 500 mm>")
        self.assertEqual(repr(r.SezT(2)), "<ferrolit.clsSezT: Pilastro 'P2', 800/300 x 600 mm, flange 150 mm>")

    def test_version_of_the_package_is_that_of_its_library(self):
        self.assertEqual(ferrolit.__version__, ferrolit.version())


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
    def test_kinds_and_messages_naming_the_member_and_the_argument(self):
        r = beam_registry()
        s = ferrolit.clsSezRett()
        K = ferrolit.ErrorKind
        cases = [  # action, kind, member, argument (... : not checked)
            (lambda: r.SezRet(0), K.InvalidIndex, "clsGenVerSez.SezRet", None),
            (lambda: r.SezT(1), K.TypeMismatch, "clsGenVerSez.SezT", ...),
            (lambda: setattr(s, "Base", "trecento"), K.TypeMismatch, "clsSezRett.Base", ...),
            (lambda: setattr(s, "fStaffe", 1e6), K.Overflow, "clsSezRett.fStaffe", ...),
            (lambda: setattr(s, "NFerriMinimo", 2**40), K.Overflow, "clsSezRett.NFerriMinimo", "NFerriMinimo"),
            (lambda: setattr(s, "Base", 10**400), K.Overflow, "clsSezRett.Base", ...),
            (lambda: setattr(s, "Altezza", 1e39), K.Overflow, "clsSezRett.Altezza", "Altezza"),
            (lambda: setattr(r, "Sezioni", None), K.ObjectRequired, "clsGenVerSez.Sezioni", ...),
            (lambda: s.Mz_Dominio(), K.InvalidIndex, "clsSezRett.Mz_Dominio", ...),
            (lambda: ferrolit.clsGenVerSez().CreaMateriale_Sezione(*CONCRETE, *STEEL), K.InvalidIndex,
             "clsGenVerSez.CreaMateriale_Sezione", ...),
            (lambda: r.CreaSezRett("Trave", "T1", object(), 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20),
             K.TypeMismatch, "clsGenVerSez.CreaSezRett", "Base"),
            (lambda: r.CreaSezRett("Trave", "T1", 300, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 40000),
             K.Overflow, "clsGenVerSez.CreaSezRett", "DferMax"),
            (lambda: r.CreaSezRett("Trave", "T1", 300, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 32767.5),
             K.Overflow, "clsGenVerSez.CreaSezRett", "DferMax"),
            (lambda: r.CreaSezRett(3, "T1", 300, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20),
             K.TypeMismatch, "clsGenVerSez.CreaSezRett", "TipoSezione"),
        ]
        for action, kind, member, argument in cases:
            with self.subTest(member=member, argument=argument):
                with self.assertRaises(ferrolit.Error) as caught:
                    action()
                error = caught.exception
                self.assertEqual((error.kind, error.member), (kind, member))
                self.assertTrue(error.description)
                self.assertIn(member, str(error))
                if argument is not ...:
                    self.assertEqual(error.argument, argument)
                    if argument:
                        self.assertIn(f"argomento {argument} ", str(error))
        self.assertRaises(AttributeError, lambda: s.bX)

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


# Stand-ins for numpy's numbers, which the package must take as numbers
# without knowing numpy: a float32 scalar has __float__ only, an int64 scalar
# __index__ and __float__, and a 0-d array of reals has both but refuses
# __index__.
class Float32Like:
    def __init__(self, value):
        self.value = value

    def __float__(self):
        return float(self.value)


class Int64Like(Float32Like):
    def __index__(self):
        return int(self.value)


class IndexOnly:
    def __init__(self, value):
        self.value = value

    def __index__(self):
        return self.value


class RealArray0d(Float32Like):
    def __index__(self):
        raise TypeError("only integer scalar arrays can be converted to a scalar index")


class Numbers(unittest.TestCase):
    def test_anything_with_float_or_index_is_a_number(self):
        r = ferrolit.clsGenVerSez()
        r.CreaSezRett("Trave", "T1", Float32Like(300), RealArray0d(500), Int64Like(40), 40, 100, 0, 0, 0, 60,
                      Int64Like(2), IndexOnly(12), RealArray0d(24.0))
        s = r.SezRet(IndexOnly(1))
        self.assertEqual((s.Base, s.Altezza, s.H_Utile, s.NFerriMinimo, s.dFerriMassimo), (300, 500, 460, 2, 24))
        s.fStaffe = RealArray0d(8.5)  # the library rounds half to even
        s.nBracciaStaffe = Int64Like(4)
        self.assertEqual((s.fStaffe, s.nBracciaStaffe), (8, 4))
        t = ferrolit.clsSezT()
        t.Base, t.BaseInf, t.SpessoreT, t.Altezza = Float32Like(800), Int64Like(300), 150, 600
        self.assertEqual(t.bX(IndexOnly(int(ferrolit.TipoBordo.Sinistro)), Float32Like(250)), 600)
        self.assertEqual(r.EstraiFerriMin(Float32Like(400), RealArray0d(300), 2, 12, 20)[0], "2f16")


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
