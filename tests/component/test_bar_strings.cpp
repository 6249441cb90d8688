#include <gtest/gtest.h>

#include <ferrolit/ferrolit.hpp>

namespace {

struct StringCase {
    const char* text;
    float smallest, largest, area;
};

void PrintTo(const StringCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class BarStrings : public ::testing::TestWithParam<StringCase> {};

TEST_P(BarStrings, ReadsSmallestLargestAndArea) {
    const StringCase& c = GetParam();
    ferrolit::clsGenVerSez reg;
    EXPECT_EQ(reg.EstraiFmin(c.text), c.smallest);
    EXPECT_EQ(reg.EstraiFmax(c.text), c.largest);
    EXPECT_EQ(reg.EstraiAs(c.text), c.area);
}

INSTANTIATE_TEST_SUITE_P(Grammar, BarStrings,
                         ::testing::Values(StringCase{"3f16+2f12", 12, 16, 829}, StringCase{"4F20", 20, 20, 1256},
                                           StringCase{"2 f 14 + 1 f 10", 10, 14, 387},
                                           StringCase{"0f16+2f12", 12, 12, 226}, StringCase{"3f16+", 16, 16, 603},
                                           StringCase{"3f16+2x12", 16, 16, 603}, StringCase{"3f16+2f1x", 0, 0, 0},
                                           StringCase{"f16", 0, 0, 0}, StringCase{"4f", 0, 0, 0},
                                           StringCase{"3\xC3\xB8"
                                                      "16",
                                                      0, 0, 0},
                                           StringCase{"", 0, 0, 0},
                                           // a "+" before the "f" of its group leaves a count that is no number
                                           StringCase{"2+3f16", 0, 0, 0},
                                           // an empty diameter between "f" and "+"
                                           StringCase{"3f+2f12", 0, 0, 0},
                                           // a group with a zero diameter is skipped, not an error
                                           StringCase{"3f0+2f12", 12, 12, 226},
                                           // beyond 16 bits the whole string is worth 0
                                           StringCase{"40000f12", 0, 0, 0}, StringCase{"2f12+1f99999", 0, 0, 0},
                                           // other white space is not removed
                                           StringCase{"2f\t12", 0, 0, 0},
                                           // a fractional count is rounded half to even
                                           StringCase{"2.5f10", 10, 10, 158}, StringCase{"3.5f10", 10, 10, 316},
                                           StringCase{"1f5+1f6+1f8+1f10+1f12+1f14+1f16+1f18", 5, 18,
                                                      20 + 28 + 50 + 79 + 113 + 154 + 201 + 254}));

TEST(BarStrings, AreaOfOneBarForEveryTableDiameter) {
    const int diameters[] = {5, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 25, 26, 28, 30};
    const float areas[] = {20, 28, 50, 79, 113, 154, 201, 254, 314, 380, 452, 491, 531, 616, 707};
    for (std::size_t i = 0; i < std::size(diameters); ++i) {
        EXPECT_EQ(ferrolit::bar_area("1f" + std::to_string(diameters[i])), areas[i]) << diameters[i];
    }
}

}  // namespace
