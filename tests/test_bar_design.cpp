#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <ferrolit/ferrolit.hpp>

namespace {

using ferrolit::clsGenVerSez;
using ferrolit::PosizioneFerri;
using ferrolit::Section;

struct Box {
    std::string text, title;
};

// Captures the message boxes the procedures show; Italian decimal comma.
class Design : public ::testing::Test {
protected:
    void SetUp() override {
        ferrolit::setDecimalSeparator(',');
        previous_ = ferrolit::setMessageBoxHandler(
            [this](const std::string& text, const std::string& title) { boxes_.push_back({text, title}); });
    }
    void TearDown() override {
        ferrolit::setMessageBoxHandler(previous_);
        ferrolit::setDecimalSeparator('\0');
    }

    // A column whose AsMin is 0.1·Ned_x/fyd = as_min (with fyd 100), larger
    // than 0.003·Base·Altezza.
    Section& column(float base, float altezza, float cover, float as_min, std::int16_t n_min, std::int16_t d_min,
                    std::int16_t d_max) {
        reg_.CreaSezRett("Pilastro", "P1", base, altezza, cover, cover, 0, 0, as_min * 1000, 0, 0, n_min, d_min,
                         d_max);
        Section& s = *reg_.SezRet(reg_.SezioneCorrente());
        s.fyd(100);
        return s;
    }

    // A beam of the given width, layer As_inf set to `area` and `text`.
    Section& beam_with_layer(float base, float cover, float area, const std::string& text, std::int16_t d_min,
                             std::int16_t d_max) {
        reg_.CreaSezRett("Trave", "T1", base, 500, cover, cover, 0, 0, 0, 0, 0, 2, d_min, d_max);
        Section& s = *reg_.SezRet(reg_.SezioneCorrente());
        s.As_inf(area);
        s.stringaAs_inf(text);
        s.fyk(450);
        s.fctm(2.56f);
        return s;
    }

    clsGenVerSez reg_;
    std::vector<Box> boxes_;
    bool procedi_ = false;
    std::string msg_ = "untouched";

private:
    ferrolit::MessageBoxHandler previous_;
};

// ---- EstraiFerriMin ----

TEST_F(Design, ChooserReturnsTheFirstEligibleArrangementThatReaches) {
    const struct {
        float area, usable_width;
        std::int16_t n_min, d_min, d_max;
        const char* chosen;
    } cases[] = {
        {400, 300, 2, 12, 20, "2f16"},  // 8 bars of 8 have the same area but are not eligible
        {78, 300, 1, 5, 10, "4f5"},     // listed before 1f10 of the same area
        {120, 24, 1, 12, 16, "1f14"},   // the computed search: 1f12 (113), then 1f14
        {70686, 1e5f, 1, 5, 30, "100f30"},
        {0, 300, 3, 8, 8, "3f8"},
        // no table hit; the count of 3 mm bars is found without walking
        // every count of every diameter from -32767
        {70000, 65534, -32768, -32767, 4, "10000f3"},
    };
    for (const auto& c : cases) {
        msg_ = "untouched";
        EXPECT_EQ(reg_.EstraiFerriMin(c.area, c.usable_width, c.n_min, c.d_min, c.d_max, procedi_, msg_), c.chosen)
            << c.area;
        EXPECT_TRUE(procedi_);
        EXPECT_EQ(msg_, "untouched");
    }
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(Design, ChooserRefusesAreasAboveTheTable) {
    EXPECT_EQ(reg_.EstraiFerriMin(70687, 300, 2, 12, 20, procedi_, msg_), "");
    EXPECT_FALSE(procedi_);
    EXPECT_EQ(msg_,
              "Area Ferri Necessaria= 70687 mmq\n\n"
              "Il limite superiore imposto dal software è di 100f30\n"
              "Cui corrisponde As =70686,00 mmq");
    EXPECT_EQ(reg_.EstraiFerriMin(std::nanf(""), 300, 2, 12, 20, procedi_, msg_), "");
    EXPECT_FALSE(procedi_);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(Design, ChooserExplainsWhatAtMostFits) {
    EXPECT_EQ(reg_.EstraiFerriMin(113.05f, 24, 1, 12, 12, procedi_, msg_), "");
    EXPECT_FALSE(procedi_);
    EXPECT_EQ(msg_,
              "Area Ferri Necessaria= 113.05 mmq\n\n"
              "In base ai dati inseriti:\n"
              "Diametro Massimo Ferri    : D    =12 mm.\n"
              "Base Utile Sezione             : B-c =2,40 cm.\n\n"
              "al massimo si potrebbero inserire: N = 1ø12\n"
              "cui corrisponde As =113,0mmq   < 113,1 mmq");

    // Odd diameters 7, 9 and 11 are tried, never 12; the count is that of 11.
    EXPECT_EQ(reg_.EstraiFerriMin(2000, 100, 1, 7, 12, procedi_, msg_), "");
    EXPECT_FALSE(procedi_);
    EXPECT_EQ(msg_,
              "Area Ferri Necessaria= 2000 mmq\n\n"
              "In base ai dati inseriti:\n"
              "Diametro Massimo Ferri    : D    =12 mm.\n"
              "Base Utile Sezione             : B-c =10,00 cm.\n\n"
              "al massimo si potrebbero inserire: N = 4ø12\n"
              "cui corrisponde As =452,0mmq   < 2000,0 mmq");
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(Design, ChooserDividesByAZeroDiameter) {
    try {
        reg_.EstraiFerriMin(5000, 100, 1, 0, 4, procedi_, msg_);
        FAIL() << "no error";
    } catch (const ferrolit::Error& e) {
        EXPECT_EQ(e.kind(), ferrolit::ErrorKind::DivisionByZero);
    }
}

// ---- ImpostaFerriNorm ----

TEST_F(Design, MinimumWritesTheFirstArrangementThatReachesAsMin) {
    Section& s = column(300, 300, 30, 400, 2, 12, 16);
    s.As_sup(1);
    s.stringaAs_sup("keep");
    reg_.ImpostaFerriNorm(PosizioneFerri::As_inf, procedi_, msg_);
    EXPECT_TRUE(procedi_);
    EXPECT_EQ(msg_, "untouched");
    EXPECT_EQ(s.As_inf(), 402);
    EXPECT_EQ(s.stringaAs_inf(), "2f16");
    EXPECT_EQ(s.As_sup(), 1);
    EXPECT_EQ(s.stringaAs_sup(), "keep");
    EXPECT_TRUE(boxes_.empty());

    reg_.ImpostaFerriNorm(PosizioneFerri::As_supY, procedi_, msg_);
    EXPECT_EQ(s.As_supY(), 402);
    EXPECT_EQ(s.stringaAs_supY(), "2f16");
    reg_.ImpostaFerriNorm(static_cast<PosizioneFerri>(9), procedi_, msg_);  // writes nothing
    EXPECT_TRUE(procedi_);
    EXPECT_EQ(s.As_sup(), 1);
}

TEST_F(Design, MinimumOfZeroClearsTheLayer) {
    Section& s = beam_with_layer(300, 40, 452, "4f12", 12, 16);
    s.H_Utile(0);
    reg_.ImpostaFerriNorm(PosizioneFerri::As_inf, procedi_, msg_);
    EXPECT_TRUE(procedi_);
    EXPECT_EQ(s.As_inf(), 0);
    EXPECT_EQ(s.stringaAs_inf(), "");
}

TEST_F(Design, MinimumStopsAtTheFirstOverfullCandidate) {
    // Row maxima 6, 5 and 4 for 12, 14 and 16 mm: 5f14 (770) fits, 7f12 (792)
    // does not, and the walk stops there although 4f16 (804) would fit.
    Section& s = column(250, 500, 40, 800, 2, 12, 16);
    reg_.ImpostaFerriNorm(PosizioneFerri::As_inf, procedi_, msg_);
    EXPECT_FALSE(procedi_);
    const std::string expected =
        "Impossibile Procedere.\n\nP1\n"
        "Base:    B = 0,25 m.\n"
        "Altezza: H = 0,50 m.\n"
        "Per verificare la sezione Occorrono più di 7f12";
    EXPECT_EQ(msg_, expected);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, expected);
    EXPECT_EQ(boxes_[0].title, "Armatura Minima P1");
    EXPECT_EQ(s.As_inf(), 0);
    EXPECT_EQ(s.stringaAs_inf(), "");
}

TEST_F(Design, MinimumWithNoCandidateNamesTheLastEntry) {
    Section& s = column(300, 300, 30, 400, 2, 32, 30);
    reg_.ImpostaFerriNorm(PosizioneFerri::As_inf, procedi_, msg_);
    EXPECT_FALSE(procedi_);
    EXPECT_EQ(msg_,
              "Impossibile Procedere.\n\nP1\nBase:    B = 0,30 m.\nAltezza: H = 0,30 m.\n"
              "Per verificare la sezione Occorrono più di 100ø30");
    EXPECT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(s.stringaAs_inf(), "");
}

TEST_F(Design, MinimumBeyondTheLimitsOnAWideSection) {
    // 12 mm bars only; 121 fit in a row, the table ends at 100f12 (11310).
    column(3000, 300, 30, 12000, 1, 12, 12);
    reg_.ImpostaFerriNorm(PosizioneFerri::As_inf, procedi_, msg_);
    EXPECT_FALSE(procedi_);
    EXPECT_EQ(msg_,
              "Impossibile Procedere.\n\nP1\nBase:    B = 3,00 m.\nAltezza: H = 0,30 m.\n"
              "L'Armatura Minima da normativa: As,min= 120,00cm²\n"
              "Non si può inserire nella sezione:  Con (100f12) si avrebbe As= 113,10cm² < As,min");
}

TEST_F(Design, ProceduresNeedACurrentSection) {
    reg_.SezioneCorrente(3);
    for (auto call : {&clsGenVerSez::ImpostaFerriNorm, &clsGenVerSez::aumentaFerri}) {
        try {
            (reg_.*call)(PosizioneFerri::As_inf, procedi_, msg_);
            ADD_FAILURE() << "no error";
        } catch (const ferrolit::Error& e) {
            EXPECT_EQ(e.kind(), ferrolit::ErrorKind::InvalidIndex);
        }
    }
    EXPECT_TRUE(boxes_.empty());
}

// ---- aumentaFerri ----

TEST_F(Design, IncreaseStepsToTheNextLargerEligibleArrangement) {
    const struct {
        float area;
        const char* text;
        float base;
        float next_area;
        const char* next_text;
    } cases[] = {
        {452, "4f12", 1000, 462, "3f14"},
        {402, "2f16", 1000, 452, "4f12"},  // a smaller diameter than before
        {0, "", 1000, 226, "2f12"},
        {100, "9f99", 1000, 226, "2f12"},  // only the area counts
        // 10 bars of 12 are more than the 9 that fit, but 12 is below the
        // largest diameter
        {1130, "", 300, 1131, "10f12"},
    };
    for (const auto& c : cases) {
        Section& s = beam_with_layer(c.base, 30, c.area, c.text, 12, 16);
        reg_.aumentaFerri(PosizioneFerri::As_inf, procedi_, msg_);
        EXPECT_TRUE(procedi_);
        EXPECT_EQ(s.As_inf(), c.next_area) << c.area;
        EXPECT_EQ(s.stringaAs_inf(), c.next_text) << c.area;
    }
    EXPECT_EQ(msg_, "untouched");
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(Design, IncreaseStopsAtAnOverfullRowOfTheLargestDiameter) {
    Section& s = beam_with_layer(300, 30, 1407, "7f16", 12, 16);
    reg_.aumentaFerri(PosizioneFerri::As_inf, procedi_, msg_);
    EXPECT_FALSE(procedi_);
    const std::string expected =
        "Impossibile Procedere.\n\nTrave:  T1\n"
        "Base:     B = 0,30 m.\n"
        "Altezza: H = 0,50 m.\n"
        "Per verificare la sezione Occorrono più di 7f16\n\n"
        "Per (f=fmax=16mm.), il N° massimo di Ferri su una Fila è pari a 6\n";
    EXPECT_EQ(msg_, expected);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, expected);
    EXPECT_EQ(boxes_[0].title, "Armatura Minima T1");
    EXPECT_EQ(s.As_inf(), 1407);
    EXPECT_EQ(s.stringaAs_inf(), "7f16");
}

TEST_F(Design, IncreaseExhaustsTheTable) {
    Section& s = column(10000, 500, 30, 0, 2, 12, 16);  // AsMin 0.003·10000·500
    s.As_inf(70686);
    reg_.aumentaFerri(PosizioneFerri::As_inf, procedi_, msg_);
    EXPECT_FALSE(procedi_);
    EXPECT_EQ(msg_,
              "Impossibile Procedere.\n\nPilastro:  P1\nBase:     B = 10,00 m.\nAltezza: H = 0,50 m.\n"
              "L'Armatura Minima da normativa: As,min= 150,00cm²\n"
              "Non si può inserire nella sezione:  Con (100f16) si avrebbe As= 201,06cm² < As,min");
    EXPECT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(s.As_inf(), 70686);
}

TEST_F(Design, IncreaseWithNoCandidateNamesTheCurrentText) {
    Section& s = beam_with_layer(300, 30, 452, "4f12", 32, 30);
    reg_.aumentaFerri(PosizioneFerri::As_inf, procedi_, msg_);
    EXPECT_FALSE(procedi_);
    EXPECT_EQ(msg_,
              "Impossibile Procedere.\n\nTrave:  T1\nBase:     B = 0,30 m.\nAltezza: H = 0,50 m.\n"
              "Per verificare la sezione Occorrono più di 4f12\n\n"
              "Per (f=fmax=0mm.), il N° massimo di Ferri su una Fila è pari a 0\n");
    EXPECT_EQ(s.stringaAs_inf(), "4f12");
}

TEST_F(Design, IncreaseOfAnUnknownLayerWritesNothing) {
    Section& s = beam_with_layer(300, 30, 452, "4f12", 12, 16);
    reg_.aumentaFerri(static_cast<PosizioneFerri>(0), procedi_, msg_);
    EXPECT_TRUE(procedi_);
    EXPECT_EQ(s.As_inf(), 452);
    EXPECT_EQ(s.As_sup(), 0);
}

}  // namespace
