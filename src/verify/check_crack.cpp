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

#include "verify/checks.hpp"
#include "verify/format.hpp"

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
    if (in.wk_limit) return "limite assegnato wk_lim = " + it_number(*in.wk_limit) + " mm";
    return std::string("Tab. 4.1.IV: ambiente ") + environment_name(in.environment) + ", combinazione " +
           (kind == CombinationKind::Frequent ? "frequente" : "quasi permanente") + ", armature " +
           (in.sensitive_bars ? "sensibili" : "poco sensibili") + ": " + req.name +
           (req.state == State::Width ? " = " + it_number(req.w) + " mm" : "");
}

// The largest concrete tension of the uncracked homogenised section (MPa,
// tension positive; negative when the whole section is compressed).
double uncracked_tension(const Context& ctx, const Combination& c) {
    fa::ServiceOptions options;
    options.alpha_e = ctx.in.alpha_e;
    options.allow_uncracked = true;
    options.f_ct = std::numeric_limits<double>::max();
    const fa::ServiceState s = ctx.section.service(c.N, c.My, c.Mz, options);
    const double Ec = ctx.Es / ctx.in.alpha_e;
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

Width crack_width(const Context& ctx, const Combination& c) {
    const fa::ServiceState& s = ctx.cracked_state(c);
    const VerificationInput& in = ctx.in;
    Width out;
    // The most tensioned bar.
    double sigma_s = 0;
    for (const fa::BarState& b : s.bars) sigma_s = std::min(sigma_s, b.stress);
    sigma_s = -sigma_s;
    if (sigma_s <= 0) {
        out.note = "nessuna barra tesa nella sezione fessurata";
        return out;
    }
    // Depths along the direction of bending from the most compressed fibre.
    const double theta = s.angle * std::numbers::pi / 180;
    const double uy = std::sin(theta), uz = std::cos(theta);
    double u_max = -INFINITY, u_min = INFINITY;
    for (const fa::Point& p : ctx.shape().outline) {
        u_max = std::max(u_max, uy * p.y + uz * p.z);
        u_min = std::min(u_min, uy * p.y + uz * p.z);
    }
    const double h = u_max - u_min;
    auto depth = [&](double y, double z) { return u_max - (uy * y + uz * z); };
    const bool all_in_tension = !s.neutral_axis_depth || *s.neutral_axis_depth <= 0;
    const double x = all_in_tension ? 0.0 : *s.neutral_axis_depth;
    // The tensioned bars and, by iteration, the effective tension area at
    // the most tensioned face with d at the centroid of the bars inside it.
    std::vector<std::size_t> tensioned;
    double d = 0;
    for (std::size_t i = 0; i < s.bars.size(); ++i)
        if (s.bars[i].stress < 0) {
            tensioned.push_back(i);
            d = std::max(d, depth(ctx.bars[i].y, ctx.bars[i].z));
        }
    double hc = 0;
    std::vector<std::size_t> zone;
    for (int pass = 0; pass < 20; ++pass) {
        hc = all_in_tension ? std::min(2.5 * (h - d), h / 2) : std::min({2.5 * (h - d), (h - x) / 3, h / 2});
        zone.clear();
        double area = 0, moment = 0;
        for (std::size_t i : tensioned) {
            const double t = depth(ctx.bars[i].y, ctx.bars[i].z);
            if (t >= h - hc - 1e-9 * h) {
                zone.push_back(i);
                area += ctx.bars[i].area;
                moment += ctx.bars[i].area * t;
            }
        }
        if (zone.empty() || std::fabs(moment / area - d) <= 1e-9 * h) break;
        d = moment / area;
    }
    const double Ac_eff = area_where(ctx.shape(), u_min + hc, -uy, -uz);
    // c: the clear cover of the tensioned bars, the least distance from a
    // bar of the zone to the concrete's edge less its radius.
    double As = 0, sum_phi = 0, sum_phi2 = 0, cover = INFINITY;
    for (std::size_t i : zone) {
        const PlacedBar& b = ctx.bars[i];
        As += b.area;
        sum_phi += b.diameter;
        sum_phi2 += b.diameter * b.diameter;
        cover = std::min(cover, distance_to_edge(ctx.shape(), {b.y, b.z}) - b.diameter / 2);
    }
    if (zone.empty()) cover = 0;
    const double rho = Ac_eff > 0 ? As / Ac_eff : 0;
    const double phi = sum_phi > 0 ? sum_phi2 / sum_phi : 0;  // equivalent diameter, EN 1992-1-1 (7.12)
    // The widest gap between neighbouring bars of the zone, across the direction of bending.
    std::vector<double> across;
    for (std::size_t i : zone) across.push_back(uz * ctx.bars[i].y - uy * ctx.bars[i].z);
    std::sort(across.begin(), across.end());
    double spacing = 0;
    for (std::size_t i = 1; i < across.size(); ++i) spacing = std::max(spacing, across[i] - across[i - 1]);

    const double kt = factor(in.kt, c.kind == CombinationKind::Frequent ? 0.6 : 0.4);
    const double k1 = factor(in.k1, 0.8), k3 = factor(in.k3, 3.4), k4 = factor(in.k4, 0.425);
    // k2: 0.5 in bending; (ε1 + ε2)/(2·ε1) for a section wholly in tension.
    double k2 = 0.5;
    if (all_in_tension) {
        double e_hi = -INFINITY, e_lo = INFINITY;
        for (const fa::Point& p : ctx.shape().outline) {
            const double e = s.plane.eps_g + s.plane.chi_y * (p.z - ctx.G.z) + s.plane.chi_z * (p.y - ctx.G.y);
            e_hi = std::max(e_hi, e), e_lo = std::min(e_lo, e);
        }
        const double e1 = -e_lo, e2 = std::max(0.0, -e_hi);
        k2 = e1 > 0 ? (e1 + e2) / (2 * e1) : 1.0;
    }
    k2 = factor(in.k2, k2);
    const double alpha_e = ctx.Es / ctx.Ecm;
    const double floor = 0.6 * sigma_s / ctx.Es;
    const double strain =
        rho > 0 ? std::max((sigma_s - kt * ctx.fctm / rho * (1 + alpha_e * rho)) / ctx.Es, floor) : floor;
    const bool wide = zone.empty() || (zone.size() > 1 && spacing > 5 * (cover + phi / 2));
    const double sr = wide ? 1.3 * (h - x) : k3 * cover + k1 * k2 * k4 * phi / rho;
    out.wk = sr * strain;
    out.note =
        std::string("sezione fessurata: wk = sr,max·(εsm − εcm), ") +
        (wide ? "sr,max = 1,3·(h − x) (barre più distanti di 5·(c + φ/2))" : "sr,max = k3·c + k1·k2·k4·φ/ρp,eff") +
        ", σs = " + it_fixed(sigma_s, 1) + " MPa";
    out.details = {{"sigma_s", sigma_s, "MPa"},
                   {"x", x, "mm"},
                   {"h", h, "mm"},
                   {"d", d, "mm"},
                   {"hc_eff", hc, "mm"},
                   {"Ac_eff", Ac_eff, "mm²"},
                   {"As_eff", As, "mm²"},
                   {"rho_p_eff", rho, ""},
                   {"phi_eq", phi, "mm"},
                   {"c", cover, "mm"},
                   {"spacing", spacing, "mm"},
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
    const std::string tension_text = "σt = " + it_fixed(sigma_t, 2) + " MPa sulla sezione non fessurata";
    if (req.state == State::Decompression) {
        // Ratio 1 + σt/fctm: at most 1 while no fibre is in tension.
        CheckResult r = make_check(
            "crack_width", "§4.1.2.2.4.2", &c, sigma_t, 0.0, "MPa", std::max(0.0, 1 + sigma_t / ctx.fctm), sigma_t <= 0,
            "stato limite di decompressione: " + tension_text + " ≤ 0 (rapporto 1 + σt/fctm); " + limit);
        r.details = {{"sigma_t", sigma_t, "MPa"}, {"fctm", ctx.fctm, "MPa"}};
        return r;
    }
    if (req.state == State::Formation) {
        const double allowed = ctx.fctm / 1.2;
        CheckResult r = make_check(
            "crack_width", "§4.1.2.2.4.3", &c, sigma_t, allowed, "MPa", std::max(0.0, sigma_t) / allowed,
            sigma_t <= allowed, "stato limite di formazione delle fessure: " + tension_text + " ≤ fctm/1,2; " + limit);
        r.details = {{"sigma_t", sigma_t, "MPa"}, {"fctm", ctx.fctm, "MPa"}};
        return r;
    }
    if (sigma_t <= ctx.fctm) {
        CheckResult r = make_check(
            "crack_width", "§4.1.2.2.4", &c, 0.0, req.w, "mm", 0, true,
            "sezione non fessurata: " + tension_text + " ≤ fctm = " + it_fixed(ctx.fctm, 2) + " MPa, wk = 0; " + limit);
        r.details = {{"sigma_t", sigma_t, "MPa"}, {"fctm", ctx.fctm, "MPa"}};
        return r;
    }
    Width w = crack_width(ctx, c);
    CheckResult r = make_check("crack_width", "§4.1.2.2.4; C4.1.2.2.4 (EN 1992-1-1 §7.3.4)", &c, w.wk, req.w, "mm",
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
