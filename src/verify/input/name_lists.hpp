#pragma once

// Reading a name of one of the verification's lists (ferrolit/verify_lists.hpp),
// ignoring letter case, and the message that lists the names allowed.

#include <optional>
#include <string>
#include <string_view>

#include "ferrolit/verify_lists.hpp"

namespace ferrolit::verification {

// Equal but for the case of ASCII letters.
bool same_ignoring_case(std::string_view a, std::string_view b);

template <class E, std::size_t N>
std::optional<E> parse_name(const Named<E> (&table)[N], std::string_view text) {
    for (const Named<E>& row : table)
        if (same_ignoring_case(row.name, text)) return row.value;
    return std::nullopt;
}

// `ammessi "SLU", "SLU sismica", …`: the word, then every name quoted.
template <class E, std::size_t N>
std::string allowed_names(std::string_view word, const Named<E> (&table)[N]) {
    std::string out(word);
    for (std::size_t i = 0; i < N; ++i) out += (i == 0 ? " \"" : ", \"") + std::string(table[i].name) + "\"";
    return out;
}

}  // namespace ferrolit::verification
