// The materials once resolved: values that make the computation meaningless
// are refused naming the key and the bound broken; values outside the
// code's usual range are kept with a warning.

#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/input/read_input.hpp"

namespace ferrolit::verification {

namespace {

// A value of the code's usual range, when given outside it.
struct UsualRange {
    const char* key;
    double lo, hi;
    const char* unit;
    const char* usual;  // what the code asks, for the message
};

constexpr UsualRange kConcreteRanges[] = {
    {"fck", 8, 90, "MPa", "classi da C8/10 a C90/105 (Tab. 4.1.I)"},
    {"gammaC", 1, 1.5, "", "γc = 1,5 (§4.1.2.1.1.1), 1 nelle combinazioni eccezionali"},
};
constexpr UsualRange kSteelRanges[] = {
    {"fyk", 450, 450, "MPa", "classi B450C e B450A, fyk = 450 MPa (§11.3.2)"},
    {"gammaS", 1, 1.15, "", "γs = 1,15 (§4.1.2.1.1.3), 1 nelle combinazioni eccezionali"},
    {"Es", 190000, 210000, "MPa", "Es = 200000 MPa (§11.3.4.1)"},
};

void warn_outside(const UsualRange& range, double v, std::vector<std::string>& warnings) {
    if (v >= range.lo && v <= range.hi) return;
    const std::string unit = *range.unit ? std::string(" ") + range.unit : std::string();
    warnings.push_back(std::string(range.key) + " = " + format::significant(v) + unit +
                       " fuori dall'uso della norma (" + range.usual + "): verificare il dato");
}

// The first of the keys the input gives, or `otherwise`: the key a refusal names.
const char* given_key(const Reader& r, std::initializer_list<const char*> keys, const char* otherwise) {
    for (const char* key : keys)
        if (r.has(key)) return key;
    return otherwise;
}

void require_finite(const Reader& r, const char* key, const char* what, double v) {
    if (!std::isfinite(v) || v <= 0)
        r.fail(key, std::string(what) + " = " + format::significant(v) +
                        ": deve risultare un numero positivo finito; i dati danno un valore fuori da ogni scala");
}

}  // namespace

void check_material_ranges(const Reader& r, VerificationInput& in) {
    const analysis::Concrete& c = in.concrete;
    const analysis::Steel& s = in.steel;
    require_finite(r, given_key(r, {"fcd", "gammaC", "alfaCC", "fck", "Rck"}, "ClasseCls"), "fcd = αcc·fck/γc",
                   c.fcd());
    require_finite(r, given_key(r, {"fyd", "gammaS", "fyk"}, "ClasseAcciaio"), "fyd = fyk/γs", s.fyd());
    require_finite(r, given_key(r, {"fyd", "gammaS", "fyk", "Es"}, "ClasseAcciaio"), "εyd = fyd/Es", s.eps_yd());
    if (s.eps_ud && !(s.eps_yd() < *s.eps_ud))
        r.fail(given_key(r, {"fyk", "gammaS", "fyd", "Es", "eps_ud"}, "ClasseAcciaio"),
               "εyd = fyd/Es = " + format::significant(s.eps_yd()) + " deve essere minore di εud = " +
                   format::significant(*s.eps_ud) + ": l'acciaio si romperebbe prima di snervarsi");
    const double concrete_values[] = {c.fck, c.gamma_c};
    for (std::size_t i = 0; i < std::size(kConcreteRanges); ++i)
        if (r.has(kConcreteRanges[i].key) || (i == 1 && r.has("fcd")))
            warn_outside(kConcreteRanges[i], concrete_values[i], in.warnings);
    const double steel_values[] = {s.fyk, s.gamma_s, s.Es};
    for (std::size_t i = 0; i < std::size(kSteelRanges); ++i)
        if (r.has(kSteelRanges[i].key) || (i == 1 && r.has("fyd")))
            warn_outside(kSteelRanges[i], steel_values[i], in.warnings);
}

}  // namespace ferrolit::verification
