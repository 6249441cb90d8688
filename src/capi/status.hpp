#pragma once

// The status of the C interface: every exception is caught at the boundary
// and turned into a status code, with its description kept per thread; the
// call runs in the library's floating-point environment, the host's being
// restored after it.

#include <exception>
#include <new>
#include <string>
#include <utility>

#include "core/numeric.hpp"
#include "core/status_codes.hpp"
#include "ferrolit/error.hpp"
#include "ferrolit/ferrolit.h"

namespace ferrolit::capi {

// A failure of the interface itself (unknown class or member, wrong
// argument count), with a status that no ErrorKind has. The description is
// the status's own, followed by `particular` when there is one.
struct InterfaceError {
    explicit InterfaceError(ferrolit_status s, const std::string& particular = {})
        : status(s),
          description(std::string(detail::status_description(s)) + (particular.empty() ? "" : ": " + particular)) {}

    ferrolit_status status;
    std::string description;
};

// Keeps the status, its description and the input key it names ("" for none).
ferrolit_status record(ferrolit_status status, const char* description, const char* key = "") noexcept;
const char* last_description() noexcept;
const char* last_key() noexcept;
ferrolit_status last_status() noexcept;

// Runs f; whatever it throws becomes a status and the thread's description.
template <class F>
ferrolit_status guard(F&& f) noexcept {
    const detail::LibraryFpEnvironment environment;
    try {
        detail::fp_isolated(std::forward<F>(f));
        return record(FERROLIT_OK, "");
    } catch (const InterfaceError& e) {
        return record(e.status, e.description.c_str());
    } catch (const InputError& e) {
        return record(static_cast<ferrolit_status>(e.kind()), e.what(), e.key().c_str());
    } catch (const Error& e) {
        return record(static_cast<ferrolit_status>(e.kind()), e.what());
    } catch (const std::bad_alloc&) {
        return record(FERROLIT_E_OUT_OF_MEMORY, detail::status_description(FERROLIT_E_OUT_OF_MEMORY));
    } catch (const std::exception& e) {
        return record(FERROLIT_E_INTERNAL, e.what());
    } catch (...) {
        return record(FERROLIT_E_INTERNAL, detail::status_description(FERROLIT_E_INTERNAL));
    }
}

}  // namespace ferrolit::capi
