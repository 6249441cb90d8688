#pragma once

// The design laws in the form the integration uses: plain numbers, no
// indirection. Strains and stresses are positive in compression.

#include <cmath>

#include "ferrolit/analysis.hpp"

namespace ferrolit::analysis::detail {

struct ConcreteModel {
    ConcreteLaw law = ConcreteLaw::ParabolaRectangle;
    double fcd = 0;     // MPa
    double eps_c2 = 0;  // end of the curved or linear branch: eps_c2 (parabola), eps_c3 (bilinear)
    double eps_cu = 0;
    double n = 2;
    bool square = true;  // n == 2: the parabola is integrated as a polynomial
    double lambda = 0.8, eta = 1;
    double pivot = 0;  // strain of the fully compressed section's pivot

    static ConcreteModel of(const Concrete& c);

    // Stress at strain eps of a plane whose most compressed concrete fibre
    // is at eps_top (the stress block depends on it).
    double stress(double eps, double eps_top) const {
        if (eps <= 0) return 0;
        switch (law) {
            case ConcreteLaw::ParabolaRectangle: {
                if (eps >= eps_c2) return fcd;
                const double r = 1 - eps / eps_c2;
                return fcd * (1 - (square ? r * r : std::pow(r, n)));
            }
            case ConcreteLaw::Bilinear:
                return eps >= eps_c2 ? fcd : fcd * eps / eps_c2;
            case ConcreteLaw::StressBlock:
                return eps >= (1 - lambda) * eps_top ? eta * fcd : 0;
        }
        return 0;
    }

    // dσ/dε at strain eps, for a law whose stress depends on eps alone (the
    // stress block's step is a rate of its depth, taken apart: 0 here).
    double tangent(double eps) const {
        if (eps <= 0 || eps >= eps_c2) return 0;
        switch (law) {
            case ConcreteLaw::ParabolaRectangle: {
                const double r = 1 - eps / eps_c2;
                return fcd * n / eps_c2 * (square ? r : std::pow(r, n - 1));
            }
            case ConcreteLaw::Bilinear:
                return fcd / eps_c2;
            case ConcreteLaw::StressBlock:
                return 0;
        }
        return 0;
    }
};

struct SteelModel {
    double Es = 0, fyd = 0, eps_yd = 0;
    double slope = 0;  // MPa per unit strain beyond eps_yd (hardening), else 0

    static SteelModel of(const Steel& s);

    double stress(double eps) const {
        const double a = std::fabs(eps);
        if (a <= eps_yd) return Es * eps;
        return std::copysign(fyd + slope * (a - eps_yd), eps);
    }
    double tangent(double eps) const { return std::fabs(eps) < eps_yd ? Es : slope; }
};

inline ConcreteModel ConcreteModel::of(const Concrete& c) {
    ConcreteModel m;
    m.law = c.law;
    m.fcd = c.fcd();
    m.eps_c2 = c.law == ConcreteLaw::Bilinear ? c.eps_c3 : c.eps_c2;
    m.eps_cu = c.eps_cu;
    m.n = c.n;
    m.square = c.n == 2;
    m.lambda = c.lambda;
    m.eta = c.eta;
    m.pivot = c.pivot_strain();
    return m;
}

inline SteelModel SteelModel::of(const Steel& s) {
    SteelModel m;
    m.Es = s.Es;
    m.fyd = s.fyd();
    m.eps_yd = s.eps_yd();
    m.slope = s.hardening ? (s.k - 1) * m.fyd / (s.eps_uk - m.eps_yd) : 0;
    return m;
}

}  // namespace ferrolit::analysis::detail
