#pragma once

// The section seen along one direction of bending θ: u is the coordinate
// towards the compressed side, (y', z') = (y − yG, z − zG),
//   u = sin θ·y' + cos θ·z',   v = −cos θ·y' + sin θ·z',
// a rotation, so the outline stays counterclockwise in (u, v).
// The concrete is cut into slabs between consecutive vertex levels of u;
// within a slab the chord width w and its first moment s = ∫v dv are
// polynomials of t = u − lo (degree 1 and 2), so any stress that depends on
// u alone integrates exactly; the second moment q = ∫v² dv (degree 3) serves
// the section's tangent stiffness. Built once per direction and reused by
// every depth evaluation of a search.

#include <optional>
#include <vector>

#include "analysis/section_data.hpp"

namespace ferrolit::analysis::detail {

struct Slab {
    double lo = 0, hi = 0;
    double w0 = 0, w1 = 0;                  // w(t) = w0 + w1·t
    double s0 = 0, s1 = 0, s2 = 0;          // s(t) = s0 + s1·t + s2·t²
    double q0 = 0, q1 = 0, q2 = 0, q3 = 0;  // q(t) = q0 + q1·t + q2·t² + q3·t³
};

struct Frame {
    double theta = 0;                // radians
    double dy = 0, dz = 1;           // unit vector towards the compressed side: (sin θ, cos θ)
    double u_top = 0, u_bottom = 0;  // extreme concrete fibres
    double u_bar_min = 0;            // most tensioned bar
    // v of the fibres that give u_top, u_bottom and u_bar_min: as θ turns,
    // du/dθ = −v at a fixed point, which is how those levels move.
    double v_top = 0, v_bottom = 0, v_bar_min = 0;
    std::vector<Slab> slabs;  // ascending in u
    std::vector<double> bar_u, bar_v;

    // N of the ultimate path at the ends of its regions, once computed.
    bool region_ends_known = false;
    double N_at_1 = 0, N_at_2 = 0;

    void build(const SectionData& s, double theta);

    // Moments in the section's axes from those in the frame's.
    double My(double Mu, double Mv) const { return dz * Mu + dy * Mv; }
    double Mz(double Mu, double Mv) const { return dy * Mu - dz * Mv; }

    // The fibres that set u_top, u_bottom and u_bar_min, as points (y', z')
    // from G. Where one of them changes as θ turns, the path's planes turn
    // about another point and the ultimate surface has a kink.
    struct Fibres {
        Point top, bottom, bar;
    };
    Fibres fibres() const;

private:
    std::size_t level_index(double u, std::size_t from) const;

    std::vector<double> levels_;
};

// The direction between theta_a and theta_b (radians) where one of the
// extreme fibres of a changes to b's: the two points lie at one u there.
// Empty when the fibres are the same (within tol, mm) or no such direction
// lies between the two.
std::optional<double> fibre_change(double theta_a, const Frame::Fibres& a, double theta_b, const Frame::Fibres& b,
                                   double tol);

}  // namespace ferrolit::analysis::detail
