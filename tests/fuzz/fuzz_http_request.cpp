// Fuzz target: the web server's core (tools/src/serve/server_core.hpp), one
// request per input. The input's first three lines are the method, the path
// and the content type; the rest is the body. Every request must get an
// answer with a known status and, for an error, a JSON body with its Italian
// message; nothing may escape handle(); every body is UTF-8 without NUL,
// and a JSON Lines answer (the members' progress) is one JSON text per line.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "fuzz_check.hpp"
#include "serve/server_core.hpp"

namespace {

std::string_view next_line(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    return line;
}

bool known_status(int status) {
    for (const int s : {200, 400, 404, 405, 413, 415, 500, 503})
        if (status == s) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    ferrolit::cli::serve::Request request;
    request.method = std::string(next_line(text));
    request.path = std::string(next_line(text));
    request.content_type = std::string(next_line(text));
    request.body = std::string(text);
    const ferrolit::cli::serve::Response r = ferrolit::cli::serve::handle(request, {"fuzz"});
    FUZZ_CHECK(known_status(r.status), "a known status");
    FUZZ_CHECK(r.status != 500, "no internal error: every failure is the request's and says so");
    FUZZ_CHECK(!r.content_type.empty(), "a content type");
    FUZZ_CHECK(ferrolit::fuzz::utf8_without_nul(r.body), "every answer is UTF-8 without NUL");
    if (r.status >= 400) {
        const auto body = nlohmann::json::parse(r.body, nullptr, false);
        FUZZ_CHECK(body.is_object() && body.contains("errore") && body.contains("chiave"),
                   "an error answer is JSON with the message and the key");
        FUZZ_CHECK(!body["errore"].get<std::string>().empty(), "the message says something");
    } else if (r.content_type.find("x-ndjson") != std::string::npos) {
        std::string_view lines = r.body;
        FUZZ_CHECK(!lines.empty() && lines.back() == '\n', "JSON Lines end with a line break");
        while (!lines.empty()) FUZZ_CHECK(nlohmann::json::accept(next_line(lines)), "each line is valid JSON");
    } else if (r.content_type.find("json") != std::string::npos) {
        FUZZ_CHECK(nlohmann::json::accept(r.body), "a JSON answer is valid JSON");
    }
    return 0;
}
