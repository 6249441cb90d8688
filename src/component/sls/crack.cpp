// Crack width at the serviceability limit state: the cracked section under
// Med_Fes, the stress in the tension bars, the mean strain difference EPSsm,
// the crack spacing DELTAsm and the crack width Wk.

#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "component/section/shape.hpp"
#include "component/sls/cracked_section.hpp"
#include "core/numeric.hpp"
#include "ferrolit/bar_strings.hpp"
#include "ferrolit/error.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit::component {

namespace {

using detail::single;

// Runs the statements of the check one at a time with every error deferred.
// A statement that raises a floating-point fault or throws an Error yields
// nothing (its result counts as 0); the kind of that error is remembered and
// the computation carries on with the next statement.
class DeferredErrors {
public:
    template <class Statement>
    auto attempt(Statement&& statement) -> std::optional<std::invoke_result_t<Statement>> {
        faults_.clear();
        std::optional<std::invoke_result_t<Statement>> result;
        std::optional<ErrorKind> thrown;
        try {
            result = detail::fp_isolated(statement);
        } catch (const Error& error) {
            thrown = error.kind();
        }
        if (failed(thrown)) return std::nullopt;
        return result;
    }

    template <class Statement>
    auto value(Statement&& statement) {
        return attempt(std::forward<Statement>(statement)).value_or(0);
    }

    template <class Statement>
    void run(Statement&& statement) {
        (void)attempt([&] {
            statement();
            return true;
        });
    }

    std::optional<ErrorKind> last() const { return last_; }

private:
    // A throw ends its statement, so it comes after any flag the statement raised.
    bool failed(std::optional<ErrorKind> thrown) {
        std::optional<ErrorKind> kind = thrown ? thrown : faults_.fault();
        if (kind) last_ = kind;
        return kind.has_value();
    }

    detail::FpFaultScope faults_;
    std::optional<ErrorKind> last_;
};

}  // namespace

void Section::CalcolaWkFessure(bool& Procedi, std::string& msg_err) {
    detail::public_call([&] {
        Procedi = true;
        DeferredErrors errors;

        // Only the web of a T works; its flange plays no part.
        const double b = component::rule_width(*this);
        const double h = Altezza();

        // The moment of the crack check defaults to the design moment, and keeps it.
        if (Med_Fes() == 0) Med_Fes(Med_y());
        double moment = double{Med_Fes()} * 1e6;  // kN·m to N·mm
        if (moment == 0) moment = 1e-10;

        const double c = Copriferro_Inf();
        const double bar_diameter = errors.value([&] { return double{largest_bar_diameter(stringaAs_inf())}; });
        const double tension_bars = As_inf();
        const component::CrackedSection section{b, h, c, tension_bars, As_sup()};

        const double x = errors.value([&] { return component::neutral_axis_depth(section); });
        const double inertia = errors.value([&] { return component::cracked_inertia(section, x); });
        const double sigma_c = errors.value([&] { return component::edge_concrete_stress(moment, x, inertia); });
        const double sigma_s = errors.value([&] { return component::tension_bar_stress(section, sigma_c, x); });

        // The effective depth is stored as such, without the writers' recomputation.
        H_Utile(errors.value([&] { return single(h - c); }));

        // Height of the effective tension zone: the least of (h − x)/3, 2.5 times
        // the cover and h/2; on a tie the earlier candidate stays.
        const float tension_zone = errors.value([&] {
            float height = single((h - x) / 3);
            const float from_cover = single(2.5 * (h - H_Utile()));
            if (from_cover < height) height = from_cover;
            const float half = single(h / 2);
            if (half < height) height = half;
            return height;
        });
        const double effective_area = errors.value([&] { return b * tension_zone; });
        const double rho = errors.value([&] { return tension_bars / effective_area; });

        // Mean crack spacing: the maximum spacing sr,max divided by 1.7.
        DELTAsm(errors.value(
            [&] { return single((double{k3()} * c + double{k1()} * k2() * k4() * bar_diameter / rho) / 1.7); }));

        EPSsm(errors.value([&] {
            const double modular_ratio = double{Es()} / Ec();
            return single((sigma_s - double{kt()} * fctm() / rho * (1 + modular_ratio * rho)) / Es());
        }));
        // The mean strain is never taken below 0.6·sigma_s/Es.
        const std::optional<float> strain_floor = errors.attempt([&] { return single(0.6 * sigma_s / Es()); });
        errors.run([&] {
            if (strain_floor && *strain_floor > EPSsm()) EPSsm(*strain_floor);
        });

        Wk(errors.value([&] { return single(double{EPSsm()} * 1.7 * DELTAsm()); }));

        if (const auto kind = errors.last()) {
            msg_err = describe(*kind);
            Procedi = false;
        }
    });
}

}  // namespace ferrolit::component
