#pragma once

// The unit of every number the C interface names, member or argument: one
// row per name, a pure number (a ratio, a strain, a count, a code) with "".
// A member and an argument of the same name are the same quantity. The
// Python package writes its docstrings from this table (ferrolit_unit);
// test_c_abi checks that every member and argument of type single or
// 16-bit integer has its row, and that every row names one of them.

#include <string_view>

namespace ferrolit::capi {

struct QuantityUnit {
    std::string_view name;
    const char* unit;
};

inline constexpr QuantityUnit kUnits[] = {
    // geometry, covers and bars
    {"Base", "mm"},
    {"BaseInf", "mm"},
    {"SpessoreT", "mm"},
    {"SpessoreAla", "mm"},
    {"Altezza", "mm"},
    {"Copriferro_Inf", "mm"},
    {"Copriferro_Sup", "mm"},
    {"Coprif_Inf", "mm"},
    {"Coprif_Sup", "mm"},
    {"H_Utile", "mm"},
    {"As_sup", "mm²"},
    {"As_inf", "mm²"},
    {"As_supY", "mm²"},
    {"As_infY", "mm²"},
    {"NFerriMinimo", ""},
    {"NferMin", ""},
    {"dFerriMinimo", "mm"},
    {"dFerriMassimo", "mm"},
    {"DferMin", "mm"},
    {"DferMax", "mm"},
    // stirrups
    {"fStaffe", "mm"},
    {"nBracciaStaffe", ""},
    {"passoStaffe", "mm"},
    {"AlfaStaffe", "°"},
    {"tetaBielle", "°"},
    // actions
    {"Ned_x", "kN"},
    {"Med_y", "kNm"},
    {"Med_z", "kNm"},
    {"Med_Fes", "kNm"},
    {"Taglio_y", "kN"},
    {"Taglio_z", "kN"},
    // materials
    {"Rck", "MPa"},
    {"fck", "MPa"},
    {"gammaC", ""},
    {"alfaCC", ""},
    {"fcm", "MPa"},
    {"fctm", "MPa"},
    {"fctk05", "MPa"},
    {"fctk95", "MPa"},
    {"Ec", "MPa"},
    {"eps_c2", ""},
    {"eps_cu", ""},
    {"fcd", "MPa"},
    {"fctd", "MPa"},
    {"fyk", "MPa"},
    {"gammaS", ""},
    {"Es", "MPa"},
    {"fyd", "MPa"},
    {"eps_yd", ""},
    {"eps_ud", ""},
    // interaction domain
    {"DeltaN", "mm"},
    {"DeltaX", "mm"},
    {"MrdY", "kNm"},
    {"MrdZ", "kNm"},
    {"Ny_Dominio", "kN"},
    {"My_Dominio", "kNm"},
    {"Nz_Dominio", "kN"},
    {"Mz_Dominio", "kNm"},
    {"SigmaInfY", "MPa"},
    {"SigmaSupY", "MPa"},
    {"xnY", "mm"},
    {"SigmaInfZ", "MPa"},
    {"SigmaSupZ", "MPa"},
    {"xnZ", "mm"},
    // shear
    {"Ved", "kN"},
    {"Vrd_cls", "kN"},
    {"Vrsd", "kN"},
    {"Vrcd", "kN"},
    // code limits
    {"NFerriMassimo", ""},
    {"dFer", "mm"},
    {"percMinAs", ""},
    {"percA1s", ""},
    {"percMaxAs", ""},
    {"percAs", ""},
    {"AsMin", "mm²"},
    {"AsMax", "mm²"},
    {"AstaffeMin", "mm²/m"},
    {"fStaffeMinNorm", "mm"},
    {"passoStaffeMinNorm", "mm"},
    {"passoStaffeMaxNorm", "mm"},
    {"Astaffe_ml", "mm²/m"},
    {"Astaffa", "mm²"},
    // cracking
    {"EPSsm", ""},
    {"DELTAsm", "mm"},
    {"CondizioniAmbientali", ""},
    {"kt", ""},
    {"k1", ""},
    {"k2", ""},
    {"k3", ""},
    {"k4", ""},
    {"Wk", "mm"},
    // the T's width, the registry and its design procedures
    {"bX", "mm"},
    {"X", "mm"},
    {"SezioneCorrente", ""},
    {"nSezione", ""},
    {"EstraiFmin", "mm"},
    {"EstraiFmax", "mm"},
    {"EstraiAs", "mm²"},
    {"AreaFerri", "mm²"},
    {"Butile", "mm"},
    {"minNfer", ""},
    {"minDfer", "mm"},
    {"maxDFer", "mm"},
};

// The unit of a name in the table, or nullptr.
constexpr const char* unit_in_table(std::string_view name) {
    for (const QuantityUnit& row : kUnits)
        if (row.name == name) return row.unit;
    return nullptr;
}

}  // namespace ferrolit::capi
