#include "ferrolit/error.hpp"

#include <utility>

#include "core/status_codes.hpp"

namespace ferrolit {

const char* describe(ErrorKind kind) noexcept {
    const char* description = detail::status_description(static_cast<ferrolit_status>(kind));
    return description != nullptr ? description : "Errore";
}

Error::Error(ErrorKind kind) : std::runtime_error(describe(kind)), kind_(kind) {}

Error::Error(ErrorKind kind, const std::string& description) : std::runtime_error(description), kind_(kind) {}

InputError::InputError(const std::string& message, std::string key, std::string problem, int line, std::string source)
    : Error(ErrorKind::InvalidOperation, message),
      key_(std::move(key)),
      problem_(std::move(problem)),
      line_(line),
      source_(std::move(source)) {}

}  // namespace ferrolit
