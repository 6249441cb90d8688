// Materials by the 2018 code: concrete from its strength class (§11.2.10,
// §4.1.2.1.1, §4.1.2.1.2.1) and reinforcing steel from its class (§11.3.2).

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "analysis/errors.hpp"
#include "core/numeric.hpp"
#include "ferrolit/analysis.hpp"

namespace ferrolit::analysis {

namespace {

// Strength classes of the code: fck / Rck in MPa.
struct ConcreteClass {
    int fck, Rck;
};
constexpr ConcreteClass kConcreteClasses[] = {{8, 10},  {12, 15}, {16, 20}, {20, 25}, {25, 30}, {28, 35},
                                              {30, 37}, {32, 40}, {35, 45}, {40, 50}, {45, 55}, {50, 60},
                                              {55, 67}, {60, 75}, {70, 85}, {80, 95}, {90, 105}};

// Steel classes: characteristic yield strength, (ft/fy)k and strain at maximum load.
struct SteelClass {
    const char* name;
    double fyk, k, eps_uk;
};
constexpr SteelClass kSteelClasses[] = {{"B450C", 450, 1.20, 0.075}, {"B450A", 450, 1.05, 0.025}};

std::string class_name(const ConcreteClass& c) {
    // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) on "C" + to_string(…).
    std::string name = "C";
    name += std::to_string(c.fck);
    name += '/';
    name += std::to_string(c.Rck);
    return name;
}

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}

bool positive(double v) { return std::isfinite(v) && v > 0; }

}  // namespace

Concrete Concrete::of_strength(double fck) {
    return ferrolit::detail::public_call([&]() -> Concrete {
        if (!positive(fck) || fck > 90)
            detail::fail("calcestruzzo: fck deve essere compreso tra 0 e 90 MPa (classi fino a C90/105)");
        Concrete c;
        c.fck = fck;
        c.fcm = fck + 8;
        // Tensile strength: the power law up to C50/60, the logarithmic one above (§11.2.10.2).
        c.fctm = fck <= 50 ? 0.30 * std::cbrt(fck * fck) : 2.12 * std::log(1 + c.fcm / 10);
        c.fctk05 = 0.7 * c.fctm;
        c.fctk95 = 1.3 * c.fctm;
        c.Ec = 22000 * std::pow(c.fcm / 10, 0.3);
        // Strains and shape of the laws (§4.1.2.1.2.1): fixed up to C50/60, by formula above.
        if (fck > 50) {
            const double high = std::pow((90 - fck) / 100, 4);
            c.eps_c2 = 0.002 + 0.000085 * std::pow(fck - 50, 0.53);
            c.eps_cu = 0.0026 + 0.035 * high;
            c.n = 1.4 + 23.4 * high;
            // At C90/105 the formula gives eps_c2 a hair above eps_cu; the code's table has 2.6 ‰ for both.
            c.eps_c2 = std::min(c.eps_c2, c.eps_cu);
            c.eps_c3 = 0.00175 + 0.00055 * (fck - 50) / 40;
            c.lambda = 0.8 - (fck - 50) / 400;
            c.eta = 1 - (fck - 50) / 200;
        }
        return c;
    });
}

Concrete Concrete::of_class(std::string_view name) {
    return ferrolit::detail::public_call([&]() -> Concrete {
        const std::string wanted = upper(name);
        for (const ConcreteClass& k : kConcreteClasses) {
            if (class_name(k) != wanted) continue;
            Concrete c = of_strength(k.fck);
            c.name = class_name(k);
            c.Rck = k.Rck;
            return c;
        }
        detail::fail("classe di calcestruzzo sconosciuta \"" + std::string(name) + "\" (da C8/10 a C90/105)");
    });
}

std::vector<std::string> concrete_class_names() {
    std::vector<std::string> names;
    for (const ConcreteClass& k : kConcreteClasses) names.push_back(class_name(k));
    return names;
}

void Concrete::validate() const {
    ferrolit::detail::public_call([&] {
        using detail::require;
        require(positive(fck), "calcestruzzo: fck deve essere un numero positivo");
        require(positive(alpha_cc) && alpha_cc <= 1, "calcestruzzo: alpha_cc deve essere compreso tra 0 e 1");
        require(positive(gamma_c), "calcestruzzo: gamma_c deve essere un numero positivo");
        require(positive(eps_cu) && eps_cu < 0.1, "calcestruzzo: eps_cu deve essere positivo (e minore di 0,1)");
        require(positive(eps_c2) && eps_c2 <= eps_cu,
                "calcestruzzo: eps_c2 deve essere positivo e non maggiore di eps_cu");
        require(positive(eps_c3) && eps_c3 <= eps_cu,
                "calcestruzzo: eps_c3 deve essere positivo e non maggiore di eps_cu");
        require(positive(n) && n <= 10, "calcestruzzo: n deve essere compreso tra 0 e 10");
        require(positive(lambda) && lambda <= 1, "calcestruzzo: lambda deve essere compreso tra 0 e 1");
        require(positive(eta) && eta <= 1, "calcestruzzo: eta deve essere compreso tra 0 e 1");
        require(positive(Ec), "calcestruzzo: Ec deve essere un numero positivo");
        require(std::isfinite(fctm) && fctm >= 0, "calcestruzzo: fctm deve essere un numero non negativo");
        // Beyond 1e50 MPa the section's integrals would overflow double
        // precision into results that are not numbers.
        require(alpha_cc * fck / gamma_c <= 1e50 && fctm <= 1e50 && Ec <= 1e50,
                "calcestruzzo: resistenza di progetto, fctm ed Ec devono essere al più 1e50 MPa");
    });
}

Steel Steel::of_class(std::string_view name) {
    return ferrolit::detail::public_call([&]() -> Steel {
        const std::string wanted = upper(name);
        for (const SteelClass& k : kSteelClasses) {
            if (wanted != k.name) continue;
            Steel s;
            s.name = k.name;
            s.fyk = k.fyk;
            s.k = k.k;
            s.eps_uk = k.eps_uk;
            s.eps_ud = 0.9 * k.eps_uk;  // §4.1.2.1.2.2
            return s;
        }
        detail::fail("classe di acciaio sconosciuta \"" + std::string(name) + "\" (B450C o B450A)");
    });
}

std::vector<std::string> steel_class_names() {
    std::vector<std::string> names;
    for (const SteelClass& k : kSteelClasses) names.emplace_back(k.name);
    return names;
}

void Steel::validate() const {
    ferrolit::detail::public_call([&] {
        using detail::require;
        require(positive(fyk), "acciaio: fyk deve essere un numero positivo");
        require(positive(gamma_s), "acciaio: gamma_s deve essere un numero positivo");
        require(positive(Es), "acciaio: Es deve essere un numero positivo");
        require(std::isfinite(k) && k >= 1 && k <= 2, "acciaio: k deve essere compreso tra 1 e 2");
        require(fyk / gamma_s <= 1e50 && Es <= 1e50,
                "acciaio: resistenza di progetto ed Es devono essere al più 1e50 MPa");
        if (eps_ud)
            require(positive(*eps_ud) && *eps_ud < 1, "acciaio: eps_ud deve essere positivo (o null, senza limite)");
        if (!hardening) return;
        require(eps_ud.has_value(), "acciaio: l'incrudimento richiede eps_ud");
        require(positive(eps_uk) && eps_uk > eps_yd() && eps_uk >= *eps_ud,
                "acciaio: eps_uk deve superare eps_yd e non essere minore di eps_ud");
    });
}

double Steel::stress(double eps) const {
    return ferrolit::detail::public_call([&]() -> double {
        const double f = fyd(), e_y = eps_yd(), a = std::fabs(eps);
        if (a <= e_y) return Es * eps;
        const double s = hardening ? f + (k - 1) * f * (a - e_y) / (eps_uk - e_y) : f;
        return std::copysign(s, eps);
    });
}

}  // namespace ferrolit::analysis
