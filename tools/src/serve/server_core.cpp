#include "serve/server_core.hpp"

#include <algorithm>
#include <cctype>
#include <new>
#include <nlohmann/json.hpp>
#include <string_view>

#include "common/check_families.hpp"
#include "common/example.hpp"
#include "common/local_date.hpp"
#include "common/text_lines.hpp"
#include "ferrolit/verify.hpp"
#include "plot/domains_svg.hpp"
#include "record/html_record.hpp"
#include "serve/members_route.hpp"
#include "serve/web_assets.hpp"

namespace ferrolit::cli::serve {

namespace {

using nlohmann::json;

constexpr std::string_view kJson = "application/json; charset=utf-8";
constexpr std::string_view kHtml = "text/html; charset=utf-8";
// The source a record names for a section sent by the page.
constexpr const char* kPageSource = "<pagina web>";
// Sections in one JSON Lines record: each takes milliseconds; this bounds a request's work.
constexpr std::size_t kMostBatchSections = 500;

// The page: its own scripts (the module's WebAssembly compiled from its own
// script) and style sheet, requests to this server only, the domains' SVG inline. 'unsafe-inline' styles are for the record shown in the
// page (an iframe's srcdoc inherits this policy), whose style sheet is in the
// record itself so that the downloaded file stands alone; no script is inline.
constexpr const char* kPagePolicy =
    "default-src 'none'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self' 'unsafe-inline'; img-src 'self' data:; "
    "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
// The API's answers are data: nothing in them may run, load or be framed.
constexpr const char* kDataPolicy = "default-src 'none'; frame-ancestors 'none'; sandbox";

enum class Action { Page, Asset, Example, Names, Verify, Design, Record, Members };

struct Route {
    std::string_view path;
    std::string_view method;
    Action action;
    bool heavy;  // may take seconds: run apart from the page's requests
};

// One table of what the server answers; the 404 and 405 answers follow from it.
constexpr Route kRoutes[] = {
    {"/", "GET", Action::Page, false},
    {"/index.html", "GET", Action::Page, false},
    {"/app.js", "GET", Action::Asset, false},
    {"/project.js", "GET", Action::Asset, false},
    {"/app.css", "GET", Action::Asset, false},
    {"/palette.css", "GET", Action::Asset, false},
    {"/ferrolit.js", "GET", Action::Asset, false},
    {"/api/example", "GET", Action::Example, false},
    {"/api/names", "GET", Action::Names, false},
    {"/api/verify", "POST", Action::Verify, false},
    {"/api/design", "POST", Action::Design, true},
    {"/api/record", "POST", Action::Record, true},
    {"/api/members", "POST", Action::Members, true},
};

const Route* route_of(std::string_view path) {
    const auto r = std::find_if(std::begin(kRoutes), std::end(kRoutes), [&](const Route& x) { return x.path == path; });
    return r == std::end(kRoutes) ? nullptr : r;
}

// A JSON string, any invalid UTF-8 replaced rather than thrown on.
std::string json_string(std::string_view text) {
    return json(std::string(text)).dump(-1, ' ', false, json::error_handler_t::replace);
}

Response answer(int status, std::string_view content_type, std::string body) {
    Response r;
    r.status = status;
    r.content_type = std::string(content_type);
    r.body = std::move(body);
    return r;
}

Response failure(int status, const std::string& message, const std::string& key = {}) {
    return answer(
        status, kJson,
        "{\"errore\":" + json_string(message) + ",\"chiave\":" + (key.empty() ? "null" : json_string(key)) + "}");
}

const WebAsset* asset(std::string_view path) {
    for (std::size_t i = 0; i < kWebAssetCount; ++i)
        if (kWebAssets[i].path == path) return &kWebAssets[i];
    return nullptr;
}

Response serve_asset(std::string_view path, const ServerOptions& options) {
    const WebAsset* a = asset(path);
    if (a == nullptr) return failure(404, "risorsa non trovata: " + std::string(path));
    const bool module = path == "/ferrolit.js" && !options.module.empty();
    Response r = answer(200, a->content_type, std::string(module ? options.module : a->body));
    // Kept by the browser but asked again each time: a new program serves a new page.
    r.headers.emplace_back("Cache-Control", "no-cache");
    if (path == "/index.html") r.headers.emplace_back("Content-Security-Policy", kPagePolicy);
    return r;
}

std::string lower(std::string_view text) {
    std::string m(text);
    std::transform(m.begin(), m.end(), m.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return m;
}

// The media type without parameters, in lower case.
std::string media_type(std::string_view content_type) {
    const std::string m = lower(content_type.substr(0, content_type.find(';')));
    const auto first = m.find_first_not_of(" \t");
    const auto last = m.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : m.substr(first, last - first + 1);
}

bool is_json_lines(const std::string& media) { return media == "application/x-ndjson" || media == "application/jsonl"; }

// JSON bodies only: a cross-site form or a fetch without a preflight can send
// text/plain, form encodings or no type at all, never these.
bool accepts(const std::string& media, Action action) {
    if (media == "application/json") return true;
    return action == Action::Record && is_json_lines(media);
}

// The names under which the page reaches this server.
bool is_own_host(std::string_view host, const ServerOptions& options) {
    const std::string port = ":" + std::to_string(options.port);
    const std::string h = lower(host);
    return h == "127.0.0.1" + port || h == "localhost" + port;
}

// A browser names the page that sends a request: http:// and one of the names above.
bool is_own_origin(std::string_view origin, const ServerOptions& options) {
    constexpr std::string_view scheme = "http://";
    return lower(origin.substr(0, scheme.size())) == scheme && is_own_host(origin.substr(scheme.size()), options);
}

template <class E, std::size_t N>
json names_of(const Named<E> (&table)[N]) {
    json names = json::array();
    for (const Named<E>& row : table) names.push_back(row.name);
    return names;
}

// The fields of the page's form that a shape takes: its profile's
// (rectangle, flanged), its outline's (polygon) or its circle's (circle, annulus).
std::string_view shape_fields(ShapeKind kind) {
    if (kind == ShapeKind::Polygon) return "polygon";
    if (kind == ShapeKind::Annulus) return "annulus";
    if (is_circular(kind)) return "circle";
    return kind == ShapeKind::Rectangle ? "rectangle" : "flanged";
}

// The names the page's lists offer, from the library's own tables.
std::string names() {
    json shapes = json::object();
    for (const Named<ShapeKind>& row : kShapeKinds) shapes[std::string(row.name)] = shape_fields(row.value);
    json checks = json::object();
    for (const CheckFamily& f : kCheckFamilies) checks[std::string(f.id)] = f.title;
    const json all{{"calcestruzzo", analysis::concrete_class_names()},
                   {"acciaio", analysis::steel_class_names()},
                   {"elemento", names_of(kMemberTypes)},
                   {"tipo", names_of(kCombinationKinds)},
                   {"ambiente", names_of(kEnvironments)},
                   {"forma", names_of(kShapeKinds)},
                   {"campi_forma", shapes},
                   {"verifiche", checks}};
    return all.dump();
}

RecordOptions record_options(const ServerOptions& options, bool batch) {
    RecordOptions o;
    o.version = options.version;
    o.date = local_date("%Y-%m-%d");
    o.batch_summary = batch;
    return o;
}

VerificationResult run(const std::string& body, bool design_bars) {
    const VerificationInput input = read_verification_input(body);
    return design_bars ? design(input) : verify(input);
}

// The result and what the page draws: the domains and the record.
Response verification(const Request& request, const ServerOptions& options, bool design_bars) {
    const VerificationResult r = run(request.body, design_bars);
    const std::vector<RecordSection> record{{kPageSource, 0, r, {}}};
    std::string body = "{\"result\":" + to_json(r, -1);
    body += ",\"domains_svg\":" + json_string(domains_svg(r, domains_of(r)));
    body += ",\"record_html\":" + json_string(html_record(record, record_options(options, false)));
    return answer(200, kJson, body + "}");
}

// A file name for the download from the section's description.
std::string file_name(const std::vector<RecordSection>& sections) {
    std::string name;
    if (sections.size() == 1 && sections.front().result)
        for (const char c : sections.front().result->input.description)
            name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ? c : '_';
    if (name.empty()) name = sections.size() == 1 ? "sezione" : "sezioni";
    return "relazione-" + name.substr(0, 60) + ".html";
}

Response record(const Request& request, const ServerOptions& options) {
    std::vector<RecordSection> sections;
    const bool batch = is_json_lines(media_type(request.content_type));
    if (batch) {
        if (non_blank_lines(request.body) > kMostBatchSections)
            return failure(413,
                           "troppe righe: al massimo " + std::to_string(kMostBatchSections) + " sezioni per relazione");
        BatchOptions batch_options;
        batch_options.source = kPageSource;
        batch_options.jobs = 1;
        verify_lines(request.body, batch_options, [&](BatchItem&& item) {
            sections.push_back({batch_options.source, item.line, std::move(item.result), std::move(item.error)});
        });
        if (sections.empty()) return failure(400, "nessuna sezione: il testo JSON Lines è vuoto");
    } else {
        sections.push_back({kPageSource, 0, run(request.body, false), {}});
    }
    Response r = answer(200, kHtml, html_record(sections, record_options(options, batch)));
    r.headers.emplace_back("Content-Disposition", "attachment; filename=\"" + file_name(sections) + "\"");
    return r;
}

// The members of a project, streamed with their progress (members_route.hpp).
Response members(const Request& request, const ServerOptions& options) {
    RequestProblem problem;
    std::optional<MembersRequest> parts = read_members_request(request.body, problem);
    if (!parts) return failure(400, problem.message, problem.key);
    Response r = answer(200, "application/x-ndjson; charset=utf-8", {});
    r.stream = [parts = std::move(*parts), version = options.version](const Write& write) {
        stream_members(parts, version, write);
    };
    return r;
}

Response dispatch(const Request& request, const ServerOptions& options, Action action) {
    switch (action) {
        case Action::Page:
            return serve_asset("/index.html", options);
        case Action::Asset:
            return serve_asset(request.path, options);
        case Action::Example:
            return answer(200, kJson, kExampleSection);
        case Action::Names:
            return answer(200, kJson, names());
        case Action::Verify:
            return verification(request, options, false);
        case Action::Design:
            return verification(request, options, true);
        case Action::Record:
            return record(request, options);
        case Action::Members:
            return members(request, options);
    }
    return failure(500, "azione sconosciuta");
}

}  // namespace

void add_policy_headers(Response& response) {
    const auto has = [&](std::string_view name) {
        return std::any_of(response.headers.begin(), response.headers.end(),
                           [&](const auto& h) { return h.first == name; });
    };
    response.headers.emplace_back("X-Content-Type-Options", "nosniff");
    if (!has("Content-Security-Policy")) response.headers.emplace_back("Content-Security-Policy", kDataPolicy);
    // Results and records are computed for one request and never reused.
    if (!has("Cache-Control")) response.headers.emplace_back("Cache-Control", "no-store");
}

std::optional<Response> refusal(const Request& request, const ServerOptions& options) {
    const std::string port = std::to_string(options.port);
    std::optional<Response> r;
    if (!is_own_host(request.host, options))
        r = failure(421, "richiesta per un altro nome (Host \"" + request.host +
                             "\"): il server risponde solo a 127.0.0.1:" + port + " e localhost:" + port);
    else if (!request.origin.empty() && !is_own_origin(request.origin, options))
        r = failure(
            403, "origine non ammessa: " + request.origin + "; il server accetta richieste solo dalla propria pagina");
    if (r) add_policy_headers(*r);
    return r;
}

bool is_heavy(const Request& request) {
    const Route* route = route_of(request.path);
    return route != nullptr && route->heavy && request.method == route->method;
}

Response busy(const std::string& why, int retry_after_seconds) {
    Response r =
        failure(503, "server occupato: " + why + "; riprovare tra " + std::to_string(retry_after_seconds) + " s");
    r.headers.emplace_back("Retry-After", std::to_string(retry_after_seconds));
    add_policy_headers(r);
    return r;
}

namespace {

Response route_request(const Request& request, const ServerOptions& options) {
    try {
        const Route* route = route_of(request.path);
        if (route == nullptr) return failure(404, "indirizzo sconosciuto: " + request.path);
        if (request.method != route->method && !(request.method == "HEAD" && route->method == "GET")) {
            Response r = failure(405, "metodo " + request.method + " non ammesso per " + request.path + ": usare " +
                                          std::string(route->method));
            r.headers.emplace_back("Allow", std::string(route->method));
            return r;
        }
        if (request.body.size() > kMostBodyBytes)
            return failure(413, "richiesta troppo grande: al massimo " + std::to_string(kMostBodyBytes >> 20) + " MiB");
        if (route->method == "POST" && !accepts(media_type(request.content_type), route->action))
            return failure(415, "tipo di contenuto non ammesso: " + request.content_type +
                                    " (inviare la sezione come application/json)");
        return dispatch(request, options, route->action);
    } catch (const InputError& e) {
        return failure(400, e.what(), e.key());
    } catch (const Error& e) {
        return failure(400, e.what());
    } catch (const std::bad_alloc&) {
        return failure(503, "memoria esaurita: riprovare con una sezione più piccola");
    } catch (const std::exception& e) {
        return failure(500, std::string("errore interno: ") + e.what());
    }
}

}  // namespace

Response handle_streamed(const Request& request, const ServerOptions& options) {
    Response r = route_request(request, options);
    add_policy_headers(r);
    return r;
}

Response handle(const Request& request, const ServerOptions& options) {
    Response r = handle_streamed(request, options);
    if (r.stream) {
        r.stream([&r](std::string_view piece) {
            r.body += piece;
            return true;
        });
        r.stream = nullptr;
    }
    return r;
}

}  // namespace ferrolit::cli::serve
