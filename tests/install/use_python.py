"""Imports the ferrolit package as installed and checks that it loaded the
library of the installation given as argument, then verifies the README's
beam through the component, the verification and the code engine: its
resisting moment each time, and the package's version is its library's."""

import os
import sys

import ferrolit

prefix = os.path.realpath(sys.argv[1])
library = os.path.realpath(ferrolit._abi.lib._name)
assert library.startswith(prefix + os.sep), f"loaded {library}, not the library under {prefix}"
assert ferrolit.__version__ == ferrolit.version(), (ferrolit.__version__, ferrolit.version())
r = ferrolit.clsGenVerSez()
r.CreaSezRett("Trave", "T1", 300, 500, 40, 40, 100, 0, 0, 0, 80, 2, 12, 20)
r.CreaMateriale_Sezione("C25/30", 30, 25, 1.5, 0.85, 33, 2.56, 1.8, 3.3, 31476, 0.002, 0.0035, 14.17, 1.19,
                        "B450C", 450, 1.15, 200000, 391.3, 0.0019565, 0.0675)
s = r.SezRet(1)
s.As_inf, s.stringaAs_inf, s.As_sup = 942, "3f20", 226
procedi, _ = s.CalcolaNMDominioSezRett("Y")
assert procedi and abs(s.MrdY - 156.28) < 0.01, s.MrdY
beam = {"Base": 300, "Altezza": 500, "Copriferro_Inf": 40, "Copriferro_Sup": 40, "ClasseCls": "C25/30",
        "ClasseAcciaio": "B450C", "stringaAs_inf": "3f20", "combinazioni": [{"nome": "SLU", "tipo": "SLU", "My": 100}]}
bending = next(c for c in ferrolit.verify(beam)["checks"] if c["id"] == "bending")
engine = ferrolit.analyse({"concrete": {"class": "C25/30"}, "steel": {"class": "B450C"},
                           "outline": [[0, 0], [300, 0], [300, 500], [0, 500]],
                           "bars": [[50, 40, 20], [150, 40, 20], [250, 40, 20], [50, 460, 12], [250, 460, 12]],
                           "queries": [{"N": 0, "My": 100}]})  # the verification adds 2f12 on top
assert abs(bending["capacity"] - engine["results"][0]["My_Rd"]) < 0.01, (bending, engine)
print(f"{sys.executable}: ferrolit {ferrolit.__version__} from {os.path.dirname(ferrolit.__file__)}, {library}")
