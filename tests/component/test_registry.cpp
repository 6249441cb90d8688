#include <gtest/gtest.h>

#include <vector>

#include <ferrolit/ferrolit.hpp>

#include "support.hpp"

namespace {

using ferrolit::clsGenVerSez;
using ferrolit::ErrorKind;
using ferrolit::test::values;

void create_beam(clsGenVerSez& reg, const std::string& tipo = "Trave", float altezza = 500, float cover = 40,
                 std::int16_t dfer_max = 20) {
    reg.CreaSezRett(tipo, "T1", 300, altezza, cover, 35, 100, -20, 150, 12, 80, 2, 12, dfer_max);
}

void create_named(clsGenVerSez& reg, const char* name, bool tee = false) {
    if (tee)
        reg.CreaSezT("Trave", name, 800, 300, 600, 150, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
    else
        reg.CreaSezRett("Trave", name, 300, 500, 40, 40, 0, 0, 0, 0, 0, 2, 12, 20);
}

TEST(Registry, CreationGivesTheStartingState) {
    clsGenVerSez reg;
    EXPECT_EQ(reg.Sezioni()->Count(), 0);
    EXPECT_EQ(reg.SezioneCorrente(), 0);
    EXPECT_EQ(reg.strDM(), "");
    create_beam(reg);
    const auto s = reg.SezRet(1);
    EXPECT_EQ(s->TipoSezione(), "Trave");
    EXPECT_EQ(s->DescrSezione(), "T1");
    // materials, crack moment and results stay 0
    EXPECT_EQ(
        values(s->Base(), s->Altezza(), s->Copriferro_Inf(), s->Copriferro_Sup(), s->H_Utile(), s->Med_y(), s->Med_z(),
               s->Ned_x(), s->Taglio_y(), s->Taglio_z(), s->NFerriMinimo(), s->dFerriMinimo(), s->dFerriMassimo(),
               s->fStaffe(), s->nBracciaStaffe(), s->passoStaffe(), s->AlfaStaffe(), s->tetaBielle(), s->DeltaN(),
               s->DeltaX(), s->CondizioniAmbientali(), s->kt(), s->k1(), s->k2(), s->k3(), s->k4(), s->As_inf(),
               s->As_sup(), s->As_infY(), s->As_supY(), s->fck(), s->Med_Fes(), s->MrdY(), s->Wk()),
        (std::vector<double>{300, 500, 40, 35, 460,  100,  -20,  150,  12,     80, 2, 12, 20, 8, 2, 250, 90,
                             45,  1,   1,  0,  0.6f, 0.8f, 0.5f, 3.4f, 0.425f, 0,  0, 0,  0,  0, 0, 0,   0}));
    for (const std::string& text :
         {s->stringaAs_inf(), s->stringaAs_sup(), s->stringaAs_infY(), s->stringaAs_supY(), s->ClasseCls()})
        EXPECT_EQ(text, "");
}

TEST(Registry, SectionKindIsNormalised) {
    const struct {
        const char *given, *stored;
    } cases[] = {{"Trave", "Trave"}, {"Pilastro", "Pilastro"}, {"trave", "Trave"}, {"pilastro", "Trave"},
                 {"", "Trave"},      {"Pilastro ", "Trave"}};
    for (const auto& c : cases) {
        clsGenVerSez reg;
        create_beam(reg, c.given);
        EXPECT_EQ(reg.SezRet(1)->TipoSezione(), c.stored) << '"' << c.given << '"';
    }
}

TEST(Registry, CreationDerivesDepthCapsDiameterAndSetsTheFlange) {
    clsGenVerSez reg;
    create_beam(reg, "Trave", 500, 0, 32);
    EXPECT_EQ(reg.SezRet(1)->H_Utile(), 500);
    EXPECT_EQ(reg.SezRet(1)->dFerriMassimo(), 30);
    // a zero height: the writers never derive H_Utile, creation still sets it last
    create_beam(reg, "Trave", 0, 40);
    EXPECT_EQ(reg.SezRet(2)->H_Utile(), -40);

    reg.CreaSezT("Pilastro", "T-beam", 800, 300, 600, 150, 40, 30, 1, 2, 3, 4, 5, 3, 14, 24);
    const auto t = reg.SezT(3);
    EXPECT_EQ(values(t->Base(), t->BaseInf(), t->Altezza(), t->SpessoreT(), t->H_Utile(), t->Taglio_z()),
              (std::vector<double>{800, 300, 600, 150, 560, 5}));
    EXPECT_EQ(t->TipoSezione(), "Pilastro");
}

TEST(Registry, NumbersFollowCreationOrderAndFetchesCheckThem) {
    clsGenVerSez reg;
    EXPECT_ERROR_KIND(reg.SezRet(0), ErrorKind::InvalidIndex);
    create_named(reg, "A");
    create_named(reg, "B", true);
    create_named(reg, "C");
    EXPECT_EQ(reg.SezioneCorrente(), 3);
    EXPECT_EQ(reg.Sezioni()->Count(), 3);
    EXPECT_EQ(reg.SezT(2)->DescrSezione(), "B");
    EXPECT_EQ(reg.SezRet(3)->DescrSezione(), "C");
    std::string order;
    for (const auto& section : *reg.Sezioni()) order += section->DescrSezione();
    EXPECT_EQ(order, "ABC");
    EXPECT_ERROR_KIND(reg.SezRet(0), ErrorKind::InvalidIndex);
    EXPECT_ERROR_KIND(reg.SezRet(4), ErrorKind::InvalidIndex);
    EXPECT_ERROR_KIND(reg.SezT(-1), ErrorKind::InvalidIndex);
    EXPECT_ERROR_KIND(reg.SezT(1), ErrorKind::TypeMismatch);
    EXPECT_ERROR_KIND(reg.SezRet(2), ErrorKind::TypeMismatch);
    // the current number is not checked when written
    reg.SezioneCorrente(5);
    EXPECT_EQ(reg.SezioneCorrente(), 5);
    EXPECT_ERROR_KIND(ferrolit::test::give_materials(reg), ErrorKind::InvalidIndex);
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
    create_named(reg, "A");
    create_named(reg, "B");
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

TEST(Registry, The32768thSectionIsAppendedButNotNumbered) {
    clsGenVerSez reg;
    for (int i = 0; i < 32767; ++i) reg.CreaSezRett("Trave", "", 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(reg.SezioneCorrente(), 32767);
    EXPECT_ERROR_KIND(reg.CreaSezRett("Trave", "last", 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), ErrorKind::Overflow);
    EXPECT_EQ(reg.Sezioni()->Count(), 32768);
    EXPECT_EQ(reg.SezioneCorrente(), 32767);
    EXPECT_EQ(reg.Sezioni()->Item(32768)->DescrSezione(), "last");
}

}  // namespace
