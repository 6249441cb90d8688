#include "material_classes.hpp"

#include "input_keys.hpp"

#include <cmath>
#include <utility>

namespace ferrolit::cli {

namespace {

// Strength classes of the 2018 code: fck / Rck in MPa.
const std::vector<std::pair<int, int>>& concrete_classes() {
    static const std::vector<std::pair<int, int>> classes = {{8, 10},  {12, 15}, {16, 20}, {20, 25}, {25, 30}, {28, 35},
                                                             {30, 37}, {32, 40}, {35, 45}, {40, 50}, {45, 55}, {50, 60},
                                                             {55, 67}, {60, 75}, {70, 85}, {80, 95}, {90, 105}};
    return classes;
}

std::string class_name(int fck, int rck) { return "C" + std::to_string(fck) + "/" + std::to_string(rck); }

float f(double v) { return static_cast<float>(v); }

}  // namespace

std::optional<MaterialValues> concrete_of_class(const std::string& name) {
    for (const auto& [fck_class, rck] : concrete_classes()) {
        if (class_name(fck_class, rck) != name) continue;
        const double fck = fck_class;
        const double fcm = fck + 8;
        // Mean tensile strength: the power law up to C50/60, the logarithmic one above.
        const double fctm = fck <= 50 ? 0.30 * std::cbrt(fck * fck) : 2.12 * std::log(1 + fcm / 10);
        const double fctk05 = 0.7 * fctm;
        const double gamma_c = 1.5, alfa_cc = 0.85;
        // Parabola-rectangle strains: fixed up to C50/60, reduced for higher classes.
        const double eps_c2 = fck <= 50 ? 0.002 : 0.002 + 0.000085 * std::pow(fck - 50, 0.53);
        const double eps_cu = fck <= 50 ? 0.0035 : 0.0026 + 0.035 * std::pow((90 - fck) / 100, 4);
        return MaterialValues{{"Rck", f(rck)},
                              {"fck", f(fck)},
                              {"gammaC", f(gamma_c)},
                              {"alfaCC", f(alfa_cc)},
                              {"fcm", f(fcm)},
                              {"fctm", f(fctm)},
                              {"fctk05", f(fctk05)},
                              {"fctk95", f(1.3 * fctm)},
                              {"Ec", f(22000 * std::pow(fcm / 10, 0.3))},
                              {"eps_c2", f(eps_c2)},
                              {"eps_cu", f(eps_cu)},
                              {"fcd", f(alfa_cc * fck / gamma_c)},
                              {"fctd", f(fctk05 / gamma_c)}};
    }
    return std::nullopt;
}

std::optional<MaterialValues> steel_of_class(const std::string& name) {
    // Characteristic ultimate strain: 7.5 % for class C, 2.5 % for class A;
    // the design value is 0.9 times it.
    double eps_uk;
    if (name == "B450C")
        eps_uk = 0.075;
    else if (name == "B450A")
        eps_uk = 0.025;
    else
        return std::nullopt;
    const double fyk = 450, gamma_s = 1.15, es = 200000;
    const double fyd = fyk / gamma_s;
    return MaterialValues{{"fyk", f(fyk)}, {"gammaS", f(gamma_s)},  {"Es", f(es)},
                          {"fyd", f(fyd)}, {"eps_yd", f(fyd / es)}, {"eps_ud", f(0.9 * eps_uk)}};
}

std::vector<std::string> known_concrete_classes() {
    std::vector<std::string> names;
    for (const auto& [fck, rck] : concrete_classes()) names.push_back(class_name(fck, rck));
    return names;
}

std::vector<std::string> known_steel_classes() { return {"B450C", "B450A"}; }

Materials resolve_materials(const SectionInput& in) {
    Materials m;
    m.ClasseCls = in.text("ClasseCls").value_or("");
    m.ClasseAcciaio = in.text("ClasseAcciaio").value_or("");
    const auto concrete = concrete_of_class(m.ClasseCls);
    const auto steel = steel_of_class(m.ClasseAcciaio);
    // Each value in the order of the key table: the input's when given, else
    // its class's, else an error. An unknown class name is only a problem
    // when some value must come from it.
    for (const InputKey& key : kInputKeys) {
        if (key.group != KeyGroup::Materials || key.kind != KeyKind::Real) continue;
        const std::string name(key.name);
        if (const auto given = in.real(name)) {
            m.values[name] = *given;
            continue;
        }
        const bool of_concrete = material_class_key(key.name) == "ClasseCls";
        const std::string& class_name = of_concrete ? m.ClasseCls : m.ClasseAcciaio;
        const auto& from_class = of_concrete ? concrete : steel;
        const std::string class_key = of_concrete ? "ClasseCls" : "ClasseAcciaio";
        if (!from_class && !class_name.empty())
            throw in.error(class_key, std::string(of_concrete ? "classe di calcestruzzo" : "classe di acciaio") +
                                          " sconosciuta \"" + class_name + "\" e \"" + name + "\" non indicato");
        if (!from_class)
            throw in.error(name, "valore mancante (oppure indicare una classe nota in \"" + class_key + "\")");
        m.values[name] = from_class->at(name);
    }
    return m;
}

}  // namespace ferrolit::cli
