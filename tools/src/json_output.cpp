#include "json_output.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace ferrolit::cli {

namespace {

using nlohmann::json;

// A stored single-precision value as the shortest decimal that reads back as
// it (0.3, not 0.30000001192092896).
json num(float v) {
    if (!std::isfinite(v)) return nullptr;
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text - 1, v).ptr;
    *end = '\0';
    return std::strtod(text, nullptr);
}

// A ratio without bound (no resistance) has no JSON number: null.
json ratio_json(double r) { return std::isfinite(r) ? json(r) : json(nullptr); }

json flexure_json(const Flexure& f) {
    return {{"Med", num(f.Med)},
            {"Mrd", num(f.Mrd)},
            {"Ned_x", num(f.Ned)},
            {"fuori_dominio", f.outside_domain},
            {"xn", num(f.xn)},
            {"SigmaInf", num(f.sigma_tension)},
            {"SigmaSup", num(f.sigma_compression)},
            {"rapporto", ratio_json(f.ratio)},
            {"verificata", f.ok}};
}

json shear_json(const Shear& v) {
    return {{"Ved", num(v.Ved)}, {"Vrd_cls", num(v.Vrd_cls)},       {"Vrsd", num(v.Vrsd)}, {"Vrcd", num(v.Vrcd)},
            {"Vrd", num(v.Vrd)}, {"rapporto", ratio_json(v.ratio)}, {"verificata", v.ok}};
}

}  // namespace

json to_json(const Verification& v) {
    const Section& s = *v.section;
    json layers = json::object();
    for (const Layer& l : v.layers)
        layers[l.name] = {
            {"stringa", l.bars}, {"area", num(l.area)}, {"origine", l.chosen ? "normativa" : "assegnata"}};
    const Stirrups& st = v.stirrups;
    json out = {
        {"file", v.file},
        {"riga", v.line},
        {"DescrSezione", s.DescrSezione()},
        {"TipoSezione", s.TipoSezione()},
        {"forma", v.tee ? "T" : "rettangolare"},
        {"ClasseCls", s.ClasseCls()},
        {"ClasseAcciaio", s.ClasseAcciaio()},
        {"armature", layers},
        {"staffe",
         {{"fStaffe", num(st.diameter)},
          {"nBracciaStaffe", st.legs},
          {"passoStaffe", num(st.spacing)},
          {"Astaffe_ml", num(st.per_metre)},
          {"AstaffeMin", num(st.minimum)},
          {"origine", st.chosen ? "normativa" : "assegnate"}}},
        {"AsMin", num(v.AsMin)},
        {"AsMax", num(v.AsMax)},
        {"flessione", {{"Y", flexure_json(v.flexure[0])}}},
        {"taglio", {{"Z", shear_json(v.shear[0])}, {"Y", shear_json(v.shear[1])}}},
        {"fessurazione",
         {{"Med_Fes", num(v.crack.Med_Fes)},
          {"momento_negativo", v.crack.hogging},
          {"Wk", num(v.crack.Wk)},
          {"wk_lim", num(v.crack.wk_lim)},
          {"origine_limite", v.crack.limit_source},
          {"EPSsm", num(v.crack.EPSsm)},
          {"DELTAsm", num(v.crack.DELTAsm)},
          {"rapporto", ratio_json(v.crack.ratio)},
          {"verificata", v.crack.ok}}},
        {"messaggi", v.messages},
        {"rapporto_massimo", ratio_json(v.max_ratio())},
        {"verifica_governante", v.governing()},
        {"verificata", v.ok()},
    };
    out["flessione"]["Z"] = v.flexure[1].direction.empty() ? json(nullptr) : flexure_json(v.flexure[1]);
    out["flessione_deviata"] =
        v.biaxial ? json{{"valore", ratio_json(v.biaxial->value)}, {"alfa", 1}, {"verificata", v.biaxial->ok}}
                  : json(nullptr);
    return out;
}

}  // namespace ferrolit::cli
