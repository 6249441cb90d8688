#include "ferrolit/registry.hpp"

namespace ferrolit {

using component::Section;

void clsGenVerSez::CreaMateriale_Sezione(const std::string& ClasseCls, float Rck, float fck, float gammaC, float alfaCC,
                                         float fcm, float fctm, float fctk05, float fctk95, float Ec, float eps_c2,
                                         float eps_cu, float fcd, float fctd, const std::string& ClasseAcciaio,
                                         float fyk, float gammaS, float Es, float fyd, float eps_yd, float eps_ud) {
    // Stored as given: nothing is checked or derived.
    const std::shared_ptr<Section> s = current_section();
    s->ClasseCls(ClasseCls);
    s->Rck(Rck);
    s->fck(fck);
    s->gammaC(gammaC);
    s->alfaCC(alfaCC);
    s->fcm(fcm);
    s->fctm(fctm);
    s->fctk05(fctk05);
    s->fctk95(fctk95);
    s->Ec(Ec);
    s->eps_c2(eps_c2);
    s->eps_cu(eps_cu);
    s->fcd(fcd);
    s->fctd(fctd);
    s->ClasseAcciaio(ClasseAcciaio);
    s->fyk(fyk);
    s->gammaS(gammaS);
    s->Es(Es);
    s->fyd(fyd);
    s->eps_yd(eps_yd);
    s->eps_ud(eps_ud);
}

}  // namespace ferrolit
