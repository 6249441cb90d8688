// Cracking (§4.1.2.2.4) under the frequent and quasi-permanent
// combinations. The state required by Table 4.1.IV for the environment, the
// combination and the bars' sensitivity: decompression, crack formation, or
// a crack width within w1, w2 or w3. The width by the commentary's method
// (C4.1.2.2.4, that of EN 1992-1-1 §7.3.4) on the engine's cracked section,
// axial force included:
//   wk = sr,max·(εsm − εcm),
//   εsm − εcm = [σs − kt·fctm/ρp,eff·(1 + αe·ρp,eff)]/Es ≥ 0.6·σs/Es, αe = Es/Ecm,
//   sr,max = k3·c + k1·k2·k4·φ/ρp,eff, or 1.3·(h − x) for bars wider apart than 5·(c + φ/2).

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "ferrolit/format.hpp"
#include "verify/checks/checks.hpp"

namespace ferrolit::verification {

namespace {

namespace fa = ferrolit::analysis;

enum class State { Width, Decompression, Formation };
struct Requirement {
    State state = State::Width;
    double w = 0;           // mm, for a width
    const char* name = "";  // "w1", ...
};
constexpr Requirement w1{State::Width, 0.2, "w1"}, w2{State::Width, 0.3, "w2"}, w3{State::Width, 0.4, "w3"};
constexpr Requirement decompression{State::Decompression, 0, "decompressione"};
constexpr Requirement formation{State::Formation, 0, "formazione delle fessure"};

// Table 4.1.IV: by environment and combination, for sensitive and for
// ordinary (little sensitive) bars.
struct TableRow {
    Environment environment;
    CombinationKind kind;
    Requirement sensitive, ordinary;
};
constexpr TableRow kTable[] = {
    {Environment::Ordinary, CombinationKind::Frequent, w2, w3},
    {Environment::Ordinary, CombinationKind::QuasiPermanent, w1, w2},
    {Environment::Aggressive, CombinationKind::Frequent, w1, w2},
    {Environment::Aggressive, CombinationKind::QuasiPermanent, decompression, w1},
    {Environment::VeryAggressive, CombinationKind::Frequent, formation, w1},
    {Environment::VeryAggressive, CombinationKind::QuasiPermanent, decompression, w1},
};

Requirement requirement_of(const VerificationInput& in, CombinationKind kind) {
    if (in.wk_limit) return {State::Width, *in.wk_limit, "wk_lim"};
    for (const TableRow& row : kTable)
        if (row.environment == in.environment && row.kind == kind)
            return in.sensitive_bars ? row.sensitive : row.ordinary;
    return w3;
}

std::string limit_note(const VerificationInput& in, CombinationKind kind, const Requirement& req) {
    if (in.wk_limit) return "limite assegnato wk_lim = " + format::significant(*in.wk_limit) + " mm";
    return std::string("Tab. 4.1.IV: ambiente ") + environment_name(in.environment) + ", combinazione " +
           (kind == CombinationKind::Frequent ? "frequente" : "quasi permanente") + ", armature " +
           (in.sensitive_bars ? "sensibili" : "poco sensibili") + ": " + req.name +
           (req.state == State::Width ? " = " + format::significant(req.w) + " mm" : "");
}

// The largest concrete tension of the uncracked homogenised section (MPa,
// tension positive; negative when the whole section is compressed), with
// the concrete's own modulus, αe = Es/Ecm, as in the width's formula: the
// conventional αe = 15 of the stress checks, standing for creep, stiffens
// the bars and lowers the tension that decides whether the section cracks.
double uncracked_tension(const Context& ctx, const Combination& c) {
    fa::ServiceOptions options;
    options.alpha_e = ctx.Es / ctx.Ecm;
    options.allow_uncracked = true;
    options.f_ct = std::numeric_limits<double>::max();
    const fa::ServiceState s = ctx.section.service(c.N, c.My, c.Mz, options);
    const double Ec = ctx.Ecm;
    double least = std::numeric_limits<double>::infinity();
    for (const fa::Point& p : ctx.shape().outline)
        least = std::min(least, s.plane.eps_g + s.plane.chi_y * (p.z - ctx.G.z) + s.plane.chi_z * (p.y - ctx.G.y));
    return -Ec * least;
}

struct Width {
    double wk = 0;
    std::string note;
    std::vector<Detail> details;
};

double factor(const std::optional<double>& given, double code) { return given.value_or(code); }

// Depths along the direction of bending θ, from the most compressed fibre:
// u = (sin θ, cos θ) points to the compressed side.
struct Depths {
    double uy = 0, uz = 1, u_max = 0, u_min = 0;
    double h() const { return u_max - u_min; }
    double of(double y, double z) const { return u_max - (uy * y + uz * z); }
};

Depths depths_of(const Context& ctx, const fa::ServiceState& s) {
    const double theta = s.angle * std::numbers::pi / 180;
    Depths d{std::sin(theta), std::cos(theta), -INFINITY, INFINITY};
    for (const fa::Point& p : ctx.shape().outline) {
        d.u_max = std::max(d.u_max, d.uy * p.y + d.uz * p.z);
        d.u_min = std::min(d.u_min, d.uy * p.y + d.uz * p.z);
    }
    return d;
}

// The effective tension area at the most tensioned face and the bars in it.
struct Zone {
    double hc = 0, d = 0, Ac_eff = 0, As = 0, rho = 0, phi = 0, cover = 0, spacing = 0;
    std::vector<std::size_t> bars;
};

// hc,eff = min(2.5·(h − d), (h − x)/3, h/2) (a section wholly in tension:
// min(2.5·(h − d), h/2)), with d at the centroid of the tensioned bars inside
// it: from the deepest tensioned bar, repeated until d stays.
Zone effective_zone(const Context& ctx, const fa::ServiceState& s, const Depths& at, double x, bool all_in_tension) {
    const double h = at.h();
    std::vector<std::size_t> tensioned;
    Zone z;
    for (std::size_t i = 0; i < s.bars.size(); ++i)
        if (s.bars[i].stress < 0) {
            tensioned.push_back(i);
            z.d = std::max(z.d, at.of(ctx.bars[i].y, ctx.bars[i].z));
        }
    for (int pass = 0; pass < 20; ++pass) {
        z.hc = all_in_tension ? std::min(2.5 * (h - z.d), h / 2) : std::min({2.5 * (h - z.d), (h - x) / 3, h / 2});
        z.bars.clear();
        double area = 0, moment = 0;
        for (std::size_t i : tensioned) {
            const double t = at.of(ctx.bars[i].y, ctx.bars[i].z);
            if (t < h - z.hc - 1e-9 * h) continue;
            z.bars.push_back(i);
            area += ctx.bars[i].area;
            moment += ctx.bars[i].area * t;
        }
        if (z.bars.empty() || std::fabs(moment / area - z.d) <= 1e-9 * h) break;
        z.d = moment / area;
    }
    z.Ac_eff = area_where(ctx.shape(), at.u_min + z.hc, -at.uy, -at.uz);
    // φ: the equivalent diameter Σφ²/Σφ (EN 1992-1-1 (7.12)); c: the least
    // clear cover at the tensioned face, where the width is measured: a
    // bar's distance from the most tensioned fibre's line less its radius
    // (a side face's cover, or a slab strip's cut, does not count).
    double sum_phi = 0, sum_phi2 = 0;
    z.cover = z.bars.empty() ? 0 : INFINITY;
    std::vector<double> across;
    for (std::size_t i : z.bars) {
        const PlacedBar& b = ctx.bars[i];
        z.As += b.area;
        sum_phi += b.diameter;
        sum_phi2 += b.diameter * b.diameter;
        z.cover = std::min(z.cover, h - at.of(b.y, b.z) - b.diameter / 2);
        across.push_back(at.uz * b.y - at.uy * b.z);
    }
    z.rho = z.Ac_eff > 0 ? z.As / z.Ac_eff : 0;
    z.phi = sum_phi > 0 ? sum_phi2 / sum_phi : 0;
    // The widest gap between neighbouring bars, across the direction of bending.
    std::sort(across.begin(), across.end());
    for (std::size_t i = 1; i < across.size(); ++i) z.spacing = std::max(z.spacing, across[i] - across[i - 1]);
    return z;
}

// k2: 0.5 in bending; (ε1 + ε2)/(2·ε1) for a section wholly in tension, ε1
// the larger and ε2 the smaller tensile strain at its edges.
double k2_of(const Context& ctx, const fa::ServiceState& s, bool all_in_tension) {
    if (!all_in_tension) return 0.5;
    double e_hi = -INFINITY, e_lo = INFINITY;
    for (const fa::Point& p : ctx.shape().outline) {
        const double e = s.plane.eps_g + s.plane.chi_y * (p.z - ctx.G.z) + s.plane.chi_z * (p.y - ctx.G.y);
        e_hi = std::max(e_hi, e), e_lo = std::min(e_lo, e);
    }
    const double e1 = -e_lo, e2 = std::max(0.0, -e_hi);
    return e1 > 0 ? (e1 + e2) / (2 * e1) : 1.0;
}

Width crack_width(const Context& ctx, const Combination& c) {
    const fa::ServiceState& s = ctx.cracked_state(c);
    const VerificationInput& in = ctx.in;
    Width out;
    double sigma_s = 0;  // of the most tensioned bar, tension positive
    for (const fa::BarState& b : s.bars) sigma_s = std::max(sigma_s, -b.stress);
    if (sigma_s <= 0) {
        out.note = "nessuna barra tesa nella sezione fessurata";
        return out;
    }
    const Depths at = depths_of(ctx, s);
    const bool all_in_tension = !s.neutral_axis_depth || *s.neutral_axis_depth <= 0;
    const double x = all_in_tension ? 0.0 : *s.neutral_axis_depth, h = at.h();
    const Zone z = effective_zone(ctx, s, at, x, all_in_tension);
    const double kt = factor(in.kt, c.kind == CombinationKind::Frequent ? 0.6 : 0.4);
    const double k1 = factor(in.k1, 0.8), k2 = factor(in.k2, k2_of(ctx, s, all_in_tension));
    const double k3 = factor(in.k3, 3.4), k4 = factor(in.k4, 0.425);
    const double alpha_e = ctx.Es / ctx.Ecm;
    const double floor = 0.6 * sigma_s / ctx.Es;
    const double strain =
        z.rho > 0 ? std::max((sigma_s - kt * ctx.fctm / z.rho * (1 + alpha_e * z.rho)) / ctx.Es, floor) : floor;
    const bool wide = z.bars.empty() || (z.bars.size() > 1 && z.spacing > 5 * (z.cover + z.phi / 2));
    const double sr = wide ? 1.3 * (h - x) : k3 * z.cover + k1 * k2 * k4 * z.phi / z.rho;
    out.wk = sr * strain;
    out.note =
        std::string("sezione fessurata: wk = sr,max·(εsm − εcm), ") +
        (wide ? "sr,max = 1,3·(h − x) (barre più distanti di 5·(c + φ/2))" : "sr,max = k3·c + k1·k2·k4·φ/ρp,eff") +
        ", σs = " + format::decimal(sigma_s, 1) + " MPa";
    out.details = {{"sigma_s", sigma_s, "MPa"},
                   {"x", x, "mm"},
                   {"h", h, "mm"},
                   {"d", z.d, "mm"},
                   {"hc_eff", z.hc, "mm"},
                   {"Ac_eff", z.Ac_eff, "mm²"},
                   {"As_eff", z.As, "mm²"},
                   {"rho_p_eff", z.rho, ""},
                   {"phi_eq", z.phi, "mm"},
                   {"c", z.cover, "mm"},
                   {"spacing", z.spacing, "mm"},
                   {"sr_max", sr, "mm"},
                   {"eps_sm_minus_eps_cm", strain, ""},
                   {"kt", kt, ""},
                   {"k1", k1, ""},
                   {"k2", k2, ""},
                   {"k3", k3, ""},
                   {"k4", k4, ""},
                   {"alpha_e", alpha_e, ""}};
    return out;
}

CheckResult check_one(const Context& ctx, const Combination& c) {
    const Requirement req = requirement_of(ctx.in, c.kind);
    const std::string limit = limit_note(ctx.in, c.kind, req);
    const double sigma_t = uncracked_tension(ctx, c);
    const std::string tension_text = "σt = " + format::decimal(sigma_t, 2) + " MPa sulla sezione non fessurata";
    if (req.state == State::Decompression) {
        // Ratio 1 + σt/fctm: at most 1 while no fibre is in tension.
        CheckResult r = make_check(
            Check::CrackWidth, "§4.1.2.2.4.2", &c, sigma_t, 0.0, "MPa", std::max(0.0, 1 + sigma_t / ctx.fctm),
            sigma_t <= 0, "stato limite di decompressione: " + tension_text + " ≤ 0 (rapporto 1 + σt/fctm); " + limit);
        r.details = {{"sigma_t", sigma_t, "MPa"}, {"fctm", ctx.fctm, "MPa"}};
        return r;
    }
    if (req.state == State::Formation) {
        const double allowed = ctx.fctm / 1.2;
        CheckResult r = make_check(
            Check::CrackWidth, "§4.1.2.2.4.3", &c, sigma_t, allowed, "MPa", std::max(0.0, sigma_t) / allowed,
            sigma_t <= allowed, "stato limite di formazione delle fessure: " + tension_text + " ≤ fctm/1,2; " + limit);
        r.details = {{"sigma_t", sigma_t, "MPa"}, {"fctm", ctx.fctm, "MPa"}};
        return r;
    }
    if (sigma_t <= ctx.fctm) {
        CheckResult r = make_check(Check::CrackWidth, "§4.1.2.2.4", &c, 0.0, req.w, "mm", 0, true,
                                   "sezione non fessurata: " + tension_text +
                                       " ≤ fctm = " + format::decimal(ctx.fctm, 2) + " MPa, wk = 0; " + limit);
        r.details = {{"sigma_t", sigma_t, "MPa"}, {"fctm", ctx.fctm, "MPa"}};
        return r;
    }
    Width w = crack_width(ctx, c);
    CheckResult r = make_check(Check::CrackWidth, "§4.1.2.2.4; C4.1.2.2.4 (EN 1992-1-1 §7.3.4)", &c, w.wk, req.w, "mm",
                               ratio_of(w.wk, req.w), w.wk <= req.w, w.note + "; " + limit);
    r.details = std::move(w.details);
    r.details.push_back({"sigma_t", sigma_t, "MPa"});
    return r;
}

}  // namespace

void check_cracks(const Context& ctx, std::vector<CheckResult>& out) {
    for (const Combination& c : ctx.in.combinations)
        if (c.kind == CombinationKind::Frequent || c.kind == CombinationKind::QuasiPermanent)
            out.push_back(check_one(ctx, c));
}

}  // namespace ferrolit::verification
