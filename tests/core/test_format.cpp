// The one number formatter (ferrolit/format.hpp): the Italian forms every
// output uses, including the magnitudes that once leaked stack bytes.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include <ferrolit/format.hpp>

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

}  // namespace
