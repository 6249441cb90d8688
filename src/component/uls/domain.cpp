// The N-M interaction domain of a section, in four stages: prepare (the
// section reduced to numbers, the outputs reset, the boundary depths), sweep
// (the points of the branch), search (the resisting moment and the bar
// stresses at Ned_x) and publish. The numbers are set up in domain_setup.cpp,
// swept in domain_sweep.cpp and searched in domain_search.cpp.

#include <algorithm>
#include <optional>

#include "component/uls/domain_search.hpp"
#include "component/uls/domain_setup.hpp"
#include "component/uls/domain_sweep.hpp"
#include "core/numeric.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit::component {

// The fault policy of the computation, stated once. Between trap() and
// release() a floating-point fault is reported through Procedi/msg and ends
// the call normally; outside that stretch it is raised as an Error of its
// kind. The T section traps from its very start, the rectangle once it is
// oriented; both release after the sweep.
class DomainFaults {
public:
    DomainFaults(bool& procedi, std::string& msg, bool trap_from_start) : procedi_(procedi), msg_(msg) {
        if (trap_from_start) trap();
    }

    // Enters the trapped stretch; Procedi is true from here.
    void trap() {
        trapped_ = true;
        procedi_ = true;
    }
    void release() { trapped_ = false; }

    // Whether the stage that just ran raised a fault: reported (true) inside
    // the trapped stretch, raised outside it.
    bool failed() {
        const auto kind = flags_.fault();
        if (!kind) return false;
        if (!trapped_) throw Error(*kind);
        report(*kind);
        return true;
    }

    void report(ErrorKind kind) {
        procedi_ = false;
        msg_ = std::string("Errore nel calcolo dei Valori di Nrd , Mrd") + "\n" + describe(kind);
    }

    detail::FpFaultScope& flags() { return flags_; }

private:
    detail::FpFaultScope flags_;
    bool& procedi_;
    std::string& msg_;
    bool trapped_ = false;
};

namespace {

// What the sweep needs: the section as numbers and the boundary depths.
struct DomainPlan {
    SweepSetup setup;
    Boundaries depths;
};

// The section oriented for the direction, then the boundary depths: the
// rectangle enters the trapped stretch between the two.
std::optional<DomainPlan> prepare_sweep(const Section& section, bool direction_y, DomainFaults& faults) {
    DomainPlan p;
    p.setup = domain_setup(section, direction_y);
    detail::settle(p.setup);
    if (faults.failed()) return std::nullopt;
    faults.trap();
    p.depths = boundaries(p.setup);
    detail::settle(p.depths);
    if (faults.failed()) return std::nullopt;
    return p;
}

std::optional<PointLists> sweep_points(const DomainPlan& p, DomainFaults& faults) {
    PointLists points;
    if (const auto kind = sweep(p.setup, p.depths, points, faults.flags())) {
        faults.report(*kind);
        return std::nullopt;
    }
    return points;
}

// Conversion, search and stresses: past the trapped stretch, a fault here is
// an error of the call.
DomainOutputs search(PointLists points, float Ned, const SweepSetup& setup, DomainFaults& faults) {
    faults.release();
    to_kilo_units(points);
    ResistingState r = resisting_state(points, Ned, setup);
    detail::settle(points);
    detail::settle(r);
    faults.failed();  // raises what the stage raised
    return {std::move(points.N), std::move(points.M), r};
}

}  // namespace

void Section::compute_domain(const std::string& Direz, bool& Procedi, std::string& msg) {
    const bool direction_y = Direz == "Y";
    component::DomainFaults faults(Procedi, msg, /*trap_from_start=*/tee_);

    // prepare: the T computes its flange and web areas before the outputs
    // are reset, so a fault there leaves them as they were.
    if (tee_) {
        component::TeeAreas areas = component::tee_areas(*this);
        detail::settle(areas);
        if (faults.failed()) return;
    }
    reset_domain(direction_y);
    const std::optional<component::DomainPlan> plan = component::prepare_sweep(*this, direction_y, faults);
    if (!plan) return;

    // sweep
    std::optional<component::PointLists> points = component::sweep_points(*plan, faults);
    if (!points) return;

    // search, then publish
    publish_domain(direction_y, component::search(std::move(*points), Ned_x(), plan->setup, faults));
}

void Section::reset_domain(bool direction_y) { publish_domain(direction_y, {{0.0f}, {0.0f}, {}}); }

// Writes the outputs of the direction through the section's own writers, in
// the order hosts see them change.
void Section::publish_domain(bool direction_y, component::DomainOutputs outputs) {
    using Set = void (Section::*)(float);
    struct Slots {
        std::vector<float> Section::*N;
        std::vector<float> Section::*M;
        Set Mrd, sigma_t, sigma_c, xn;
    };
    static const Slots y{&Section::nyDomain_, &Section::myDomain_, &Section::MrdY,
                         &Section::SigmaInfY, &Section::SigmaSupY, &Section::xnY};
    static const Slots z{&Section::nzDomain_, &Section::mzDomain_, &Section::MrdZ,
                         &Section::SigmaInfZ, &Section::SigmaSupZ, &Section::xnZ};
    const Slots& to = direction_y ? y : z;
    this->*to.N = std::move(outputs.N);
    this->*to.M = std::move(outputs.M);
    (this->*to.Mrd)(outputs.at_ned.Mrd);
    (this->*to.sigma_t)(outputs.at_ned.sigma_t);
    (this->*to.sigma_c)(outputs.at_ned.sigma_c);
    (this->*to.xn)(outputs.at_ned.xn);
}

}  // namespace ferrolit::component

namespace ferrolit {

void clsSezRett::CalcolaNMDominioSezRett(const std::string& Direz, bool& Procedi, std::string& msg) {
    detail::public_call([&] { compute_domain(Direz, Procedi, msg); });
}

void clsSezT::CalcolaNMDominioSezT(const std::string& Direz, bool& Procedi, std::string& msg) {
    detail::public_call([&] { compute_domain(Direz, Procedi, msg); });
}

}  // namespace ferrolit

namespace ferrolit::component {

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

}  // namespace ferrolit::component
