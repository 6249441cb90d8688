// The page's WebAssembly module: the library and the tool's socket-free core
// behind two C entry points, which ferrolit.js (tools/web/module_api.js)
// wraps for JavaScript. The input travels with its length in bytes, so that a
// NUL byte in it reaches the reader (which refuses it) rather than ending it.
// Each answer stays in the module until the next call, where JavaScript
// decodes it (no copy for the caller to free); nothing throws past these
// functions.

#include <emscripten/emscripten.h>

#include <new>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/local_date.hpp"
#include "ferrolit/analysis.hpp"
#include "ferrolit/format.hpp"
#include "ferrolit/verify.hpp"
#include "ferrolit/version.h"
#include "record/html_record.hpp"
#include "serve/server_core.hpp"

namespace ferrolit::web {

namespace {

using nlohmann::json;

// The source a record names for a section computed in the page.
constexpr const char* kPageSource = "<pagina web>";

// One section's result, the same JSON as `ferrolit verify --json` and
// `ferrolit design --json` write, in ASCII (see ascii_json).
std::string verified(std::string_view text, bool design_bars) {
    const VerificationInput input = read_verification_input(text);
    return format::ascii_json(to_json(design_bars ? design(input) : verify(input)));
}

// The HTML calculation record of one section, as `ferrolit verify --html` writes it.
std::string record(std::string_view text) {
    const std::vector<cli::RecordSection> sections{{kPageSource, 0, verify(read_verification_input(text)), {}}};
    return cli::html_record(sections, {FERROLIT_VERSION_STRING, cli::local_date("%Y-%m-%d"), false, false});
}

struct Action {
    std::string_view name;
    std::string (*compute)(std::string_view);
};

// The module's JavaScript API, one row per function.
constexpr Action kActions[] = {
    {"verify", [](std::string_view t) { return verified(t, false); }},
    {"design", [](std::string_view t) { return verified(t, true); }},
    {"analyse", [](std::string_view t) { return format::ascii_json(analysis::analyse_json(t)); }},
    {"record", record},
};

std::string dump(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }

// An error's answer: {"error": message, "kind": the ferrolit::ErrorKind's number, "key": the input key or null}.
std::string failure(const std::string& message, ErrorKind kind, const std::string& key = {}) {
    return dump(
        {{"error", message}, {"kind", static_cast<int>(kind)}, {"key", key.empty() ? json(nullptr) : json(key)}});
}

// The answer's text as it is, or an error's answer (then *failed is 1): the
// text is not wrapped in JSON, which would escape it here and parse it back
// in the page.
std::string call(std::string_view action, std::string_view input, int* failed) {
    *failed = 1;
    try {
        for (const Action& a : kActions)
            if (a.name == action) {
                std::string text = a.compute(input);
                *failed = 0;
                return text;
            }
        return failure("funzione sconosciuta: " + std::string(action), ErrorKind::InvalidOperation);
    } catch (const InputError& e) {
        return failure(e.what(), e.kind(), e.key());
    } catch (const Error& e) {
        return failure(e.what(), e.kind());
    } catch (const std::bad_alloc&) {
        return failure("memoria esaurita: riprovare con una sezione più piccola", ErrorKind::InvalidOperation);
    } catch (const std::exception& e) {
        return failure(std::string("errore interno: ") + e.what(), ErrorKind::InvalidOperation);
    }
}

// The server's answer to a request, as `ferrolit serve` would give it, as JSON.
std::string request(const char* method, const char* path, const char* content_type, std::string body) {
    cli::serve::Request r{method, path, std::move(body), content_type};
    const cli::serve::Response answer = cli::serve::handle(r, {FERROLIT_VERSION_STRING, 0});
    json headers = json::object();
    for (const auto& [name, value] : answer.headers) headers[name] = value;
    return dump(
        {{"status", answer.status}, {"type", answer.content_type}, {"headers", headers}, {"body", answer.body}});
}

// The last answer, kept until the next call.
std::string last_answer;

// The answer's text, its length in bytes in *size; NULL when memory is exhausted.
template <class Answer>
const char* answer_of(Answer&& compute, std::size_t* size) {
    try {
        last_answer = compute();
    } catch (...) {
        last_answer.clear();
        last_answer.shrink_to_fit();
        return nullptr;
    }
    *size = last_answer.size();
    return last_answer.c_str();
}

}  // namespace

}  // namespace ferrolit::web

extern "C" {

// The JavaScript API's functions by name: verify, design, analyse, record.
// The answer's length goes to *answer_size, so that the caller need not
// search for its end, and *failed says whether it is an error's answer.
EMSCRIPTEN_KEEPALIVE const char* ferrolit_web_call(const char* action, const char* input, std::size_t input_size,
                                                   std::size_t* answer_size, int* failed) {
    return ferrolit::web::answer_of(
        [&] { return ferrolit::web::call(action, std::string_view(input, input_size), failed); }, answer_size);
}

// One request to the page's server, answered here instead: the page's script
// calls its API the same way whether it is served or opened from disk.
EMSCRIPTEN_KEEPALIVE const char* ferrolit_web_request(const char* method, const char* path, const char* content_type,
                                                      const char* body, std::size_t body_size,
                                                      std::size_t* answer_size) {
    return ferrolit::web::answer_of(
        [&] { return ferrolit::web::request(method, path, content_type, std::string(body, body_size)); }, answer_size);
}

}  // extern "C"
