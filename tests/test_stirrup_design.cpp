#include <gtest/gtest.h>

#include <ferrolit/ferrolit.hpp>

namespace {

using ferrolit::clsGenVerSez;
using ferrolit::Section;

// Counts the beeps of ImpostaStaffeNorm.
class Stirrups : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = ferrolit::setBeepHandler([this] { ++beeps_; });
    }
    void TearDown() override { ferrolit::setBeepHandler(previous_); }

    // Stirrups 8 mm, 2 legs, spacing 250 (the starting state).
    Section& section(const char* kind, float base, float altezza) {
        reg_.CreaSezRett(kind, "S", base, altezza, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
        return *reg_.SezRet(reg_.SezioneCorrente());
    }

    clsGenVerSez reg_;
    int beeps_ = 0;

private:
    ferrolit::BeepHandler previous_;
};

TEST_F(Stirrups, SpacingClosesMillimetreByMillimetreUntilTheMinimumIsMet) {
    // AstaffeMin 1.5 · 334 = 501: 8 mm at 201 mm give 500.2, at 200 mm 502.7.
    Section& s = section("Trave", 334, 500);
    reg_.ImpostaStaffeNorm();
    EXPECT_EQ(s.passoStaffe(), 200);
    EXPECT_EQ(s.fStaffe(), 8);
    EXPECT_EQ(s.nBracciaStaffe(), 2);
    EXPECT_GE(s.Astaffe_ml(), s.AstaffeMin());
    EXPECT_EQ(beeps_, 0);
}

TEST_F(Stirrups, ColumnOnlyGetsTheLimitCorrections) {
    // No bars in As_inf: the largest spacing is 12 · 0, used as 333; the
    // least diameter is 6.
    Section& s = section("Pilastro", 300, 500);
    s.fStaffe(5);
    s.passoStaffe(400);
    s.nBracciaStaffe(0);  // no area at all, but none is required
    reg_.ImpostaStaffeNorm();
    EXPECT_EQ(s.fStaffe(), 6);
    EXPECT_EQ(s.passoStaffe(), 333);
    EXPECT_EQ(beeps_, 0);

    s.stringaAs_inf("4f16");  // 12 · 16 = 192
    s.passoStaffe(20);       // least spacing max(16 / 4, 6) = 6: kept
    reg_.ImpostaStaffeNorm();
    EXPECT_EQ(s.passoStaffe(), 20);
    s.passoStaffe(250);
    reg_.ImpostaStaffeNorm();
    EXPECT_EQ(s.passoStaffe(), 192);
}

TEST_F(Stirrups, GivesUpWithOneBeepAtThirtyMillimetres) {
    Section& s = section("Trave", 300, 500);
    s.nBracciaStaffe(0);
    reg_.ImpostaStaffeNorm();
    EXPECT_EQ(s.passoStaffe(), 10);  // the least spacing of a beam
    EXPECT_EQ(s.fStaffe(), 30);
    EXPECT_EQ(beeps_, 1);

    s.fStaffe(7);  // an odd diameter rises in odd steps and ends at 31
    reg_.ImpostaStaffeNorm();
    EXPECT_EQ(s.fStaffe(), 31);
    EXPECT_EQ(beeps_, 2);
}

TEST_F(Stirrups, SpacingCanEndBelowTheMinimumByLessThanOneMillimetre) {
    Section& s = section("Trave", 300, 500);
    s.nBracciaStaffe(0);
    s.fStaffe(101);  // least spacing 101
    s.passoStaffe(101.5f);
    reg_.ImpostaStaffeNorm();
    EXPECT_EQ(s.passoStaffe(), 100.5f);
    EXPECT_EQ(s.fStaffe(), 101);
    EXPECT_EQ(beeps_, 1);
}

TEST_F(Stirrups, CrossedLimitsEndAtTheLargestSpacing) {
    Section& s = section("Trave", 0, 500);  // AstaffeMin 0
    s.fStaffe(12);                          // least spacing 12
    s.H_Utile(10);                          // largest spacing 8
    s.passoStaffe(10);
    reg_.ImpostaStaffeNorm();
    EXPECT_EQ(s.passoStaffe(), 8);
}

TEST_F(Stirrups, SpacingBelowTheMinimumIsRaisedToIt) {
    Section& s = section("Trave", 300, 500);
    s.passoStaffe(0);
    reg_.ImpostaStaffeNorm();
    EXPECT_EQ(s.passoStaffe(), 10);
    EXPECT_EQ(s.fStaffe(), 8);
}

TEST_F(Stirrups, NeverLoopsOnANegativeStirrupArea) {
    // Least spacing 2 / 4 = 0.5: stepping onto 0 would read as 333 again.
    Section& s = section("Pilastro", 300, 500);
    s.stringaAs_inf("2f2");
    s.fStaffe(0);
    s.nBracciaStaffe(-2);
    reg_.ImpostaStaffeNorm();
    EXPECT_EQ(s.passoStaffe(), 1);
    EXPECT_EQ(s.fStaffe(), 30);
    EXPECT_EQ(beeps_, 1);
}

TEST_F(Stirrups, NeedsACurrentSection) {
    reg_.SezioneCorrente(1);
    EXPECT_THROW(reg_.ImpostaStaffeNorm(), ferrolit::Error);
}

}  // namespace
