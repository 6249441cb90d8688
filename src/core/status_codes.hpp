#pragma once

// The status codes of the library, one row each: the number a C host sees
// (FERROLIT_E_*), the name that ErrorKind gives it in C++ and Python, and its
// standard Italian description. describe(), the C interface's descriptions
// and enumeration, and Python's ferrolit.ErrorKind all read this table.

#include <cstdint>
#include <string_view>

#include "ferrolit/error.hpp"
#include "ferrolit/ferrolit.h"

namespace ferrolit::detail {

struct StatusCode {
    ferrolit_status code;
    const char* name;
    const char* description;
};

// The row of a code that C++ raises as an ErrorKind: the enumerator of that
// name must carry the C number.
template <ErrorKind Kind, ferrolit_status Code>
constexpr StatusCode kind_row(const char* name, const char* description) {
    static_assert(static_cast<ferrolit_status>(Kind) == Code, "ErrorKind and FERROLIT_E_* disagree");
    return {Code, name, description};
}

#define FERROLIT_KIND_ROW(Name, CODE, description) \
    ::ferrolit::detail::kind_row<::ferrolit::ErrorKind::Name, FERROLIT_E_##CODE>(#Name, description)

// Every failure status, by number. The last four are failures of the C
// interface itself, which no C++ call raises.
inline constexpr StatusCode kStatusCodes[] = {
    FERROLIT_KIND_ROW(InvalidOperation, INVALID_OPERATION, "Chiamata di routine o argomento non validi"),
    FERROLIT_KIND_ROW(Overflow, OVERFLOW, "Overflow"),
    {FERROLIT_E_OUT_OF_MEMORY, "OutOfMemory", "Memoria esaurita"},
    FERROLIT_KIND_ROW(InvalidIndex, INVALID_INDEX, "Indice non compreso nell'intervallo"),
    FERROLIT_KIND_ROW(DivisionByZero, DIVISION_BY_ZERO, "Divisione per zero"),
    FERROLIT_KIND_ROW(TypeMismatch, TYPE_MISMATCH, "Tipo non corrispondente"),
    {FERROLIT_E_INTERNAL, "Internal", "Errore interno"},
    FERROLIT_KIND_ROW(ObjectRequired, OBJECT_REQUIRED, "Variabile oggetto non impostata"),
    {FERROLIT_E_CANNOT_CREATE, "CannotCreate", "Impossibile creare l'oggetto"},
    {FERROLIT_E_MEMBER_NOT_FOUND, "MemberNotFound", "Proprietà o metodo non supportati dall'oggetto"},
    {FERROLIT_E_ARGUMENT_COUNT, "ArgumentCount", "Numero di argomenti errato o assegnazione di proprietà non valida"},
};

#undef FERROLIT_KIND_ROW

// The standard description of a status; nullptr for a number with no row.
constexpr const char* status_description(ferrolit_status code) {
    for (const StatusCode& row : kStatusCodes)
        if (row.code == code) return row.description;
    return nullptr;
}

}  // namespace ferrolit::detail
