// EstraiFmin, EstraiFmax, EstraiAs: the registry offers the readers of a
// reinforcement string to its host.

#include "ferrolit/bar_strings.hpp"
#include "ferrolit/registry.hpp"

namespace ferrolit {

float clsGenVerSez::EstraiFmin(const std::string& strAs) const { return smallest_bar_diameter(strAs); }
float clsGenVerSez::EstraiFmax(const std::string& strAs) const { return largest_bar_diameter(strAs); }
float clsGenVerSez::EstraiAs(const std::string& strAs) const { return bar_area(strAs); }

}  // namespace ferrolit
