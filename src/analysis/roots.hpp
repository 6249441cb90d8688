#pragma once

// Bracketing searches with a bounded number of steps: Brent's root finder
// and Brent's minimiser.

#include <cmath>
#include <utility>

namespace ferrolit::analysis::detail {

// A root of f in [a, b] given f(a)·f(b) ≤ 0 (fa, fb known). Stops when the
// bracket is narrower than xtol, |f| ≤ ftol, or after 100 steps.
template <class F>
double brent_root(F&& f, double a, double b, double fa, double fb, double xtol, double ftol) {
    if (fa == 0) return a;
    if (fb == 0) return b;
    double c = a, fc = fa, d = b - a, e = d;
    for (int iter = 0; iter < 100; ++iter) {
        if ((fb > 0) == (fc > 0)) c = a, fc = fa, d = e = b - a;
        if (std::fabs(fc) < std::fabs(fb)) a = b, b = c, c = a, fa = fb, fb = fc, fc = fa;
        const double tol = 2 * 2.2e-16 * std::fabs(b) + xtol / 2;
        const double m = (c - b) / 2;
        if (std::fabs(m) <= tol || std::fabs(fb) <= ftol) return b;
        if (std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
            double p, q, r;
            const double s = fb / fa;
            if (a == c) {
                p = 2 * m * s, q = 1 - s;
            } else {
                q = fa / fc, r = fb / fc;
                p = s * (2 * m * q * (q - r) - (b - a) * (r - 1));
                q = (q - 1) * (r - 1) * (s - 1);
            }
            if (p > 0) q = -q;
            p = std::fabs(p);
            if (2 * p < std::min(3 * m * q - std::fabs(tol * q), std::fabs(e * q))) {
                e = d, d = p / q;
            } else {
                d = m, e = m;
            }
        } else {
            d = m, e = m;
        }
        a = b, fa = fb;
        b += std::fabs(d) > tol ? d : (m > 0 ? tol : -tol);
        fb = f(b);
    }
    return b;
}

// The minimum of f in [a, b] (f unimodal there): (x, f(x)).
template <class F>
std::pair<double, double> brent_min(F&& f, double a, double b, double xtol) {
    const double golden = 0.3819660112501051;
    double x = a + golden * (b - a), w = x, v = x;
    double fx = f(x), fw = fx, fv = fx, d = 0, e = 0;
    for (int iter = 0; iter < 100; ++iter) {
        const double m = (a + b) / 2, tol = xtol + 1e-10 * std::fabs(x);
        if (std::fabs(x - m) <= 2 * tol - (b - a) / 2) break;
        bool parabolic = false;
        if (std::fabs(e) > tol) {
            double r = (x - w) * (fx - fv), q = (x - v) * (fx - fw), p = (x - v) * q - (x - w) * r;
            q = 2 * (q - r);
            if (q > 0) p = -p;
            q = std::fabs(q);
            if (std::fabs(p) < std::fabs(q * e / 2) && p > q * (a - x) && p < q * (b - x)) {
                e = d, d = p / q, parabolic = true;
                const double u = x + d;
                if (u - a < 2 * tol || b - u < 2 * tol) d = x < m ? tol : -tol;
            }
        }
        if (!parabolic) e = (x < m ? b : a) - x, d = golden * e;
        const double u = x + (std::fabs(d) >= tol ? d : (d > 0 ? tol : -tol));
        const double fu = f(u);
        if (fu <= fx) {
            (u < x ? b : a) = x;
            v = w, fv = fw, w = x, fw = fx, x = u, fx = fu;
        } else {
            (u < x ? a : b) = u;
            if (fu <= fw || w == x) {
                v = w, fv = fw, w = u, fw = fu;
            } else if (fu <= fv || v == x || v == w) {
                v = u, fv = fu;
            }
        }
    }
    return {x, fx};
}

}  // namespace ferrolit::analysis::detail
