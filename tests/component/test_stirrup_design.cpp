#include <gtest/gtest.h>

#include <ferrolit/ferrolit.hpp>

namespace {

using ferrolit::component::Section;

// Counts the beeps of ImpostaStaffeNorm.
class Stirrups : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = ferrolit::setBeepHandler([this] { ++beeps_; });
    }
    void TearDown() override { ferrolit::setBeepHandler(previous_); }

    // Stirrups start at 8 mm, 2 legs, spacing 250; H_Utile 460.
    Section& section(const char* kind, float base, float diameter, std::int16_t legs, float spacing) {
        reg_.CreaSezRett(kind, "S", base, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
        Section& s = *reg_.SezRet(reg_.SezioneCorrente());
        s.fStaffe(diameter);
        s.nBracciaStaffe(legs);
        s.passoStaffe(spacing);
        return s;
    }

    ferrolit::clsGenVerSez reg_;
    int beeps_ = 0;

private:
    ferrolit::BeepHandler previous_;
};

TEST_F(Stirrups, WalkEndsWhereTheMinimumIsMetOrGivesUp) {
    const struct {
        const char* kind;
        float base, diameter;
        std::int16_t legs;
        float spacing;
        const char* bars;  // stringaAs_inf
        float h_utile;
        float end_diameter, end_spacing;
        int beeps;
    } cases[] = {
        // AstaffeMin 1.5 · 334 = 501: 8 mm at 201 mm give 500.2, at 200 mm 502.7
        {"Trave", 334, 8, 2, 250, "", 460, 8, 200, 0},
        // no area at all: spacing down to 10, diameter up to 30, one beep
        {"Trave", 300, 8, 0, 250, "", 460, 30, 10, 1},
        {"Trave", 300, 7, 0, 250, "", 460, 31, 10, 1},            // odd diameters end at 31
        {"Trave", 300, 101, 0, 101.5f, "", 460, 101, 100.5f, 1},  // least spacing 101
        {"Trave", 300, 8, 2, 0, "", 460, 8, 10, 0},               // raised to the least spacing
        // least spacing 12 above the largest 0.8 · 10 = 8: the largest wins
        {"Trave", 0, 12, 2, 10, "", 10, 12, 8, 0},
        {"Trave", 0, 12, 2, 0, "", 10, 12, 12, 0},  // only the raise applies to 0
        // column, no bars: largest spacing 12 · 0, used as 333; least diameter 6
        {"Pilastro", 300, 5, 0, 400, "", 460, 6, 333, 0},
        {"Pilastro", 300, 8, 2, 250, "4f16", 460, 8, 192, 0},
        // negative area, least spacing 2 / 4: the walk never steps onto a zero
        // spacing, which would read as 333 again
        {"Pilastro", 300, 0, -2, 250, "2f2", 460, 30, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << ", stirrups " << c.diameter << " at " << c.spacing);
        beeps_ = 0;
        Section& s = section(c.kind, c.base, c.diameter, c.legs, c.spacing);
        s.stringaAs_inf(c.bars);
        s.H_Utile(c.h_utile);
        reg_.ImpostaStaffeNorm();
        EXPECT_EQ(s.fStaffe(), c.end_diameter) << c.kind << " " << c.diameter << " " << c.spacing;
        EXPECT_EQ(s.passoStaffe(), c.end_spacing) << c.kind << " " << c.diameter << " " << c.spacing;
        EXPECT_EQ(s.nBracciaStaffe(), c.legs);
        EXPECT_EQ(beeps_, c.beeps) << c.kind << " " << c.diameter << " " << c.spacing;
    }
    reg_.SezioneCorrente(99);  // no such section
    EXPECT_THROW(reg_.ImpostaStaffeNorm(), ferrolit::Error);
}

}  // namespace
