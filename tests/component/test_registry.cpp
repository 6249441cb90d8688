#include <gtest/gtest.h>

#include <ferrolit/ferrolit.hpp>

#include "support.hpp"

namespace {

using ferrolit::clsGenVerSez;
using ferrolit::ErrorKind;

void create_beam(clsGenVerSez& reg, const std::string& tipo = "Trave", float altezza = 500, float cover = 40,
                 std::int16_t dfer_max = 20) {
    reg.CreaSezRett(tipo, "T1", 300, altezza, cover, 35, 100, -20, 150, 12, 80, 2, 12, dfer_max);
}

TEST(Registry, StartsEmpty) {
    clsGenVerSez reg;
    EXPECT_EQ(reg.Sezioni()->Count(), 0);
    EXPECT_EQ(reg.SezioneCorrente(), 0);
    EXPECT_EQ(reg.strDM(), "");
}

TEST(Registry, CreationGivesTheStartingState) {
    clsGenVerSez reg;
    create_beam(reg);
    const auto s = reg.SezRet(1);
    EXPECT_EQ(s->TipoSezione(), "Trave");
    EXPECT_EQ(s->DescrSezione(), "T1");
    EXPECT_EQ(s->Base(), 300);
    EXPECT_EQ(s->Altezza(), 500);
    EXPECT_EQ(s->Copriferro_Inf(), 40);
    EXPECT_EQ(s->Copriferro_Sup(), 35);
    EXPECT_EQ(s->H_Utile(), 460);
    EXPECT_EQ(s->Med_y(), 100);
    EXPECT_EQ(s->Med_z(), -20);
    EXPECT_EQ(s->Ned_x(), 150);
    EXPECT_EQ(s->Taglio_y(), 12);
    EXPECT_EQ(s->Taglio_z(), 80);
    EXPECT_EQ(s->NFerriMinimo(), 2);
    EXPECT_EQ(s->dFerriMinimo(), 12);
    EXPECT_EQ(s->dFerriMassimo(), 20);
    EXPECT_EQ(s->fStaffe(), 8);
    EXPECT_EQ(s->nBracciaStaffe(), 2);
    EXPECT_EQ(s->passoStaffe(), 250);
    EXPECT_EQ(s->AlfaStaffe(), 90);
    EXPECT_EQ(s->tetaBielle(), 45);
    EXPECT_EQ(s->DeltaN(), 1);
    EXPECT_EQ(s->DeltaX(), 1);
    EXPECT_EQ(s->CondizioniAmbientali(), 0);
    EXPECT_EQ(s->kt(), 0.6f);
    EXPECT_EQ(s->k1(), 0.8f);
    EXPECT_EQ(s->k2(), 0.5f);
    EXPECT_EQ(s->k3(), 3.4f);
    EXPECT_EQ(s->k4(), 0.425f);
    for (float area : {s->As_inf(), s->As_sup(), s->As_infY(), s->As_supY()}) EXPECT_EQ(area, 0);
    for (const std::string& text : {s->stringaAs_inf(), s->stringaAs_sup(), s->stringaAs_infY(), s->stringaAs_supY()})
        EXPECT_EQ(text, "");
    // materials, crack moment and results stay 0 or empty
    EXPECT_EQ(s->fck(), 0);
    EXPECT_EQ(s->ClasseCls(), "");
    EXPECT_EQ(s->Med_Fes(), 0);
    EXPECT_EQ(s->MrdY(), 0);
    EXPECT_EQ(s->Wk(), 0);
}

TEST(Registry, SectionKindIsNormalised) {
    const struct {
        const char *given, *stored;
    } cases[] = {{"Trave", "Trave"}, {"Pilastro", "Pilastro"}, {"trave", "Trave"}, {"pilastro", "Trave"},
                 {"", "Trave"},      {"Pilastro ", "Trave"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.given << '"');
        clsGenVerSez reg;
        create_beam(reg, c.given);
        EXPECT_EQ(reg.SezRet(1)->TipoSezione(), c.stored) << '"' << c.given << '"';
    }
}

TEST(Registry, EffectiveDepthAndLargestDiameterAtCreation) {
    clsGenVerSez reg;
    create_beam(reg, "Trave", 500, 0, 32);
    EXPECT_EQ(reg.SezRet(1)->H_Utile(), 500);
    EXPECT_EQ(reg.SezRet(1)->dFerriMassimo(), 30);
    // a zero height: the writers never derive H_Utile, creation still sets it last
    create_beam(reg, "Trave", 0, 40);
    EXPECT_EQ(reg.SezRet(2)->H_Utile(), -40);
}

TEST(Registry, TeeCreationSetsFlange) {
    clsGenVerSez reg;
    reg.CreaSezT("Pilastro", "T-beam", 800, 300, 600, 150, 40, 30, 1, 2, 3, 4, 5, 3, 14, 24);
    const auto t = reg.SezT(1);
    EXPECT_EQ(t->Base(), 800);
    EXPECT_EQ(t->BaseInf(), 300);
    EXPECT_EQ(t->Altezza(), 600);
    EXPECT_EQ(t->SpessoreT(), 150);
    EXPECT_EQ(t->H_Utile(), 560);
    EXPECT_EQ(t->TipoSezione(), "Pilastro");
    EXPECT_EQ(t->Taglio_z(), 5);
}

TEST(Registry, NumbersFollowCreationOrder) {
    clsGenVerSez reg;
    reg.CreaSezRett("Trave", "A", 300, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
    reg.CreaSezT("Trave", "B", 800, 300, 600, 150, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
    reg.CreaSezRett("Trave", "C", 300, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
    EXPECT_EQ(reg.SezioneCorrente(), 3);
    EXPECT_EQ(reg.Sezioni()->Count(), 3);
    EXPECT_EQ(reg.SezT(2)->DescrSezione(), "B");
    EXPECT_EQ(reg.SezRet(3)->DescrSezione(), "C");
    std::string order;
    for (const auto& section : *reg.Sezioni()) order += section->DescrSezione();
    EXPECT_EQ(order, "ABC");
}

TEST(Registry, FetchErrors) {
    clsGenVerSez reg;
    EXPECT_ERROR_KIND(reg.SezRet(0), ErrorKind::InvalidIndex);
    create_beam(reg);
    reg.CreaSezT("Trave", "T", 800, 300, 600, 150, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
    EXPECT_ERROR_KIND(reg.SezRet(0), ErrorKind::InvalidIndex);
    EXPECT_ERROR_KIND(reg.SezRet(3), ErrorKind::InvalidIndex);
    EXPECT_ERROR_KIND(reg.SezT(-1), ErrorKind::InvalidIndex);
    EXPECT_ERROR_KIND(reg.SezT(1), ErrorKind::TypeMismatch);
    EXPECT_ERROR_KIND(reg.SezRet(2), ErrorKind::TypeMismatch);
}

TEST(Registry, SectionsAreSharedNotCopied) {
    std::shared_ptr<ferrolit::clsSezRett> kept;
    {
        clsGenVerSez reg;
        create_beam(reg);
        kept = reg.SezRet(1);
        kept->Base(350);
        EXPECT_EQ(reg.SezRet(1)->Base(), 350);
        EXPECT_EQ(reg.SezRet(1).get(), kept.get());
    }
    // the section outlives the registry while the caller holds it
    EXPECT_EQ(kept->Base(), 350);
}

TEST(Registry, CollectionCanBeEditedAndReplaced) {
    clsGenVerSez reg;
    reg.CreaSezRett("Trave", "A", 300, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
    reg.CreaSezRett("Trave", "B", 300, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
    reg.Sezioni()->Remove(1);
    EXPECT_EQ(reg.SezRet(1)->DescrSezione(), "B");
    EXPECT_EQ(reg.SezioneCorrente(), 2);  // not adjusted
    EXPECT_ERROR_KIND(reg.Sezioni()->Remove(5), ErrorKind::InvalidIndex);
    EXPECT_ERROR_KIND(reg.Sezioni()->Add(nullptr), ErrorKind::ObjectRequired);

    auto other = std::make_shared<ferrolit::SectionCollection>();
    other->Add(std::make_shared<ferrolit::clsSezT>());
    reg.Sezioni(other);
    EXPECT_EQ(reg.Sezioni(), other);
    EXPECT_NO_THROW(reg.SezT(1));
    EXPECT_ERROR_KIND(reg.Sezioni(nullptr), ErrorKind::ObjectRequired);
    EXPECT_EQ(reg.Sezioni(), other);
}

TEST(Registry, CurrentNumberIsNotChecked) {
    clsGenVerSez reg;
    create_beam(reg);
    create_beam(reg);
    reg.SezioneCorrente(5);
    EXPECT_EQ(reg.SezioneCorrente(), 5);
    EXPECT_ERROR_KIND(ferrolit::test::give_materials(reg), ErrorKind::InvalidIndex);
}

TEST(Registry, The32768thSectionIsAppendedButNotNumbered) {
    clsGenVerSez reg;
    for (int i = 0; i < 32767; ++i) reg.CreaSezRett("Trave", "", 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(reg.SezioneCorrente(), 32767);
    EXPECT_ERROR_KIND(reg.CreaSezRett("Trave", "last", 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), ErrorKind::Overflow);
    EXPECT_EQ(reg.Sezioni()->Count(), 32768);
    EXPECT_EQ(reg.SezioneCorrente(), 32767);
    EXPECT_EQ(reg.Sezioni()->Item(32768)->DescrSezione(), "last");
}

TEST(Registry, TypicalUseAsHostsWriteIt) {
    ferrolit::clsGenVerSez reg;
    ferrolit::test::create_readme_beam(reg);
    ferrolit::test::give_materials(reg);
    std::shared_ptr<ferrolit::clsSezRett> s = reg.SezRet(1);
    s->Base(350.f);
    float d = s->H_Utile();
    float a = reg.EstraiAs("3f16+2f12");  // 829
    EXPECT_EQ(d, 460);
    EXPECT_EQ(a, 829);
    EXPECT_EQ(reg.SezRet(1)->Base(), 350);
}

}  // namespace
