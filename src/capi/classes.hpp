#pragma once

// The classes of the C interface and their type information, assembled from
// the member table.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "capi/member_table.hpp"
#include "capi/object.hpp"

namespace ferrolit::capi {

struct ClassInfo {
    std::string name;
    std::vector<const Member*> members;  // interface order
    std::vector<std::vector<ferrolit_arg_info>> arg_infos;
    std::vector<ferrolit_member_info> infos;
    std::unordered_map<std::string_view, std::int32_t> index;  // member name -> position
    Instance (*create)();
};

// clsGenVerSez, clsSezRett, clsSezT, Collection.
const std::vector<ClassInfo>& classes();
const ClassInfo* find_class(const char* name) noexcept;

// The member of that name, or nullptr.
const Member* find_member(const ClassInfo& cls, const char* name) noexcept;

}  // namespace ferrolit::capi
