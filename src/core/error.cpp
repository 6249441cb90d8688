#include "ferrolit/error.hpp"

namespace ferrolit {

const char* describe(ErrorKind kind) noexcept {
    switch (kind) {
        case ErrorKind::InvalidOperation:
            return "Chiamata di routine o argomento non validi";
        case ErrorKind::Overflow:
            return "Overflow";
        case ErrorKind::InvalidIndex:
            return "Indice non compreso nell'intervallo";
        case ErrorKind::DivisionByZero:
            return "Divisione per zero";
        case ErrorKind::TypeMismatch:
            return "Tipo non corrispondente";
        case ErrorKind::ObjectRequired:
            return "Variabile oggetto non impostata";
    }
    return "Errore";
}

Error::Error(ErrorKind kind) : std::runtime_error(describe(kind)), kind_(kind) {}

Error::Error(ErrorKind kind, const std::string& description) : std::runtime_error(description), kind_(kind) {}

}  // namespace ferrolit
