#include <gtest/gtest.h>

#include <functional>

#include <ferrolit/ferrolit.hpp>

#include "support.hpp"

namespace {

using ferrolit::ErrorKind;
using P = ferrolit::PosizioneFerri;

// Base 300, Altezza 500, cover 40 (H_Utile 460); a T adds web 200, flange 100.
template <class S>
S section(const char* kind = "Trave") {
    S s;
    s.TipoSezione(kind);
    s.Base(300);
    s.Altezza(500);
    s.Copriferro_Inf(40);
    s.fyk(450);
    s.fyd(100);
    s.fctm(2.56f);
    s.fStaffe(8);
    s.nBracciaStaffe(2);
    if constexpr (std::is_same_v<S, ferrolit::clsSezT>) {
        s.BaseInf(200);
        s.SpessoreT(100);
    }
    return s;
}

struct Case {
    const char* what;
    std::function<float()> member;
    float expected;
};

TEST(CodeLimits, BeamColumnAndTeeRules) {
    auto r = section<ferrolit::clsSezRett>();
    auto t = section<ferrolit::clsSezT>();
    auto rc = section<ferrolit::clsSezRett>("Pilastro");
    auto tc = section<ferrolit::clsSezT>("Pilastro");
    auto low = section<ferrolit::clsSezRett>("pilastro");  // not a column: the comparison is exact
    low.fctm(2.0f);
    auto narrow = section<ferrolit::clsSezRett>();
    narrow.Base(60);
    auto loaded = section<ferrolit::clsSezRett>("Pilastro");
    loaded.Ned_x(800000);
    loaded.stringaAs_inf("4f24+2f16");
    auto moment = section<ferrolit::clsSezRett>();
    moment.As_sup(300);
    moment.As_inf(600);
    moment.Med_y(0.001f);
    auto hogging = moment;
    hogging.Med_y(0);  // zero counts as hogging
    auto dry = section<ferrolit::clsSezRett>();
    dry.Base(0);
    dry.As_inf(600);
    const Case cases[] = {
        {"row, rectangle", [&] { return r.NFerriMassimo(P::As_inf, 16); }, 5},     // (300 - 80) / 32 = 6.875
        {"row, side layer", [&] { return r.NFerriMassimo(P::As_infY, 16); }, 12},  // 420 / 32
        {"row, other layer", [&] { return r.NFerriMassimo(static_cast<P>(7), 16); }, 12},
        {"row, T flange", [&] { return t.NFerriMassimo(P::As_sup, 16); }, 6},
        {"row, T web", [&] { return t.NFerriMassimo(P::As_inf, 16); }, 3},  // 120 / 32
        {"row, T side", [&] { return t.NFerriMassimo(P::As_supY, 16); }, 13},
        {"row, too narrow", [&] { return narrow.NFerriMassimo(P::As_inf, 16); }, -2},
        {"AsMin beam", [&] { return r.AsMin(); }, 0.26f * 2.56f * 300 * 460 / 450},  // 204.1
        {"AsMin beam t2", [&] { return low.AsMin(); }, 179.4f},
        {"AsMin T beam", [&] { return t.AsMin(); }, 0.26f * 2.56f * 200 * 460 / 450},
        {"AsMin column", [&] { return rc.AsMin(); }, 0.003f * 300 * 500},
        {"AsMin T column", [&] { return tc.AsMin(); }, 0.003f * 200 * 500},
        {"AsMin loaded column", [&] { return loaded.AsMin(); }, 800},
        {"AsMax", [&] { return r.AsMax(); }, 6000},
        {"AsMax T", [&] { return t.AsMax(); }, 0.04f * 110000},
        {"percAs sagging", [&] { return moment.percAs(); }, 600.0f / 150000},
        {"percA1s sagging", [&] { return moment.percA1s(); }, 300.0f / 150000},
        {"percAs hogging", [&] { return hogging.percAs(); }, 300.0f / 150000},
        {"percA1s hogging", [&] { return hogging.percA1s(); }, 600.0f / 150000},
        {"percAs no base", [&] { return dry.percAs(); }, 0},
        {"percMinAs", [&] { return r.percMinAs(); }, 1.4f / 450},
        {"percMaxAs", [&] { return moment.percMaxAs(); }, 3.5f / 450 + 300.0f / 150000},
        {"fStaffeMinNorm", [&] { return rc.fStaffeMinNorm(); }, 6},
        {"passoStaffeMinNorm beam", [&] { return r.passoStaffeMinNorm(); }, 10},
        {"passoStaffeMinNorm column", [&] { return loaded.passoStaffeMinNorm(); }, 8},    // 24 / 4 < 8
        {"passoStaffeMaxNorm beam", [&] { return r.passoStaffeMaxNorm(); }, 333},         // 0.8 · 460 > 333
        {"passoStaffeMaxNorm column", [&] { return loaded.passoStaffeMaxNorm(); }, 192},  // 12 · 16
        {"passoStaffeMaxNorm no bars", [&] { return rc.passoStaffeMaxNorm(); }, 0},
        {"AstaffeMin beam", [&] { return r.AstaffeMin(); }, 450},
        {"AstaffeMin T", [&] { return t.AstaffeMin(); }, 300},
        {"AstaffeMin column", [&] { return tc.AstaffeMin(); }, 0},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(c.member(), c.expected) << c.what;
    EXPECT_NEAR(r.AsMin(), 204.1, 0.05);
}

TEST(CodeLimits, StirrupSpacingEdges) {
    auto s = section<ferrolit::clsSezRett>();
    s.fStaffe(12);
    EXPECT_EQ(s.passoStaffeMinNorm(), 12);
    s.H_Utile(400);
    EXPECT_EQ(s.passoStaffeMaxNorm(), 320);
    s.H_Utile(416.25f);  // 0.8 · 416.25 = 333: the constant stays
    EXPECT_EQ(s.passoStaffeMaxNorm(), 333);
    s.fStaffe(8);
    s.passoStaffe(0);
    EXPECT_NEAR(s.Astaffa(), 100.53, 0.005);
    EXPECT_NEAR(s.Astaffe_ml(), 301.9, 0.05);
    EXPECT_EQ(s.passoStaffe(), 333);
}

TEST(CodeLimits, ArithmeticFaultsAreRaised) {
    auto r = section<ferrolit::clsSezRett>();
    auto zero_fyk = r;
    zero_fyk.fyk(0);
    auto column = section<ferrolit::clsSezRett>("Pilastro");
    column.fyd(0);
    auto hollow = section<ferrolit::clsSezT>();  // positive Base and Altezza, no concrete
    hollow.BaseInf(0);
    hollow.SpessoreT(0);
    hollow.As_sup(600);
    auto hollow_fyk = hollow;  // 3.5 / fyk fails before the 0 / 0 of percA1s
    hollow_fyk.fyk(0);
    auto close = r;
    close.passoStaffe(1e-40f);
    auto wide = r;
    wide.Base(1e7f);
    const struct {
        const char* what;
        std::function<void()> call;
        ErrorKind kind;
    } cases[] = {
        {"dFer 0", [&] { r.NFerriMassimo(P::As_inf, 0); }, ErrorKind::DivisionByZero},
        {"2·dFer beyond 16 bits", [&] { r.NFerriMassimo(P::As_inf, 16384); }, ErrorKind::Overflow},
        {"count beyond 16 bits", [&] { wide.NFerriMassimo(P::As_inf, 1); }, ErrorKind::Overflow},
        {"AsMin fyk 0", [&] { zero_fyk.AsMin(); }, ErrorKind::DivisionByZero},
        {"percMinAs fyk 0", [&] { zero_fyk.percMinAs(); }, ErrorKind::DivisionByZero},
        {"percMaxAs fyk 0", [&] { zero_fyk.percMaxAs(); }, ErrorKind::DivisionByZero},
        {"AsMin 0 / 0", [&] { column.AsMin(); }, ErrorKind::InvalidOperation},
        {"percAs zero T area", [&] { hollow.percAs(); }, ErrorKind::DivisionByZero},
        {"percA1s 0 / 0", [&] { hollow.percA1s(); }, ErrorKind::InvalidOperation},
        {"percMaxAs, tension term first", [&] { hollow_fyk.percMaxAs(); }, ErrorKind::DivisionByZero},
        {"Astaffe_ml overflow", [&] { close.Astaffe_ml(); }, ErrorKind::Overflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_ERROR_KIND(c.call(), c.kind);
    }
    EXPECT_EQ(close.passoStaffe(), 1e-40f);
}

}  // namespace
