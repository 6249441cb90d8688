// A checked section: geometry about the centroid of the gross polygon,
// design laws, and the two ends of the ultimate path (N_Rd,min, N_Rd,max).

#include <cmath>
#include <numbers>
#include <string>

#include "analysis/errors.hpp"
#include "analysis/geometry.hpp"
#include "analysis/path.hpp"
#include "core/numeric.hpp"

namespace ferrolit::analysis {

namespace {

// Most bars a section may have, so that no input makes a call slow.
constexpr std::size_t kMostBars = 10000;

Ring shifted(const Ring& ring, Point by) {
    Ring out(ring);
    for (Point& p : out) p.y -= by.y, p.z -= by.z;
    return out;
}

void locate_bars(detail::SectionData& d) {
    const std::size_t n = d.bars.size();
    if (n == 0) detail::fail("armatura: nessuna barra (ne serve almeno una)");
    if (n > kMostBars) detail::fail("armatura: troppe barre (al massimo 10000)");
    const double tolerance = 1e-9 * d.size;
    for (std::size_t i = 0; i < n; ++i) {
        const Bar& b = d.bars[i];
        if (!std::isfinite(b.y) || !std::isfinite(b.z)) throw BarError(i, "coordinate non finite");
        if (!std::isfinite(b.area) || b.area <= 0) throw BarError(i, "l'area deve essere un numero positivo");
        const Point at{b.y - d.centroid.y, b.z - d.centroid.z};
        bool inside = detail::locate(d.rings[0], at, tolerance) == detail::Location::Inside;
        for (std::size_t h = 1; inside && h < d.rings.size(); ++h)
            inside = detail::locate(d.rings[h], at, tolerance) == detail::Location::Outside;
        if (!inside) throw BarError(i, "non è all'interno del calcestruzzo");
        d.bar_at.push_back(at);
        d.bar_area.push_back(b.area);
        d.bar_area_total += b.area;
    }
}

}  // namespace

BarError::BarError(std::size_t index, const std::string& problem)
    : Error(ErrorKind::InvalidOperation, "barra " + std::to_string(index + 1) + ": " + problem),
      index_(index),
      problem_(problem) {}

const char* reason(Outcome outcome) {
    switch (outcome) {
        case Outcome::Found:
            return "";
        case Outcome::BelowMinimum:
            return "N minore di N_Rd,min: la sezione non regge questa trazione";
        case Outcome::AboveMaximum:
            return "N maggiore di N_Rd,max: la sezione non regge questa compressione";
        case Outcome::OriginOutside:
            return "a questo N il dominio non contiene M = 0: nessun momento su questa direzione è resistito";
        case Outcome::ZeroMoment:
            return "momento nullo: la direzione del momento resistente non è definita";
        case Outcome::NoResistance:
            return "N pari a un estremo del dominio: la sezione vi ammette un solo momento";
        case Outcome::NoCrossing:
            return "il dominio non interseca il piano richiesto";
    }
    return "";
}

Section::Section(Shape shape, std::vector<Bar> bars, Concrete concrete, Steel steel, Options options) {
    // Computed in the library's floating-point environment, as every public call.
    data_ = ferrolit::detail::public_call([&]() -> std::shared_ptr<const detail::SectionData> {
        auto d = std::make_shared<detail::SectionData>();
        concrete.validate();
        steel.validate();
        d->shape = normalised(std::move(shape));
        d->bars = std::move(bars);
        d->concrete = std::move(concrete);
        d->steel = std::move(steel);
        d->options = options;

        // Area moments about the first vertex, for precision far from the origin.
        const Point ref = d->shape.outline[0];
        detail::AreaMoments m = detail::area_moments(shifted(d->shape.outline, ref));
        for (const Ring& hole : d->shape.holes) m += detail::area_moments(shifted(hole, ref));
        d->area = m.A;
        d->centroid = {ref.y + m.Sy / m.A, ref.z + m.Sz / m.A};
        d->rings.push_back(shifted(d->shape.outline, d->centroid));
        for (const Ring& hole : d->shape.holes) d->rings.push_back(shifted(hole, d->centroid));
        for (const Ring& ring : d->rings)
            for (const Point& p : ring) d->size = std::max(d->size, std::hypot(p.y, p.z));
        locate_bars(*d);

        d->concrete_law = detail::ConcreteModel::of(d->concrete);
        d->steel_law = detail::SteelModel::of(d->steel);
        d->p_start = d->steel.eps_ud ? 0 : 1;
        detail::Frame f;
        f.build(*d, 0);
        auto forces_at = [&](double p) {
            const detail::Plane1D pl = detail::path_plane(*d, f, p);
            return detail::forces(*d, f, pl.eps_top, pl.kappa);
        };
        const detail::Forces lo = forces_at(d->p_start), hi = forces_at(3);
        d->N_min = lo.N, d->My_min = f.My(lo.Mu, lo.Mv), d->Mz_min = f.Mz(lo.Mu, lo.Mv);
        d->N_max = hi.N, d->My_max = f.My(hi.Mu, hi.Mv), d->Mz_max = f.Mz(hi.Mu, hi.Mv);
        for (std::size_t q = 0; q < d->paths.size(); ++q) {
            f.build(*d, static_cast<double>(q) * 2 * std::numbers::pi / static_cast<double>(d->paths.size()));
            for (double p = d->p_start; p <= 3; p += 0.25) {
                const detail::Forces F = forces_at(p);
                d->paths[q].p.push_back(p);
                d->paths[q].N.push_back(F.N);
                d->paths[q].My.push_back(f.My(F.Mu, F.Mv));
                d->paths[q].Mz.push_back(f.Mz(F.Mu, F.Mv));
            }
        }
        d->moment_scale = (d->N_max - d->N_min) * d->size;
        return d;
    });
}

const Shape& Section::shape() const { return data_->shape; }
const std::vector<Bar>& Section::bars() const { return data_->bars; }
const Concrete& Section::concrete() const { return data_->concrete; }
const Steel& Section::steel() const { return data_->steel; }
const Options& Section::options() const { return data_->options; }
double Section::area() const { return data_->area; }
Point Section::centroid() const { return data_->centroid; }
double Section::N_Rd_max() const {
    return ferrolit::detail::public_call([&] { return data_->N_max / 1e3; });
}
double Section::N_Rd_min() const {
    return ferrolit::detail::public_call([&] { return data_->N_min / 1e3; });
}

SectionState Section::squash_state() const {
    return ferrolit::detail::public_call([&]() -> SectionState {
        detail::Frame f;
        f.build(*data_, 0);
        return detail::state_of(*data_, f, detail::path_plane(*data_, f, 3));
    });
}

SectionState Section::tension_state() const {
    return ferrolit::detail::public_call([&]() -> SectionState {
        detail::Frame f;
        f.build(*data_, 0);
        return detail::state_of(*data_, f, detail::path_plane(*data_, f, data_->p_start));
    });
}

SectionState Section::state_at(const StrainPlane& plane) const {
    return ferrolit::detail::public_call([&]() -> SectionState {
        for (double v : {plane.eps_g, plane.chi_y, plane.chi_z})
            detail::require(std::isfinite(v), "piano di deformazione: valori non finiti");
        const double kappa = std::hypot(plane.chi_y, plane.chi_z);
        detail::Frame f;
        f.build(*data_, kappa > 0 ? std::atan2(plane.chi_z, plane.chi_y) : 0.0);
        return detail::state_of(*data_, f, {plane.eps_g + kappa * f.u_top, kappa});
    });
}

UltimateState Section::ultimate_at(double angle, double N) const {
    return ferrolit::detail::public_call([&]() -> UltimateState {
        detail::require(std::isfinite(angle) && std::isfinite(N), "stato ultimo: angolo e N devono essere finiti");
        const detail::SectionData& d = *data_;
        const double n = N * 1e3;
        if (n < d.N_min) return {Outcome::BelowMinimum, std::nullopt};
        if (n > d.N_max) return {Outcome::AboveMaximum, std::nullopt};
        detail::Frame f;
        f.build(d, angle * std::numbers::pi / 180);
        const double p = detail::path_at_N(d, f, n);
        return {Outcome::Found, detail::state_of(d, f, detail::path_plane(d, f, p))};
    });
}

}  // namespace ferrolit::analysis
