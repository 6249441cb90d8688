// The concrete of a rectangular core confined by stirrups (§4.1.2.1.2.1 and
// its commentary C4.1.2.1.2.1; the effectiveness α = αn·αs as in §7.4.6.2.2).

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/errors.hpp"
#include "ferrolit/moment_curvature.hpp"

namespace ferrolit::analysis {

namespace {

struct Box {
    double y0 = 0, z0 = 0, y1 = 0, z1 = 0;
};

// The outline's box when the outline is a rectangle with sides along y and z.
Box rectangle_of(const Section& s) {
    const Ring& r = s.shape().outline;
    detail::require(s.shape().holes.empty() && r.size() == 4,
                    "confinamento: solo sezioni rettangolari piene, lati paralleli a y e z");
    Box b{r[0].y, r[0].z, r[0].y, r[0].z};
    for (const Point& p : r) {
        b.y0 = std::min(b.y0, p.y), b.y1 = std::max(b.y1, p.y);
        b.z0 = std::min(b.z0, p.z), b.z1 = std::max(b.z1, p.z);
    }
    for (const Point& p : r)
        detail::require((p.y == b.y0 || p.y == b.y1) && (p.z == b.z0 || p.z == b.z1),
                        "confinamento: solo sezioni rettangolari piene, lati paralleli a y e z");
    return b;
}

// Σ of the squared gaps between restrained bars along one face: the two end
// bars of the row (held by the stirrup's corners) and, for each inner leg, the
// bar nearest its even share of the row. Positions sorted ascending.
double face_gaps(std::vector<double> row, int legs, int& restrained) {
    if (row.size() < 2) return 0;
    std::sort(row.begin(), row.end());
    std::vector<double> held = {row.front(), row.back()};
    std::vector<bool> taken(row.size(), false);
    taken.front() = taken.back() = true;
    for (int k = 1; k + 1 < legs; ++k) {
        const double target = row.front() + k * (row.back() - row.front()) / (legs - 1);
        std::size_t best = row.size();
        for (std::size_t i = 0; i < row.size(); ++i)
            if (!taken[i] && (best == row.size() || std::fabs(row[i] - target) < std::fabs(row[best] - target)))
                best = i;
        if (best == row.size()) break;
        taken[best] = true;
        held.push_back(row[best]);
    }
    std::sort(held.begin(), held.end());
    double sum = 0;
    for (std::size_t i = 1; i < held.size(); ++i) sum += (held[i] - held[i - 1]) * (held[i] - held[i - 1]);
    restrained += static_cast<int>(held.size()) - 2;  // the corners are counted once, by the caller
    return sum;
}

// The bars of the outermost row on one side: within half the largest bar
// diameter of the extreme bar centre.
std::vector<double> row_of(const Section& s, bool along_y, bool at_max, double tolerance) {
    double extreme = at_max ? -1e300 : 1e300;
    for (const Bar& b : s.bars()) {
        const double c = along_y ? b.z : b.y;
        extreme = at_max ? std::max(extreme, c) : std::min(extreme, c);
    }
    std::vector<double> row;
    for (const Bar& b : s.bars())
        if (std::fabs((along_y ? b.z : b.y) - extreme) <= tolerance) row.push_back(along_y ? b.y : b.z);
    return row;
}

}  // namespace

ConfinedConcrete confined_concrete(const Section& s, const Stirrups& st, MaterialValues values) {
    const auto positive = [](double x) { return std::isfinite(x) && x > 0; };
    detail::require(positive(st.diameter) && positive(st.spacing), "staffe: diametro e passo devono essere positivi");
    detail::require(std::isfinite(st.cover) && st.cover >= 0, "staffe: il copriferro deve essere positivo o nullo");
    detail::require(st.legs_y >= 2 && st.legs_z >= 2 && st.legs_y <= 100 && st.legs_z <= 100,
                    "staffe: da 2 a 100 bracci in ciascuna direzione");
    const Box box = rectangle_of(s);
    ConfinedConcrete c;
    const double inset = st.cover + st.diameter / 2;
    c.b0 = box.y1 - box.y0 - 2 * inset;
    c.h0 = box.z1 - box.z0 - 2 * inset;
    detail::require(c.b0 > 0 && c.h0 > 0, "staffe: copriferro e diametro non lasciano un nucleo confinato");
    c.core_y = box.y0 + inset;
    c.core_z = box.z0 + inset;

    double largest_bar = 0;
    for (const Bar& b : s.bars()) largest_bar = std::max(largest_bar, std::sqrt(4 * b.area / std::numbers::pi));
    const double tol = largest_bar / 2;
    c.restrained_bars = 4;
    for (const bool at_max : {false, true}) {
        c.sum_bi2 += face_gaps(row_of(s, true, at_max, tol), st.legs_z, c.restrained_bars);
        c.sum_bi2 += face_gaps(row_of(s, false, at_max, tol), st.legs_y, c.restrained_bars);
    }
    c.restrained_bars = std::min<int>(c.restrained_bars, static_cast<int>(s.bars().size()));

    const Concrete& k = s.concrete();
    const Steel& steel = s.steel();
    const double leg = std::numbers::pi * st.diameter * st.diameter / 4;
    c.alpha_n = std::max(0.0, 1 - c.sum_bi2 / (6 * c.b0 * c.h0));
    c.alpha_s = std::max(0.0, (1 - st.spacing / (2 * c.b0))) * std::max(0.0, (1 - st.spacing / (2 * c.h0)));
    c.alpha = c.alpha_n * c.alpha_s;
    const double sigma_y = st.legs_y * leg * steel.fyk / (st.spacing * c.h0);
    const double sigma_z = st.legs_z * leg * steel.fyk / (st.spacing * c.b0);
    c.sigma_l = std::sqrt(sigma_y * sigma_z);
    c.sigma_2 = c.alpha * c.sigma_l;
    c.fc = values == MaterialValues::Design ? k.fck : k.fcm;
    c.fc_c = c.sigma_2 <= 0.05 * c.fc ? c.fc * (1 + 5 * c.sigma_2 / c.fc) : c.fc * (1.125 + 2.5 * c.sigma_2 / c.fc);
    c.eps_c2_c = k.eps_c2 * (c.fc_c / c.fc) * (c.fc_c / c.fc);
    c.eps_cu_c = k.eps_cu + 0.2 * c.sigma_2 / c.fc;
    const double volume_ratio = leg * (st.legs_y * c.b0 + st.legs_z * c.h0) / (c.b0 * c.h0 * st.spacing);
    c.omega_wd = volume_ratio * steel.fyd() / k.fcd();
    return c;
}

}  // namespace ferrolit::analysis
