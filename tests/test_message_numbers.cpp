#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

#include <ferrolit/platform.hpp>

#include "core/message_numbers.hpp"
#include "core/platform.hpp"

namespace {

using ferrolit::detail::fixed_decimals;
using ferrolit::detail::plain_number;

class Renderings : public ::testing::Test {
protected:
    void SetUp() override { ferrolit::setDecimalSeparator(','); }
    void TearDown() override { ferrolit::setDecimalSeparator('\0'); }
};

TEST_F(Renderings, PlainNumberText) {
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {1500, " 1500"},
        {0.5f, " .5"},
        {-2.25f, "-2.25"},
        {0, " 0"},
        {113.05f, " 113.05"},
        {-0.05f, "-.05"},
        {1.0000001f, " 1"},
        {123.4567891f, " 123.4568"},
        {12345678, " 1.234568E+07"},
        {0.00002f, " 2E-05"},
        {0.0001f, " .0001"},
    };
    for (const auto& c : cases) EXPECT_EQ(plain_number(c.value), c.text) << c.value;
    EXPECT_EQ(plain_number(std::numeric_limits<float>::quiet_NaN()), " NaN");
    EXPECT_EQ(plain_number(-std::numeric_limits<float>::infinity()), "-Inf");
}

TEST_F(Renderings, PatternsRoundHalfAwayFromZeroOnTheDecimalForm) {
    const struct {
        float value;
        int decimals;
        const char* text;
    } cases[] = {
        {2.675f, 2, "2,68"},   {-2.675f, 2, "-2,68"}, {0.005f, 2, "0,01"},
        {0.3f, 2, "0,30"},     {-0.001f, 2, "0,00"},  {9.995f, 2, "10,00"},
        {804.25f, 1, "804,3"}, {0, 2, "0,00"},        {1e20f, 2, "100000000000000000000,00"},
    };
    for (const auto& c : cases) EXPECT_EQ(fixed_decimals(c.value, c.decimals), c.text) << c.value;
    EXPECT_EQ(fixed_decimals(2.675, 2), "2,68");
    EXPECT_EQ(fixed_decimals(1.005, 2), "1,01");
    EXPECT_EQ(fixed_decimals(std::numeric_limits<float>::quiet_NaN(), 2), "NaN");
}

TEST(DecimalSeparator, FollowsTheLocaleNamedByTheEnvironment) {
    const struct {
        const char* locale;
        char separator;
    } cases[] = {{"it_IT.UTF-8", ','}, {"it", ','}, {"de_DE@euro", ','}, {"en_US.UTF-8", '.'},
                 {"C", '.'},           {"", '.'},   {"xx_YY", '.'},      {"de_CH.UTF-8", '.'}};
    for (const auto& c : cases) EXPECT_EQ(ferrolit::detail::separator_of_locale(c.locale), c.separator) << c.locale;

    ferrolit::setDecimalSeparator('\0');  // back to the environment
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_NUMERIC", "it_IT.UTF-8", 1);
    ::setenv("LANG", "en_US.UTF-8", 1);
    EXPECT_EQ(ferrolit::detail::decimal_separator(), ',');
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(ferrolit::detail::decimal_separator(), '.');
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_NUMERIC");
    ::setenv("LANG", "it_IT", 1);
    EXPECT_EQ(fixed_decimals(0.5f, 1), "0,5");
    ::unsetenv("LANG");
    EXPECT_EQ(ferrolit::detail::decimal_separator(), '.');
    ferrolit::setDecimalSeparator('.');  // fixed by the host
    EXPECT_EQ(fixed_decimals(2.675f, 2), "2.68");
    ferrolit::setDecimalSeparator('\0');
}

}  // namespace
