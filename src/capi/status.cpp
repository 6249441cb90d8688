#include "capi/status.hpp"

namespace ferrolit::capi {

namespace {

struct LastError {
    ferrolit_status status = FERROLIT_OK;
    std::string description;
    std::string key;
};

LastError& last_error() noexcept {
    thread_local LastError last;
    return last;
}

}  // namespace

ferrolit_status record(ferrolit_status status, const char* description, const char* key) noexcept {
    LastError& last = last_error();
    last.status = status;
    try {
        last.description = description;
        last.key = key;
    } catch (...) {
        last.description.clear();  // no room for the text: the status still tells the kind
        last.key.clear();
    }
    return status;
}

const char* last_description() noexcept { return last_error().description.c_str(); }

const char* last_key() noexcept { return last_error().key.c_str(); }

ferrolit_status last_status() noexcept { return last_error().status; }

}  // namespace ferrolit::capi
