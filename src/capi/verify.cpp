// The C entry point of the verification: JSON in, JSON out, a status, and
// never an exception or a NULL dereference.

#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>

#include "capi/status.hpp"
#include "ferrolit/ferrolit.h"
#include "ferrolit/verify.hpp"

extern "C" {

int ferrolit_verify_json(const char* json, char** result_json) {
    if (result_json != nullptr) *result_json = nullptr;
    std::string out;
    ferrolit_status status = ferrolit::capi::guard([&] {
        if (json == nullptr)
            throw ferrolit::Error(ferrolit::ErrorKind::InvalidOperation, "ferrolit_verify_json: testo JSON nullo");
        if (result_json == nullptr)
            throw ferrolit::Error(ferrolit::ErrorKind::InvalidOperation,
                                  "ferrolit_verify_json: manca dove scrivere il risultato (result_json nullo)");
        out = ferrolit::verify_json(json);
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
        return ferrolit::capi::record(FERROLIT_E_OUT_OF_MEMORY,
                                      ferrolit::detail::status_description(FERROLIT_E_OUT_OF_MEMORY));
    std::memcpy(copy, out.c_str(), out.size() + 1);
    *result_json = copy;
    return status;
}

void ferrolit_json_free(char* json) { std::free(json); }

}  // extern "C"
