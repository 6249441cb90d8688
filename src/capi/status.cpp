#include "capi/status.hpp"

namespace ferrolit::capi {

namespace {

struct LastError {
    ferrolit_status status = FERROLIT_OK;
    std::string description;
};

LastError& last_error() noexcept {
    thread_local LastError last;
    return last;
}

}  // namespace

ferrolit_status record(ferrolit_status status, const char* description) noexcept {
    LastError& last = last_error();
    last.status = status;
    try {
        last.description = description;
    } catch (...) {
        last.description.clear();  // no room for the text: the status still tells the kind
    }
    return status;
}

const char* last_description() noexcept { return last_error().description.c_str(); }

ferrolit_status last_status() noexcept { return last_error().status; }

}  // namespace ferrolit::capi
