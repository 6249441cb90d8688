#pragma once

// How a record writes a check's values: the decimals of each, and the named
// values of its working. The families themselves, with their titles, are the
// library's (kCheckFamilies in ferrolit/verify_lists.hpp).

#include <optional>
#include <string>

#include "common/report_numbers.hpp"
#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

// A check's demand or capacity, with the decimals its unit deserves; "—" when empty.
inline std::string check_value_text(const std::optional<double>& v, const CheckResult& c) {
    if (!v) return "—";
    const int places = c.id == check_id(Check::CrackWidth) && c.unit == "mm" ? 3
                       : c.unit == "mm²" || c.unit == "mm²/m"                ? 0
                       : c.unit == "mm"                                      ? 1
                                                                             : 2;
    return decimal(*v, places);
}

// The Italian title of a family by its id, as a text.
inline std::string check_title(const std::string& id) { return std::string(ferrolit::check_title(id)); }

// A named value of a check's working ("N_Ed", "My_Rd", ...); empty when the check has none.
inline std::optional<double> detail_of(const CheckResult& c, const std::string& name) {
    for (const Detail& d : c.details)
        if (d.name == name) return d.value;
    return std::nullopt;
}

}  // namespace ferrolit::cli
