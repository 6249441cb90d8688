// A material by its class, with the values given beside it checked against
// it: the rule both the verification's reader and `analyse` follow.

#include <cmath>

#include "ferrolit/format.hpp"
#include "ferrolit/verify.hpp"
#include "verify/input/json_text.hpp"

namespace ferrolit {

namespace {

bool same(double a, double b) { return std::fabs(a - b) <= 1e-6 * std::max(std::fabs(a), std::fabs(b)) + 1e-9; }

[[noreturn]] void refuse(std::string_view key, std::string_view problem) {
    verification::input_error({}, 0, key, problem);
}

// A given value that defines the class must agree with it.
void agree(std::string_view key, const char* symbol, double given, double of_class, const std::string& class_name,
           std::string_view class_key) {
    if (!same(given, of_class))
        refuse(key, format::significant(given) + " MPa contraddice la classe \"" + class_name + "\" di \"" +
                        std::string(class_key) + "\", che ha " + symbol + " = " + format::significant(of_class) +
                        " MPa");
}

template <class Material>
Material of_class(std::string_view name, std::string_view class_key) {
    try {
        return Material::of_class(name);
    } catch (const Error& e) {
        refuse(class_key, e.what());
    }
}

}  // namespace

analysis::Concrete concrete_of_class(std::string_view name, std::optional<double> fck, std::optional<double> Rck,
                                     const ClassKeys& keys) {
    auto c = of_class<analysis::Concrete>(name, keys.class_key);
    if (fck) agree(keys.strength_key, "fck", *fck, c.fck, c.name, keys.class_key);
    if (Rck) agree(keys.cube_key, "Rck", *Rck, c.Rck, c.name, keys.class_key);
    return c;
}

analysis::Steel steel_of_class(std::string_view name, std::optional<double> fyk, const ClassKeys& keys) {
    auto s = of_class<analysis::Steel>(name, keys.class_key);
    if (fyk) agree(keys.strength_key, "fyk", *fyk, s.fyk, s.name, keys.class_key);
    return s;
}

}  // namespace ferrolit
