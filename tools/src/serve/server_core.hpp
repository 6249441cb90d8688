#pragma once

// The web page's server without its transport: one request in, one answer
// out, no sockets and no threads, so that it can be tested and fuzzed
// directly. The HTTP adapter (http_server.hpp) only moves bytes.
//
//   GET  /              the page            GET /app.js, /project.js, /app.css, /palette.css, /ferrolit.js  its assets
//   GET  /api/example   the example section (JSON)
//   POST /api/verify    section JSON -> {"result", "domains_svg", "record_html"}
//   POST /api/design    the same after choosing the missing bars and stirrups
//   POST /api/record    the HTML calculation record as a download; a JSON
//                       Lines body (application/x-ndjson) gives one record of all its sections
//   POST /api/members   a project's members (members_route.hpp), answered as JSON
//                       Lines with its progress: a streamed answer
//
// Bad requests get 400 (unusable input: {"errore": message, "chiave": key or
// null}), 404, 405, 413 or 415 with an Italian message; nothing throws.
//
// Who may ask: the server listens on the loopback only, but any web page the
// engineer opens can make the browser send requests to it. refusal() turns
// away what did not come from the page itself: a Host other than
// 127.0.0.1:PORT or localhost:PORT (421: a DNS-rebound name), an Origin other
// than the server's own (403); handle() serves POSTs only with a JSON type
// (415 otherwise), which a cross-site form or a "simple" fetch cannot send.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
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
    std::string host = {};     // the Host header; may be empty
    std::string origin = {};   // the Origin header; empty when not sent
};

// Writes one piece of a streamed answer; false when the client is gone.
using Write = std::function<bool(std::string_view)>;

struct Response {
    int status = 200;
    std::string content_type;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // beyond Content-Type
    // A streamed answer: the body, written piece by piece after the headers
    // (empty: the body above). It owns what it needs and may run on another thread.
    std::function<void(const Write&)> stream = {};
};

struct ServerOptions {
    std::string version;  // the program's version, for the record's header
    int port = 0;         // the port listened on, for the Host and Origin checks
    // The page's WebAssembly module (ferrolit.js as make web writes it),
    // served as /ferrolit.js so that the page computes in the browser; empty:
    // the placeholder is served and the page sends its work here. It views
    // text the caller keeps for as long as the server runs.
    std::string_view module = {};
};

// The answer to a request from elsewhere than the page (see above), or none.
std::optional<Response> refusal(const Request& request, const ServerOptions& options);

// The answer to a request, with the headers of policy() added; a streamed
// answer is run here to its end, its pieces joined into the body.
Response handle(const Request& request, const ServerOptions& options);

// The same, leaving a streamed answer for the caller to run as it sends it.
Response handle_streamed(const Request& request, const ServerOptions& options);

// Requests whose work takes long (a design, a record of many sections): the
// adapter runs them on a pool of their own, so that they never hold up the page.
bool is_heavy(const Request& request);

// 503 with Retry-After: the server is full; `why` completes "server occupato: ".
Response busy(const std::string& why, int retry_after_seconds);

// Adds what every answer carries: X-Content-Type-Options, a Content-Security-
// Policy (the page's own, or none at all for the API) and Cache-Control.
void add_policy_headers(Response& response);

}  // namespace ferrolit::cli::serve
