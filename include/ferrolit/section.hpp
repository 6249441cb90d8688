#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ferrolit/enums.hpp"
#include "ferrolit/export.hpp"

// A plain stored property: a reader and a writer that stores any value.
#define FERROLIT_PROPERTY(Type, Name)                     \
public:                                                   \
    Type Name() const { return Name##_; }                 \
    void Name(Type value) { Name##_ = std::move(value); } \
                                                          \
private:                                                  \
    Type Name##_{};                                       \
                                                          \
public:

namespace ferrolit {

// The component's own model: the section record and its internals. The code
// engine has a Section of its own (ferrolit::analysis::Section); neither is
// reachable as an unqualified ferrolit::Section.
namespace component {

struct SectionAccess;
struct DomainOutputs;
class DomainFaults;

// What the rectangular and the T section have in common: every stored member,
// the writers that derive or clamp, and the computing members, written once.
// The two public classes below add only what really differs between them.
class FERROLIT_API Section {
public:
    virtual ~Section();

    // ---- description and bar limits ----
    FERROLIT_PROPERTY(std::string, TipoSezione)
    FERROLIT_PROPERTY(std::string, DescrSezione)
    FERROLIT_PROPERTY(std::int16_t, NFerriMinimo)
    FERROLIT_PROPERTY(std::int16_t, dFerriMinimo)
    std::int16_t dFerriMassimo() const { return dFerriMassimo_; }
    void dFerriMassimo(std::int16_t value);  // stores 30 for anything above 30

    // ---- geometry and covers ----
    FERROLIT_PROPERTY(float, Base)
    float Altezza() const { return Altezza_; }
    void Altezza(float value);  // also updates H_Utile while Copriferro_Inf is not 0
    float Copriferro_Inf() const { return Copriferro_Inf_; }
    void Copriferro_Inf(float value);  // also updates H_Utile while Altezza is not 0
    FERROLIT_PROPERTY(float, Copriferro_Sup)
    FERROLIT_PROPERTY(float, H_Utile)

    // ---- longitudinal bars ----
    FERROLIT_PROPERTY(float, As_sup)
    FERROLIT_PROPERTY(float, As_inf)
    FERROLIT_PROPERTY(float, As_supY)
    FERROLIT_PROPERTY(float, As_infY)
    FERROLIT_PROPERTY(std::string, stringaAs_sup)
    FERROLIT_PROPERTY(std::string, stringaAs_inf)
    FERROLIT_PROPERTY(std::string, stringaAs_supY)
    FERROLIT_PROPERTY(std::string, stringaAs_infY)

    // ---- stirrups ----
    float fStaffe() const { return static_cast<float>(fStaffe_); }
    void fStaffe(float value);  // rounds half to even; Overflow outside 16 bits
    FERROLIT_PROPERTY(std::int16_t, nBracciaStaffe)
    FERROLIT_PROPERTY(float, passoStaffe)
    FERROLIT_PROPERTY(float, AlfaStaffe)
    FERROLIT_PROPERTY(float, tetaBielle)

    // ---- actions ----
    FERROLIT_PROPERTY(float, Ned_x)
    FERROLIT_PROPERTY(float, Med_y)
    FERROLIT_PROPERTY(float, Med_Fes)
    FERROLIT_PROPERTY(float, Taglio_z)
    FERROLIT_PROPERTY(float, Med_z)
    FERROLIT_PROPERTY(float, Taglio_y)

    // ---- resolution of the interaction domain, resisting moments ----
    FERROLIT_PROPERTY(float, DeltaN)
    FERROLIT_PROPERTY(float, DeltaX)
    FERROLIT_PROPERTY(float, MrdY)
    FERROLIT_PROPERTY(float, MrdZ)

    // ---- materials ----
    FERROLIT_PROPERTY(std::string, ClasseCls)
    FERROLIT_PROPERTY(std::string, ClasseAcciaio)
    FERROLIT_PROPERTY(float, Rck)
    FERROLIT_PROPERTY(float, fck)
    FERROLIT_PROPERTY(float, gammaC)
    FERROLIT_PROPERTY(float, alfaCC)
    FERROLIT_PROPERTY(float, fcm)
    FERROLIT_PROPERTY(float, fctm)
    FERROLIT_PROPERTY(float, fctk05)
    FERROLIT_PROPERTY(float, fctk95)
    FERROLIT_PROPERTY(float, Ec)
    FERROLIT_PROPERTY(float, eps_c2)
    FERROLIT_PROPERTY(float, eps_cu)
    FERROLIT_PROPERTY(float, fcd)
    FERROLIT_PROPERTY(float, fctd)
    FERROLIT_PROPERTY(float, fyk)
    FERROLIT_PROPERTY(float, gammaS)
    FERROLIT_PROPERTY(float, Es)
    FERROLIT_PROPERTY(float, eps_yd)
    FERROLIT_PROPERTY(float, eps_ud)
    FERROLIT_PROPERTY(float, fyd)

    // Design shear: Taglio_y for "Y", Taglio_z for "Z", 0 for any other text.
    float Ved(std::string Dir) const;

    // ---- code limits of the reinforcement and stirrups ----
    std::int16_t NFerriMassimo(PosizioneFerri PosFer, std::int16_t dFer) const;
    float percMinAs() const;
    float percA1s() const;
    float percMaxAs() const;
    float percAs() const;
    float AsMin() const;
    float AsMax() const;
    float AstaffeMin() const;
    float fStaffeMinNorm() const;
    float passoStaffeMinNorm() const;
    float passoStaffeMaxNorm() const;
    float Astaffe_ml();  // stores 333 in a zero passoStaffe first
    float Astaffa() const;

    // ---- shear resistances (kN) ----
    float Vrd_cls(std::string Direz) const;
    float Vrsd(const std::string& Direz) const;
    float Vrcd(const std::string& Direz) const;

    // ---- interaction domain: points of the last computation of a direction ----
    void Ny_Dominio(std::vector<float>& Matr) const;
    void My_Dominio(std::vector<float>& Matr) const;
    void Nz_Dominio(std::vector<float>& Matr) const;
    void Mz_Dominio(std::vector<float>& Matr) const;
    FERROLIT_PROPERTY(float, SigmaInfY)
    FERROLIT_PROPERTY(float, SigmaSupY)
    FERROLIT_PROPERTY(float, xnY)
    FERROLIT_PROPERTY(float, SigmaInfZ)
    FERROLIT_PROPERTY(float, SigmaSupZ)
    FERROLIT_PROPERTY(float, xnZ)

    // ---- cracking ----
    void CalcolaWkFessure(bool& Procedi, std::string& msg_err);
    FERROLIT_PROPERTY(float, EPSsm)
    FERROLIT_PROPERTY(float, DELTAsm)
    FERROLIT_PROPERTY(std::int16_t, CondizioniAmbientali)
    FERROLIT_PROPERTY(float, kt)
    FERROLIT_PROPERTY(float, k1)
    FERROLIT_PROPERTY(float, k2)
    FERROLIT_PROPERTY(float, k3)
    FERROLIT_PROPERTY(float, k4)
    FERROLIT_PROPERTY(float, Wk)

protected:
    explicit Section(bool tee) : tee_(tee) {}
    Section(const Section&) = default;
    Section& operator=(const Section&) = default;

    // The interaction domain of one direction (uls/domain.cpp); the two
    // classes offer it under their own names.
    void compute_domain(const std::string& Direz, bool& Procedi, std::string& msg);

    // Flange members, public only on the T section.
    float BaseInf_{};
    float SpessoreT_{};

private:
    friend struct component::SectionAccess;

    // Stages of compute_domain that touch the section's own outputs.
    void reset_domain(bool direction_y);
    void publish_domain(bool direction_y, component::DomainOutputs outputs);

    bool tee_;
    std::int16_t dFerriMassimo_{};
    float Altezza_{};
    float Copriferro_Inf_{};
    std::int16_t fStaffe_{};

    // Points of the interaction domains; empty until the first computation
    // of their direction, then element 0 (always 0) followed by the points.
    std::vector<float> nyDomain_, myDomain_, nzDomain_, mzDomain_;
};

}  // namespace component

// A rectangular section.
class FERROLIT_API clsSezRett : public component::Section {
public:
    clsSezRett() : Section(false) {}

    // Interaction domain and resisting moment for direction "Y" (any other text: Z).
    void CalcolaNMDominioSezRett(const std::string& Direz, bool& Procedi, std::string& msg);
};

// A T section: a flange of width Base and thickness SpessoreT on top of a web
// of width BaseInf, centred under it.
class FERROLIT_API clsSezT : public component::Section {
public:
    clsSezT() : Section(true) {}

    float BaseInf() const { return BaseInf_; }
    void BaseInf(float value) { BaseInf_ = value; }
    float SpessoreT() const { return SpessoreT_; }
    void SpessoreT(float value) { SpessoreT_ = value; }

    // Interaction domain and resisting moment for direction "Y" (any other text: Z).
    void CalcolaNMDominioSezT(const std::string& Direz, bool& Procedi, std::string& msg);

    // Extent of the concrete at distance X from the edge Bordo.
    float bX(TipoBordo Bordo, float X) const;
};

}  // namespace ferrolit

#undef FERROLIT_PROPERTY
