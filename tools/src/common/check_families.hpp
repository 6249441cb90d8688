#pragma once

// The families of checks in the order a record lists them, with their
// Italian titles; and the decimals a check's values are written with.

#include <optional>
#include <string>

#include "common/report_numbers.hpp"
#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

struct CheckFamily {
    const char* id;
    const char* title;
};

inline constexpr CheckFamily kCheckFamilies[] = {
    {"bending", "Flessione e sforzo normale"},
    {"shear_z", "Taglio Vz (piano di My)"},
    {"shear_y", "Taglio Vy (piano di Mz)"},
    {"torsion", "Torsione"},
    {"torsion_shear", "Torsione e taglio"},
    {"tension_chord", "Corrente teso (flessione, taglio e torsione)"},
    {"stress_concrete", "Tensioni di esercizio nel calcestruzzo"},
    {"stress_steel", "Tensioni di esercizio nell'acciaio"},
    {"crack_width", "Fessurazione"},
    {"as_min", "Armatura longitudinale minima"},
    {"as_max", "Armatura longitudinale massima"},
    {"stirrups", "Staffe minime"},
    {"stirrup_spacing", "Passo delle staffe"},
    {"bar_spacing", "Interasse delle barre longitudinali"},
    {"bar_diameter", "Diametro delle barre longitudinali"},
};

inline std::string check_title(const std::string& id) {
    for (const CheckFamily& f : kCheckFamilies)
        if (id == f.id) return f.title;
    return id;
}

// Service checks need a service combination; the others an ultimate one or none.
inline bool is_service_check(const std::string& id) {
    return id == "stress_concrete" || id == "stress_steel" || id == "crack_width";
}

// A check's demand or capacity, with the decimals its unit deserves; "—" when empty.
inline std::string check_value_text(const std::optional<double>& v, const CheckResult& c) {
    if (!v) return "—";
    const int places = c.id == "crack_width" && c.unit == "mm" ? 3
                       : c.unit == "mm²" || c.unit == "mm²/m"  ? 0
                       : c.unit == "mm"                        ? 1
                                                               : 2;
    return decimal(*v, places);
}

// A named value of a check's working ("N_Ed", "My_Rd", ...); empty when the check has none.
inline std::optional<double> detail_of(const CheckResult& c, const std::string& name) {
    for (const Detail& d : c.details)
        if (d.name == name) return d.value;
    return std::nullopt;
}

}  // namespace ferrolit::cli
