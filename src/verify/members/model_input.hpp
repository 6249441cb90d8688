#pragma once

// The model of a building's members: the project's data, the sections by
// name and the members, each member's section made ready to verify.

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "ferrolit/members.hpp"

namespace ferrolit::members {

struct MemberEntry {
    std::string id, section, type;
    // The section's JSON object with what the member adds (its kind, its lengths), or
    // empty when the member's entry cannot be used; `problem` then says why.
    nlohmann::json section_object;
    std::string problem;
    std::vector<std::string> warnings;
};

struct Model {
    nlohmann::json root;
    ProjectData project;
    std::vector<MemberEntry> members;
    std::map<std::string, std::size_t> index;  // member id -> place in `members`
};

// Parses the model; InputError for a text that is not a model (not JSON, no
// "membrature", two members with one id). A member naming a missing section
// or carrying an unknown key keeps a `problem` and the run goes on.
Model read_model(std::string_view text);

// The member's section, read and given its combinations' place; InputError from the reader.
VerificationInput member_section(const MemberEntry& member);

}  // namespace ferrolit::members
