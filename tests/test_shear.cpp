#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include <ferrolit/ferrolit.hpp>

namespace {

using ferrolit::clsSezRett;
using ferrolit::clsSezT;
using ferrolit::ErrorKind;
using ferrolit::Section;

// The beam of the worked example: 300 × 500, d = 460, 942 mm² of bottom
// bars, C25 concrete, two-leg 8 mm stirrups at 200 mm.
void load_worked_beam(Section& s) {
    s.Base(300);
    s.Altezza(500);
    s.Copriferro_Inf(40);
    s.H_Utile(460);
    s.As_sup(0);
    s.As_inf(942);
    s.fck(25);
    s.gammaC(1.5F);
    s.fcd(14.17F);
    s.fyd(391.3F);
    s.Ned_x(0);
    s.fStaffe(8);
    s.nBracciaStaffe(2);
    s.passoStaffe(200);
    s.AlfaStaffe(90);
    s.tetaBielle(45);
}

clsSezRett worked_rectangle() {
    clsSezRett s;
    load_worked_beam(s);
    return s;
}

// The same beam with a 800 × 150 flange on a 300 mm web.
clsSezT worked_tee() {
    clsSezT s;
    load_worked_beam(s);
    s.Base(800);
    s.BaseInf(300);
    s.SpessoreT(150);
    return s;
}

TEST(ShearWorkedCase, ResistancesOfTheRectangle) {
    clsSezRett s = worked_rectangle();
    EXPECT_NEAR(s.Vrd_cls("Z"), 70.75, 0.005);
    EXPECT_NEAR(s.Vrsd("Z"), 81.4, 0.05);
    EXPECT_NEAR(s.Vrcd("Z"), 440.0, 0.05);
    EXPECT_NEAR(s.Vrcd("Y"), 414.5, 0.05);
}

TEST(ShearWorkedCase, WithoutBarsTheMinimumTermGoverns) {
    // V1 vanishes, V2 = vmin·bw·d remains.
    clsSezRett s = worked_rectangle();
    s.As_inf(0);
    EXPECT_NEAR(s.Vrd_cls("Z"), 51.62, 0.005);
}

TEST(ShearWorkedCase, AxialCompressionRaisesVrdClsUpToTheCap) {
    clsSezRett s = worked_rectangle();
    s.As_inf(0);
    s.Ned_x(138000.0F * 1.0F);  // sigma_cp = 1 N/mm² (stored kN enter as they are)
    EXPECT_NEAR(s.Vrd_cls("Z"), 51.62 + 0.15 * 138.0, 0.01);
    s.Ned_x(1e9F);  // capped at 0.2·fcd
    EXPECT_NEAR(s.Vrd_cls("Z"), 51.62 + 0.15 * 0.2 * 14.17 * 138.0, 0.01);
    s.Ned_x(-138000.0F);  // tension: no lower bound
    EXPECT_NEAR(s.Vrd_cls("Z"), 51.62 - 0.15 * 138.0, 0.01);
}

TEST(ShearDirection, OnlyExactZIsThePlaneOfMedY) {
    clsSezRett s = worked_rectangle();
    s.As_infY(628);
    s.Taglio_z(50);
    s.Taglio_y(20);
    for (const char* other : {"z", "Y", "", "Z "}) {
        EXPECT_EQ(s.Vrd_cls(other), s.Vrd_cls("Y")) << other;
        EXPECT_EQ(s.Vrsd(other), s.Vrsd("Y")) << other;
        EXPECT_EQ(s.Vrcd(other), s.Vrcd("Y")) << other;
    }
    EXPECT_NE(s.Vrd_cls("z"), s.Vrd_cls("Z"));
    EXPECT_EQ(s.Ved("z"), 0);
    EXPECT_EQ(s.Ved("Z"), 50);
}

TEST(ShearDirection, PlaneYIsTheSectionTurnedByARightAngle) {
    // 300 × 500 in plane Y reads as a 500 wide section with d = 300 − 40 and
    // the side layers as its bars.
    clsSezRett s = worked_rectangle();
    s.As_supY(226);
    s.As_infY(628);
    s.Ned_x(500);
    clsSezRett turned = worked_rectangle();
    turned.Base(500);
    turned.Altezza(300);
    turned.H_Utile(260);
    turned.As_sup(226);
    turned.As_inf(628);
    turned.Ned_x(500);
    EXPECT_FLOAT_EQ(s.Vrd_cls("Y"), turned.Vrd_cls("Z"));
    EXPECT_FLOAT_EQ(s.Vrsd("Y"), turned.Vrsd("Z"));
    EXPECT_FLOAT_EQ(s.Vrcd("Y"), turned.Vrcd("Z"));
}

TEST(ShearTee, EachMemberReadsItsOwnGeometry) {
    clsSezT t = worked_tee();
    t.As_infY(628);
    // Plane Z: the 300 mm web and H_Utile, as the 300 × 500 rectangle.
    EXPECT_NEAR(t.Vrd_cls("Z"), 70.75, 0.005);
    EXPECT_NEAR(t.Vrsd("Z"), 81.4, 0.05);
    EXPECT_NEAR(t.Vrcd("Z"), 440.0, 0.05);
    // Vrcd, plane Y: Altezza as width, web − cover (260) as depth.
    EXPECT_NEAR(t.Vrcd("Y"), 414.5, 0.05);

    // Vrd_cls, plane Y: the flange thickness as width, Base − cover as depth.
    clsSezRett flange = worked_rectangle();
    flange.Base(150);
    flange.H_Utile(760);
    flange.As_inf(628);
    EXPECT_FLOAT_EQ(t.Vrd_cls("Y"), flange.Vrd_cls("Z"));
    // Vrsd, plane Y: Base − cover (760), not the web.
    EXPECT_FLOAT_EQ(t.Vrsd("Y"), flange.Vrsd("Z"));
    EXPECT_NEAR(t.Vrsd("Y"), 81.43 * 760 / 460, 0.1);
}

TEST(ShearTee, StrutStressUsesTheWebArea) {
    clsSezT t = worked_tee();
    clsSezRett r = worked_rectangle();
    t.Ned_x(300000);
    r.Ned_x(300000);
    EXPECT_FLOAT_EQ(t.Vrcd("Z"), r.Vrcd("Z"));
    EXPECT_FLOAT_EQ(t.Vrcd("Y"), r.Vrcd("Y"));
}

struct GuardCase {
    const char* name;
    std::function<void(Section&)> change;
    const char* direction;
    float vrd_cls, vrsd, vrcd;  // NaN: not a guarded value
};

class ShearGuards : public ::testing::TestWithParam<GuardCase> {};

TEST_P(ShearGuards, ReturnTheirFixedValue) {
    const GuardCase& c = GetParam();
    clsSezRett s = worked_rectangle();
    c.change(s);
    if (!std::isnan(c.vrd_cls)) {
        EXPECT_EQ(s.Vrd_cls(c.direction), c.vrd_cls);
    }
    if (!std::isnan(c.vrsd)) {
        EXPECT_EQ(s.Vrsd(c.direction), c.vrsd);
    }
    if (!std::isnan(c.vrcd)) {
        EXPECT_EQ(s.Vrcd(c.direction), c.vrcd);
    }
}

const float kAny = std::nanf("");

INSTANTIATE_TEST_SUITE_P(
    Shear, ShearGuards,
    ::testing::Values(
        GuardCase{"NoDepthInPlaneZ", [](Section& s) { s.H_Utile(0); }, "Z", 0, 0, 0},
        GuardCase{"NegativeDepthInPlaneZ", [](Section& s) { s.H_Utile(-5); }, "Z", 0, kAny, kAny},
        GuardCase{"NoDepthInPlaneY", [](Section& s) { s.Copriferro_Inf(300); }, "Y", 0, kAny, kAny},
        // Base or Altezza not positive: Vrsd and Vrcd give 0 before the
        // angles are looked at, even angles that would divide by zero.
        GuardCase{"NoBase",
                  [](Section& s) {
                      s.Base(0);
                      s.AlfaStaffe(0);
                  },
                  "Z", 0, 0, 0},
        GuardCase{"NegativeAltezza",
                  [](Section& s) {
                      s.Altezza(-500);
                      s.tetaBielle(0);
                  },
                  "Z", kAny, 0, 0},
        // A zero spacing gives 1000 whatever the rest.
        GuardCase{"NoSpacing",
                  [](Section& s) {
                      s.passoStaffe(0);
                      s.fyd(0);
                      s.H_Utile(-1);
                  },
                  "Z", kAny, 1000, kAny},
        GuardCase{"NoSpacingNoStirrups",
                  [](Section& s) {
                      s.passoStaffe(0);
                      s.nBracciaStaffe(0);
                  },
                  "Y", kAny, 1000, kAny}),
    [](const auto& info) { return info.param.name; });

TEST(ShearGuards, DepthIsNotGuardedInVrsdAndVrcd) {
    clsSezRett s = worked_rectangle();
    s.H_Utile(-460);
    EXPECT_NEAR(s.Vrsd("Z"), -81.4, 0.05);
    EXPECT_NEAR(s.Vrcd("Z"), -440.0, 0.05);
}

struct FaultCase {
    const char* name;
    std::function<void(Section&)> change;
    std::function<float(const Section&)> member;
    ErrorKind kind;
};

class ShearFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ShearFaults, RaiseAnErrorOfTheirKind) {
    const FaultCase& c = GetParam();
    clsSezRett s = worked_rectangle();
    c.change(s);
    try {
        (void)c.member(s);
        FAIL() << "no error";
    } catch (const ferrolit::Error& e) {
        EXPECT_EQ(e.kind(), c.kind);
    }
}

float vrd_cls_z(const Section& s) { return s.Vrd_cls("Z"); }
float vrsd_z(const Section& s) { return s.Vrsd("Z"); }
float vrcd_z(const Section& s) { return s.Vrcd("Z"); }

INSTANTIATE_TEST_SUITE_P(
    Shear, ShearFaults,
    ::testing::Values(
        FaultCase{"NoConcreteFactor", [](Section& s) { s.gammaC(0); }, vrd_cls_z, ErrorKind::DivisionByZero},
        FaultCase{"NegativeBars", [](Section& s) { s.As_inf(-942); }, vrd_cls_z, ErrorKind::InvalidOperation},
        FaultCase{"NegativeFck", [](Section& s) { s.fck(-25); }, vrd_cls_z, ErrorKind::InvalidOperation},
        FaultCase{"FlatStirrups", [](Section& s) { s.AlfaStaffe(0); }, vrsd_z, ErrorKind::DivisionByZero},
        // The angles are checked before a zero spacing answers 1000.
        FaultCase{"FlatStirrupsNoSpacing",
                  [](Section& s) {
                      s.AlfaStaffe(0);
                      s.passoStaffe(0);
                  },
                  vrsd_z, ErrorKind::DivisionByZero},
        FaultCase{"FlatStruts", [](Section& s) { s.tetaBielle(0); }, vrcd_z, ErrorKind::DivisionByZero},
        FaultCase{"FlatStrutsVrsd", [](Section& s) { s.tetaBielle(0); }, vrsd_z, ErrorKind::DivisionByZero},
        FaultCase{"Overflow",
                  [](Section& s) {
                      s.fyd(3e38F);
                      s.passoStaffe(1e-3F);
                  },
                  vrsd_z, ErrorKind::Overflow}),
    [](const auto& info) { return info.param.name; });

TEST(ShearFaults, TeeWithoutWebFailsInVrcd) {
    clsSezT t = worked_tee();
    t.BaseInf(0);
    t.Ned_x(10);
    EXPECT_THROW((void)t.Vrcd("Y"), ferrolit::Error);
}

TEST(ShearFaults, HalfTurnGivesFiniteValues) {
    // sin(180°) with the single-precision pi is tiny but not zero.
    clsSezRett s = worked_rectangle();
    s.AlfaStaffe(180);
    s.tetaBielle(180);
    const float vrsd = s.Vrsd("Z");
    const float vrcd = s.Vrcd("Z");
    EXPECT_TRUE(std::isfinite(vrsd));
    EXPECT_TRUE(std::isfinite(vrcd));
}

// alpha_c read back as Vrcd(Ned)/Vrcd(0) on a section whose area is a power
// of two, so that sigma_cp lands exactly on the band bounds.
float strut_coefficient(float sigma_over_fcd, float fcd = 14.17F) {
    clsSezRett s = worked_rectangle();
    s.Base(256);
    s.Altezza(512);
    s.fcd(fcd);
    const float plain = s.Vrcd("Z");
    s.Ned_x(sigma_over_fcd * fcd * 131072.0F);
    return s.Vrcd("Z") / plain;
}

TEST(ShearStrutCoefficient, FollowsItsBandsInOrder) {
    struct Band {
        float sigma_over_fcd, alpha_c;
    };
    const Band bands[] = {{0, 1},         {0.1F, 1.1F}, {0.25F, 1.25F}, {0.4F, 1.25F}, {0.5F, 1.25F},
                          {0.8F, 0.5F},   {1, 2.5F},    {2, 2.5F},      {-1e-6F, 2.5F}};
    for (const Band& b : bands) {
        EXPECT_NEAR(strut_coefficient(b.sigma_over_fcd), b.alpha_c, 1e-5) << b.sigma_over_fcd;
    }
}

TEST(ShearStrutCoefficient, NoDesignStrengthGivesNoResistanceWithoutFault) {
    clsSezRett s = worked_rectangle();
    s.fcd(0);
    for (float ned : {0.0F, 100.0F, -100.0F}) {
        s.Ned_x(ned);
        EXPECT_EQ(s.Vrcd("Z"), 0) << ned;
    }
}

}  // namespace
