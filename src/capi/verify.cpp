// The C entry points of the verification and of the code engine: JSON in,
// JSON out, a status, and never an exception or a NULL dereference.

#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>

#include "capi/status.hpp"
#include "ferrolit/analysis.hpp"
#include "ferrolit/ferrolit.h"
#include "ferrolit/members.hpp"
#include "ferrolit/verify.hpp"

namespace ferrolit::capi {

namespace {

// One JSON text in, one out: the result, or {"error": message} beside the
// status; the text is the caller's to release with ferrolit_json_free.
template <class Compute>
int json_call(const char* name, const char* json, char** result_json, Compute&& compute) {
    if (result_json != nullptr) *result_json = nullptr;
    std::string out;
    ferrolit_status status = guard([&] {
        if (json == nullptr)
            throw ferrolit::Error(ferrolit::ErrorKind::InvalidOperation, std::string(name) + ": testo JSON nullo");
        if (result_json == nullptr)
            throw ferrolit::Error(ferrolit::ErrorKind::InvalidOperation,
                                  std::string(name) + ": manca dove scrivere il risultato (result_json nullo)");
        out = compute(json);
    });
    if (result_json == nullptr) return status;
    if (status != FERROLIT_OK) {
        try {
            out = nlohmann::json{{"error", ferrolit_last_error()}}.dump(-1, ' ', false,
                                                                        nlohmann::json::error_handler_t::replace);
        } catch (...) {
            out = "{\"error\": \"\"}";
        }
    }
    char* copy = static_cast<char*>(std::malloc(out.size() + 1));
    if (copy == nullptr)
        return record(FERROLIT_E_OUT_OF_MEMORY, ferrolit::detail::status_description(FERROLIT_E_OUT_OF_MEMORY));
    std::memcpy(copy, out.c_str(), out.size() + 1);
    *result_json = copy;
    return status;
}

}  // namespace

}  // namespace ferrolit::capi

extern "C" {

int ferrolit_verify_json(const char* json, char** result_json) {
    return ferrolit::capi::json_call("ferrolit_verify_json", json, result_json,
                                     [](const char* text) { return ferrolit::verify_json(text); });
}

int ferrolit_analyse_json(const char* json, char** result_json) {
    return ferrolit::capi::json_call("ferrolit_analyse_json", json, result_json,
                                     [](const char* text) { return ferrolit::analysis::analyse_json(text); });
}

int ferrolit_verify_members_json(const char* model_json, const char* forces_csv, char** result_json) {
    return ferrolit::capi::json_call("ferrolit_verify_members_json", model_json, result_json, [&](const char* text) {
        return ferrolit::verify_members_json(text, forces_csv != nullptr ? forces_csv : "");
    });
}

void ferrolit_json_free(char* json) { std::free(json); }

}  // extern "C"
