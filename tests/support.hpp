#pragma once

// What the tests and the benchmarks share: the check of an error's kind and
// the fixtures they build on. The fixtures need no test framework, so the
// benchmarks include this header too.

#include <vector>

#include <ferrolit/ferrolit.hpp>

// Expects `statement` to raise ferrolit::Error of kind `expected` (a GoogleTest
// assertion: include <gtest/gtest.h> before using it).
#define EXPECT_ERROR_KIND(statement, expected)                            \
    do {                                                                  \
        try {                                                             \
            statement;                                                    \
            ADD_FAILURE() << "no ferrolit::Error from: " #statement;      \
        } catch (const ::ferrolit::Error& raised_) {                      \
            EXPECT_EQ(raised_.kind(), expected) << raised_.what();        \
            EXPECT_STREQ(raised_.what(), ::ferrolit::describe(expected)); \
        }                                                                 \
    } while (false)

namespace ferrolit::test {

// The 21 values of CreaMateriale_Sezione, in its order.
struct MaterialSet {
    const char* ClasseCls;
    float Rck, fck, gammaC, alfaCC, fcm, fctm, fctk05, fctk95, Ec, eps_c2, eps_cu, fcd, fctd;
    const char* ClasseAcciaio;
    float fyk, gammaS, Es, fyd, eps_yd, eps_ud;
};

// Readers' values, float or short, in one list to compare with the expected.
inline std::vector<double> values(auto... read) { return {static_cast<double>(read)...}; }

// C25/30 concrete and B450C steel, the materials of the design examples.
inline constexpr MaterialSet kC25B450C = {"C25/30", 30,   25,    1.5f,   0.85f,   33,         2.56f,
                                          1.8f,     3.3f, 31476, 0.002f, 0.0035f, 14.17f,     1.19f,
                                          "B450C",  450,  1.15f, 200000, 391.3f,  0.0019565f, 0.0675f};

// Gives the current section of the registry its materials.
inline void give_materials(clsGenVerSez& registry, const MaterialSet& m = kC25B450C) {
    registry.CreaMateriale_Sezione(m.ClasseCls, m.Rck, m.fck, m.gammaC, m.alfaCC, m.fcm, m.fctm, m.fctk05, m.fctk95,
                                   m.Ec, m.eps_c2, m.eps_cu, m.fcd, m.fctd, m.ClasseAcciaio, m.fyk, m.gammaS, m.Es,
                                   m.fyd, m.eps_yd, m.eps_ud);
}

// The design values the interaction domain reads, written to a bare section.
inline void give_design_values(ferrolit::component::Section& s, const MaterialSet& m = kC25B450C) {
    s.fcd(m.fcd);
    s.fyd(m.fyd);
    s.Es(m.Es);
    s.eps_cu(m.eps_cu);
    s.eps_yd(m.eps_yd);
    s.eps_ud(m.eps_ud);
}

// The README's beam: "T1", 300 × 500, covers 40, Med_y 100 kNm, Taglio_z
// 80 kN, at least 2 bars of 12 to 20 mm; it becomes the current section.
inline void create_readme_beam(clsGenVerSez& registry) {
    registry.CreaSezRett("Trave", "T1", 300, 500, 40, 40, 100, 0, 0, 0, 80, 2, 12, 20);
}

// A bare rectangle of that beam's size, covers 40, with bars below and above
// (As_inf, As_sup, mm²).
inline void shape_beam(ferrolit::component::Section& s, float base = 300, float height = 500, float below = 942,
                       float above = 226) {
    s.Base(base);
    s.Altezza(height);
    s.Copriferro_Inf(40);
    s.Copriferro_Sup(40);
    s.As_inf(below);
    s.As_sup(above);
}

}  // namespace ferrolit::test
