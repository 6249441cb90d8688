#include <gtest/gtest.h>

#include <ferrolit/ferrolit.hpp>

#include "support.hpp"

namespace {

using ferrolit::component::Section;

using ferrolit::clsGenVerSez;

// C25/30 and B450C, with Rck, fck and fyd scaled.
void assign(clsGenVerSez& reg, float scale) {
    ferrolit::test::MaterialSet m = ferrolit::test::kC25B450C;
    m.Rck *= scale;
    m.fck *= scale;
    m.fyd *= scale;
    ferrolit::test::give_materials(reg, m);
}

// Each argument a value of its own, so that two exchanged arguments show.
TEST(Materials, AllTwentyOneValuesReachTheirMembers) {
    clsGenVerSez reg;
    reg.CreaSezT("Trave", "T", 800, 300, 600, 150, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
    const ferrolit::test::MaterialSet m = {"Cls", 1,  2,  3,         4,  5,  6,  7,  8,  9, 10,
                                           11,    12, 13, "Acciaio", 14, 15, 16, 17, 18, 19};
    ferrolit::test::give_materials(reg, m);
    const auto s = reg.SezT(1);
    EXPECT_EQ(s->ClasseCls(), "Cls");
    EXPECT_EQ(s->ClasseAcciaio(), "Acciaio");
    using Reader = float (Section::*)() const;
    const Reader readers[] = {&Section::Rck,    &Section::fck,    &Section::gammaC, &Section::alfaCC, &Section::fcm,
                              &Section::fctm,   &Section::fctk05, &Section::fctk95, &Section::Ec,     &Section::eps_c2,
                              &Section::eps_cu, &Section::fcd,    &Section::fctd,   &Section::fyk,    &Section::gammaS,
                              &Section::Es,     &Section::fyd,    &Section::eps_yd, &Section::eps_ud};
    for (std::size_t i = 0; i < std::size(readers); ++i) EXPECT_EQ(((*s).*readers[i])(), i + 1) << "value " << i + 1;
}

TEST(Materials, OnlyTheCurrentSectionChanges) {
    clsGenVerSez reg;
    EXPECT_ERROR_KIND(assign(reg, 1), ferrolit::ErrorKind::InvalidIndex);  // no section yet
    reg.CreaSezRett("Trave", "A", 300, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
    reg.CreaSezRett("Trave", "B", 300, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
    assign(reg, 1);
    EXPECT_EQ(reg.SezRet(1)->fck(), 0);
    EXPECT_EQ(reg.SezRet(2)->fck(), 25);
    reg.SezioneCorrente(1);
    assign(reg, 2);
    EXPECT_EQ(reg.SezRet(1)->fck(), 50);
    EXPECT_EQ(reg.SezRet(2)->fck(), 25);
    // values that disagree with one another are stored as given
    EXPECT_GT(reg.SezRet(1)->fyd(), reg.SezRet(1)->fyk());
}

}  // namespace
