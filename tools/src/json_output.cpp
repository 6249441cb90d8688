#include "json_output.hpp"

#include <cmath>

namespace ferrolit::cli {

namespace {

using nlohmann::json;

// A ratio without bound (no resistance) has no JSON number: null.
json ratio_json(double r) { return std::isfinite(r) ? json(r) : json(nullptr); }

json flexure_json(const Flexure& f) {
    return {{"Med", f.Med},
            {"Mrd", f.Mrd},
            {"Ned_x", f.Ned},
            {"fuori_dominio", f.outside_domain},
            {"xn", f.xn},
            {"SigmaInf", f.sigma_tension},
            {"SigmaSup", f.sigma_compression},
            {"rapporto", ratio_json(f.ratio)},
            {"verificata", f.ok}};
}

json shear_json(const Shear& v) {
    return {{"Ved", v.Ved},   {"Vrd_cls", v.Vrd_cls}, {"Vrsd", v.Vrsd}, {"Vrcd", v.Vrcd},
            {"Vrd", v.Vrd},   {"rapporto", ratio_json(v.ratio)}, {"verificata", v.ok}};
}

}  // namespace

json to_json(const Verification& v) {
    const Section& s = *v.section;
    json layers = json::object();
    for (const Layer& l : v.layers)
        layers[l.name] = {{"stringa", l.bars}, {"area", l.area}, {"origine", l.chosen ? "normativa" : "assegnata"}};
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
         {{"fStaffe", st.diameter},
          {"nBracciaStaffe", st.legs},
          {"passoStaffe", st.spacing},
          {"Astaffe_ml", st.per_metre},
          {"AstaffeMin", st.minimum},
          {"origine", st.chosen ? "normativa" : "assegnate"}}},
        {"AsMin", v.AsMin},
        {"AsMax", v.AsMax},
        {"flessione", {{"Y", flexure_json(v.flexure[0])}}},
        {"taglio", {{"Z", shear_json(v.shear[0])}, {"Y", shear_json(v.shear[1])}}},
        {"fessurazione",
         {{"Med_Fes", v.crack.Med_Fes},
          {"momento_negativo", v.crack.hogging},
          {"Wk", v.crack.Wk},
          {"wk_lim", v.crack.wk_lim},
          {"origine_limite", v.crack.limit_source},
          {"EPSsm", v.crack.EPSsm},
          {"DELTAsm", v.crack.DELTAsm},
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
