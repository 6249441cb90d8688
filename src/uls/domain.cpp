// The N-M interaction domain of a section: the stretch in which faults are
// reported through Procedi/msg, and publication of the results. The section
// is reduced to numbers in domain_setup.cpp and swept in domain_sweep.cpp.

#include <algorithm>

#include "core/numeric.hpp"
#include "ferrolit/section.hpp"
#include "uls/domain_search.hpp"
#include "uls/domain_setup.hpp"
#include "uls/domain_sweep.hpp"

namespace ferrolit {

namespace {

constexpr const char* kFailure = "Errore nel calcolo dei Valori di Nrd , Mrd";

}  // namespace

void Section::compute_domain(const std::string& Direz, bool& Procedi, std::string& msg) {
    detail::FpFaultScope fp;
    // From here to the end of the sweep a fault is reported through
    // Procedi/msg; the T section traps from its very start, the rectangle
    // from the end of the orientation. Elsewhere it is raised.
    bool trapped = tee_;
    const auto report = [&](ErrorKind kind) {
        Procedi = false;
        msg = std::string(kFailure) + "\n" + describe(kind);
    };
    const auto stage_failed = [&] {
        const auto kind = fp.fault();
        if (!kind) return false;
        if (!trapped) throw Error(*kind);
        report(*kind);
        return true;
    };
    if (trapped) Procedi = true;

    if (tee_) {
        // The T computes its flange and web areas before the outputs are reset.
        detail::TeeAreas areas = detail::tee_areas(*this);
        detail::settle(areas);
        if (stage_failed()) return;
    }

    const bool direction_y = Direz == "Y";
    // Writes the outputs of the direction through the section's own writers,
    // in the order hosts see them change.
    const auto publish = [&](std::vector<float> n, std::vector<float> m, const detail::ResistingState& r) {
        if (direction_y) {
            nyDomain_ = std::move(n);
            myDomain_ = std::move(m);
            MrdY(r.Mrd);
            SigmaInfY(r.sigma_t);
            SigmaSupY(r.sigma_c);
            xnY(r.xn);
        } else {
            nzDomain_ = std::move(n);
            mzDomain_ = std::move(m);
            MrdZ(r.Mrd);
            SigmaInfZ(r.sigma_t);
            SigmaSupZ(r.sigma_c);
            xnZ(r.xn);
        }
    };
    publish({0.0f}, {0.0f}, detail::ResistingState{});

    detail::SweepSetup s = detail::domain_setup(*this, direction_y);
    detail::settle(s);
    if (stage_failed()) return;

    trapped = true;
    Procedi = true;
    detail::Boundaries xb = detail::boundaries(s);
    detail::settle(xb);
    if (stage_failed()) return;
    detail::PointLists points;
    if (const auto kind = detail::sweep(s, xb, points, fp)) {
        report(*kind);
        return;
    }

    // Conversion, search and stresses: faults here are errors of the call.
    trapped = false;
    detail::to_kilo_units(points);
    detail::ResistingState r = detail::resisting_state(points, Ned_x(), s);
    detail::settle(points);
    detail::settle(r);
    fp.check();

    publish(std::move(points.N), std::move(points.M), r);
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
