#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ferrolit/enums.hpp"
#include "ferrolit/export.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit {

// The sections of a registry, both kinds mixed, in creation order. Items are
// numbered from 1 and shared with whoever else holds them.
class FERROLIT_API SectionCollection {
public:
    using Items = std::vector<std::shared_ptr<component::Section>>;

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    // Item number `index` (1..Count); InvalidIndex otherwise.
    std::shared_ptr<component::Section> Item(std::int32_t index) const;
    // Appends at the end; ObjectRequired for an empty pointer.
    void Add(std::shared_ptr<component::Section> item);
    // Removes item number `index`; the items behind it move up by one.
    void Remove(std::int32_t index);

    Items::const_iterator begin() const { return items_.begin(); }
    Items::const_iterator end() const { return items_.end(); }

private:
    Items items_;
};

// The driver of the library: creates sections, knows the current one, gives
// it materials and designs its reinforcement.
class FERROLIT_API clsGenVerSez {
public:
    clsGenVerSez();
    ~clsGenVerSez();
    clsGenVerSez(const clsGenVerSez&) = delete;
    clsGenVerSez& operator=(const clsGenVerSez&) = delete;

    std::shared_ptr<SectionCollection> Sezioni() const { return sections_; }
    // Replaces the collection; ObjectRequired for an empty pointer.
    void Sezioni(std::shared_ptr<SectionCollection> c);

    std::string strDM() const { return strDM_; }
    void strDM(std::string value) { strDM_ = std::move(value); }

    // Section number nSezione: InvalidIndex outside 1..Count, TypeMismatch for
    // a section of the other kind.
    std::shared_ptr<clsSezRett> SezRet(std::int16_t nSezione) const;
    std::shared_ptr<clsSezT> SezT(std::int16_t nSezione) const;

    void CreaSezRett(const std::string& TipoSezione, const std::string& DescrSez, float Base, float Altezza,
                     float Coprif_Inf, float Coprif_Sup, float Med_y, float Med_z, float Ned_x, float Taglio_y,
                     float Taglio_z, std::int16_t NferMin, std::int16_t DferMin, std::int16_t DferMax);
    void CreaSezT(const std::string& TipoSezione, const std::string& DescrSez, float Base, float BaseInf, float Altezza,
                  float SpessoreAla, float Coprif_Inf, float Coprif_Sup, float Med_y, float Med_z, float Ned_x,
                  float Taglio_y, float Taglio_z, std::int16_t NferMin, std::int16_t DferMin, std::int16_t DferMax);

    // Copies the 21 material values into the current section.
    void CreaMateriale_Sezione(const std::string& ClasseCls, float Rck, float fck, float gammaC, float alfaCC,
                               float fcm, float fctm, float fctk05, float fctk95, float Ec, float eps_c2, float eps_cu,
                               float fcd, float fctd, const std::string& ClasseAcciaio, float fyk, float gammaS,
                               float Es, float fyd, float eps_yd, float eps_ud);

    // Sets a bar layer of the current section to the code minimum.
    void ImpostaFerriNorm(PosizioneFerri PosFer, bool& Procedi, std::string& msg);
    // Moves a bar layer of the current section one step up the bar table.
    void aumentaFerri(PosizioneFerri PosFer, bool& Procedi, std::string& msg);

    std::int16_t SezioneCorrente() const { return current_; }
    void SezioneCorrente(std::int16_t value) { current_ = value; }

    // Smallest diameter, largest diameter and total area of a bar text such as 3f16+2f12.
    float EstraiFmin(const std::string& strAs) const;
    float EstraiFmax(const std::string& strAs) const;
    float EstraiAs(const std::string& strAs) const;

    // Brings the stirrups of the current section within the code limits.
    void ImpostaStaffeNorm();

    // The smallest arrangement of bars that reaches AreaFerri within the limits.
    std::string EstraiFerriMin(float AreaFerri, float Butile, std::int16_t minNfer, std::int16_t minDfer,
                               std::int16_t maxDFer, bool& Procedi, std::string& msg) const;

private:
    // The section the registry's operations work on: item SezioneCorrente.
    std::shared_ptr<component::Section> current_section() const;
    void append(std::shared_ptr<component::Section> section);

    std::shared_ptr<SectionCollection> sections_;
    std::int16_t current_ = 0;
    std::string strDM_;
};

}  // namespace ferrolit
