#pragma once

// The calculation record of a building's members as one self-contained HTML
// file: the project's data and the program's identification on the title
// page, every member in a table sorted by ratio and linked to its own page,
// where its envelope is listed per check and drawn along the member.

#include <string>

#include "ferrolit/members.hpp"

namespace ferrolit::cli {

struct MembersRecordOptions {
    std::string version;  // the program's version
    std::string date;     // as printed (YYYY-MM-DD)
};

std::string members_record(const MembersResult& result, const MembersRecordOptions& options);

}  // namespace ferrolit::cli
