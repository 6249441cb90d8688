// The one number formatter (ferrolit/format.hpp): the Italian forms every
// output uses, including the magnitudes that once leaked stack bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <ferrolit/format.hpp>

#include "core/decimal_text.hpp"

namespace {

namespace format = ferrolit::format;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Format, Decimal) {
    const struct {
        double value;
        int places;
        const char* text;
    } cases[] = {
        {14.16667, 2, "14,17"},
        {-0.001, 2, "0,00"},  // no negative zero
        {-0.0, 0, "0"},
        {-2.5, 1, "-2,5"},
        {1234567.0, 0, "1234567"},  // no grouping
        {999999999999999.0, 0, "999999999999999"},
        {1e15, 2, "1,00e+15"},  // from 1e15 on, scientific form
        {1e70, 2, "1,00e+70"},
        {-1e300, 1, "-1,0e+300"},
        {std::numeric_limits<double>::max(), 3, "1,798e+308"},
        {0.5, 40, "0,50000000000000000"},  // places clamped to 17
        {2.0, -3, "2"},
        {kInf, 2, "∞"},
        {-kInf, 2, "−∞"},
        {kNaN, 2, "—"},
    };
    for (const auto& c : cases) EXPECT_EQ(format::decimal(c.value, c.places), c.text) << c.value;
}

TEST(Format, SignificantRatioAndCoordinate) {
    EXPECT_EQ(format::significant(14.166666), "14,1667");
    EXPECT_EQ(format::significant(1e6), "1e+06");
    EXPECT_EQ(format::significant(-1e300, 3), "-1e+300");
    EXPECT_EQ(format::significant(-0.0), "0");
    EXPECT_EQ(format::ratio(0.8954), "0,895");
    EXPECT_EQ(format::ratio(1.0004), "1,000");
    EXPECT_EQ(format::ratio(1e70), "1,000e+70");
    EXPECT_EQ(format::ratio(kInf), "∞");
    EXPECT_EQ(format::ratio_words(kInf), "illimitato");
    EXPECT_EQ(format::ratio_words(0.5), "0,500");
    EXPECT_EQ(format::coordinate(-12.345, 2), "-12.35");  // a decimal point for SVG and CSV
    EXPECT_EQ(format::coordinate(1e70, 1), "1.0e+70");
    EXPECT_EQ(format::coordinate(kNaN, 2), "0");
}

TEST(Format, ValidUtf8) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"già ∞", "già ∞"},
        {std::string("a\0b", 3),
         "a\xEF\xBF\xBD"
         "b"},
        {"\xFF", "\xEF\xBF\xBD"},
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // overlong
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},                  // a surrogate
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // above U+10FFFF
        {"\xE2\x88", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // cut short
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(format::valid_utf8(c.in), c.out) << c.in;
}

// The page's ASCII form of a JSON text reads back as the same JSON: U+FFFD
// for malformed UTF-8, surrogate pairs beyond U+FFFF.
TEST(Format, AsciiJson) {
    const std::string json = "{\"σ ≤ 0,6 fck\": \"àè \xF0\x9F\x98\x80 \\\"§\\\" \xE2\x88\"}";
    const std::string ascii = format::ascii_json(json);
    EXPECT_TRUE(std::all_of(ascii.begin(), ascii.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    EXPECT_NE(ascii.find("\\ud83d\\ude00"), std::string::npos) << ascii;
    EXPECT_EQ(nlohmann::json::parse(ascii), nlohmann::json::parse(format::valid_utf8(json)));
}

// The 128-bit conversion that replaces printf where the C++ library lacks
// floating-point to_chars (WebAssembly) must write what to_chars writes:
// halfway cases such as 0.125 and 2.675 (really 2.67499999...) decide it.
TEST(Format, ExactDecimalFormsEqualToChars) {
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> decade(-12.0, 17.0);
    std::vector<double> values = {0.0,       -0.0,     0.125,    2.675, 0.5,    1.5,
                                  2.5,       9.995,    999999.5, 1e15,  5e-324, std::numeric_limits<double>::max(),
                                  1.0 / 3.0, -14.16667};
    for (int k = 0; k < 4000; ++k) values.push_back((k % 2 != 0 ? -1.0 : 1.0) * std::pow(10.0, decade(random)));
    for (int k = 0; k < 400; ++k) values.push_back(static_cast<double>(random() % 200000) / 1000.0);  // ties
    const std::chars_format forms[] = {std::chars_format::fixed, std::chars_format::scientific,
                                       std::chars_format::general};
    int written = 0;
    for (double v : values)
        for (auto form : forms)
            for (int precision : {0, 1, 2, 3, 6, 12, 17}) {
                char ours[400], theirs[400];
                const auto a = ferrolit::detail::write_decimal(ours, ours + sizeof ours, v, form, precision);
                if (a.ec == std::errc::not_supported) {
                    // left to printf only beyond the magnitudes of engineers' figures
                    EXPECT_FALSE(std::fabs(v) > 1e-6 && std::fabs(v) < 1e15 && precision <= 6) << v;
                    continue;
                }
                const auto b = std::to_chars(theirs, theirs + sizeof theirs, v, form, precision);
                ASSERT_EQ(a.ec, std::errc{});
                ASSERT_EQ(std::string(ours, a.ptr), std::string(theirs, b.ptr))
                    << v << " form " << static_cast<int>(form) << " precision " << precision;
                ++written;
            }
    EXPECT_GT(written, 80000);
}

}  // namespace
