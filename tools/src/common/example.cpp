#include "common/example.hpp"

namespace ferrolit::cli {

const char* const kExampleName = "<esempio>";

const char* const kExampleSection = R"({
  "TipoSezione": "Trave",
  "DescrSezione": "T1",
  "Base": 300,
  "Altezza": 500,
  "Copriferro_Inf": 60,
  "Copriferro_Sup": 60,
  "ClasseCls": "C25/30",
  "ClasseAcciaio": "B450C",
  "stringaAs_inf": "3f20",
  "fStaffe": 8,
  "nBracciaStaffe": 2,
  "passoStaffe": 200,
  "combinazioni": [
    {"nome": "SLU", "tipo": "SLU", "N": 0, "My": 100, "Mz": 0, "Vy": 0, "Vz": 80},
    {"nome": "QP", "tipo": "SLE quasi permanente", "N": 0, "My": 60}
  ],
  "ambiente": "ordinario"
}
)";

}  // namespace ferrolit::cli
