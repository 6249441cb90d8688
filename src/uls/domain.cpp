// The N-M interaction domain of a section: resolution, orientation, the
// stretch in which faults are reported through Procedi/msg, and publication
// of the results. The sweep itself is in domain_sweep.cpp.

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/numeric.hpp"
#include "ferrolit/section.hpp"
#include "section/shape.hpp"
#include "uls/domain_search.hpp"
#include "uls/domain_setup.hpp"
#include "uls/domain_sweep.hpp"

namespace ferrolit {

using detail::single;

namespace {

constexpr const char* kFailure = "Errore nel calcolo dei Valori di Nrd , Mrd";

// A step or strip that is not greater than 0 (NaN included) is taken as 1 mm.
float resolution(float value) { return std::isgreater(value, 0.0f) ? value : 1.0f; }

// Which edge is compressed and which layer is on each side.
struct Orientation {
    float H, B;             // depth and (rectangle) width
    float As_c, As_t;       // compression-side and tension-side layers
    float cover_c, cover_t; // their covers
    TipoBordo edge;         // compressed edge
};

Orientation orient(const Section& s, bool direction_y) {
    // Only a moment strictly below 0 turns the section over (NaN does not).
    if (direction_y) {
        if (!std::isless(s.Med_y(), 0.0f))
            return {s.Altezza(), s.Base(), s.As_sup(), s.As_inf(), s.Copriferro_Sup(), s.Copriferro_Inf(),
                    TipoBordo::Superiore};
        return {s.Altezza(), s.Base(), s.As_inf(), s.As_sup(), s.Copriferro_Inf(), s.Copriferro_Sup(),
                TipoBordo::Inferiore};
    }
    if (!std::isless(s.Med_z(), 0.0f))
        return {s.Base(), s.Altezza(), s.As_supY(), s.As_infY(), s.Copriferro_Sup(), s.Copriferro_Inf(),
                TipoBordo::Sinistro};
    return {s.Base(), s.Altezza(), s.As_infY(), s.As_supY(), s.Copriferro_Inf(), s.Copriferro_Sup(),
            TipoBordo::Destro};
}

}  // namespace

// The comparisons are those of clsSezT::bX.
detail::WidthBands detail::tee_width(const Section& s, TipoBordo edge) {
    const float web = SectionAccess::web_width(s), flange = SectionAccess::flange_thickness(s);
    WidthBands w;
    switch (edge) {
        case TipoBordo::Superiore:
            w.hi = flange;
            w.inner = s.Base();
            w.outer = web;
            break;
        case TipoBordo::Inferiore:
            w.hi = double{s.Altezza()} - flange;
            w.inner = web;
            w.outer = s.Base();
            break;
        case TipoBordo::Sinistro:
        case TipoBordo::Destro:
            w.lo = single((double{s.Base()} - web) / 2);
            w.hi = single((double{s.Base()} + web) / 2);
            w.inner = s.Altezza();
            w.outer = flange;
            break;
    }
    return w;
}

namespace {

// Depths below the compressed edge of the centroids of flange and web.
struct TeeLevels {
    float flange, web;
};

TeeLevels tee_levels(const Section& s, TipoBordo edge, float flange) {
    const double H = s.Altezza(), t = flange;
    switch (edge) {
        case TipoBordo::Superiore: return {single(t / 2), single((H - t) / 2 + t)};
        case TipoBordo::Inferiore: return {single(H - t / 2), single((H - t) / 2)};
        default: break;
    }
    const float half = single(double{s.Base()} / 2);
    return {half, half};
}

void fill_materials(const Section& sec, detail::SweepSetup& s) {
    s.fcd = sec.fcd();
    s.fyd = sec.fyd();
    s.Es = sec.Es();
    s.eps_cu = sec.eps_cu();
    s.eps_yd = sec.eps_yd();
    s.eps_ud = sec.eps_ud();
}

}  // namespace

void Section::compute_domain(const std::string& Direz, bool& Procedi, std::string& msg) {
    detail::FpFaultScope fp;
    // From here to the end of the sweep a fault is reported through
    // Procedi/msg; the T section traps from its very start, the rectangle
    // from the end of the orientation. Elsewhere it is raised.
    bool trapped = tee_;
    const auto stage_failed = [&] {
        const auto kind = fp.fault();
        if (!kind) return false;
        if (!trapped) throw Error(*kind);
        Procedi = false;
        msg = std::string(kFailure) + "\n" + describe(*kind);
        return true;
    };
    if (trapped) Procedi = true;

    detail::SweepSetup s;
    s.step = resolution(DeltaN());
    s.strip = resolution(DeltaX());

    float area_flange = 0, area_web = 0;
    if (tee_) {
        area_flange = single(double{Base()} * SpessoreT_);
        area_web = single((double{Altezza()} - SpessoreT_) * BaseInf_);
        detail::settle(area_flange);
        detail::settle(area_web);
        if (stage_failed()) return;
    }

    const bool direction_y = Direz == "Y";
    if (direction_y) {
        nyDomain_.assign(1, 0.0f);
        myDomain_.assign(1, 0.0f);
        MrdY(0);
        SigmaInfY(0);
        SigmaSupY(0);
        xnY(0);
    } else {
        nzDomain_.assign(1, 0.0f);
        mzDomain_.assign(1, 0.0f);
        MrdZ(0);
        SigmaInfZ(0);
        SigmaSupZ(0);
        xnZ(0);
    }

    const Orientation o = orient(*this, direction_y);
    fill_materials(*this, s);
    s.H = o.H;
    s.cover_c = o.cover_c;
    s.As_c = o.As_c;
    s.As_t = o.As_t;
    s.d = single(double{o.H} - o.cover_t);
    if (tee_) {
        const TeeLevels lv = tee_levels(*this, o.edge, SpessoreT_);
        s.yG = single((double{lv.web} * area_web + double{lv.flange} * area_flange) /
                      (double{area_web} + area_flange));
        s.width = detail::tee_width(*this, o.edge);
    } else {
        s.yG = single(double{o.H} / 2);
        s.width.inner = s.width.outer = o.B;
    }
    s.arm_c = single(double{s.yG} - o.cover_c);
    s.arm_t = single((double{o.H} - s.yG) - o.cover_t);
    detail::settle(s);
    if (stage_failed()) return;

    trapped = true;
    Procedi = true;
    detail::Boundaries xb = detail::boundaries(s);
    detail::settle(xb);
    if (stage_failed()) return;
    detail::PointLists points;
    if (const auto kind = detail::sweep(s, xb, points, fp)) {
        Procedi = false;
        msg = std::string(kFailure) + "\n" + describe(*kind);
        return;
    }

    // Conversion, search and stresses: faults here are errors of the call.
    trapped = false;
    detail::to_kilo_units(points);
    detail::ResistingState r = detail::resisting_state(points, Ned_x(), s);
    detail::settle(points);
    detail::settle(r);
    fp.check();

    if (direction_y) {
        nyDomain_ = std::move(points.N);
        myDomain_ = std::move(points.M);
        MrdY(r.Mrd);
        SigmaInfY(r.sigma_t);
        SigmaSupY(r.sigma_c);
        xnY(r.xn);
    } else {
        nzDomain_ = std::move(points.N);
        mzDomain_ = std::move(points.M);
        MrdZ(r.Mrd);
        SigmaInfZ(r.sigma_t);
        SigmaSupZ(r.sigma_c);
        xnZ(r.xn);
    }
}

void clsSezRett::CalcolaNMDominioSezRett(const std::string& Direz, bool& Procedi, std::string& msg) {
    compute_domain(Direz, Procedi, msg);
}

void clsSezT::CalcolaNMDominioSezT(const std::string& Direz, bool& Procedi, std::string& msg) {
    compute_domain(Direz, Procedi, msg);
}

namespace {

void copy_domain(const std::vector<float>& stored, std::vector<float>& Matr) {
    if (stored.empty()) throw Error(ErrorKind::InvalidIndex);  // never computed for this direction
    Matr.assign(stored.size(), 0.0f);
    std::copy(stored.begin() + 1, stored.end(), Matr.begin() + 1);
}

}  // namespace

void Section::Ny_Dominio(std::vector<float>& Matr) const { copy_domain(nyDomain_, Matr); }
void Section::My_Dominio(std::vector<float>& Matr) const { copy_domain(myDomain_, Matr); }
void Section::Nz_Dominio(std::vector<float>& Matr) const { copy_domain(nzDomain_, Matr); }
void Section::Mz_Dominio(std::vector<float>& Matr) const { copy_domain(mzDomain_, Matr); }

}  // namespace ferrolit
