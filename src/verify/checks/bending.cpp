// Bending with axial force (§4.1.2.3.4.2) on the code engine's exact
// resistance: the resisting moment on the ray from M = 0 through the design
// moment at N_Ed, for every ultimate combination. Columns add the minimum
// eccentricity of the same clause; slender planes their second-order moment
// (§4.1.2.3.9.2).

#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/checks.hpp"
#include "verify/checks/slenderness.hpp"

namespace ferrolit::verification {

namespace {

namespace fa = ferrolit::analysis;

constexpr const char* kClause = "§4.1.2.3.4.2";

struct Evaluation {
    double My = 0, Mz = 0;  // kNm, the moments checked
    double ratio = 0;
    bool verified = true;
    std::optional<double> demand, capacity;
    std::string unit = "kNm";
    std::string note;
    std::vector<Detail> details;
};

// The utilisation along the ray from the origin of (N, My, Mz) space through
// the action, for the states where the ray at constant N has no answer:
// 1/λ for the largest λ that keeps λ·(N, My, Mz) in the domain.
double proportional_ratio(const fa::Section& s, double N, double My, double Mz) {
    auto inside = [&](double l) { return s.resisting_moment(l * N, l * My, l * Mz).inside; };
    double lo = 0, hi = 1;
    if (inside(1)) {
        lo = 1, hi = 2;
        while (inside(hi) && hi < 1e9) lo = hi, hi *= 2;
    }
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        (inside(mid) ? lo : hi) = mid;
    }
    return lo > 0 ? 1 / lo : std::numeric_limits<double>::infinity();
}

Evaluation evaluate(const Context& ctx, double N, double My, double Mz) {
    const fa::Section& s = ctx.section;
    const fa::MomentCapacity c = s.resisting_moment(N, My, Mz);
    Evaluation e;
    e.My = My, e.Mz = Mz;
    const double M = std::hypot(My, Mz);
    e.details = {{"N_Ed", N, "kN"}, {"My_Ed", My, "kNm"}, {"Mz_Ed", Mz, "kNm"}};
    switch (c.outcome) {
        case fa::Outcome::Found:
            e.demand = M;
            e.capacity = std::hypot(*c.My_Rd, *c.Mz_Rd);
            e.ratio = *c.ratio;
            e.verified = c.inside;
            e.details.push_back({"My_Rd", *c.My_Rd, "kNm"});
            e.details.push_back({"Mz_Rd", *c.Mz_Rd, "kNm"});
            if (c.state && c.state->neutral_axis_depth) e.details.push_back({"x", *c.state->neutral_axis_depth, "mm"});
            return e;
        case fa::Outcome::AboveMaximum:
        case fa::Outcome::BelowMinimum: {
            const double limit = c.outcome == fa::Outcome::AboveMaximum ? s.N_Rd_max() : s.N_Rd_min();
            e.unit = "kN";
            e.demand = std::fabs(N);
            e.capacity = std::fabs(limit);
            e.ratio = N / limit;
            e.verified = false;
            e.note = std::string(fa::reason(c.outcome)) + " (N_Ed = " + format::decimal(N, 1) + " kN, " +
                     (c.outcome == fa::Outcome::AboveMaximum ? "N_Rd,max = " : "N_Rd,min = ") +
                     format::decimal(limit, 1) + " kN)";
            return e;
        }
        default:
            break;
    }
    if (c.outcome == fa::Outcome::ZeroMoment && c.inside) {
        const double limit = N >= 0 ? s.N_Rd_max() : s.N_Rd_min();
        e.unit = "kN";
        e.demand = std::fabs(N);
        e.capacity = std::fabs(limit);
        e.ratio = N / limit;
        e.note = "momento nullo: sforzo normale centrato, entro N_Rd,min … N_Rd,max";
        return e;
    }
    // At N_Ed the slice of the domain does not hold M = 0 (or is a point):
    // no resisting moment at constant N; the ratio is taken along the ray
    // through the origin instead.
    e.ratio = proportional_ratio(s, N, My, Mz);
    e.verified = c.inside && e.ratio <= 1;
    e.unit = M > 0 ? "kNm" : "kN";
    e.demand = M > 0 ? M : std::fabs(N);
    e.capacity = *e.demand / e.ratio;
    e.note =
        std::string(fa::reason(c.outcome)) + "; rapporto lungo la retta per l'origine (N e M crescenti in proporzione)";
    return e;
}

// The moments a column's minimum eccentricity asks for in one direction:
// the given one when not smaller, else the least one in its sign (both signs
// for a zero moment).
std::vector<double> raised(double M, double least) {
    if (std::fabs(M) >= least) return {M};
    if (M == 0) return {least, -least};
    return {std::copysign(least, M)};
}

// The moments My, Mz of one case at N of the combination c, raised by a column's minimum eccentricity.
Evaluation with_minimum_eccentricity(const Context& ctx, const Combination& c, double My, double Mz) {
    const bool column = ctx.in.member == MemberType::Column && c.N > 0;
    if (!column) return evaluate(ctx, c.N, My, Mz);
    // §4.1.2.3.4.2: e ≥ max(0.05·h, 20 mm) in each direction, one direction
    // at a time with the other moment as given; the worse case governs.
    const double e_y = std::max(0.05 * (ctx.z.hi - ctx.z.lo), 20.0);  // for My: h along z
    const double e_z = std::max(0.05 * (ctx.y.hi - ctx.y.lo), 20.0);  // for Mz: h along y
    const double least_y = c.N * e_y / 1000, least_z = c.N * e_z / 1000;
    struct Case {
        double My, Mz;
    };
    std::vector<Case> cases;
    for (double my : raised(My, least_y)) cases.push_back({my, Mz});
    for (double mz : raised(Mz, least_z)) cases.push_back({My, mz});
    std::optional<Evaluation> worst;
    for (const Case& k : cases) {
        Evaluation e = evaluate(ctx, c.N, k.My, k.Mz);
        if (!worst || e.ratio > worst->ratio) worst = std::move(e);
    }
    Evaluation e = std::move(*worst);
    std::string raise;
    if (e.My != My)
        raise = "My portato a " + format::decimal(e.My, 2) + " kNm (e = " + format::decimal(e_y, 1) + " mm)";
    if (e.Mz != Mz)
        raise = "Mz portato a " + format::decimal(e.Mz, 2) + " kNm (e = " + format::decimal(e_z, 1) + " mm)";
    const std::string text = "pilastro: eccentricità minima e = max(0,05·h; 20 mm)" +
                             (raise.empty() ? std::string(", momenti già maggiori di N·e") : ": " + raise);
    e.note = e.note.empty() ? text : text + "; " + e.note;
    e.details.push_back({"e_min_y", e_y, "mm"});
    e.details.push_back({"e_min_z", e_z, "mm"});
    return e;
}

struct MomentCase {
    double My, Mz;  // kNm
    std::string note;
};

std::vector<double> signs_of(double M) {
    return M == 0 ? std::vector<double>{1, -1} : std::vector<double>{M > 0 ? 1.0 : -1.0};
}

// The moments to check: the combination's own, or where a plane is slender
// its second-order design moment (slenderness.cpp), the imperfection in one
// slender plane at a time (EN 1992-1-1 §5.8.9(2)) and both signs of a zero
// first-order moment.
std::vector<MomentCase> design_moments(const Context& ctx, const Combination& c) {
    const std::optional<Slenderness> sy = slenderness_of(ctx, c, Coordinate::Z),
                                     sz = slenderness_of(ctx, c, Coordinate::Y);
    const bool slender_y = sy && sy->slender(), slender_z = sz && sz->slender();
    if (!slender_y && !slender_z) return {{c.My, c.Mz, ""}};
    std::vector<MomentCase> cases;
    for (Coordinate imperfect : {Coordinate::Z, Coordinate::Y}) {
        if (!(imperfect == Coordinate::Z ? slender_y : slender_z)) continue;
        for (double a : slender_y ? signs_of(c.My) : std::vector<double>{1})
            for (double b : slender_z ? signs_of(c.Mz) : std::vector<double>{1}) {
                MomentCase k{c.My, c.Mz, "pilastro snello (§4.1.2.3.9.2), curvatura nominale"};
                std::string terms;
                if (slender_y) {
                    k.My = second_order_moment(ctx, *sy, c.N, c.My, imperfect == Coordinate::Z, a, &terms);
                    k.note += "; " + terms;
                }
                if (slender_z) {
                    k.Mz = second_order_moment(ctx, *sz, c.N, c.Mz, imperfect == Coordinate::Y, b, &terms);
                    k.note += "; " + terms;
                }
                cases.push_back(std::move(k));
            }
    }
    return cases;
}

Evaluation check_combination(const Context& ctx, const Combination& c) {
    std::optional<Evaluation> worst;
    std::string note;
    for (const MomentCase& k : design_moments(ctx, c)) {
        Evaluation e = with_minimum_eccentricity(ctx, c, k.My, k.Mz);
        if (!worst || e.ratio > worst->ratio) worst = std::move(e), note = k.note;
    }
    if (!note.empty()) worst->note = worst->note.empty() ? note : note + "; " + worst->note;
    return std::move(*worst);
}

// (4.1.19) with α = 1, beside the exact ratio, for the record.
void biaxial_comparison(const Context& ctx, double N, Evaluation& e) {
    if (e.My == 0 || e.Mz == 0 || e.unit != "kNm") return;
    const fa::BiaxialCheck b = ctx.section.biaxial(N, e.My, e.Mz);
    if (!b.ratio_linear) return;
    e.details.push_back({"MRy", *b.MRy, "kNm"});
    e.details.push_back({"MRz", *b.MRz, "kNm"});
    e.details.push_back({"ratio_4_1_19", *b.ratio_linear, ""});
    const std::string text = "flessione deviata: rapporto esatto sul raggio; (4.1.19) con α = 1 darebbe " +
                             format::decimal(*b.ratio_linear, 3) + " (confronto)";
    e.note = e.note.empty() ? text : e.note + "; " + text;
}

}  // namespace

void check_bending(const Context& ctx, std::vector<CheckResult>& out) {
    for (const Combination& c : ctx.in.combinations) {
        if (!is_ultimate(c.kind)) continue;
        Evaluation e = check_combination(ctx, c);
        biaxial_comparison(ctx, c.N, e);
        CheckResult r =
            make_check(Check::Bending, kClause, &c, e.demand, e.capacity, e.unit, e.ratio, e.verified, e.note);
        r.details = std::move(e.details);
        out.push_back(std::move(r));
    }
}

}  // namespace ferrolit::verification
