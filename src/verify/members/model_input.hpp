#pragma once

// The model of a building's members: the project's data, the sections by
// name and the members, each member's section made ready to verify.

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "ferrolit/members.hpp"

namespace ferrolit::members {

struct MemberEntry {
    std::string id, section, type;
    // The JSON text of the section's object with what the member adds (its
    // kind, its lengths), or empty when the member's entry cannot be used;
    // `problem` then says why.
    std::string section_text;
    std::string problem;
    std::vector<std::string> warnings;
};

// The model, read from its text on construction and kept where it was read
// (neither copied nor moved). InputError for a text that is not a model (not
// JSON, no "membrature", two members with one id). A member naming a missing
// section or carrying an unknown key keeps a `problem` and the run goes on.
struct Model {
    explicit Model(std::string_view text);
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    nlohmann::json root;
    ProjectData project;
    std::vector<MemberEntry> members;
    std::map<std::string, std::size_t> index;  // member id -> place in `members`
};

// The member's section, read and given its combinations' place; InputError from the reader.
VerificationInput member_section(const MemberEntry& member);

}  // namespace ferrolit::members
