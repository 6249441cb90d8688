#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include <ferrolit/ferrolit.hpp>

namespace {

using ferrolit::clsSezRett;
using ferrolit::clsSezT;
using ferrolit::ErrorKind;
using ferrolit::PosizioneFerri;
using ferrolit::Section;

// Runs `call` and returns the kind of the Error it raised.
template <class Call>
ErrorKind raised(Call call) {
    try {
        call();
    } catch (const ferrolit::Error& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no error raised";
    return ErrorKind::InvalidOperation;
}

// Base 300, Altezza 500, cover 40 (H_Utile 460).
template <class S>
S beam(const char* kind = "Trave") {
    S s;
    s.TipoSezione(kind);
    s.Base(300);
    s.Altezza(500);
    s.Copriferro_Inf(40);
    s.fyk(450);
    s.fyd(391.3f);
    s.fctm(2.56f);
    return s;
}

// A T with Base 300, web 200, flange 100, Altezza 500, cover 40.
clsSezT tee(const char* kind = "Trave") {
    clsSezT s = beam<clsSezT>(kind);
    s.BaseInf(200);
    s.SpessoreT(100);
    return s;
}

TEST(BarsInOneRow, RectangleAndTee) {
    const clsSezRett r = beam<clsSezRett>();
    const clsSezT t = tee();
    const struct {
        const Section& s;
        PosizioneFerri layer;
        std::int16_t diameter, bars;
    } cases[] = {
        {r, PosizioneFerri::As_inf, 16, 5},   // (300 - 80) / 32 = 6.875
        {r, PosizioneFerri::As_sup, 16, 5},
        {r, PosizioneFerri::As_infY, 16, 12},  // Altezza: 420 / 32 = 13.125
        {r, PosizioneFerri::As_supY, 16, 12},
        {r, static_cast<PosizioneFerri>(7), 16, 12},
        {t, PosizioneFerri::As_sup, 16, 6},   // the flange, one more than the rectangle
        {t, PosizioneFerri::As_inf, 16, 3},   // the web: 120 / 32 = 3.75
        {t, PosizioneFerri::As_supY, 16, 13},
        {r, PosizioneFerri::As_inf, -16, -8},  // -6.875 rounds down to -7
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.s.NFerriMassimo(c.layer, c.diameter), c.bars)
            << static_cast<int>(c.layer) << " " << c.diameter;
    }
    clsSezRett narrow = beam<clsSezRett>();
    narrow.Base(60);  // narrower than twice the cover
    EXPECT_EQ(narrow.NFerriMassimo(PosizioneFerri::As_inf, 16), -2);
}

TEST(BarsInOneRow, ArithmeticFaultsAreRaised) {
    const clsSezRett r = beam<clsSezRett>();
    EXPECT_EQ(raised([&] { r.NFerriMassimo(PosizioneFerri::As_inf, 0); }), ErrorKind::DivisionByZero);
    EXPECT_EQ(raised([&] { r.NFerriMassimo(PosizioneFerri::As_inf, 16384); }), ErrorKind::Overflow);
    clsSezRett wide = beam<clsSezRett>();
    wide.Base(1e7f);
    EXPECT_EQ(raised([&] { wide.NFerriMassimo(PosizioneFerri::As_inf, 1); }), ErrorKind::Overflow);
    clsSezRett empty;
    EXPECT_EQ(raised([&] { empty.NFerriMassimo(PosizioneFerri::As_inf, 0); }), ErrorKind::InvalidOperation);
}

TEST(MinimumReinforcement, BeamTakesTheLargerOfTheTwoRules) {
    clsSezRett s = beam<clsSezRett>();
    EXPECT_FLOAT_EQ(s.AsMin(), 0.26f * 2.56f * 300 * 460 / 450);  // 204.1
    EXPECT_NEAR(s.AsMin(), 204.1, 0.05);
    s.fctm(2.0f);  // t1 = 159.5 < t2
    EXPECT_FLOAT_EQ(s.AsMin(), 179.4f);
    s.TipoSezione("pilastro");  // not a column: the comparison is exact
    EXPECT_FLOAT_EQ(s.AsMin(), 179.4f);

    clsSezT t = tee();  // the web width in both terms
    EXPECT_FLOAT_EQ(t.AsMin(), 0.26f * 2.56f * 200 * 460 / 450);
    t.fctm(2.0f);
    EXPECT_FLOAT_EQ(t.AsMin(), 0.0013f * 200 * 460);
}

TEST(MinimumReinforcement, ColumnTakesAxialForceOrTotalHeight) {
    clsSezRett s = beam<clsSezRett>("Pilastro");
    s.Ned_x(0);
    EXPECT_FLOAT_EQ(s.AsMin(), 0.003f * 300 * 500);
    s.Ned_x(-2000);
    EXPECT_FLOAT_EQ(s.AsMin(), 450);
    s.fyd(100);
    s.Ned_x(8000);  // 0.1 * 8000 / 100 = 8 < 450
    EXPECT_FLOAT_EQ(s.AsMin(), 450);
    s.Ned_x(800000);
    EXPECT_FLOAT_EQ(s.AsMin(), 800);
    clsSezT t = tee("Pilastro");
    EXPECT_FLOAT_EQ(t.AsMin(), 0.003f * 200 * 500);
}

TEST(MinimumReinforcement, ZeroStrengthRaises) {
    clsSezRett s = beam<clsSezRett>();
    s.fyk(0);
    EXPECT_EQ(raised([&] { s.AsMin(); }), ErrorKind::DivisionByZero);
    EXPECT_EQ(raised([&] { s.percMinAs(); }), ErrorKind::DivisionByZero);
    EXPECT_EQ(raised([&] { s.percMaxAs(); }), ErrorKind::DivisionByZero);
    clsSezRett c = beam<clsSezRett>("Pilastro");
    c.fyd(0);
    c.Ned_x(0);
    EXPECT_EQ(raised([&] { c.AsMin(); }), ErrorKind::InvalidOperation);
}

TEST(MaximumReinforcement, FourPercentOfTheGrossArea) {
    EXPECT_FLOAT_EQ(beam<clsSezRett>().AsMax(), 6000);
    EXPECT_FLOAT_EQ(tee().AsMax(), 0.04f * (300 * 100 + 200 * 400));
    EXPECT_FLOAT_EQ(beam<clsSezRett>("Pilastro").AsMax(), 6000);
}

TEST(Ratios, LayersFollowTheSignOfTheMoment) {
    clsSezRett s = beam<clsSezRett>();
    s.As_sup(300);
    s.As_inf(600);
    s.Med_y(0);  // zero counts as hogging: the top layer is in tension
    EXPECT_FLOAT_EQ(s.percAs(), 300.0f / 150000);
    EXPECT_FLOAT_EQ(s.percA1s(), 600.0f / 150000);
    s.Med_y(0.001f);
    EXPECT_FLOAT_EQ(s.percAs(), 600.0f / 150000);
    EXPECT_FLOAT_EQ(s.percA1s(), 300.0f / 150000);
    EXPECT_FLOAT_EQ(s.percMinAs(), 1.4f / 450);
    EXPECT_FLOAT_EQ(s.percMaxAs(), 3.5f / 450 + 300.0f / 150000);
    s.As_supY(1e6f);  // the side layers never take part
    EXPECT_FLOAT_EQ(s.percAs(), 600.0f / 150000);

    clsSezT t = tee();
    t.As_inf(600);
    t.Med_y(10);
    EXPECT_FLOAT_EQ(t.percAs(), 600.0f / 110000);
}

TEST(Ratios, GuardOnlyBaseAndHeight) {
    clsSezRett s = beam<clsSezRett>();
    s.As_inf(600);
    s.Base(0);
    EXPECT_EQ(s.percAs(), 0);
    EXPECT_EQ(s.percA1s(), 0);
    clsSezT t = tee();  // positive Base and Altezza, but no concrete
    t.BaseInf(0);
    t.SpessoreT(0);
    t.As_sup(600);
    EXPECT_EQ(raised([&] { t.percAs(); }), ErrorKind::DivisionByZero);
    EXPECT_EQ(raised([&] { t.percA1s(); }), ErrorKind::InvalidOperation);  // 0 / 0
}

TEST(StirrupLimits, DiameterAndSpacing) {
    clsSezRett s = beam<clsSezRett>();
    EXPECT_EQ(s.fStaffeMinNorm(), 6);
    s.fStaffe(12);
    EXPECT_EQ(s.passoStaffeMinNorm(), 12);
    s.fStaffe(8);
    EXPECT_EQ(s.passoStaffeMinNorm(), 10);
    s.H_Utile(500);
    EXPECT_EQ(s.passoStaffeMaxNorm(), 333);
    s.H_Utile(400);
    EXPECT_EQ(s.passoStaffeMaxNorm(), 320);
    s.H_Utile(416.25f);  // 0.8 * 416.25 = 333: the constant stays
    EXPECT_EQ(s.passoStaffeMaxNorm(), 333);

    clsSezRett c = beam<clsSezRett>("Pilastro");
    EXPECT_EQ(c.fStaffeMinNorm(), 6);
    c.fStaffe(8);
    c.stringaAs_inf("4f24+2f16");
    EXPECT_EQ(c.passoStaffeMinNorm(), 8);  // 24 / 4 = 6 < 8
    c.stringaAs_inf("4f40");
    EXPECT_EQ(c.passoStaffeMinNorm(), 10);
    c.stringaAs_inf("4f20+2f16");
    EXPECT_EQ(c.passoStaffeMaxNorm(), 192);  // 12 * 16
    c.stringaAs_inf("4f24");
    EXPECT_EQ(c.passoStaffeMaxNorm(), 250);
    c.stringaAs_inf("");  // no bars: 12 * 0
    EXPECT_EQ(c.passoStaffeMaxNorm(), 0);
}

TEST(StirrupLimits, LeastAreaPerMetre) {
    EXPECT_FLOAT_EQ(beam<clsSezRett>().AstaffeMin(), 450);
    EXPECT_FLOAT_EQ(tee().AstaffeMin(), 300);  // 1.5 times the web
    EXPECT_EQ(beam<clsSezRett>("Pilastro").AstaffeMin(), 0);
    EXPECT_EQ(tee("Pilastro").AstaffeMin(), 0);
}

TEST(StirrupArea, ZeroSpacingBecomes333) {
    clsSezRett s;
    s.fStaffe(8);
    s.nBracciaStaffe(2);
    s.passoStaffe(0);
    EXPECT_NEAR(s.Astaffa(), 100.53, 0.005);
    EXPECT_NEAR(s.Astaffe_ml(), 301.9, 0.05);
    EXPECT_EQ(s.passoStaffe(), 333);
    s.passoStaffe(250);
    EXPECT_FLOAT_EQ(s.Astaffe_ml(), s.Astaffa() * 4);
    s.passoStaffe(1e-40f);  // too close: the area per metre overflows
    EXPECT_EQ(raised([&] { s.Astaffe_ml(); }), ErrorKind::Overflow);
    EXPECT_EQ(s.passoStaffe(), 1e-40f);
}

TEST(CodeLimits, FaultsLeaveTheCallersFlagsAlone) {
    clsSezRett s = beam<clsSezRett>();
    s.fyk(0);
    std::feclearexcept(FE_ALL_EXCEPT);
    EXPECT_THROW(s.percMinAs(), ferrolit::Error);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO), 0);
}

}  // namespace
