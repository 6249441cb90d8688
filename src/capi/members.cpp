// The member table: every member of every class reachable by name, in the
// interface order of each class. One row per member; the argument types and
// output flags come from the C++ signature, the names are given here.

#include "capi/member_table.hpp"

namespace ferrolit::capi {

namespace {

using row::get;
using row::method;

std::vector<Member> build_table() {
    using R = clsGenVerSez;
    using C = SectionCollection;
    using S = component::Section;
    std::vector<Member> t;
    auto add = [&t](Member m) { t.push_back(std::move(m)); };

    // ---- clsGenVerSez ----
    add(FERROLIT_READ_WRITE(R, std::shared_ptr<SectionCollection>, Sezioni));
    add(FERROLIT_READ_WRITE(R, std::string, strDM));
    add(method("SezRet", &R::SezRet, {"nSezione"}));
    add(method("SezT", &R::SezT, {"nSezione"}));
    add(method("CreaSezRett", &R::CreaSezRett,
               {"TipoSezione", "DescrSez", "Base", "Altezza", "Coprif_Inf", "Coprif_Sup", "Med_y", "Med_z", "Ned_x",
                "Taglio_y", "Taglio_z", "NferMin", "DferMin", "DferMax"}));
    add(method("CreaSezT", &R::CreaSezT,
               {"TipoSezione", "DescrSez", "Base", "BaseInf", "Altezza", "SpessoreAla", "Coprif_Inf", "Coprif_Sup",
                "Med_y", "Med_z", "Ned_x", "Taglio_y", "Taglio_z", "NferMin", "DferMin", "DferMax"}));
    add(method(
        "CreaMateriale_Sezione", &R::CreaMateriale_Sezione,
        {"ClasseCls", "Rck", "fck",  "gammaC",        "alfaCC", "fcm",    "fctm", "fctk05", "fctk95", "Ec",    "eps_c2",
         "eps_cu",    "fcd", "fctd", "ClasseAcciaio", "fyk",    "gammaS", "Es",   "fyd",    "eps_yd", "eps_ud"}));
    add(method("ImpostaFerriNorm", &R::ImpostaFerriNorm, {"PosFer", "Procedi", "msg"}));
    add(method("aumentaFerri", &R::aumentaFerri, {"PosFer", "Procedi", "msg"}));
    add(FERROLIT_READ_WRITE(R, std::int16_t, SezioneCorrente));
    add(method("EstraiFmin", &R::EstraiFmin, {"strAs"}));
    add(method("EstraiFmax", &R::EstraiFmax, {"strAs"}));
    add(method("EstraiAs", &R::EstraiAs, {"strAs"}));
    add(method("ImpostaStaffeNorm", &R::ImpostaStaffeNorm));
    add(method("EstraiFerriMin", &R::EstraiFerriMin,
               {"AreaFerri", "Butile", "minNfer", "minDfer", "maxDFer", "Procedi", "msg"}));

    // ---- Collection (the registry's Sezioni) ----
    add(get("Count", &C::Count));
    add(get("Item", &C::Item, {"Index"}));
    add(method("Add", &C::Add, {"Item"}));
    add(method("Remove", &C::Remove, {"Index"}));

    // ---- clsSezRett and clsSezT ----
    add(FERROLIT_READ_WRITE(S, std::string, TipoSezione));
    add(FERROLIT_READ_WRITE(S, std::string, DescrSezione));
    add(FERROLIT_READ_WRITE(S, std::int16_t, NFerriMinimo));
    add(FERROLIT_READ_WRITE(S, std::int16_t, dFerriMinimo));
    add(FERROLIT_READ_WRITE(S, std::int16_t, dFerriMassimo));
    add(FERROLIT_READ_WRITE(S, float, Base));
    add(FERROLIT_READ_WRITE(clsSezT, float, BaseInf));
    add(FERROLIT_READ_WRITE(clsSezT, float, SpessoreT));
    add(FERROLIT_READ_WRITE(S, float, Altezza));
    add(FERROLIT_READ_WRITE(S, float, Copriferro_Inf));
    add(FERROLIT_READ_WRITE(S, float, Copriferro_Sup));
    add(FERROLIT_READ_WRITE(S, float, H_Utile));
    add(FERROLIT_READ_WRITE(S, float, As_sup));
    add(FERROLIT_READ_WRITE(S, float, As_inf));
    add(FERROLIT_READ_WRITE(S, float, As_supY));
    add(FERROLIT_READ_WRITE(S, float, As_infY));
    add(FERROLIT_READ_WRITE(S, std::string, stringaAs_sup));
    add(FERROLIT_READ_WRITE(S, std::string, stringaAs_inf));
    add(FERROLIT_READ_WRITE(S, std::string, stringaAs_supY));
    add(FERROLIT_READ_WRITE(S, std::string, stringaAs_infY));
    add(FERROLIT_READ_WRITE(S, float, fStaffe));
    add(FERROLIT_READ_WRITE(S, std::int16_t, nBracciaStaffe));
    add(FERROLIT_READ_WRITE(S, float, passoStaffe));
    add(FERROLIT_READ_WRITE(S, float, AlfaStaffe));
    add(FERROLIT_READ_WRITE(S, float, tetaBielle));
    add(FERROLIT_READ_WRITE(S, float, Ned_x));
    add(FERROLIT_READ_WRITE(S, float, Med_y));
    add(FERROLIT_READ_WRITE(S, float, Med_Fes));
    add(FERROLIT_READ_WRITE(S, float, Taglio_z));
    add(FERROLIT_READ_WRITE(S, float, Med_z));
    add(FERROLIT_READ_WRITE(S, float, Taglio_y));
    add(FERROLIT_READ_WRITE(S, float, DeltaN));
    add(FERROLIT_READ_WRITE(S, float, DeltaX));
    add(FERROLIT_READ_WRITE(S, float, MrdY));
    add(FERROLIT_READ_WRITE(S, float, MrdZ));
    add(FERROLIT_READ_WRITE(S, std::string, ClasseCls));
    add(FERROLIT_READ_WRITE(S, std::string, ClasseAcciaio));
    add(FERROLIT_READ_WRITE(S, float, Rck));
    add(FERROLIT_READ_WRITE(S, float, fck));
    add(FERROLIT_READ_WRITE(S, float, gammaC));
    add(FERROLIT_READ_WRITE(S, float, alfaCC));
    add(FERROLIT_READ_WRITE(S, float, fcm));
    add(FERROLIT_READ_WRITE(S, float, fctm));
    add(FERROLIT_READ_WRITE(S, float, fctk05));
    add(FERROLIT_READ_WRITE(S, float, fctk95));
    add(FERROLIT_READ_WRITE(S, float, Ec));
    add(FERROLIT_READ_WRITE(S, float, eps_c2));
    add(FERROLIT_READ_WRITE(S, float, eps_cu));
    add(FERROLIT_READ_WRITE(S, float, fcd));
    add(FERROLIT_READ_WRITE(S, float, fctd));
    add(FERROLIT_READ_WRITE(S, float, fyk));
    add(FERROLIT_READ_WRITE(S, float, gammaS));
    add(FERROLIT_READ_WRITE(S, float, Es));
    add(FERROLIT_READ_WRITE(S, float, eps_yd));
    add(FERROLIT_READ_WRITE(S, float, eps_ud));
    add(FERROLIT_READ_WRITE(S, float, fyd));
    add(get("Ved", &S::Ved, {"Dir"}));
    add(method("NFerriMassimo", &S::NFerriMassimo, {"PosFer", "dFer"}));
    add(get("Vrd_cls", &S::Vrd_cls, {"Direz"}));
    add(get("Vrsd", &S::Vrsd, {"Direz"}));
    add(get("Vrcd", &S::Vrcd, {"Direz"}));
    add(get("percMinAs", &S::percMinAs));
    add(get("percA1s", &S::percA1s));
    add(get("percMaxAs", &S::percMaxAs));
    add(get("percAs", &S::percAs));
    add(method("AsMin", &S::AsMin));
    add(method("AsMax", &S::AsMax));
    add(method("AstaffeMin", &S::AstaffeMin));
    add(method("fStaffeMinNorm", &S::fStaffeMinNorm));
    add(method("passoStaffeMinNorm", &S::passoStaffeMinNorm));
    add(method("passoStaffeMaxNorm", &S::passoStaffeMaxNorm));
    add(method("Astaffe_ml", &S::Astaffe_ml));
    add(method("Astaffa", &S::Astaffa));
    add(get("CalcolaNMDominioSezRett", &clsSezRett::CalcolaNMDominioSezRett, {"Direz", "Procedi", "msg"}));
    add(get("CalcolaNMDominioSezT", &clsSezT::CalcolaNMDominioSezT, {"Direz", "Procedi", "msg"}));
    add(get("Ny_Dominio", &S::Ny_Dominio, {"Matr"}));
    add(get("My_Dominio", &S::My_Dominio, {"Matr"}));
    add(get("Nz_Dominio", &S::Nz_Dominio, {"Matr"}));
    add(get("Mz_Dominio", &S::Mz_Dominio, {"Matr"}));
    add(FERROLIT_READ_WRITE(S, float, SigmaInfY));
    add(FERROLIT_READ_WRITE(S, float, SigmaSupY));
    add(FERROLIT_READ_WRITE(S, float, xnY));
    add(FERROLIT_READ_WRITE(S, float, SigmaInfZ));
    add(FERROLIT_READ_WRITE(S, float, SigmaSupZ));
    add(FERROLIT_READ_WRITE(S, float, xnZ));
    add(get("CalcolaWkFessure", &S::CalcolaWkFessure, {"Procedi", "msg_err"}));
    add(FERROLIT_READ_WRITE(S, float, EPSsm));
    add(FERROLIT_READ_WRITE(S, float, DELTAsm));
    add(FERROLIT_READ_WRITE(S, std::int16_t, CondizioniAmbientali));
    add(FERROLIT_READ_WRITE(S, float, kt));
    add(FERROLIT_READ_WRITE(S, float, k1));
    add(FERROLIT_READ_WRITE(S, float, k2));
    add(FERROLIT_READ_WRITE(S, float, k3));
    add(FERROLIT_READ_WRITE(S, float, k4));
    add(FERROLIT_READ_WRITE(S, float, Wk));
    add(method("bX", &clsSezT::bX, {"Bordo", "X"}));
    return t;
}

}  // namespace

const std::vector<Member>& member_table() {
    static const std::vector<Member> table = build_table();
    return table;
}

}  // namespace ferrolit::capi
