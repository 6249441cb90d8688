#include "ferrolit/registry.hpp"

#include "core/numeric.hpp"
#include "ferrolit/error.hpp"

namespace ferrolit {

using component::Section;

clsGenVerSez::clsGenVerSez() : sections_(std::make_shared<SectionCollection>()) {}

clsGenVerSez::~clsGenVerSez() = default;

void clsGenVerSez::Sezioni(std::shared_ptr<SectionCollection> c) {
    if (!c) throw Error(ErrorKind::ObjectRequired);
    sections_ = std::move(c);
}

std::shared_ptr<Section> clsGenVerSez::current_section() const { return sections_->Item(current_); }

std::shared_ptr<clsSezRett> clsGenVerSez::SezRet(std::int16_t nSezione) const {
    auto section = std::dynamic_pointer_cast<clsSezRett>(sections_->Item(nSezione));
    if (!section) throw Error(ErrorKind::TypeMismatch);
    return section;
}

std::shared_ptr<clsSezT> clsGenVerSez::SezT(std::int16_t nSezione) const {
    auto section = std::dynamic_pointer_cast<clsSezT>(sections_->Item(nSezione));
    if (!section) throw Error(ErrorKind::TypeMismatch);
    return section;
}

void clsGenVerSez::append(std::shared_ptr<Section> section) {
    sections_->Add(std::move(section));
    // Section numbers are 16-bit: the 32,768th section is appended, then
    // numbering it fails and the current number stays as it was.
    current_ = detail::to_int16(sections_->Count());
}

namespace {

// The arguments of a creation that both kinds share.
struct StartingState {
    const std::string& tipo;
    const std::string& descr;
    float base, altezza, coprif_inf, coprif_sup, med_y, med_z, ned_x, taglio_y, taglio_z;
    std::int16_t nfer_min, dfer_min, dfer_max;
};

// Writes the starting state of a new section through its own writers, in the
// order that makes H_Utile end as Altezza - Copriferro_Inf. `set_flange`
// writes the T members right after Base.
template <class SetFlange>
void write_starting_state(Section& s, const StartingState& a, SetFlange set_flange) {
    s.TipoSezione(a.tipo == "Trave" || a.tipo == "Pilastro" ? a.tipo : std::string("Trave"));
    s.DescrSezione(a.descr);
    s.NFerriMinimo(a.nfer_min);
    s.dFerriMinimo(a.dfer_min);
    s.dFerriMassimo(a.dfer_max);
    s.Altezza(a.altezza);
    s.As_sup(0);
    s.As_inf(0);
    s.As_supY(0);
    s.As_infY(0);
    s.Base(a.base);
    set_flange();
    s.Copriferro_Inf(a.coprif_inf);
    s.Copriferro_Sup(a.coprif_sup);
    s.DeltaN(1);
    s.DeltaX(1);
    s.fStaffe(8);
    s.Med_y(a.med_y);
    s.Med_z(a.med_z);
    s.nBracciaStaffe(2);
    s.Ned_x(a.ned_x);
    s.passoStaffe(250);
    s.AlfaStaffe(90);
    s.tetaBielle(45);
    s.stringaAs_sup("");
    s.stringaAs_inf("");
    s.stringaAs_supY("");
    s.stringaAs_infY("");
    s.Taglio_y(a.taglio_y);
    s.Taglio_z(a.taglio_z);
    s.H_Utile(detail::single(double{a.altezza} - a.coprif_inf));
    s.CondizioniAmbientali(0);
    s.kt(0.6f);
    s.k1(0.8f);
    s.k2(0.5f);
    s.k3(3.4f);
    s.k4(0.425f);
}

}  // namespace

void clsGenVerSez::CreaSezRett(const std::string& TipoSezione, const std::string& DescrSez, float Base, float Altezza,
                               float Coprif_Inf, float Coprif_Sup, float Med_y, float Med_z, float Ned_x,
                               float Taglio_y, float Taglio_z, std::int16_t NferMin, std::int16_t DferMin,
                               std::int16_t DferMax) {
    detail::public_call([&] {
        auto section = std::make_shared<clsSezRett>();
        write_starting_state(*section,
                             {TipoSezione, DescrSez, Base, Altezza, Coprif_Inf, Coprif_Sup, Med_y, Med_z, Ned_x,
                              Taglio_y, Taglio_z, NferMin, DferMin, DferMax},
                             [] {});
        append(std::move(section));
    });
}

void clsGenVerSez::CreaSezT(const std::string& TipoSezione, const std::string& DescrSez, float Base, float BaseInf,
                            float Altezza, float SpessoreAla, float Coprif_Inf, float Coprif_Sup, float Med_y,
                            float Med_z, float Ned_x, float Taglio_y, float Taglio_z, std::int16_t NferMin,
                            std::int16_t DferMin, std::int16_t DferMax) {
    detail::public_call([&] {
        auto section = std::make_shared<clsSezT>();
        write_starting_state(*section,
                             {TipoSezione, DescrSez, Base, Altezza, Coprif_Inf, Coprif_Sup, Med_y, Med_z, Ned_x,
                              Taglio_y, Taglio_z, NferMin, DferMin, DferMax},
                             [&] {
                                 section->BaseInf(BaseInf);
                                 section->SpessoreT(SpessoreAla);
                             });
        append(std::move(section));
    });
}

}  // namespace ferrolit
