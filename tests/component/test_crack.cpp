#include <gtest/gtest.h>

#include <cfenv>
#include <functional>
#include <string>

#include <ferrolit/ferrolit.hpp>

#include "component/sls/cracked_section.hpp"

namespace {

using ferrolit::component::Section;

using namespace ferrolit;
using Change = std::function<void(Section&)>;

// The worked beam: 300 × 500, cover 40, 3f20 (942 mm²) below, 226 mm² above,
// 100 kNm, fctm 2.56, Es 200000, Ec 31476, default coefficients.
void load(
    Section& s, const Change& change = [](Section&) {}) {
    s.Base(300), s.Altezza(500), s.Copriferro_Inf(40), s.As_inf(942), s.As_sup(226), s.stringaAs_inf("3f20");
    s.Med_Fes(100), s.fctm(2.56F), s.Es(200000), s.Ec(31476);
    s.kt(0.6F), s.k1(0.8F), s.k2(0.5F), s.k3(3.4F), s.k4(0.425F);
    change(s);
}

struct CrackRun {
    clsSezRett s;
    bool procedi = false;
    std::string message = "kept";
    explicit CrackRun(const Change& change = [](Section&) {}) {
        load(s, change);
        s.CalcolaWkFessure(procedi, message);
    }
};

TEST(CrackWidth, WorkedCase) {
    const ferrolit::component::CrackedSection section{300, 500, 40, 942, 226};
    const double x = ferrolit::component::neutral_axis_depth(section);
    const double sigma_c =
        ferrolit::component::edge_concrete_stress(100e6, x, ferrolit::component::cracked_inertia(section, x));
    EXPECT_NEAR(x, 159.9, 0.05);
    EXPECT_NEAR(sigma_c, 9.24, 0.005);
    EXPECT_NEAR(ferrolit::component::tension_bar_stress(section, sigma_c, x), 260.2, 0.05);

    const CrackRun r([](Section& s) { s.H_Utile(123); });
    EXPECT_TRUE(r.procedi);
    EXPECT_EQ(r.message, "kept");
    EXPECT_NEAR(r.s.DELTAsm(), 143.7, 0.05);
    EXPECT_NEAR(r.s.EPSsm(), 0.001008, 5e-7);
    EXPECT_NEAR(r.s.Wk(), 0.246, 5e-4);
    EXPECT_EQ(r.s.H_Utile(), 460);
}

TEST(CrackWidth, Variants) {
    const CrackRun worked;
    EXPECT_NEAR(CrackRun([](Section& s) { s.kt(2.0F); }).s.EPSsm(), 0.000781,
                5e-7);  // 0.6·sigma_s/Es governs

    const CrackRun from_design([](Section& s) { s.Med_Fes(0), s.Med_y(100); });
    EXPECT_EQ(from_design.s.Med_Fes(), 100);
    EXPECT_EQ(from_design.s.Wk(), worked.s.Wk());

    const CrackRun no_moment([](Section& s) { s.Med_Fes(0), s.Med_y(0); });
    EXPECT_TRUE(no_moment.procedi);
    EXPECT_GT(no_moment.s.EPSsm(), 0);
    EXPECT_LT(no_moment.s.Wk(), 1e-15);

    clsSezT t;  // only the web works
    load(t, [](Section& s) { s.Base(1200); });
    t.BaseInf(300), t.SpessoreT(120);
    bool procedi = false;
    std::string message;
    t.CalcolaWkFessure(procedi, message);
    EXPECT_TRUE(procedi);
    EXPECT_EQ(t.Wk(), worked.s.Wk());
    EXPECT_EQ(t.EPSsm(), worked.s.EPSsm());
}

TEST(CrackWidth, FailuresAreDeferredAndDescribed) {
    const struct {
        Change change;
        ErrorKind last;
    } cases[] = {
        {[](Section& s) { s.As_inf(0), s.As_sup(0); }, ErrorKind::DivisionByZero},
        {[](Section& s) { s.As_inf(0); }, ErrorKind::DivisionByZero},
        {[](Section& s) { s.Base(0); }, ErrorKind::DivisionByZero},
        {[](Section& s) { s.Es(0); }, ErrorKind::DivisionByZero},
        {[](Section& s) { s.Ec(0); }, ErrorKind::DivisionByZero},
        {[](Section& s) { s.Es(1e-37F); }, ErrorKind::Overflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        std::feclearexcept(FE_ALL_EXCEPT);
        const CrackRun r([&](Section& s) { c.change(s), s.Wk(-1), s.DELTAsm(-1); });
        EXPECT_FALSE(r.procedi);
        EXPECT_EQ(r.message, describe(c.last));
        EXPECT_NE(r.s.Wk(), -1);  // the later steps still ran
        EXPECT_NE(r.s.DELTAsm(), -1);
        EXPECT_EQ(r.s.H_Utile(), 460);
        EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0);  // caller's flags kept
    }
    // Without Ec the strain floor still applies after the failed strain.
    EXPECT_NEAR(CrackRun([](Section& s) { s.Ec(0); }).s.EPSsm(), 0.000781, 5e-7);
}

}  // namespace
