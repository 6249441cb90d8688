#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include <ferrolit/analysis.hpp>
#include <ferrolit/ferrolit.hpp>
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

// Plain numbers as the message boxes write them; patterns round half away
// from zero on the decimal form.
TEST_F(Renderings, PlainNumbersAndPatterns) {
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
    const struct {
        float value;
        int decimals;
        const char* text;
    } patterns[] = {
        {2.675f, 2, "2,68"},   {-2.675f, 2, "-2,68"}, {0.005f, 2, "0,01"},
        {0.3f, 2, "0,30"},     {-0.001f, 2, "0,00"},  {9.995f, 2, "10,00"},
        {804.25f, 1, "804,3"}, {0, 2, "0,00"},        {1e20f, 2, "100000000000000000000,00"},
    };
    for (const auto& c : patterns) EXPECT_EQ(fixed_decimals(c.value, c.decimals), c.text) << c.value;
    EXPECT_EQ(fixed_decimals(2.675, 2), "2,68");
    EXPECT_EQ(fixed_decimals(1.005, 2), "1,01");
    EXPECT_EQ(fixed_decimals(std::numeric_limits<float>::quiet_NaN(), 2), "NaN");
}

// Whether the C locale now in force writes decimals with a comma.
bool comma_in_force() { return std::strcmp(std::localeconv()->decimal_point, ",") == 0; }

// Puts a locale whose decimal mark is a comma in force for the whole process
// (setlocale, as a host may do): Italian if the system has it, another comma
// locale otherwise, else Italian compiled with localedef into a temporary
// folder (LOCPATH). Returns its name, or "" when none can be had.
std::string use_comma_locale() {
    for (const char* name : {"it_IT.UTF-8", "it_IT.utf8", "it_IT", "de_DE.UTF-8", "fr_FR.UTF-8", "es_ES.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr && comma_in_force()) return name;
    }
    char folder[] = "/tmp/ferrolit-locale-XXXXXX";
    if (::mkdtemp(folder) == nullptr) return "";
    const std::string compile = std::string("localedef -i it_IT -f UTF-8 ") + folder + "/it_IT.UTF-8 >/dev/null 2>&1";
    if (std::system(compile.c_str()) != 0) return "";
    ::setenv("LOCPATH", folder, 1);
    if (std::setlocale(LC_ALL, "it_IT.UTF-8") != nullptr && comma_in_force()) return "it_IT.UTF-8";
    return "";
}

// The renderings and a message of the registry, with a point as separator.
std::string renderings_and_a_message() {
    std::string text;
    for (const float value : {7068.6f, 10.0f, -2.675f, 0.5f, 113.05f, 12345678.0f, 2e-5f, 3.4028235e38f}) {
        text += plain_number(value) + "|" + fixed_decimals(value, 2) + "|" + fixed_decimals(value, 1) + "|" +
                fixed_decimals(double{value} * 1.5, 2) + "\n";
    }
    ferrolit::clsGenVerSez registry;
    bool procedi = true;
    std::string msg;
    (void)registry.EstraiFerriMin(2000, 100, 1, 7, 12, procedi, msg);  // "B-c =10.00 cm", "As =452.0mmq"
    text += msg + "\n";
    // The code engine reads bar texts with decimals too.
    for (const double d : ferrolit::analysis::layer_diameters("1f12.5+1f8")) text += plain_number(float(d));
    return text;
}

TEST(HostLocale, LeavesRenderingsAndMessagesAlone) {
    ferrolit::setDecimalSeparator('.');
    std::setlocale(LC_ALL, "C");
    const std::string in_c_locale = renderings_and_a_message();
    const std::string name = use_comma_locale();
    if (name.empty()) {
        ferrolit::setDecimalSeparator('\0');
        GTEST_SKIP() << "no locale with a decimal comma is installed, and localedef could not compile it_IT";
    }
    const std::string under_comma_locale = renderings_and_a_message();
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
    ferrolit::setDecimalSeparator('\0');
    EXPECT_EQ(under_comma_locale, in_c_locale) << "under " << name;
    EXPECT_NE(in_c_locale.find(" 7068.6|7068.60|7068.6|"), std::string::npos);
    EXPECT_NE(in_c_locale.find("B-c =10.00 cm."), std::string::npos);
    EXPECT_NE(in_c_locale.find(" 12.5 8"), std::string::npos);
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
