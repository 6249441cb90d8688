// Materials of a section from its JSON keys: the class names give every
// value by the code (the code engine's Concrete::of_class and
// Steel::of_class, the one table of classes); a value given wins, and the
// values that depend on it follow it unless they are given too.

#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/input/read_input.hpp"

namespace ferrolit::verification {

namespace {

namespace fa = ferrolit::analysis;

std::string number_text(double v) { return format::significant(v); }

// The class rule's refusal, at the line of the key it names.
template <class F>
auto by_class(const Reader& r, F&& f) {
    try {
        return f();
    } catch (const InputError& e) {
        r.fail(e.key(), e.problem());
    }
}

double positive(const Reader& r, const char* key) {
    const double v = *r.real(key);
    if (!(v > 0)) r.fail(key, "deve essere maggiore di 0");
    return v;
}

fa::Concrete concrete_of(const Reader& r) {
    fa::Concrete c;
    if (const auto name = r.text("ClasseCls"))
        return by_class(r, [&] {
            return concrete_of_class(*name, r.real("fck"), r.real("Rck"), {"ClasseCls", "fck", "Rck"});
        });
    // Without a class: fck, or the cube strength Rck with fck = 0.83·Rck (§11.2.10.1).
    const char* key = r.has("fck") ? "fck" : "Rck";
    if (!r.has(key))
        r.fail("ClasseCls", "manca il calcestruzzo: indicare \"ClasseCls\" (per esempio \"C25/30\") oppure \"fck\"");
    const double fck = r.has("fck") ? positive(r, "fck") : 0.83 * positive(r, "Rck");
    try {
        c = fa::Concrete::of_strength(fck);
    } catch (const Error& e) {
        r.fail(key, e.what());
    }
    if (r.has("Rck")) c.Rck = positive(r, "Rck");
    return c;
}

// The values that follow fck, each overridden when given, in the order of
// their dependence: fcm → fctm (above C50/60 it follows fcm) → fctk05,
// fctk95; fcm → Ec; alfaCC, gammaC → fcd.
void override_concrete(const Reader& r, fa::Concrete& c, std::vector<std::string>& warnings) {
    if (r.has("fcm")) {
        c.fcm = positive(r, "fcm");
        if (c.fck > 50) c.fctm = 2.12 * std::log(1 + c.fcm / 10);
        c.Ec = 22000 * std::pow(c.fcm / 10, 0.3);
    }
    if (r.has("fctm")) c.fctm = positive(r, "fctm");
    c.fctk05 = r.has("fctk05") ? positive(r, "fctk05") : 0.7 * c.fctm;
    c.fctk95 = r.has("fctk95") ? positive(r, "fctk95") : 1.3 * c.fctm;
    if (r.has("Ec")) c.Ec = positive(r, "Ec");
    if (r.has("eps_c2")) c.eps_c2 = positive(r, "eps_c2");
    if (r.has("eps_cu")) c.eps_cu = positive(r, "eps_cu");
    if (r.has("gammaC")) c.gamma_c = positive(r, "gammaC");
    if (r.has("alfaCC")) c.alpha_cc = positive(r, "alfaCC");
    if (r.has("fcd")) {
        // A design strength given outright: αcc is what makes fcd = αcc·fck/γc.
        const double fcd = positive(r, "fcd");
        if (std::fabs(fcd - c.fcd()) > 0.01 * c.fcd())
            warnings.push_back("fcd = " + number_text(fcd) + " MPa assegnato: differisce da αcc·fck/γc = " +
                               number_text(c.fcd()) + " MPa; si usa il valore assegnato");
        c.alpha_cc = fcd * c.gamma_c / c.fck;
    }
    if (r.has("fctd")) warnings.push_back("fctd è letto ma non interviene in alcuna verifica");
    try {
        c.validate();
    } catch (const Error& e) {
        r.fail(r.has("ClasseCls") ? "ClasseCls" : "fck", e.what());
    }
}

fa::Steel steel_of(const Reader& r, std::vector<std::string>& warnings) {
    fa::Steel s = fa::Steel::of_class("B450C");
    if (const auto name = r.text("ClasseAcciaio")) {
        s = by_class(r, [&] { return steel_of_class(*name, r.real("fyk"), {"ClasseAcciaio", "fyk", {}}); });
    } else if (r.has("fyk")) {
        s.name.clear();
        s.fyk = positive(r, "fyk");
        if (!r.has("eps_ud")) warnings.push_back("acciaio senza classe: duttilità di B450C (εud = 0,9·εuk = 0,0675)");
    } else {
        r.fail("ClasseAcciaio", "manca l'acciaio: indicare \"ClasseAcciaio\" (B450C o B450A) oppure \"fyk\"");
    }
    if (r.has("gammaS")) s.gamma_s = positive(r, "gammaS");
    if (r.has("Es")) s.Es = positive(r, "Es");
    if (r.has("fyd")) {
        const double fyd = positive(r, "fyd");
        if (std::fabs(fyd - s.fyd()) > 0.01 * s.fyd())
            warnings.push_back("fyd = " + number_text(fyd) + " MPa assegnato: differisce da fyk/γs = " +
                               number_text(s.fyd()) + " MPa; si usa il valore assegnato");
        s.gamma_s = s.fyk / fyd;
    }
    if (r.has("eps_ud")) {
        s.eps_ud = positive(r, "eps_ud");
        if (!(*s.eps_ud < 1)) r.fail("eps_ud", "deve essere minore di 1: è una deformazione (0,0675 per B450C)");
    }
    if (r.has("eps_yd")) {
        const double given = positive(r, "eps_yd");
        if (std::fabs(given - s.eps_yd()) > 0.01 * s.eps_yd())
            r.fail("eps_yd", number_text(given) + " non corrisponde a fyd/Es = " + number_text(s.eps_yd()) +
                                 " (\"fyd\", \"Es\"): scarto oltre l'1 %");
    }
    try {
        s.validate();
    } catch (const Error& e) {
        r.fail(r.has("ClasseAcciaio") ? "ClasseAcciaio" : "fyk", e.what());
    }
    return s;
}

}  // namespace

void read_materials(const Reader& r, VerificationInput& in) {
    in.concrete = concrete_of(r);
    override_concrete(r, in.concrete, in.warnings);
    in.steel = steel_of(r, in.warnings);
    check_material_ranges(r, in);
}

}  // namespace ferrolit::verification
