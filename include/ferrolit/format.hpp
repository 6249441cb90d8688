#pragma once

// Numbers as the Italian texts of ferrolit write them: the verification's
// notes and messages, the records, the drawings and the web server all call
// these functions, so a number reads the same everywhere.
//
// The rules: a decimal comma whatever the C locale; a fixed count of
// decimals where asked; no negative zero ("-0,00" reads "0,00"); a value whose
// fixed form would be longer than 15 integer digits in scientific form
// ("1,00e+70"); infinities as "∞" and "−∞", a value that is not a number as
// "—". Every result is valid UTF-8 without NUL bytes.

#include <string>
#include <string_view>

#include "ferrolit/export.hpp"

namespace ferrolit::format {

// Decimals of a utilisation ratio (demand/capacity) everywhere: three, so
// that a ratio just above 1 (1,004) never reads as 1,00 beside a failed check.
inline constexpr int kRatioPlaces = 3;

// `places` decimals (0…17, clamped): 14,17.
FERROLIT_API std::string decimal(double value, int places);

// Up to `digits` significant digits (1…17, clamped), trailing zeros
// dropped: 14,1667; 0,0675; 1e+06.
FERROLIT_API std::string significant(double value, int digits = 6);

// A utilisation ratio with kRatioPlaces decimals; "∞" when unbounded.
FERROLIT_API std::string ratio(double value);

// The same in words for drawings and the HTML record: "illimitato" when unbounded.
FERROLIT_API std::string ratio_words(double value);

// A drawing coordinate (SVG): a decimal point, `places` decimals, and 0 for
// a value that is not finite, so an attribute is always a number.
FERROLIT_API std::string coordinate(double value, int places);

// A text as valid UTF-8 without NUL: every byte that does not belong to a
// well-formed sequence (and every NUL) becomes U+FFFD "�". For texts that
// quote input bytes, such as a JSON parser's "last read".
FERROLIT_API std::string valid_utf8(std::string_view text);

// The same JSON text with every character beyond ASCII written as a \u
// escape (UTF-16, a surrogate pair beyond U+FFFF), and any malformed UTF-8
// as U+FFFD: for the page's JavaScript, which decodes ASCII text several
// times faster than UTF-8. `json` must be JSON text (so that bytes beyond
// ASCII stand only inside its strings).
FERROLIT_API std::string ascii_json(std::string_view json);

}  // namespace ferrolit::format
