// The JSON of a result. nlohmann-json builds it; an infinite ratio (nothing
// provided against a minimum, no resistance against an action) is written as
// the number 1e999, which JSON readers take as infinity.

#include <cmath>
#include <nlohmann/json.hpp>

#include "ferrolit/verify.hpp"

namespace ferrolit {

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

// Stands for +∞ in the tree; replaced in the text. Input texts cannot hold
// control characters, so no input text can look like it.
const std::string kInfinity = "\x01inf";

ordered_json number(double v) {
    if (std::isinf(v) && v > 0) return kInfinity;
    if (!std::isfinite(v)) return nullptr;
    return v;
}

ordered_json optional_number(const std::optional<double>& v) { return v ? number(*v) : ordered_json(nullptr); }

ordered_json ring_json(const analysis::Ring& ring) {
    ordered_json points = ordered_json::array();
    for (const analysis::Point& p : ring) points.push_back({p.y, p.z});
    return points;
}

const char* law_name(analysis::ConcreteLaw law) {
    switch (law) {
        case analysis::ConcreteLaw::StressBlock:
            return "stress-block";
        case analysis::ConcreteLaw::Bilinear:
            return "bilinear";
        default:
            return "parabola-rectangle";
    }
}

// The input in its own keys, with every material value resolved: read back,
// it gives the same result.
ordered_json input_json(const VerificationInput& in) {
    ordered_json j;
    j["TipoSezione"] = in.member == MemberType::Column ? "Pilastro" : "Trave";
    j["DescrSezione"] = in.description;
    j["forma"] = shape_kind_name(in.shape.kind);
    if (in.shape.kind == ShapeKind::Polygon) {
        j["contorno"] = ring_json(in.shape.polygon.outline);
        ordered_json holes = ordered_json::array();
        for (const analysis::Ring& h : in.shape.polygon.holes) holes.push_back(ring_json(h));
        j["fori"] = holes;
    } else {
        const analysis::Dimensions& d = in.shape.dimensions;
        j["Base"] = d.Base;
        j["Altezza"] = d.Altezza;
        if (in.shape.kind != ShapeKind::Rectangle) j["BaseInf"] = d.BaseInf, j["SpessoreT"] = d.SpessoreT;
        j["Copriferro_Inf"] = in.bottom.cover;
        j["Copriferro_Sup"] = in.top.cover;
        const std::pair<const LayerInput*, const char*> layers[] = {
            {&in.bottom, "As_inf"}, {&in.top, "As_sup"}, {&in.right, "As_infY"}, {&in.left, "As_supY"}};
        for (const auto& [layer, name] : layers) {
            if (layer->bars) j[std::string("stringa") + name] = *layer->bars;
            if (layer->area) j[name] = *layer->area;
        }
    }
    if (!in.bars.empty()) {
        ordered_json bars = ordered_json::array();
        for (const PointBar& b : in.bars) bars.push_back({{"y", b.y}, {"z", b.z}, {"d", b.diameter}});
        j["barre"] = bars;
    }
    j["NFerriMinimo"] = in.limits.min_count;
    j["dFerriMinimo"] = in.limits.min_diameter;
    j["dFerriMassimo"] = in.limits.max_diameter;
    if (in.stirrups) {
        j["fStaffe"] = in.stirrups->diameter;
        j["nBracciaStaffe"] = in.stirrups->legs;
        j["passoStaffe"] = in.stirrups->spacing;
    }
    j["AlfaStaffe"] = in.stirrup_angle;
    const analysis::Concrete& c = in.concrete;
    if (!c.name.empty()) j["ClasseCls"] = c.name;
    if (c.Rck > 0) j["Rck"] = c.Rck;
    j["fck"] = c.fck;
    j["gammaC"] = c.gamma_c;
    j["alfaCC"] = c.alpha_cc;
    j["fcm"] = c.fcm;
    j["fctm"] = c.fctm;
    j["fctk05"] = c.fctk05;
    j["fctk95"] = c.fctk95;
    j["Ec"] = c.Ec;
    j["eps_c2"] = c.eps_c2;
    j["eps_cu"] = c.eps_cu;
    j["fcd"] = c.fcd();
    const analysis::Steel& s = in.steel;
    if (!s.name.empty()) j["ClasseAcciaio"] = s.name;
    j["fyk"] = s.fyk;
    j["gammaS"] = s.gamma_s;
    j["Es"] = s.Es;
    j["fyd"] = s.fyd();
    if (s.eps_ud) j["eps_ud"] = *s.eps_ud;
    ordered_json combinations = ordered_json::array();
    for (const Combination& k : in.combinations)
        combinations.push_back({{"nome", k.name},
                                {"tipo", combination_kind_name(k.kind)},
                                {"N", k.N},
                                {"My", k.My},
                                {"Mz", k.Mz},
                                {"Vy", k.Vy},
                                {"Vz", k.Vz}});
    j["combinazioni"] = combinations;
    j["ambiente"] = environment_name(in.environment);
    j["armature_sensibili"] = in.sensitive_bars;
    if (in.cot_theta) j["cot_theta"] = *in.cot_theta;
    j["alfa_e"] = in.alpha_e;
    if (in.wk_limit) j["wk_lim"] = *in.wk_limit;
    const std::pair<const std::optional<double>*, const char*> factors[] = {
        {&in.kt, "kt"}, {&in.k1, "k1"}, {&in.k2, "k2"}, {&in.k3, "k3"}, {&in.k4, "k4"}};
    for (const auto& [f, name] : factors)
        if (*f) j[name] = **f;
    return j;
}

ordered_json materials_json(const VerificationInput& in) {
    const analysis::Concrete& c = in.concrete;
    const analysis::Steel& s = in.steel;
    return {{"concrete",
             {{"class", c.name.empty() ? ordered_json(nullptr) : ordered_json(c.name)},
              {"fck", c.fck},
              {"Rck", c.Rck > 0 ? ordered_json(c.Rck) : ordered_json(nullptr)},
              {"fcm", c.fcm},
              {"fctm", c.fctm},
              {"fctk05", c.fctk05},
              {"fctk95", c.fctk95},
              {"Ecm", c.Ec},
              {"alpha_cc", c.alpha_cc},
              {"gamma_c", c.gamma_c},
              {"fcd", c.fcd()},
              {"eps_c2", c.eps_c2},
              {"eps_cu", c.eps_cu},
              {"n", c.n},
              {"law", law_name(c.law)}}},
            {"steel",
             {{"class", s.name.empty() ? ordered_json(nullptr) : ordered_json(s.name)},
              {"fyk", s.fyk},
              {"gamma_s", s.gamma_s},
              {"fyd", s.fyd()},
              {"Es", s.Es},
              {"eps_yd", s.eps_yd()},
              {"eps_ud", s.eps_ud ? ordered_json(*s.eps_ud) : ordered_json(nullptr)},
              {"k", s.k},
              {"hardening", s.hardening}}},
            {"alpha_e", in.alpha_e}};
}

ordered_json section_json(const VerificationResult& r) {
    ordered_json layers = ordered_json::array();
    for (const LayerRecord& l : r.layers)
        layers.push_back({{"name", l.name},
                          {"bars", l.bars},
                          {"area", l.area},
                          {"cover", l.cover},
                          {"origin", origin_name(l.origin)}});
    ordered_json bars = ordered_json::array();
    for (const PlacedBar& b : r.bars)
        bars.push_back({{"y", b.y}, {"z", b.z}, {"d", b.diameter}, {"area", b.area}, {"layer", b.layer}});
    ordered_json stirrups = nullptr;
    if (r.stirrups)
        stirrups = {{"diameter", r.stirrups->diameter},   {"legs", r.stirrups->legs},
                    {"spacing", r.stirrups->spacing},     {"angle", r.stirrups->angle},
                    {"per_metre", r.stirrups->per_metre}, {"origin", origin_name(r.stirrups->origin)}};
    ordered_json holes = ordered_json::array();
    for (const analysis::Ring& h : r.shape.holes) holes.push_back(ring_json(h));
    return {{"description", r.input.description},
            {"member", r.input.member == MemberType::Column ? "Pilastro" : "Trave"},
            {"shape", shape_kind_name(r.input.shape.kind)},
            {"outline", ring_json(r.shape.outline)},
            {"holes", holes},
            {"area", r.area},
            {"centroid", {r.centroid.y, r.centroid.z}},
            {"N_Rd_max", r.N_Rd_max},
            {"N_Rd_min", r.N_Rd_min},
            {"layers", layers},
            {"bars", bars},
            {"stirrups", stirrups}};
}

ordered_json check_json(const CheckResult& c) {
    ordered_json details = ordered_json::array();
    for (const Detail& d : c.details)
        details.push_back({{"name", d.name}, {"value", number(d.value)}, {"unit", d.unit}});
    return {{"id", c.id},
            {"clause", c.clause},
            {"combination", c.combination ? ordered_json(*c.combination) : ordered_json(nullptr)},
            {"demand", optional_number(c.demand)},
            {"capacity", optional_number(c.capacity)},
            {"unit", c.unit},
            {"ratio", number(c.ratio)},
            {"verified", c.verified},
            {"note", c.note},
            {"details", details}};
}

ordered_json governing_json(const VerificationResult& r, std::size_t i) {
    const CheckResult& c = r.checks[i];
    return {{"id", c.id},
            {"clause", c.clause},
            {"combination", c.combination ? ordered_json(*c.combination) : ordered_json(nullptr)},
            {"ratio", number(c.ratio)},
            {"verified", c.verified}};
}

std::string text_of(const ordered_json& j, int indent) {
    std::string text = j.dump(indent);
    const std::string marker = ordered_json(kInfinity).dump();
    for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at))
        text.replace(at, marker.size(), "1e999");
    return text;
}

}  // namespace

std::string to_json(const VerificationResult& r, int indent) {
    ordered_json j;
    j["program"] = "ferrolit";
    j["version"] = r.version;
    j["code"] = "NTC 2018 (D.M. 17/01/2018) e Circolare 21/01/2019 n. 7";
    j["verified"] = r.verified;
    j["max_ratio"] = number(r.max_ratio);
    const auto worst = r.governing();
    j["governing"] = worst ? governing_json(r, *worst) : ordered_json(nullptr);
    ordered_json families = ordered_json::object();
    for (const CheckResult& c : r.checks)
        if (!families.contains(c.id)) families[c.id] = governing_json(r, *r.governing(c.id));
    j["governing_by_check"] = families;
    j["ultimate_checks_run"] = r.ultimate_checks_run;
    j["service_checks_run"] = r.service_checks_run;
    ordered_json checks = ordered_json::array();
    for (const CheckResult& c : r.checks) checks.push_back(check_json(c));
    j["checks"] = checks;
    j["warnings"] = r.warnings;
    j["units"] = {{"length", "mm"},  {"area", "mm²"},       {"force", "kN"}, {"moment", "kNm"},
                  {"stress", "MPa"}, {"crack_width", "mm"}, {"angle", "°"},  {"stirrups", "mm²/m"}};
    j["section"] = section_json(r);
    j["materials"] = materials_json(r.input);
    j["input"] = input_json(r.input);
    return text_of(j, indent);
}

}  // namespace ferrolit
