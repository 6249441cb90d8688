#pragma once

// POST /api/members: every member of a project, as `ferrolit members` verifies
// them, answered as JSON Lines so that the page can show the progress:
//
//   request   {"modello": the members model, "sollecitazioni": the forces CSV text (optional)}
//   answer    {"fatte": members done, "totale": members} per step, then one last line:
//             {"risultato": the members result, "relazione_html": its record}
//             or {"errore": message, "chiave": key or null}
//
// The model's own "sollecitazioni" may be a list of rows; a file path is
// refused, since the server reads no file named by a request.

#include <optional>
#include <string>
#include <string_view>

#include "serve/server_core.hpp"

namespace ferrolit::cli::serve {

struct MembersRequest {
    std::string model;       // the model's JSON text
    std::string forces_csv;  // empty: the model's rows
};

// What makes a request unusable before any work: the key concerned (or empty) and why.
struct RequestProblem {
    std::string key, message;
};

// The request's parts, or its problem in `problem`.
std::optional<MembersRequest> read_members_request(std::string_view body, RequestProblem& problem);

// Verifies the members, writing a progress line at each whole per cent and the last line.
void stream_members(const MembersRequest& request, const std::string& version, const Write& write);

}  // namespace ferrolit::cli::serve
