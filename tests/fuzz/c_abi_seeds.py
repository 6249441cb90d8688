#!/usr/bin/env python3
"""Writes the seed corpus of the c_abi fuzz target: call sequences a host
really makes, in the byte encoding fuzz_c_abi.cpp reads.

    python3 tests/fuzz/c_abi_seeds.py tests/fuzz/corpus/c_abi

Members are named by text (so the seeds do not depend on the order of the
type information) and every value is written out in full. Keep the encoding
in step with fuzz_c_abi.cpp.
"""

import os
import struct
import sys

EMPTY, SINGLE, INT16, INT32, BOOL, STRING, OBJECT, SINGLE_ARRAY = range(8)
CLASSES = ["clsGenVerSez", "clsSezRett", "clsSezT", "Collection"]
NULL = 255  # a slot byte of 240 or more stands for a NULL handle

# Declared argument types of the members the seeds call.
SIGNATURES = {
    "CreaSezRett": [STRING, STRING] + [SINGLE] * 9 + [INT16] * 3,
    "CreaSezT": [STRING, STRING] + [SINGLE] * 11 + [INT16] * 3,
    "CreaMateriale_Sezione": [STRING] + [SINGLE] * 13 + [STRING] + [SINGLE] * 6,
    "EstraiFerriMin": [SINGLE, SINGLE, INT16, INT16, INT16, BOOL, STRING],
    "CalcolaWkFessure": [BOOL, STRING],
    "NFerriMassimo": [INT32, INT16],
    "bX": [INT32, SINGLE],
    "Add": [OBJECT],
    **dict.fromkeys(["SezRet", "SezT"], [INT16]),
    **dict.fromkeys(["Item", "Remove"], [INT32]),
    **dict.fromkeys(["ImpostaFerriNorm", "aumentaFerri"], [INT32, BOOL, STRING]),
    **dict.fromkeys(["CalcolaNMDominioSezRett", "CalcolaNMDominioSezT"], [STRING, BOOL, STRING]),
    **dict.fromkeys(["EstraiAs", "Vrd_cls", "Vrsd", "Vrcd"], [STRING]),
    **dict.fromkeys(["Ny_Dominio", "Mz_Dominio"], [SINGLE_ARRAY]),
    **dict.fromkeys(["ImpostaStaffeNorm", "AsMin", "Astaffe_ml", "Count", "Wk", "MrdY"], []),
}


class As:
    """A value passed with another type than the declared one."""

    def __init__(self, type_, x):
        self.type, self.x = type_, x


class Seed:
    def __init__(self):
        self.data = bytearray()

    def raw(self, *values):
        self.data += bytes(values)

    def text(self, s):
        b = s.encode()
        assert len(b) <= 24
        self.raw(len(b))
        self.data += b

    def value(self, type_, x):
        if type_ == SINGLE:
            self.raw(0)
            self.data += struct.pack(">f", x)
        elif type_ in (INT16, INT32):
            self.raw(0)
            self.data += struct.pack(">I", x & 0xFFFFFFFF)
        elif type_ == BOOL:
            self.raw(1 if x else 0)
        elif type_ == STRING:
            self.raw(0)
            self.text(x)
        elif type_ == OBJECT:
            self.raw(x)
        elif type_ == SINGLE_ARRAY:
            self.raw(0)  # an empty array
        # EMPTY: nothing to read

    def create(self, cls, slot):
        self.raw(0, CLASSES.index(cls), slot)

    def release(self, slot):
        self.raw(1, slot)

    def argument(self, declared, x):
        if isinstance(x, As):
            self.raw(next(b for b in range(208, 256) if b % 9 == x.type))
            self.value(x.type, x.x)
        else:
            self.raw(0)  # the declared type
            self.value(declared, x)

    def call(self, slot, member, *args, keep=None, access=0, result=True, count=None, known=True):
        """Calls (or reads) a member; `keep` is the slot for an object result;
        `count` passes that many arguments instead of the declared number;
        a member the target does not have (`known` False) declares none, so
        its arguments count as singles."""
        self.raw(3, slot, 250)
        self.text(member)
        self.raw(access)
        types = SIGNATURES[member] if known else []
        if count is None:
            self.raw(len(types))
        else:
            self.raw(next(b for b in range(224, 256) if b % 27 - 2 == count))
            types = (types + [SINGLE] * count)[:count]
        for type_, x in zip(types, args):
            self.argument(type_, x)
        self.raw(255 if result else 0)
        if keep is not None:
            self.raw(keep)

    def let(self, slot, member, type_, x):
        self.raw(3, slot, 250)
        self.text(member)
        self.raw(2)  # write
        self.argument(type_, x)
        self.raw(0)  # with a value

    def hooks(self, selector, separator=None):
        self.raw(6, selector)
        if separator is not None:
            self.raw(ord(separator))


C25_B450 = ["C25/30", 30, 25, 1.5, 0.85, 33, 2.56, 1.8, 3.3, 31476, 0.002, 0.0035, 14.17, 1.19,
            "B450C", 450, 1.15, 200000, 391.3, 0.0019565, 0.0675]


def beam_workflow():
    s = Seed()
    s.create("clsGenVerSez", 0)
    s.call(0, "CreaSezRett", "Trave", "T1", 300, 500, 40, 40, 100, 0, 0, 0, 80, 2, 12, 20)
    s.call(0, "CreaMateriale_Sezione", *C25_B450)
    s.call(0, "SezRet", 1, keep=1)
    s.let(1, "stringaAs_inf", STRING, "3f16")
    s.let(1, "As_inf", SINGLE, 603)
    s.let(1, "stringaAs_sup", STRING, "2f12")
    s.let(1, "As_sup", SINGLE, 226)
    s.call(0, "ImpostaStaffeNorm")
    s.call(1, "CalcolaNMDominioSezRett", "Y", False, "")
    s.call(1, "MrdY")
    s.call(1, "Ny_Dominio", None)
    for member in ("Vrd_cls", "Vrsd", "Vrcd"):
        s.call(1, member, "Z")
    s.call(1, "CalcolaWkFessure", False, "")
    s.call(1, "Wk")
    s.call(1, "AsMin")
    return s


def tee_workflow():
    s = Seed()
    s.create("clsGenVerSez", 0)
    s.call(0, "CreaSezT", "Trave", "T2", 800, 300, 600, 150, 40, 40, 250, 30, -100, 20, 150, 2, 14, 24)
    s.call(0, "CreaMateriale_Sezione", *C25_B450)
    s.call(0, "ImpostaFerriNorm", 1, False, "")
    s.call(0, "ImpostaFerriNorm", 2, False, "")
    s.call(0, "ImpostaStaffeNorm")
    s.call(0, "SezT", 1, keep=2)
    s.call(2, "CalcolaNMDominioSezT", "Z", False, "")
    s.call(2, "Mz_Dominio", None)
    s.call(2, "bX", 1, 100)
    s.call(2, "NFerriMassimo", 1, 16)
    s.call(2, "Vrcd", "Y")
    return s


def failing_design():
    s = Seed()
    s.hooks(12)  # a message box handler that installs itself again
    s.hooks(2, ",")  # decimal comma
    s.create("clsGenVerSez", 0)
    s.call(0, "CreaSezRett", "Trave", "T3", 150, 300, 40, 40, 50, 0, 0, 0, 20, 20, 20, 20)
    s.call(0, "CreaMateriale_Sezione", *C25_B450)
    s.call(0, "ImpostaFerriNorm", 1, False, "")
    s.call(0, "aumentaFerri", 3, False, "")
    s.call(0, "EstraiFerriMin", 1e6, 100, 2, 12, 20, False, "")
    s.call(0, "EstraiAs", "3f16+2f12")
    s.call(0, "SezRet", 1, keep=1)
    s.let(1, "nBracciaStaffe", INT16, 0)
    s.call(0, "ImpostaStaffeNorm")  # cannot reach the minimum: beeps
    s.call(1, "Astaffe_ml")
    return s


def collection():
    s = Seed()
    s.create("clsGenVerSez", 0)
    s.create("Collection", 2)
    s.create("clsSezRett", 3)
    s.call(2, "Add", 3)
    s.call(2, "Count")
    s.let(0, "Sezioni", OBJECT, 2)
    s.call(0, "SezRet", 1, keep=4)
    s.call(2, "Item", 1, keep=5)
    s.call(2, "Remove", 1)
    s.call(0, "SezRet", 1)  # no section any more: invalid index
    s.call(0, "SezT", 0)
    s.release(3)
    s.call(4, "CalcolaNMDominioSezRett", "Y", False, "")  # a section without data
    return s


def wrong_calls():
    s = Seed()
    s.create("clsGenVerSez", 0)
    s.call(NULL, "SezRet", 1.0, count=1, known=False)  # a NULL handle
    s.call(0, "CreaSezRett", "Trave", "T1", 300, count=3)  # too few arguments
    s.raw(3, 0, 250)
    s.text("NoSuchMember")
    s.raw(0, 0, 255)
    s.let(0, "SezioneCorrente", INT16, As(SINGLE, 1e9))  # beyond 16 bits
    s.let(0, "SezioneCorrente", INT16, As(STRING, "1"))  # the wrong type
    s.call(0, "EstraiAs", As(INT32, 3))  # the wrong type
    s.call(0, "SezRet", As(BOOL, 1))  # a boolean where a number is declared
    s.raw(5, 1, 0, 3, 1, 2)  # type information
    s.raw(0, 230)
    s.text("clsNone")  # a class that does not exist
    return s


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "c_abi")
    os.makedirs(folder, exist_ok=True)
    for make in (beam_workflow, tee_workflow, failing_design, collection, wrong_calls):
        with open(os.path.join(folder, make.__name__), "wb") as f:
            f.write(make().data)


if __name__ == "__main__":
    main()
