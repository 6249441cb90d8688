#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <ferrolit/ferrolit.hpp>

#include "support.hpp"

namespace {

using ferrolit::component::Section;

using ferrolit::clsGenVerSez;
using ferrolit::ErrorKind;
using ferrolit::PosizioneFerri;

// Captures the message boxes; Italian decimal comma.
class Design : public ::testing::Test {
protected:
    void SetUp() override {
        ferrolit::setDecimalSeparator(',');
        previous_ = ferrolit::setMessageBoxHandler(
            [this](const std::string& text, const std::string& title) { boxes_.push_back(title + "|" + text); });
    }
    void TearDown() override {
        ferrolit::setMessageBoxHandler(previous_);
        ferrolit::setDecimalSeparator('\0');
    }

    // A column "P1" whose AsMin is 0.1·Ned_x/fyd = as_min, or 0.003·Base·Altezza
    // when that is larger; or a beam "T1" of height 500 (AsMin 0.0013·b·460
    // at most). Layer As_inf starts at `area` and `text`.
    Section& section(bool column, float base, float altezza, float cover, float as_min, std::int16_t n_min,
                     std::int16_t d_min, std::int16_t d_max, float area = 0, const char* text = "") {
        reg_.CreaSezRett(column ? "Pilastro" : "Trave", column ? "P1" : "T1", base, altezza, cover, cover, 0, 0,
                         as_min * 1000, 0, 0, n_min, d_min, d_max);
        Section& s = *reg_.SezRet(reg_.SezioneCorrente());
        s.fyd(100);
        s.fyk(450);
        s.fctm(2.56f);
        s.As_inf(area);
        s.stringaAs_inf(text);
        return s;
    }

    clsGenVerSez reg_;
    std::vector<std::string> boxes_;
    bool procedi_ = false;
    std::string msg_ = "untouched";

private:
    ferrolit::MessageBoxHandler previous_;
};

// The first eligible arrangement that reaches the area, or "" and why nothing fits.
TEST_F(Design, ChooserReturnsTheFirstEligibleArrangementOrExplains) {
    const struct {
        float area, usable_width;
        std::int16_t n_min, d_min, d_max;
        const char* chosen;
        const char* message;  // "untouched" when chosen
    } cases[] = {
        {400, 300, 2, 12, 20, "2f16", "untouched"},  // 8 bars of 8 have the same area but are not eligible
        {78, 300, 1, 5, 10, "4f5", "untouched"},     // listed before 1f10 of the same area
        {120, 24, 1, 12, 16, "1f14", "untouched"},   // the computed search: 1f12 (113), then 1f14
        {70686, 1e5f, 1, 5, 30, "100f30", "untouched"},
        // computed search from -32767 mm: the count of 3 mm bars is found
        // without walking every count of every diameter
        {70000, 65534, -32768, -32767, 4, "10000f3", "untouched"},
        {70687, 300, 2, 12, 20, "",
         "Area Ferri Necessaria= 70687 mmq\n\nIl limite superiore imposto dal software è di 100f30\n"
         "Cui corrisponde As =70686,00 mmq"},
        {113.05f, 24, 1, 12, 12, "",
         "Area Ferri Necessaria= 113.05 mmq\n\nIn base ai dati inseriti:\n"
         "Diametro Massimo Ferri    : D    =12 mm.\nBase Utile Sezione             : B-c =2,40 cm.\n\n"
         "al massimo si potrebbero inserire: N = 1ø12\ncui corrisponde As =113,0mmq   < 113,1 mmq"},
        // diameters 7, 9 and 11 are tried, never 12; the count is that of 11
        {2000, 100, 1, 7, 12, "",
         "Area Ferri Necessaria= 2000 mmq\n\nIn base ai dati inseriti:\n"
         "Diametro Massimo Ferri    : D    =12 mm.\nBase Utile Sezione             : B-c =10,00 cm.\n\n"
         "al massimo si potrebbero inserire: N = 4ø12\ncui corrisponde As =452,0mmq   < 2000,0 mmq"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "area " << c.area << ", diameters " << c.d_min << " to " << c.d_max);
        msg_ = "untouched";
        EXPECT_EQ(reg_.EstraiFerriMin(c.area, c.usable_width, c.n_min, c.d_min, c.d_max, procedi_, msg_), c.chosen);
        EXPECT_EQ(procedi_, *c.chosen != '\0');
        EXPECT_EQ(msg_, c.message);
    }
    EXPECT_EQ(reg_.EstraiFerriMin(std::nanf(""), 300, 2, 12, 20, procedi_, msg_), "");
    EXPECT_ERROR_KIND(reg_.EstraiFerriMin(5000, 100, 1, 0, 4, procedi_, msg_), ErrorKind::DivisionByZero);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(Design, MinimumWritesTheFirstArrangementThatReachesAsMin) {
    Section& s = section(true, 300, 300, 30, 400, 2, 12, 16);
    s.stringaAs_sup("keep");
    reg_.ImpostaFerriNorm(PosizioneFerri::As_inf, procedi_, msg_);
    EXPECT_TRUE(procedi_);
    EXPECT_EQ(s.As_inf(), 402);
    EXPECT_EQ(s.stringaAs_inf(), "2f16");
    EXPECT_EQ(s.stringaAs_sup(), "keep");
    reg_.ImpostaFerriNorm(static_cast<PosizioneFerri>(9), procedi_, msg_);  // writes nothing
    EXPECT_TRUE(procedi_);

    Section& none = section(false, 300, 500, 40, 0, 2, 12, 16, 452, "4f12");
    none.H_Utile(0);  // AsMin 0: the layer is cleared
    reg_.ImpostaFerriNorm(PosizioneFerri::As_inf, procedi_, msg_);
    EXPECT_TRUE(procedi_);
    EXPECT_EQ(none.As_inf(), 0);
    EXPECT_EQ(none.stringaAs_inf(), "");
    EXPECT_EQ(msg_, "untouched");
    EXPECT_TRUE(boxes_.empty());
}

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
        {100, "9f99", 1000, 226, "2f12"},  // only the area counts
        // 10 bars of 12 overfill the row of 9, but 12 is below the largest diameter
        {1130, "", 300, 1131, "10f12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.area << " mm²");
        Section& s = section(false, c.base, 500, 30, 0, 2, 12, 16, c.area, c.text);
        reg_.aumentaFerri(PosizioneFerri::As_inf, procedi_, msg_);
        EXPECT_TRUE(procedi_);
        EXPECT_EQ(s.As_inf(), c.next_area) << c.area;
        EXPECT_EQ(s.stringaAs_inf(), c.next_text) << c.area;
    }
    EXPECT_EQ(msg_, "untouched");
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(Design, FailuresAreShownAndReportedWithoutWriting) {
    using Procedure = void (clsGenVerSez::*)(PosizioneFerri, bool&, std::string&);
    const Procedure minimum = &clsGenVerSez::ImpostaFerriNorm, increase = &clsGenVerSez::aumentaFerri;
    const struct {
        Procedure procedure;
        bool column;
        float base, altezza, cover, as_min;
        std::int16_t n_min, d_min, d_max;
        float area;
        const char* text;
        const char* message;
    } cases[] = {
        // Row maxima 6, 5, 4 for 12, 14, 16 mm: 5f14 (770) fits, 7f12 (792)
        // does not, and the walk stops although 4f16 (804) would fit.
        {minimum, true, 250, 500, 40, 800, 2, 12, 16, 0, "",
         "Armatura Minima P1|Impossibile Procedere.\n\nP1\nBase:    B = 0,25 m.\nAltezza: H = 0,50 m.\n"
         "Per verificare la sezione Occorrono più di 7f12"},
        {minimum, true, 300, 300, 30, 400, 2, 32, 30, 0, "",
         "Armatura Minima P1|Impossibile Procedere.\n\nP1\nBase:    B = 0,30 m.\nAltezza: H = 0,30 m.\n"
         "Per verificare la sezione Occorrono più di 100ø30"},
        // 121 bars of 12 fit; the table ends at 100f12 (11310 < 12000)
        {minimum, true, 3000, 300, 30, 12000, 1, 12, 12, 0, "",
         "Armatura Minima P1|Impossibile Procedere.\n\nP1\nBase:    B = 3,00 m.\nAltezza: H = 0,30 m.\n"
         "L'Armatura Minima da normativa: As,min= 120,00cm²\n"
         "Non si può inserire nella sezione:  Con (100f12) si avrebbe As= 113,10cm² < As,min"},
        // 6 bars of 16 fit in (300 - 60) mm: the walk stops at 7f16
        {increase, false, 300, 500, 30, 0, 2, 12, 16, 1407, "7f16",
         "Armatura Minima T1|Impossibile Procedere.\n\nTrave:  T1\nBase:     B = 0,30 m.\nAltezza: H = 0,50 m.\n"
         "Per verificare la sezione Occorrono più di 7f16\n\n"
         "Per (f=fmax=16mm.), il N° massimo di Ferri su una Fila è pari a 6\n"},
        // AsMin 0.003·10000·500; the table ends at 100f16 below the row maximum
        {increase, true, 10000, 500, 30, 0, 2, 12, 16, 70686, "",
         "Armatura Minima P1|Impossibile Procedere.\n\nPilastro:  P1\nBase:     B = 10,00 m.\n"
         "Altezza: H = 0,50 m.\nL'Armatura Minima da normativa: As,min= 150,00cm²\n"
         "Non si può inserire nella sezione:  Con (100f16) si avrebbe As= 201,06cm² < As,min"},
        {increase, false, 300, 500, 30, 0, 2, 32, 30, 452, "4f12",
         "Armatura Minima T1|Impossibile Procedere.\n\nTrave:  T1\nBase:     B = 0,30 m.\nAltezza: H = 0,50 m.\n"
         "Per verificare la sezione Occorrono più di 4f12\n\n"
         "Per (f=fmax=0mm.), il N° massimo di Ferri su una Fila è pari a 0\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        boxes_.clear();
        Section& s = section(c.column, c.base, c.altezza, c.cover, c.as_min, c.n_min, c.d_min, c.d_max, c.area, c.text);
        (reg_.*c.procedure)(PosizioneFerri::As_inf, procedi_, msg_);
        EXPECT_FALSE(procedi_);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0], c.message);
        EXPECT_EQ(boxes_[0], "Armatura Minima " + s.DescrSezione() + "|" + msg_);
        EXPECT_EQ(s.As_inf(), c.area);
        EXPECT_EQ(s.stringaAs_inf(), c.text);
    }
    boxes_.clear();
    reg_.SezioneCorrente(99);  // no such section
    for (auto call : {&clsGenVerSez::ImpostaFerriNorm, &clsGenVerSez::aumentaFerri})
        EXPECT_ERROR_KIND((reg_.*call)(PosizioneFerri::As_inf, procedi_, msg_), ErrorKind::InvalidIndex);
    EXPECT_TRUE(boxes_.empty());
}

}  // namespace
