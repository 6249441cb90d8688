#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include <ferrolit/ferrolit.hpp>

#include "support.hpp"

#include "core/numeric.hpp"

namespace {

using ferrolit::clsSezRett;
using ferrolit::clsSezT;
using ferrolit::TipoBordo;

TEST(SectionRecord, BareSectionStartsEmpty) {
    clsSezT s;
    EXPECT_EQ(s.TipoSezione() + s.stringaAs_inf(), "");
    EXPECT_EQ(ferrolit::test::values(s.Base(), s.BaseInf(), s.H_Utile(), s.fStaffe(), s.kt(), s.nBracciaStaffe()),
              std::vector<double>(6, 0));
}

TEST(SectionRecord, EffectiveDepthFollowsHeightAndBottomCover) {
    clsSezRett s;
    s.Altezza(600);  // bottom cover still 0: H_Utile untouched
    EXPECT_EQ(s.H_Utile(), 0);
    s.Copriferro_Inf(50);
    EXPECT_EQ(s.H_Utile(), 550);
    s.Altezza(500);
    EXPECT_EQ(s.H_Utile(), 450);
    s.H_Utile(300);  // stored as given
    EXPECT_EQ(s.H_Utile(), 300);
    s.Copriferro_Inf(40);
    EXPECT_EQ(s.H_Utile(), 460);
    s.Copriferro_Sup(70);  // the top cover plays no part
    EXPECT_EQ(s.H_Utile(), 460);

    clsSezRett fresh;
    fresh.Copriferro_Inf(40);  // height still 0: H_Utile untouched
    EXPECT_EQ(fresh.H_Utile(), 0);
}

// The 16-bit members: the largest bar diameter is capped at 30, the stirrup
// diameter rounds half to even, and an overflow keeps the old value.
TEST(SectionRecord, SixteenBitMembers) {
    const struct {
        std::int16_t written, stored;
    } diameters[] = {{30, 30}, {31, 30}, {32767, 30}, {-5, -5}, {0, 0}, {12, 12}};
    for (const auto& c : diameters) {
        clsSezRett s;
        s.dFerriMassimo(c.written);
        EXPECT_EQ(s.dFerriMassimo(), c.stored) << c.written;
    }
    const struct {
        float written, read;
    } stirrups[] = {{7.6f, 8},   {8.5f, 8},   {9.5f, 10},        {6.4f, 6},
                    {-2.5f, -2}, {-3.5f, -4}, {32767.4f, 32767}, {-32768.5f, -32768}};
    for (const auto& c : stirrups) {
        clsSezRett s;
        s.fStaffe(c.written);
        EXPECT_EQ(s.fStaffe(), c.read) << c.written;
    }
    std::feclearexcept(FE_ALL_EXCEPT);
    for (float bad :
         {32767.5f, -32768.6f, 1e9f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(bad);
        clsSezRett s;
        s.fStaffe(8);
        EXPECT_ERROR_KIND(s.fStaffe(bad), ferrolit::ErrorKind::Overflow);
        EXPECT_EQ(s.fStaffe(), 8);
    }
    EXPECT_FALSE(std::fetestexcept(FE_INVALID | FE_OVERFLOW)) << "the host's flags are left alone";
}

TEST(SectionRecord, DesignShearIsCaseSensitive) {
    clsSezRett s;
    s.Taglio_y(12);
    s.Taglio_z(80);
    EXPECT_EQ(s.Ved("Y"), 12);
    EXPECT_EQ(s.Ved("Z"), 80);
    for (const char* other : {"y", "z", "", " Y", "YZ"}) EXPECT_EQ(s.Ved(other), 0) << other;
}

// Width of the T 800/300, flange 150, height 600 at a distance from each edge.
TEST(TeeWidth, BandsFromEachEdge) {
    clsSezT t;
    t.Base(800);
    t.BaseInf(300);
    t.SpessoreT(150);
    t.Altezza(600);
    const struct {
        TipoBordo edge;
        float x, width;
    } cases[] = {
        {TipoBordo::Superiore, 0, 800},     {TipoBordo::Superiore, 150, 800},   {TipoBordo::Superiore, 151, 300},
        {TipoBordo::Superiore, 5000, 300},  {TipoBordo::Superiore, -5, 800},    {TipoBordo::Inferiore, 450, 300},
        {TipoBordo::Inferiore, 451, 800},   {TipoBordo::Inferiore, 9000, 800},  {TipoBordo::Sinistro, 249, 150},
        {TipoBordo::Sinistro, 250, 600},    {TipoBordo::Sinistro, 550, 600},    {TipoBordo::Sinistro, 551, 150},
        {TipoBordo::Destro, 700, 150},      {TipoBordo::Destro, 400, 600},      {TipoBordo::Destro, 5000, 150},
        {static_cast<TipoBordo>(0), 10, 0}, {static_cast<TipoBordo>(5), 10, 0}, {static_cast<TipoBordo>(-1), 10, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(t.bX(c.edge, c.x), c.width) << static_cast<int>(c.edge) << " at " << c.x;
    }
}

TEST(TeeWidth, SideBoundsAreRoundedToSinglePrecision) {
    // (B - b)/2 = 0.05 is not a float; the rounded bound is what X is compared with.
    clsSezT t;
    t.Base(0.3f);
    t.BaseInf(0.2f);
    t.SpessoreT(1);
    t.Altezza(7);
    const float a = ferrolit::detail::single((double{0.3f} - 0.2f) / 2);
    EXPECT_EQ(t.bX(TipoBordo::Sinistro, a), 7);
    EXPECT_EQ(t.bX(TipoBordo::Sinistro, std::nextafter(a, 0.f)), 1);
}

TEST(NumberRules, SixteenBitConversionRoundsHalfToEven) {
    using ferrolit::detail::to_int16;
    const struct {
        double value;
        std::int16_t rounded;
    } cases[] = {{0.5, 0},   {1.5, 2},    {2.5, 2},          {-0.5, 0},
                 {-1.5, -2}, {2.4999, 2}, {32767.49, 32767}, {-32768.5, -32768}};
    for (const auto& c : cases) EXPECT_EQ(to_int16(c.value), c.rounded) << c.value;
    EXPECT_THROW(to_int16(32767.5), ferrolit::Error);
    EXPECT_THROW(to_int16(-32768.51), ferrolit::Error);
}

TEST(NumberRules, FaultScopeReportsFirstCauseAndRestoresHostFlags) {
    volatile double zero = 0;
    std::feclearexcept(FE_ALL_EXCEPT);
    std::feraiseexcept(FE_INEXACT);
    {
        ferrolit::detail::FpFaultScope scope;
        EXPECT_FALSE(scope.fault());
        volatile double inf = 1 / zero;
        volatile double nan = inf - inf;
        (void)nan;
        EXPECT_EQ(scope.fault(), ferrolit::ErrorKind::DivisionByZero);
        scope.clear();
        volatile double huge = 1e300;
        volatile float big = ferrolit::detail::single(huge);
        (void)big;
        EXPECT_EQ(scope.fault(), ferrolit::ErrorKind::Overflow);
        scope.clear();
        volatile double bad = std::sqrt(-1 + zero);
        (void)bad;
        EXPECT_EQ(scope.fault(), ferrolit::ErrorKind::InvalidOperation);
        EXPECT_THROW(scope.check(), ferrolit::Error);
    }
    EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW));
    EXPECT_TRUE(std::fetestexcept(FE_INEXACT));
}

}  // namespace
