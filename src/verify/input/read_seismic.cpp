// The block "sismica": ductility class, member, critical zone, the data of
// the curvature ductility demand ([7.4.3]) and of the capacity-design shear.

#include <cmath>

#include "verify/input/read_input.hpp"

namespace ferrolit::verification {

namespace {

constexpr const char* kBlock = "sismica";

std::string path_of(std::string_view key) { return std::string(kBlock) + "." + std::string(key); }

// A value of the block within [lo, hi], or none when absent.
std::optional<double> within(const Reader& r, const nlohmann::json& block, std::string_view key, double lo, double hi,
                             const char* range) {
    const auto v = r.item_real_if(block, kBlock, key);
    if (v && !(*v >= lo && *v <= hi)) r.fail(path_of(key), range);
    return v;
}

std::string required_text(const Reader& r, const nlohmann::json& block, std::string_view key, const char* allowed) {
    if (!block.contains(std::string(key))) r.fail(path_of(key), std::string("valore mancante: ") + allowed);
    return r.item_text(block, kBlock, key);
}

}  // namespace

void read_seismic(const Reader& r, VerificationInput& in) {
    const nlohmann::json* block = r.value(kBlock);
    if (block == nullptr) return;
    r.check_item(*block, KeyGroup::Seismic, kBlock);
    SeismicInput s;
    const std::string cls = required_text(r, *block, "classe_duttilita", "\"A\" o \"B\"");
    if (cls != "A" && cls != "B") r.fail(path_of("classe_duttilita"), "ammesse \"A\" o \"B\", trovato \"" + cls + "\"");
    s.ductility = cls == "A" ? DuctilityClass::A : DuctilityClass::B;
    const std::string member = required_text(r, *block, "elemento", "\"trave\" o \"pilastro\"");
    if (member != "trave" && member != "pilastro")
        r.fail(path_of("elemento"), "ammessi \"trave\" o \"pilastro\", trovato \"" + member + "\"");
    s.member = member == "trave" ? MemberType::Beam : MemberType::Column;
    if (block->contains("zona_critica")) s.critical_zone = block->at("zona_critica").get<bool>();

    s.q0 = within(r, *block, "q0", 1, 10, "fattore di comportamento di base ammesso tra 1 e 10");
    s.T1 = within(r, *block, "T1", 0.001, 10, "periodo proprio ammesso tra 0,001 e 10 s");
    s.Tc = within(r, *block, "Tc", 0.001, 5, "periodo TC ammesso tra 0,001 e 5 s");
    s.mu_phi = within(r, *block, "mu_phi", 1, 100, "duttilità di curvatura ammessa tra 1 e 100");
    const int spectral = (s.q0 ? 1 : 0) + (s.T1 ? 1 : 0) + (s.Tc ? 1 : 0);
    if (spectral != 0 && spectral != 3)
        r.fail(path_of(!s.q0   ? "q0"
                       : !s.T1 ? "T1"
                               : "Tc"),
               "indicare q0, T1 e Tc insieme (domanda di duttilità [7.4.3])");
    if (spectral == 3 && s.mu_phi) r.fail(path_of("mu_phi"), "indicare mu_phi oppure q0, T1 e Tc, non entrambi");

    const char* length_key = s.member == MemberType::Beam ? "luce_netta" : "altezza_netta";
    const char* other_key = s.member == MemberType::Beam ? "altezza_netta" : "luce_netta";
    if (block->contains(other_key))
        r.fail(path_of(other_key), std::string("non si applica a questo elemento: indicare \"") + length_key + "\"");
    s.clear_length = within(r, *block, length_key, 1, 100000, "lunghezza netta ammessa tra 1 e 100000 mm");
    s.gravity_shear =
        within(r, *block, "V_gravitazionale", 0, 100000, "taglio gravitazionale ammesso tra 0 e 100000 kN");
    in.seismic = s;
}

}  // namespace ferrolit::verification
