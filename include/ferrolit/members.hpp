#pragma once

// Every member of a building in one run: the sections and members of a model
// file, the internal forces of the analysis program's table (one row per
// member, station and combination), each member verified at all its
// stations and combinations on one section built once, and the envelope of
// each check with the station and combination that govern it.
//
// The model (JSON, README "Members of a building"):
//   "progetto": {opera, committente, progettista, luogo, note}
//   "sezioni": {name: a section as read_verification_input reads it, without combinations}
//   "membrature": [{id, sezione, tipo, luce_netta, l0_y, l0_z, sismica, ...}]
//   "sollecitazioni": a CSV path (relative to MembersOptions::base_directory) or a list of rows
//   "convenzioni": {colonne: {our name: their header}, segni: {our name: ±1},
//                   unita: {forze: "kN"|"N", momenti: "kNm"|"Nm", ascissa: "m"|"mm"}}
//   "combinazioni": {combination: kind}, for a table without the column "tipo"
// The table's columns: membratura, ascissa (m), combinazione, tipo, N, Vy,
// Vz, T, My, Mz, in the signs and units of ferrolit/verify.hpp once mapped.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ferrolit/export.hpp"
#include "ferrolit/verify.hpp"

namespace ferrolit {

// The worst result of one check id over a member's stations and combinations.
struct EnvelopeCheck {
    CheckResult check;        // its combination is the table's name, not the station's
    std::optional<double> x;  // m, the station; empty for a detailing rule (no combination)
};

// The largest ratio of each check at one station, for the plot along the member.
struct StationRatios {
    double x = 0;                                          // m
    std::vector<std::pair<std::string, double>> by_check;  // check id, ratio
};

struct MemberResult {
    std::string id, section, type;
    std::string error;  // not empty: the member could not be verified, and why
    bool verified = false;
    double max_ratio = 0;
    std::optional<std::size_t> governing;  // index into checks
    std::vector<EnvelopeCheck> checks;     // one per check id, in the order of the checks
    std::vector<StationRatios> stations;   // by increasing x
    std::vector<NotRun> not_run;
    std::vector<std::string> warnings;
    std::size_t combinations = 0;  // station-and-combination pairs verified
    // The section's materials as resolved, for the record's hypotheses; empty for a member in error.
    std::optional<analysis::Concrete> concrete;
    std::optional<analysis::Steel> steel;
};

struct MembersResult {
    ProjectData project;
    bool verified = true;  // every member verified and none in error
    double max_ratio = 0;
    std::size_t checked = 0;            // station-and-combination pairs verified over all members
    std::vector<MemberResult> members;  // in the model's order
    std::vector<std::string> warnings;  // of the table as a whole: rows of members the model does not hold
    std::string version;
};

struct MembersProgress {
    std::size_t done = 0, total = 0;
};

struct MembersOptions {
    std::string source;          // the model's file name for messages
    std::string base_directory;  // where a relative "sollecitazioni" path lies; empty: the working directory
    // The forces table (CSV) to read instead of the model's "sollecitazioni"; empty: none.
    std::string forces_file;
    int jobs = 0;  // worker threads; 0: one per core
    // Called on the calling thread as members finish; may be empty.
    std::function<void(const MembersProgress&)> progress;
};

// Verifies every member of the model. InputError for a model that cannot be
// used as a whole (not JSON, a section that cannot be read is reported on each
// member using it, not here); a member's own trouble (no rows, a row of
// another kind than its combination) is its `error`, and the others still run.
FERROLIT_API MembersResult verify_members(std::string_view model_json, const MembersOptions& options = {});

// The same with the forces as CSV text instead of the model's "sollecitazioni".
FERROLIT_API MembersResult verify_members(std::string_view model_json, std::string_view forces_csv,
                                          const MembersOptions& options);

// The result as JSON: verified, max_ratio, members [{id, section, verified,
// max_ratio, governing {check, combination, x}, checks [... as verify's, plus x]}].
FERROLIT_API std::string to_json(const MembersResult& result, int indent = 2);

// One CSV row per member and check (member, section, check, clause, combination,
// x, demand, capacity, unit, ratio, verified), and one per member in error.
FERROLIT_API std::string members_csv(const MembersResult& result);

// verify_members and to_json in one call; `forces_csv` empty: the model's rows.
FERROLIT_API std::string verify_members_json(std::string_view model_json, std::string_view forces_csv = {});

}  // namespace ferrolit
