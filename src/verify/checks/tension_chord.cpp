// The tension chord at each ultimate combination (§4.1.2.3.5.2,
// §4.1.2.3.6.2): the force in the tensioned bars from bending and axial
// force, taken from the engine's state at the design point, plus the
// tension the truss of shear adds, ΔF_td = V_Ed·(cot θ − cot α)/2, plus the
// share of the longitudinal force of torsion T_Ed·u_k·cot θ/(2·A) that the
// chord's bars carry, against their A_s·f_yd.

#include <array>
#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/shear.hpp"
#include "verify/checks/torsion.hpp"

namespace ferrolit::verification {

namespace {

namespace fa = ferrolit::analysis;

using Vec = std::array<double, 3>;

// The forces of a plane against the actions, all in kN (moments divided by the section's extent in m).
struct Residual {
    const fa::Section& section;
    double N, My, Mz, hz, hy;  // kN, kNm, m
    fa::StrainPlane plane(const Vec& x) const { return {x[0], x[1] / (hz * 1e3), x[2] / (hy * 1e3)}; }
    Vec operator()(const Vec& x) const {
        const fa::SectionState s = section.state_at(plane(x));
        return {s.N - N, (s.My - My) / hz, (s.Mz - Mz) / hy};
    }
};

double norm(const Vec& v) { return std::max({std::fabs(v[0]), std::fabs(v[1]), std::fabs(v[2])}); }

// Solves J·d = −r (Gaussian elimination with partial pivoting); false when singular.
bool solve(std::array<Vec, 3> J, Vec r, Vec& d) {
    for (int k = 0; k < 3; ++k) {
        int p = k;
        for (int i = k + 1; i < 3; ++i)
            if (std::fabs(J[i][k]) > std::fabs(J[p][k])) p = i;
        if (!(std::fabs(J[p][k]) > 1e-12)) return false;
        std::swap(J[p], J[k]);
        std::swap(r[p], r[k]);
        for (int i = k + 1; i < 3; ++i) {
            const double f = J[i][k] / J[k][k];
            for (int j = k; j < 3; ++j) J[i][j] -= f * J[k][j];
            r[i] -= f * r[k];
        }
    }
    for (int k = 2; k >= 0; --k) {
        double s = -r[k];
        for (int j = k + 1; j < 3; ++j) s -= J[k][j] * d[j];
        d[k] = s / J[k][k];
    }
    return true;
}

// The strain plane whose internal forces under the design laws are the
// actions: Newton's method with a finite-difference Jacobian and a
// backtracking line search, from the unstrained section. Empty when it does
// not converge (near the boundary of the domain the laws' plastic plateaus
// make the Jacobian singular).
std::optional<fa::SectionState> solve_design_state(const Context& ctx, const Combination& c) {
    const Residual f{ctx.section, c.N, c.My, c.Mz, (ctx.z.hi - ctx.z.lo) / 1e3, (ctx.y.hi - ctx.y.lo) / 1e3};
    const double tolerance = 1e-7 * (ctx.section.N_Rd_max() - ctx.section.N_Rd_min());
    Vec x{0, 0, 0}, r = f(x);
    for (int iteration = 0; iteration < 40; ++iteration) {
        if (norm(r) <= tolerance) return ctx.section.state_at(f.plane(x));
        constexpr double kStep = 1e-8;
        std::array<Vec, 3> J{};
        for (int j = 0; j < 3; ++j) {
            Vec xs = x;
            xs[j] += kStep;
            const Vec rs = f(xs);
            for (int i = 0; i < 3; ++i) J[i][j] = (rs[i] - r[i]) / kStep;
        }
        Vec d{};
        if (!solve(J, r, d)) return std::nullopt;
        double lambda = 1;
        for (int k = 0; k < 30; ++k, lambda /= 2) {
            const Vec xt{x[0] + lambda * d[0], x[1] + lambda * d[1], x[2] + lambda * d[2]};
            if (!std::isfinite(xt[0]) || !std::isfinite(xt[1]) || !std::isfinite(xt[2])) continue;
            const Vec rt = f(xt);
            if (norm(rt) < norm(r)) {
                x = xt, r = rt;
                break;
            }
        }
        if (lambda < 1e-9) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<fa::SectionState> design_state(const Context& ctx, const Combination& c) {
    try {
        return solve_design_state(ctx, c);
    } catch (const Error&) {  // a plane the engine refuses: no state, the safe-side fallback follows
        return std::nullopt;
    }
}

struct Chord {
    std::vector<std::size_t> bars;  // indices into ctx.bars
    double As = 0, force = 0;       // mm², kN from bending and axial force
    std::string origin;
};

// The bars a state stretches and their force.
Chord stretched_bars(const fa::SectionState& s) {
    Chord chord;
    for (std::size_t i = 0; i < s.bars.size(); ++i)
        if (s.bars[i].stress < 0) {
            chord.bars.push_back(i);
            chord.As += s.bars[i].area;
            chord.force -= s.bars[i].area * s.bars[i].stress / 1e3;
        }
    return chord;
}

// No bar in tension: the chord of the shear check's tensioned side in the plane of the larger shear.
Chord side_of_shear(const Context& ctx, const Combination& c) {
    const ShearPlane plane = shear_of(c, ShearPlane::Y) > shear_of(c, ShearPlane::Z) ? ShearPlane::Y : ShearPlane::Z;
    const TensionSide side = shear_resistance(ctx, plane, c).side;
    const double g = coordinate_of(ctx.G, side.c);
    Chord chord;
    for (std::size_t i = 0; i < ctx.bars.size(); ++i) {
        const double level = side.c == Coordinate::Z ? ctx.bars[i].z : ctx.bars[i].y;
        if (side.low ? level < g : level > g) chord.bars.push_back(i), chord.As += ctx.bars[i].area;
    }
    chord.origin = "nessuna barra tesa per flessione e sforzo normale: corrente del lato teso del taglio, forza 0";
    return chord;
}

Chord chord_of(const Context& ctx, const Combination& c) {
    const fa::MomentCapacity capacity = ctx.section.resisting_moment(c.N, c.My, c.Mz);
    const bool inside =
        capacity.inside && (capacity.outcome == fa::Outcome::Found || capacity.outcome == fa::Outcome::ZeroMoment);
    if (inside) {
        if (const std::optional<fa::SectionState> s = design_state(ctx, c)) {
            Chord chord = stretched_bars(*s);
            if (chord.bars.empty()) return side_of_shear(ctx, c);
            chord.origin = "stato della sezione al punto di progetto";
            return chord;
        }
    }
    // Outside the domain (the bending check fails) or no state found: the state at the resistance, where the
    // stretched bars are at their design strength, on the safe side.
    const fa::SectionState s = capacity.state ? *capacity.state
                               : c.N >= 0     ? ctx.section.squash_state()
                                              : ctx.section.tension_state();
    Chord chord = stretched_bars(ctx.section.state_at(s.plane));
    if (chord.bars.empty()) return side_of_shear(ctx, c);
    chord.origin = inside ? "stato di progetto non trovato: stato resistente sul raggio dell'azione (a favore di "
                            "sicurezza)"
                          : "punto di progetto fuori dal dominio (vedi bending): stato resistente";
    return chord;
}

// ΔF_td of one plane: V·(cot θ − cot α)/2 with stirrups; without them the
// shift a1 = d (EN 1992-1-1 §9.2.1.3(2)), ΔF_td = V·d/z = V/0.9.
double shear_tension(const ShearResistance& r, double V) {
    return r.stirrups ? V * (r.cot_theta - r.cot_alpha) / 2 : V / 0.9;
}

}  // namespace

void check_tension_chord(const Context& ctx, std::vector<CheckResult>& out) {
    std::optional<TorsionResistance> torsion;
    for (const Combination& c : ctx.in.combinations) {
        if (!is_ultimate(c.kind)) continue;
        const Chord chord = chord_of(ctx, c);
        const std::optional<double> common = torsion_cot_theta(ctx, c);
        std::string note = chord.origin + ": F_s = " + format::decimal(chord.force, 1) + " kN in " +
                           std::to_string(chord.bars.size()) + " barre tese";
        double shear_part = 0;
        for (ShearPlane plane : {ShearPlane::Z, ShearPlane::Y}) {
            const double V = shear_of(c, plane);
            if (V == 0) continue;
            const ShearResistance r = shear_resistance(ctx, plane, c, common);
            const double dF = shear_tension(r, V);
            shear_part += dF;
            note += std::string("; ΔF_td da ") + (plane == ShearPlane::Z ? "Vz" : "Vy") + " = " +
                    (r.stirrups ? "V·(cot θ − cot α)/2 = " + format::decimal(V, 1) + "·(" +
                                      format::decimal(r.cot_theta, 3) + " − " + format::decimal(r.cot_alpha, 3) + ")/2"
                                : "V/0,9 (senza staffe, a1 = d)") +
                    " = " + format::decimal(dF, 1) + " kN";
        }
        double torsion_part = 0;
        bool torsion_defined = true;
        if (common) {
            if (!torsion) torsion = torsion_resistance(ctx);
            const ThinWalled& w = torsion->wall;
            torsion_defined = w.defined && w.A > 0;
            if (torsion_defined) {
                const double total = std::fabs(c.T) * 1e6 * w.uk * *common / (2 * w.A) / 1e3;
                double in_wall = 0;
                for (std::size_t i : chord.bars)
                    if (within_wall(ctx, w, ctx.bars[i])) in_wall += ctx.bars[i].area;
                torsion_part = torsion->Al > 0 ? total * in_wall / torsion->Al : total;
                note += "; torsione: T·u_k·cot θ/(2A) = " + format::decimal(total, 1) +
                        " kN ripartiti sulle barre longitudinali in proporzione all'area, al corrente " +
                        format::decimal(in_wall, 0) + "/" + format::decimal(torsion->Al, 0) +
                        " mm²: " + format::decimal(torsion_part, 1) + " kN";
            } else {
                note += "; torsione: linea media della sezione sottile equivalente non definita";
            }
        }
        const double demand = chord.force + shear_part + torsion_part, capacity = chord.As * ctx.fyd / 1e3;
        note += "; As·fyd = " + format::decimal(chord.As, 0) + "·" + format::decimal(ctx.fyd, 1) + " = " +
                format::decimal(capacity, 1) + " kN";
        const double ratio = ratio_of(demand, capacity);
        CheckResult check = make_check(Check::TensionChord, common ? "§4.1.2.3.6.2" : "§4.1.2.3.5.2", &c, demand,
                                       capacity, "kN", ratio, torsion_defined && demand <= capacity, note);
        check.details = {{"F_s", chord.force, "kN"},
                         {"Delta_F_V", shear_part, "kN"},
                         {"Delta_F_T", torsion_part, "kN"},
                         {"As_chord", chord.As, "mm²"}};
        out.push_back(std::move(check));
    }
}

}  // namespace ferrolit::verification
