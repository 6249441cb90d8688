#include <gtest/gtest.h>

#include <ferrolit/ferrolit.hpp>

namespace {

TEST(BarStrings, ReadsSmallestLargestAndArea) {
    const struct {
        const char* text;
        float smallest, largest, area;
    } cases[] = {{"3f16+2f12", 12, 16, 829},
                 {"4F20", 20, 20, 1256},
                 {"2 f 14 + 1 f 10", 10, 14, 387},
                 {"0f16+2f12", 12, 12, 226},
                 {"3f16+", 16, 16, 603},
                 {"3f16+2x12", 16, 16, 603},
                 {"3f16+2f1x", 0, 0, 0},
                 {"f16", 0, 0, 0},
                 {"4f", 0, 0, 0},
                 {"3ø16", 0, 0, 0},
                 {"", 0, 0, 0},
                 {"2+3f16", 0, 0, 0},        // a "+" before the "f" of its group leaves a count that is no number
                 {"3f+2f12", 0, 0, 0},       // an empty diameter between "f" and "+"
                 {"3f0+2f12", 12, 12, 226},  // a group with a zero diameter is skipped, not an error
                 {"40000f12", 0, 0, 0},      // beyond 16 bits the whole string is worth 0
                 {"2f12+1f99999", 0, 0, 0},
                 {"2f\t12", 0, 0, 0},      // other white space is not removed
                 {"2.5f10", 10, 10, 158},  // a fractional count is rounded half to even
                 {"3.5f10", 10, 10, 316},
                 {"1f5+1f6+1f8+1f10+1f12+1f14+1f16+1f18", 5, 18, 20 + 28 + 50 + 79 + 113 + 154 + 201 + 254}};
    ferrolit::clsGenVerSez reg;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << '"');
        EXPECT_EQ(reg.EstraiFmin(c.text), c.smallest);
        EXPECT_EQ(reg.EstraiFmax(c.text), c.largest);
        EXPECT_EQ(reg.EstraiAs(c.text), c.area);
    }
}

TEST(BarStrings, AreaOfOneBarForEveryTableDiameter) {
    const int diameters[] = {5, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 25, 26, 28, 30};
    const float areas[] = {20, 28, 50, 79, 113, 154, 201, 254, 314, 380, 452, 491, 531, 616, 707};
    for (std::size_t i = 0; i < std::size(diameters); ++i) {
        EXPECT_EQ(ferrolit::bar_area("1f" + std::to_string(diameters[i])), areas[i]) << diameters[i];
    }
}

}  // namespace
