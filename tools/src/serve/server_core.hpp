#pragma once

// The web page's server without its transport: one request in, one answer
// out, no sockets and no threads, so that it can be tested and fuzzed
// directly. The HTTP adapter (http_server.hpp) only moves bytes.
//
//   GET  /              the page            GET /app.js, /app.css, /palette.css  its assets
//   GET  /api/example   the example section (JSON)
//   POST /api/verify    section JSON -> {"result", "domains_svg", "record_html"}
//   POST /api/design    the same after choosing the missing bars and stirrups
//   POST /api/record    the HTML calculation record as a download; a JSON
//                       Lines body (application/x-ndjson) gives one record of all its sections
//
// Bad requests get 400 (unusable input: {"errore": message, "chiave": key or
// null}), 404, 405, 413 or 415 with an Italian message; nothing throws.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace ferrolit::cli::serve {

// Largest request body: sections are a few kilobytes, a JSON Lines batch a few hundred.
constexpr std::size_t kMostBodyBytes = std::size_t{4} << 20;

struct Request {
    std::string method;  // "GET", "POST", ...
    std::string path;    // without the query
    std::string body;
    std::string content_type;  // as sent, parameters included; may be empty
};

struct Response {
    int status = 200;
    std::string content_type;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // beyond Content-Type
};

struct ServerOptions {
    std::string version;  // the program's version, for the record's header
};

Response handle(const Request& request, const ServerOptions& options);

// The key an input error names (`chiave "combinazioni[2].My": ...`), or empty.
std::string key_of_message(const std::string& message);

}  // namespace ferrolit::cli::serve
