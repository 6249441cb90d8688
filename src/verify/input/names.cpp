// The Italian names of the verification's enumerations, from their tables.

#include <algorithm>
#include <cctype>

#include "ferrolit/verify.hpp"
#include "verify/input/name_lists.hpp"

namespace ferrolit {

const char* combination_kind_name(CombinationKind kind) { return name_in(kCombinationKinds, kind).data(); }

bool is_ultimate(CombinationKind kind) { return kind == CombinationKind::Ultimate || kind == CombinationKind::Seismic; }

const char* environment_name(Environment environment) { return name_in(kEnvironments, environment).data(); }

const char* shape_kind_name(ShapeKind kind) { return name_in(kShapeKinds, kind).data(); }

const char* origin_name(Origin origin) { return name_in(kOrigins, origin).data(); }

namespace verification {

bool same_ignoring_case(std::string_view a, std::string_view b) {
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

}  // namespace verification

}  // namespace ferrolit
