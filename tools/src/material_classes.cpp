#include "material_classes.hpp"

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

std::optional<Concrete> concrete_of_class(const std::string& name) {
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
        return Concrete{name,
                        f(rck),
                        f(fck),
                        f(gamma_c),
                        f(alfa_cc),
                        f(fcm),
                        f(fctm),
                        f(fctk05),
                        f(1.3 * fctm),
                        f(22000 * std::pow(fcm / 10, 0.3)),
                        f(eps_c2),
                        f(eps_cu),
                        f(alfa_cc * fck / gamma_c),
                        f(fctk05 / gamma_c)};
    }
    return std::nullopt;
}

std::optional<Steel> steel_of_class(const std::string& name) {
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
    return Steel{name, f(fyk), f(gamma_s), f(es), f(fyd), f(fyd / es), f(0.9 * eps_uk)};
}

std::vector<std::string> known_concrete_classes() {
    std::vector<std::string> names;
    for (const auto& [fck, rck] : concrete_classes()) names.push_back(class_name(fck, rck));
    return names;
}

std::vector<std::string> known_steel_classes() { return {"B450C", "B450A"}; }

namespace {

// A material value: the input's when given, else the class's, else an error.
float pick(const SectionInput& in, const std::string& key, const std::optional<float>& from_class,
           const std::string& class_key) {
    if (const auto given = in.real(key)) return *given;
    if (from_class) return *from_class;
    throw in.error(key, "valore mancante (oppure indicare una classe nota in \"" + class_key + "\")");
}

template <class T>
std::optional<float> member(const std::optional<T>& m, float T::*field) {
    if (!m) return std::nullopt;
    return (*m).*field;
}

}  // namespace

Materials resolve_materials(const SectionInput& in) {
    const std::string cls = in.text("ClasseCls").value_or("");
    const std::string steel = in.text("ClasseAcciaio").value_or("");
    const auto c = concrete_of_class(cls);
    const auto s = steel_of_class(steel);
    // An unknown class name is only a problem when some value must come from it.
    auto concrete = [&](const char* key, float Concrete::*field) {
        if (!c && !in.has(key) && !cls.empty())
            throw in.error("ClasseCls",
                           "classe di calcestruzzo sconosciuta \"" + cls + "\" e \"" + key + "\" non indicato");
        return pick(in, key, member(c, field), "ClasseCls");
    };
    auto steel_value = [&](const char* key, float Steel::*field) {
        if (!s && !in.has(key) && !steel.empty())
            throw in.error("ClasseAcciaio",
                           "classe di acciaio sconosciuta \"" + steel + "\" e \"" + key + "\" non indicato");
        return pick(in, key, member(s, field), "ClasseAcciaio");
    };
    Materials m;
    m.concrete = Concrete{cls,
                          concrete("Rck", &Concrete::Rck),
                          concrete("fck", &Concrete::fck),
                          concrete("gammaC", &Concrete::gammaC),
                          concrete("alfaCC", &Concrete::alfaCC),
                          concrete("fcm", &Concrete::fcm),
                          concrete("fctm", &Concrete::fctm),
                          concrete("fctk05", &Concrete::fctk05),
                          concrete("fctk95", &Concrete::fctk95),
                          concrete("Ec", &Concrete::Ec),
                          concrete("eps_c2", &Concrete::eps_c2),
                          concrete("eps_cu", &Concrete::eps_cu),
                          concrete("fcd", &Concrete::fcd),
                          concrete("fctd", &Concrete::fctd)};
    m.steel = Steel{steel,
                    steel_value("fyk", &Steel::fyk),
                    steel_value("gammaS", &Steel::gammaS),
                    steel_value("Es", &Steel::Es),
                    steel_value("fyd", &Steel::fyd),
                    steel_value("eps_yd", &Steel::eps_yd),
                    steel_value("eps_ud", &Steel::eps_ud)};
    return m;
}

}  // namespace ferrolit::cli
