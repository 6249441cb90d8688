#include "serve/members_route.hpp"

#include <new>
#include <nlohmann/json.hpp>

#include "common/local_date.hpp"
#include "ferrolit/members.hpp"
#include "record/members_record.hpp"

namespace ferrolit::cli::serve {

namespace {

using nlohmann::json;

std::string line(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace) + "\n"; }

std::string error_line(const std::string& message, const std::string& key = {}) {
    return line({{"errore", message}, {"chiave", key.empty() ? json(nullptr) : json(key)}});
}

}  // namespace

std::optional<MembersRequest> read_members_request(std::string_view body, RequestProblem& problem) {
    const json root = json::parse(body, nullptr, false);
    const auto refuse = [&](std::string key, std::string message) {
        problem = {std::move(key), std::move(message)};
        return std::nullopt;
    };
    if (!root.is_object() || !root.contains("modello"))
        return refuse("", "la richiesta è un oggetto JSON {\"modello\": {...}, \"sollecitazioni\": testo CSV}");
    for (const auto& [key, value] : root.items())
        if (key != "modello" && key != "sollecitazioni")
            return refuse(key, "chiave sconosciuta: ammesse modello, sollecitazioni");
    const json& model = root["modello"];
    if (!model.is_object()) return refuse("modello", "il modello è un oggetto {progetto, sezioni, membrature, ...}");
    MembersRequest request;
    if (const auto csv = root.find("sollecitazioni"); csv != root.end()) {
        if (!csv->is_string())
            return refuse("sollecitazioni", "atteso il testo CSV della tabella delle sollecitazioni");
        request.forces_csv = csv->get<std::string>();
    }
    const auto rows = model.find("sollecitazioni");
    if (request.forces_csv.empty() && rows != model.end() && rows->is_string())
        return refuse("sollecitazioni",
                      "il file " + rows->get<std::string>() +
                          " non è stato aperto: aprire il file CSV delle sollecitazioni nella pagina");
    request.model = model.dump(-1, ' ', false, json::error_handler_t::replace);
    return request;
}

void stream_members(const MembersRequest& request, const std::string& version, const Write& write) {
    std::size_t reported = 0, last_done = 0;  // per cent, members
    MembersOptions options;
    options.source = "<progetto>";
    options.jobs = 1;  // the server's pool of long requests is the parallelism
    options.progress = [&](const MembersProgress& p) {
        const std::size_t percent = p.total == 0 ? 100 : 100 * p.done / p.total;
        // The same count again (the run reports while it waits), or no new per cent.
        if (p.done == last_done || (percent == reported && p.done != p.total)) return;
        reported = percent;
        last_done = p.done;
        write(line({{"fatte", p.done}, {"totale", p.total}}));
    };
    try {
        const MembersResult result = request.forces_csv.empty()
                                         ? verify_members(request.model, options)
                                         : verify_members(request.model, request.forces_csv, options);
        const std::string record = members_record(result, {version, local_date("%Y-%m-%d")});
        write("{\"risultato\":" + to_json(result, -1) +
              ",\"relazione_html\":" + json(record).dump(-1, ' ', false, json::error_handler_t::replace) + "}\n");
    } catch (const InputError& e) {
        write(error_line(e.what(), e.key()));
    } catch (const Error& e) {
        write(error_line(e.what()));
    } catch (const std::bad_alloc&) {
        write(error_line("memoria esaurita: riprovare con un progetto più piccolo"));
    } catch (const std::exception& e) {
        write(error_line(std::string("errore interno: ") + e.what()));
    }
}

}  // namespace ferrolit::cli::serve
