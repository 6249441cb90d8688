#include "example.hpp"

namespace ferrolit::cli {

const char* const kExampleName = "<esempio>";

// The bottom bars and the stirrups are given; the top layer is left empty, so
// the code minimum chooses it.
const char* const kExampleSection = R"({
  "TipoSezione": "Trave",
  "DescrSezione": "T1",
  "Base": 300,
  "Altezza": 500,
  "Copriferro_Inf": 40,
  "Copriferro_Sup": 40,
  "Med_y": 100,
  "Med_z": 0,
  "Ned_x": 0,
  "Taglio_y": 0,
  "Taglio_z": 80,
  "NFerriMinimo": 2,
  "dFerriMinimo": 12,
  "dFerriMassimo": 20,
  "ClasseCls": "C25/30",
  "Rck": 30, "fck": 25, "gammaC": 1.5, "alfaCC": 0.85, "fcm": 33,
  "fctm": 2.56, "fctk05": 1.8, "fctk95": 3.3, "Ec": 31476,
  "eps_c2": 0.002, "eps_cu": 0.0035, "fcd": 14.17, "fctd": 1.19,
  "ClasseAcciaio": "B450C",
  "fyk": 450, "gammaS": 1.15, "Es": 200000, "fyd": 391.3,
  "eps_yd": 0.0019565, "eps_ud": 0.0675,
  "stringaAs_inf": "3f20",
  "As_inf": 942,
  "fStaffe": 8,
  "nBracciaStaffe": 2,
  "passoStaffe": 200
}
)";

}  // namespace ferrolit::cli
