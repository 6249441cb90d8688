// A C++ host of an installed or embedded ferrolit: the README's beam, its
// bars by the code minimum and its resisting moment. Exits 0 when MrdY is
// that of the README (156.28 kNm).

#include <cmath>
#include <cstdio>
#include <string>

#include <ferrolit/ferrolit.h>
#include <ferrolit/ferrolit.hpp>

int main() {
    ferrolit::clsGenVerSez registry;
    registry.CreaSezRett("Trave", "T1", 300, 500, 40, 40, 100, 0, 0, 0, 80, 2, 12, 20);
    registry.CreaMateriale_Sezione("C25/30", 30, 25, 1.5f, 0.85f, 33, 2.56f, 1.8f, 3.3f, 31476, 0.002f, 0.0035f, 14.17f,
                                   1.19f, "B450C", 450, 1.15f, 200000, 391.3f, 0.0019565f, 0.0675f);
    const auto beam = registry.SezRet(1);
    beam->As_inf(942);
    beam->stringaAs_inf("3f20");
    bool procedi = false;
    std::string msg;
    registry.ImpostaFerriNorm(ferrolit::PosizioneFerri::As_sup, procedi, msg);
    beam->CalcolaNMDominioSezRett("Y", procedi, msg);
    std::printf("ferrolit %s: %s, MrdY %.2f kNm\n", ferrolit_version(), beam->stringaAs_sup().c_str(), beam->MrdY());
    return procedi && std::fabs(beam->MrdY() - 156.28f) < 0.01f ? 0 : 1;
}
