#include <gtest/gtest.h>

#include <ferrolit/ferrolit.hpp>

namespace {

using ferrolit::clsGenVerSez;

void assign(clsGenVerSez& reg, float scale) {
    reg.CreaMateriale_Sezione("C25/30", 30 * scale, 25 * scale, 1.5f, 0.85f, 33, 2.56f, 1.8f, 3.3f, 31476, 0.002f,
                              0.0035f, 14.17f, 1.19f, "B450C", 450, 1.15f, 200000, 391.3f * scale, 0.0019565f, 0.0675f);
}

TEST(Materials, AllTwentyOneValuesReachTheirMembers) {
    clsGenVerSez reg;
    reg.CreaSezT("Trave", "T", 800, 300, 600, 150, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
    assign(reg, 1);
    const auto s = reg.SezT(1);
    EXPECT_EQ(s->ClasseCls(), "C25/30");
    EXPECT_EQ(s->Rck(), 30);
    EXPECT_EQ(s->fck(), 25);
    EXPECT_EQ(s->gammaC(), 1.5f);
    EXPECT_EQ(s->alfaCC(), 0.85f);
    EXPECT_EQ(s->fcm(), 33);
    EXPECT_EQ(s->fctm(), 2.56f);
    EXPECT_EQ(s->fctk05(), 1.8f);
    EXPECT_EQ(s->fctk95(), 3.3f);
    EXPECT_EQ(s->Ec(), 31476);
    EXPECT_EQ(s->eps_c2(), 0.002f);
    EXPECT_EQ(s->eps_cu(), 0.0035f);
    EXPECT_EQ(s->fcd(), 14.17f);
    EXPECT_EQ(s->fctd(), 1.19f);
    EXPECT_EQ(s->ClasseAcciaio(), "B450C");
    EXPECT_EQ(s->fyk(), 450);
    EXPECT_EQ(s->gammaS(), 1.15f);
    EXPECT_EQ(s->Es(), 200000);
    EXPECT_EQ(s->fyd(), 391.3f);
    EXPECT_EQ(s->eps_yd(), 0.0019565f);
    EXPECT_EQ(s->eps_ud(), 0.0675f);
}

TEST(Materials, OnlyTheCurrentSectionChanges) {
    clsGenVerSez reg;
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

TEST(Materials, NoSectionYetIsAnIndexError) {
    clsGenVerSez reg;
    try {
        assign(reg, 1);
        FAIL() << "no error";
    } catch (const ferrolit::Error& e) {
        EXPECT_EQ(e.kind(), ferrolit::ErrorKind::InvalidIndex);
        EXPECT_STREQ(e.what(), "Indice non compreso nell'intervallo");
    }
}

}  // namespace
