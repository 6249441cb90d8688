#include "core/decimal_text.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace ferrolit::detail {

namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr int kLargestPower = 38;  // 10^38 < 2^128 <= 10^39

constexpr std::array<Wide, kLargestPower + 1> kPowersOfTen = [] {
    std::array<Wide, kLargestPower + 1> powers{};
    powers[0] = 1;
    for (int k = 1; k <= kLargestPower; ++k) powers[static_cast<std::size_t>(k)] = powers[k - 1] * 10;
    return powers;
}();

Wide power_of_ten(int k) { return kPowersOfTen[static_cast<std::size_t>(k)]; }

// A positive finite double as mantissa * 2^exponent, exactly.
struct Binary {
    std::uint64_t mantissa;
    int exponent;
};

Binary binary_of(double magnitude) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0) return {fraction, -1074};  // subnormal
    return {fraction | (std::uint64_t{1} << 52), biased - 1075};
}

// Quotient of two wide integers, in 64 bits when both fit there (the usual
// case, and a far cheaper division on 32-bit targets).
void divide(Wide numerator, Wide denominator, Wide& quotient, Wide& remainder) {
    if ((numerator >> 64) == 0 && (denominator >> 64) == 0) {
        const auto n = static_cast<std::uint64_t>(numerator), d = static_cast<std::uint64_t>(denominator);
        quotient = n / d;
        remainder = n % d;
        return;
    }
    quotient = numerator / denominator;
    remainder = numerator % denominator;
}

// magnitude * 10^scale rounded to an integer, ties to even; false when the
// exact quotient does not fit in 128-bit integers.
bool round_scaled(Binary b, int scale, Wide& rounded) {
    if (scale > kLargestPower || -scale > kLargestPower) return false;
    Wide numerator = b.mantissa, denominator = 1;
    if (scale >= 0)
        numerator *= power_of_ten(scale);  // < 2^53 * 10^38 would not fit: checked below
    else
        denominator = power_of_ten(-scale);
    if (scale >= 0 && numerator / power_of_ten(scale) != b.mantissa) return false;
    if (b.exponent >= 0) {
        if (b.exponent >= 126 || (numerator >> (126 - b.exponent)) != 0) return false;
        numerator <<= b.exponent;
    } else {
        const int shift = -b.exponent;
        if (shift >= 126 || (denominator >> (126 - shift)) != 0) {
            // The denominator reaches 2^126 while the numerator stays below
            // 2^125: less than a half, which rounds to zero.
            if ((numerator >> 125) != 0) return false;
            rounded = 0;
            return true;
        }
        denominator <<= shift;
    }
    Wide quotient = 0, remainder = 0;
    divide(numerator, denominator, quotient, remainder);
    if (2 * remainder > denominator || (2 * remainder == denominator && (quotient & 1) != 0)) ++quotient;
    rounded = quotient;
    return true;
}

// The decimal digits of n, without leading zeros ("0" for zero).
struct Digits {
    char text[40];
    int count = 0;
};

Digits digits_of(Wide n) {
    constexpr std::uint64_t kChunk = 10'000'000'000'000'000'000u;  // 10^19
    char reversed[40];
    int count = 0;
    while ((n >> 64) != 0) {
        auto low = static_cast<std::uint64_t>(n % kChunk);
        n /= kChunk;
        for (int k = 0; k < 19; ++k, low /= 10) reversed[count++] = static_cast<char>('0' + low % 10);
    }
    auto rest = static_cast<std::uint64_t>(n);
    do {
        reversed[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    Digits d;
    d.count = count;
    for (int k = 0; k < count; ++k) d.text[k] = reversed[count - 1 - k];
    return d;
}

// Appends to [at, last); false when it does not fit.
struct Output {
    char* at;
    char* last;
    bool fits = true;

    void put(char c) { put(&c, 1); }
    void put(const char* text, int count) {
        if (!fits || last - at < count) {
            fits = false;
            return;
        }
        std::memcpy(at, text, static_cast<std::size_t>(count));
        at += count;
    }
    void zeros(int count) {
        for (int k = 0; k < count; ++k) put('0');
    }
};

// The digits of n with `decimals` of them after the point.
void put_fixed(Output& out, const Digits& d, int decimals) {
    const int whole = d.count - decimals;
    if (whole > 0) {
        out.put(d.text, whole);
    } else {
        out.put('0');
    }
    if (decimals == 0) return;
    out.put('.');
    if (whole < 0) out.zeros(-whole);
    const int shown = whole < 0 ? d.count : decimals;
    out.put(d.text + (d.count - shown), shown);
}

// d1.d2d3...e±XX, at least two digits of exponent.
void put_scientific(Output& out, const Digits& d, int exponent) {
    out.put(d.text[0]);
    if (d.count > 1) {
        out.put('.');
        out.put(d.text + 1, d.count - 1);
    }
    out.put('e');
    out.put(exponent < 0 ? '-' : '+');
    const Digits e = digits_of(static_cast<Wide>(exponent < 0 ? -exponent : exponent));
    if (e.count < 2) out.put('0');
    out.put(e.text, e.count);
}

// The magnitude rounded to `significant` digits: the digits (exactly that
// many) and the decimal exponent of the first one, as %e counts it after
// rounding (9.996 to three digits is 1.00e+01).
bool round_significant(double magnitude, int significant, Wide& rounded, int& exponent) {
    const Binary b = binary_of(magnitude);
    exponent = static_cast<int>(std::floor(std::log10(magnitude)));
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!round_scaled(b, significant - 1 - exponent, rounded)) return false;
        if (rounded >= power_of_ten(significant))
            ++exponent;
        else if (rounded < power_of_ten(significant - 1))
            --exponent;
        else
            return true;
    }
    return false;
}

// %g drops the fraction's trailing zeros, and the point with them.
void trim_fraction(char* begin, char*& end) {
    const char* point = static_cast<const char*>(std::memchr(begin, '.', static_cast<std::size_t>(end - begin)));
    if (point == nullptr) return;
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
}

}  // namespace

std::to_chars_result write_decimal(char* first, char* last, double value, std::chars_format form, int precision) {
    if (!std::isfinite(value) || precision < 0 || precision > kLargestPower - 1)
        return {last, std::errc::not_supported};
    Output out{first, last};
    if (std::signbit(value)) out.put('-');
    const double magnitude = std::fabs(value);
    char* const body = out.at;
    Wide rounded = 0;
    int exponent = 0;
    if (form == std::chars_format::fixed) {
        if (!round_scaled(binary_of(magnitude), precision, rounded)) return {last, std::errc::not_supported};
        put_fixed(out, digits_of(rounded), precision);
    } else if (magnitude == 0) {
        out.put('0');
        if (form == std::chars_format::scientific) {
            if (precision > 0) {
                out.put('.');
                out.zeros(precision);
            }
            out.put("e+00", 4);
        }
    } else {
        const int significant =
            form == std::chars_format::scientific ? precision + 1 : (precision == 0 ? 1 : precision);
        if (significant > kLargestPower || !round_significant(magnitude, significant, rounded, exponent))
            return {last, std::errc::not_supported};
        const Digits d = digits_of(rounded);
        if (form == std::chars_format::scientific) {
            put_scientific(out, d, exponent);
        } else if (exponent >= -4 && exponent < significant) {
            put_fixed(out, d, significant - 1 - exponent);
            if (out.fits) trim_fraction(body, out.at);
        } else {
            Digits mantissa = d;
            while (mantissa.count > 1 && mantissa.text[mantissa.count - 1] == '0') --mantissa.count;
            put_scientific(out, mantissa, exponent);
        }
    }
    if (!out.fits) return {last, std::errc::value_too_large};
    return {out.at, std::errc{}};
}

}  // namespace ferrolit::detail
