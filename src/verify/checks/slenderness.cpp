// The slenderness check (§4.1.2.3.9.2) and the nominal curvature that the
// bending check adds for a slender plane (EN 1992-1-1 §5.8.8, as the
// commentary C4.1.2.3.9.2 allows).

#include "verify/checks/slenderness.hpp"

#include <algorithm>
#include <cmath>

#include "ferrolit/format.hpp"

namespace ferrolit::verification {

namespace {

constexpr const char* kClause = "§4.1.2.3.9.2";

// Radius of gyration (mm) of the gross concrete section for bending in a
// plane: about the centroidal axis across the coordinate.
double radius_of_gyration(const Context& ctx, Coordinate plane) {
    analysis::AreaMoments m = analysis::area_moments(ctx.shape().outline);
    for (const analysis::Ring& hole : ctx.shape().holes) m += analysis::area_moments(hole);
    const double g = coordinate_of(ctx.G, plane);
    const double second = plane == Coordinate::Z ? m.Izz : m.Iyy;  // ∫z² dA or ∫y² dA about the origin
    return std::sqrt(std::max(second / m.A - g * g, 0.0));
}

// d = h/2 + i_s (EN 1992-1-1 §5.8.8.3(2)), i_s the radius of gyration of all the bars about the centroid.
double curvature_depth(const Context& ctx, Coordinate plane, double& As) {
    const double g = coordinate_of(ctx.G, plane);
    double second = 0;
    As = 0;
    for (const PlacedBar& b : ctx.bars) {
        const double r = (plane == Coordinate::Z ? b.z : b.y) - g;
        As += b.area;
        second += b.area * r * r;
    }
    const Extent e = ctx.extent_of(plane);
    return (e.hi - e.lo) / 2 + (As > 0 ? std::sqrt(second / As) : 0);
}

const char* plane_name(Coordinate plane) { return plane == Coordinate::Z ? "piano di My" : "piano di Mz"; }
const char* length_key(Coordinate plane) { return plane == Coordinate::Z ? "l0_y" : "l0_z"; }

std::string num(double v, int places) { return format::decimal(v, places); }

}  // namespace

std::optional<Slenderness> slenderness_of(const Context& ctx, const Combination& c, Coordinate plane) {
    const std::optional<double>& l0 = plane == Coordinate::Z ? ctx.in.effective_length_y : ctx.in.effective_length_z;
    if (!l0) return std::nullopt;
    Slenderness s;
    s.plane = plane;
    s.l0 = *l0;
    s.i = radius_of_gyration(ctx, plane);
    s.lambda = s.l0 / s.i;
    s.nu = c.N * 1e3 / (ctx.Ac * ctx.fcd);
    s.C = std::clamp(1.7 - ctx.in.end_moment_ratio, 0.7, 2.7);
    if (c.N <= 0) return s;
    s.lambda_lim = 15.4 * s.C / std::sqrt(s.nu);
    if (!s.slender()) return s;
    double As = 0;
    s.d = curvature_depth(ctx, plane, As);
    s.e_i = s.l0 / 400;
    s.omega = As * ctx.fyd / (ctx.Ac * ctx.fcd);
    s.K_r = std::clamp((1 + s.omega - s.nu) / (1 + s.omega - 0.4), 0.0, 1.0);
    s.beta = 0.35 + ctx.fck / 200 - s.lambda / 150;
    s.K_phi = std::max(1.0, 1 + s.beta * ctx.in.creep_ratio);
    s.curvature = s.K_r * s.K_phi * (ctx.fyd / ctx.Es) / (0.45 * s.d);
    s.c = ctx.in.end_moment_ratio == 1 ? 8 : 10;
    s.e2 = s.curvature * s.l0 * s.l0 / s.c;
    s.M2 = c.N * s.e2 / 1e3;
    return s;
}

double second_order_moment(const Context& ctx, const Slenderness& s, double N, double M, bool imperfection, double sign,
                           std::string* note) {
    const double rm = ctx.in.end_moment_ratio;
    const double Ne = imperfection ? N * s.e_i / 1e3 : 0;
    const double M02 = std::fabs(M) + Ne, M01 = rm * std::fabs(M) + Ne;
    const double M0e = std::max(0.6 * M02 + 0.4 * M01, 0.4 * M02);
    const double design = std::max({M02, M0e + s.M2, M01 + s.M2 / 2});
    if (note != nullptr) {
        *note = std::string(plane_name(s.plane)) + ": λ = l0/i = " + num(s.l0, 0) + "/" + num(s.i, 1) + " = " +
                num(s.lambda, 1) + " > λ_lim = " + num(*s.lambda_lim, 1) + "; " +
                (imperfection ? "e_i = l0/400 = " + num(s.e_i, 1) + " mm (EN 1992-1-1 §5.2(7)), "
                              : std::string("imperfezione nell'altro piano, ")) +
                "M02 = " + num(M02, 2) + " kNm, M01 = " + (imperfection ? "rm·|M| + N·e_i = " : "rm·|M| = ") +
                num(M01, 2) + " kNm, M0e = " + num(M0e, 2) + " kNm; 1/r = Kr·Kφ·εyd/(0,45·d) = " + num(s.K_r, 3) + "·" +
                num(s.K_phi, 3) + "·" + num(ctx.fyd / ctx.Es * 1e3, 3) + "‰/(0,45·" + num(s.d, 1) +
                ") = " + num(s.curvature * 1e6, 2) + "·10⁻⁶ 1/mm (ω = " + num(s.omega, 3) + ", ν = " + num(s.nu, 3) +
                ", β = " + num(s.beta, 3) + ", φef = " + num(ctx.in.creep_ratio, 2) +
                "); e2 = (1/r)·l0²/c = " + num(s.e2, 1) + " mm (c = " + num(s.c, 0) + "); M2 = N·e2 = " + num(s.M2, 2) +
                " kNm; M_Ed = max(M02; M0e + M2; M01 + M2/2) = " + num(design, 2) + " kNm (EN 1992-1-1 §5.8.8.2)";
    }
    return std::copysign(design, sign);
}

// One entry per ultimate combination and plane with an effective length: λ
// against λ_lim. A slender plane is no fault in itself: its entry stands or
// falls with the bending check of the same combination, which then holds the
// second-order moment, and takes that check's ratio.
void check_slenderness(const Context& ctx, std::vector<CheckResult>& out) {
    const std::size_t bending_end = out.size();
    for (const Combination& c : ctx.in.combinations) {
        if (!is_ultimate(c.kind)) continue;
        for (Coordinate plane : {Coordinate::Z, Coordinate::Y}) {
            const std::optional<Slenderness> s = slenderness_of(ctx, c, plane);
            if (!s) continue;
            std::string head = std::string(plane_name(plane)) + ": λ = " + length_key(plane) + "/i = " + num(s->l0, 0) +
                               "/" + num(s->i, 1) + " = " + num(s->lambda, 1);
            std::vector<Detail> details = {{"l0", s->l0, "mm"}, {"i", s->i, "mm"}, {"lambda", s->lambda, ""}};
            if (!s->lambda_lim) {
                CheckResult r =
                    make_check(Check::Slenderness, kClause, &c, s->lambda, std::nullopt, "", 0, true,
                               head + "; N_Ed ≤ 0: nessuna compressione, nessun effetto del secondo ordine");
                r.details = std::move(details);
                out.push_back(std::move(r));
                continue;
            }
            details.push_back({"nu", s->nu, ""});
            details.push_back({"C", s->C, ""});
            details.push_back({"lambda_lim", *s->lambda_lim, ""});
            head += "; λ_lim = 15,4·C/√ν = 15,4·" + num(s->C, 2) + "/√" + num(s->nu, 3) + " = " +
                    num(*s->lambda_lim, 1) + " (C = 1,7 − rm entro 0,7…2,7, ν = N_Ed/(Ac·fcd))";
            double ratio = s->lambda / *s->lambda_lim;
            bool verified = true;
            if (s->slender()) {
                for (std::size_t k = 0; k < bending_end; ++k)
                    if (out[k].id == check_id(Check::Bending) && out[k].combination == c.name)
                        ratio = out[k].ratio, verified = out[k].verified;
                for (const Detail& d : std::initializer_list<Detail>{{"e_i", s->e_i, "mm"},
                                                                     {"d", s->d, "mm"},
                                                                     {"K_r", s->K_r, ""},
                                                                     {"K_phi", s->K_phi, ""},
                                                                     {"curvature", s->curvature, "1/mm"},
                                                                     {"e2", s->e2, "mm"},
                                                                     {"M2", s->M2, "kNm"}})
                    details.push_back(d);
                head +=
                    "; λ > λ_lim: pilastro snello, la verifica a flessione include e_i e M2 = N·e2 = " + num(s->M2, 2) +
                    " kNm (e2 = " + num(s->e2, 1) + " mm); rapporto e esito della verifica a flessione";
            } else {
                head += "; λ ≤ λ_lim: effetti del secondo ordine trascurabili";
            }
            CheckResult r =
                make_check(Check::Slenderness, kClause, &c, s->lambda, *s->lambda_lim, "", ratio, verified, head);
            r.details = std::move(details);
            out.push_back(std::move(r));
        }
    }
}

}  // namespace ferrolit::verification
