// The JSON of a result, written straight to text (json_writer.hpp): an
// unbounded ratio (nothing provided against a minimum, no resistance against
// an action) is null, the check is not verified and its note says why; the
// section's max_ratio is then null too.

#include <algorithm>

#include "ferrolit/verify.hpp"
#include "verify/output/json_writer.hpp"

namespace ferrolit {

namespace {

using verification::JsonWriter;

void ring(JsonWriter& w, const analysis::Ring& r) {
    w.begin_array();
    for (const analysis::Point& p : r) w.begin_array().value(p.y).value(p.z).end_array();
    w.end_array();
}

void rings(JsonWriter& w, const std::vector<analysis::Ring>& rs) {
    w.begin_array();
    for (const analysis::Ring& r : rs) ring(w, r);
    w.end_array();
}

// Each face's cover in the key it was given with: the clear covers as one
// "copriferro" object, the covers to the bar centres as the component's keys
// (which also give the side faces without a clear cover).
void covers(JsonWriter& w, const VerificationInput& in) {
    const std::pair<const LayerInput*, const char*> faces[] = {
        {&in.bottom, "inferiore"}, {&in.top, "superiore"}, {&in.left, "sinistro"}, {&in.right, "destro"}};
    bool any_clear = false;
    for (const auto& [layer, name] : faces) any_clear = any_clear || layer->clear_cover.has_value();
    if (any_clear) {
        w.key("copriferro").begin_object();
        for (const auto& [layer, name] : faces)
            if (layer->clear_cover) w.member(name, *layer->clear_cover);
        w.end_object();
    }
    if (!in.bottom.clear_cover) w.member("Copriferro_Inf", in.bottom.cover);
    if (!in.top.clear_cover) w.member("Copriferro_Sup", in.top.cover);
}

// The block "sismica" in its own keys.
void seismic(JsonWriter& w, const SeismicInput& s) {
    w.key("sismica").begin_object();
    w.member("classe_duttilita", s.ductility == DuctilityClass::A ? "A" : "B");
    w.member("elemento", s.member == MemberType::Column ? "pilastro" : "trave");
    w.member("zona_critica", s.critical_zone);
    const std::pair<const std::optional<double>*, const char*> values[] = {
        {&s.q0, "q0"},
        {&s.T1, "T1"},
        {&s.Tc, "Tc"},
        {&s.mu_phi, "mu_phi"},
        {&s.clear_length, s.member == MemberType::Column ? "altezza_netta" : "luce_netta"},
        {&s.gravity_shear, "V_gravitazionale"}};
    for (const auto& [v, name] : values)
        if (*v) w.member(name, **v);
    w.end_object();
}

// The input in its own keys, with every material value resolved: read back,
// it gives the same result.
void input(JsonWriter& w, const VerificationInput& in) {
    w.begin_object();
    w.member("TipoSezione", member_type_name(in.member));
    w.member("DescrSezione", in.description);
    w.member("forma", shape_kind_name(in.shape.kind));
    if (in.shape.kind == ShapeKind::Polygon) {
        w.key("contorno");
        ring(w, in.shape.polygon.outline);
        w.key("fori");
        rings(w, in.shape.polygon.holes);
    } else if (is_circular(in.shape.kind)) {
        w.member("diametro", in.shape.diameter);
        if (in.shape.kind == ShapeKind::Annulus) w.member("diametro_interno", in.shape.inner_diameter);
        if (in.circle.clear_cover) w.member("copriferro", *in.circle.clear_cover);
        if (in.circle.bars) w.member("stringaAs_circ", *in.circle.bars);
    } else {
        const analysis::Dimensions& d = in.shape.dimensions;
        w.member("Base", d.Base).member("Altezza", d.Altezza);
        if (in.shape.kind != ShapeKind::Rectangle) w.member("BaseInf", d.BaseInf).member("SpessoreT", d.SpessoreT);
        covers(w, in);
        if (in.flange_bar_width) w.member("larghezza_armatura_ala", *in.flange_bar_width);
        const std::pair<const LayerInput*, const char*> layers[] = {
            {&in.bottom, "As_inf"}, {&in.top, "As_sup"}, {&in.right, "As_infY"}, {&in.left, "As_supY"}};
        for (const auto& [layer, name] : layers) {
            if (layer->bars) w.member(std::string("stringa") + name, *layer->bars);
            if (layer->area) w.member(name, *layer->area);
        }
    }
    if (!in.bars.empty()) {
        w.key("barre").begin_array();
        for (const PointBar& b : in.bars)
            w.begin_object().member("y", b.y).member("z", b.z).member("d", b.diameter).end_object();
        w.end_array();
    }
    w.member("NFerriMinimo", in.limits.min_count)
        .member("dFerriMinimo", in.limits.min_diameter)
        .member("dFerriMassimo", in.limits.max_diameter);
    if (in.stirrups)
        w.member("fStaffe", in.stirrups->diameter)
            .member("nBracciaStaffe", in.stirrups->legs)
            .member("passoStaffe", in.stirrups->spacing);
    w.member("AlfaStaffe", in.stirrup_angle).member("staffe_chiuse", in.closed_stirrups);
    const analysis::Concrete& c = in.concrete;
    if (!c.name.empty()) w.member("ClasseCls", c.name);
    if (c.Rck > 0) w.member("Rck", c.Rck);
    w.member("fck", c.fck).member("gammaC", c.gamma_c).member("alfaCC", c.alpha_cc).member("fcm", c.fcm);
    w.member("fctm", c.fctm).member("fctk05", c.fctk05).member("fctk95", c.fctk95).member("Ec", c.Ec);
    w.member("eps_c2", c.eps_c2).member("eps_cu", c.eps_cu).member("fcd", c.fcd());
    const analysis::Steel& s = in.steel;
    if (!s.name.empty()) w.member("ClasseAcciaio", s.name);
    w.member("fyk", s.fyk).member("gammaS", s.gamma_s).member("Es", s.Es).member("fyd", s.fyd());
    if (s.eps_ud) w.member("eps_ud", *s.eps_ud);
    w.key("combinazioni").begin_array();
    for (const Combination& k : in.combinations)
        w.begin_object()
            .member("nome", k.name)
            .member("tipo", combination_kind_name(k.kind))
            .member("N", k.N)
            .member("My", k.My)
            .member("Mz", k.Mz)
            .member("Vy", k.Vy)
            .member("Vz", k.Vz)
            .member("T", k.T)
            .end_object();
    w.end_array();
    w.member("ambiente", environment_name(in.environment)).member("armature_sensibili", in.sensitive_bars);
    if (in.cot_theta) w.member("cot_theta", *in.cot_theta);
    w.member("alfa_e", in.alpha_e);
    if (in.effective_length_y) w.member("l0_y", *in.effective_length_y);
    if (in.effective_length_z) w.member("l0_z", *in.effective_length_z);
    w.member("rm", in.end_moment_ratio).member("phi_ef", in.creep_ratio);
    if (in.wk_limit) w.member("wk_lim", *in.wk_limit);
    if (in.aggregate_size) w.member("dmax_aggregato", *in.aggregate_size);
    if (in.cover_tolerance) w.member("tolleranza_copriferro", *in.cover_tolerance);
    const std::pair<const std::optional<double>*, const char*> factors[] = {
        {&in.kt, "kt"}, {&in.k1, "k1"}, {&in.k2, "k2"}, {&in.k3, "k3"}, {&in.k4, "k4"}};
    for (const auto& [f, name] : factors)
        if (*f) w.member(name, **f);
    if (in.seismic) seismic(w, *in.seismic);
    w.end_object();
}

void materials(JsonWriter& w, const VerificationInput& in) {
    const analysis::Concrete& c = in.concrete;
    const analysis::Steel& s = in.steel;
    w.begin_object().key("concrete").begin_object();
    w.member("class", c.name.empty() ? std::nullopt : std::optional(c.name));
    w.member("fck", c.fck);
    w.member("Rck", c.Rck > 0 ? std::optional(c.Rck) : std::nullopt);
    w.member("fcm", c.fcm).member("fctm", c.fctm).member("fctk05", c.fctk05).member("fctk95", c.fctk95);
    w.member("Ecm", c.Ec).member("alpha_cc", c.alpha_cc).member("gamma_c", c.gamma_c).member("fcd", c.fcd());
    w.member("eps_c2", c.eps_c2).member("eps_cu", c.eps_cu).member("n", c.n);
    w.member("law", concrete_law_names(c.law).json);
    w.end_object().key("steel").begin_object();
    w.member("class", s.name.empty() ? std::nullopt : std::optional(s.name));
    w.member("fyk", s.fyk).member("gamma_s", s.gamma_s).member("fyd", s.fyd()).member("Es", s.Es);
    w.member("eps_yd", s.eps_yd());
    w.member("eps_ud", s.eps_ud);
    w.member("k", s.k).member("hardening", s.hardening);
    w.end_object().member("alpha_e", in.alpha_e).end_object();
}

void section(JsonWriter& w, const VerificationResult& r) {
    w.begin_object();
    w.member("description", r.input.description);
    w.member("member", member_type_name(r.input.member));
    w.member("shape", shape_kind_name(r.input.shape.kind));
    w.key("outline");
    ring(w, r.shape.outline);
    w.key("holes");
    rings(w, r.shape.holes);
    w.member("area", r.area);
    w.key("centroid").begin_array().value(r.centroid.y).value(r.centroid.z).end_array();
    w.member("N_Rd_max", r.N_Rd_max).member("N_Rd_min", r.N_Rd_min);
    w.key("layers").begin_array();
    for (const LayerRecord& l : r.layers)
        w.begin_object()
            .member("name", l.name)
            .member("bars", l.bars)
            .member("area", l.area)
            .member("cover", l.cover)
            .member("clear_cover", l.clear_cover)
            .member("origin", origin_name(l.origin))
            .end_object();
    w.end_array().key("bars").begin_array();
    for (const PlacedBar& b : r.bars)
        w.begin_object()
            .member("y", b.y)
            .member("z", b.z)
            .member("d", b.diameter)
            .member("area", b.area)
            .member("layer", b.layer)
            .end_object();
    w.end_array().key("stirrups");
    if (r.stirrups) {
        const StirrupsRecord& s = *r.stirrups;
        w.begin_object()
            .member("diameter", s.diameter)
            .member("legs", s.legs)
            .member("spacing", s.spacing)
            .member("angle", s.angle)
            .member("per_metre", s.per_metre)
            .member("origin", origin_name(s.origin))
            .end_object();
    } else {
        w.null();
    }
    w.end_object();
}

}  // namespace

void verification::write_check(JsonWriter& w, const CheckResult& c, const std::function<void(JsonWriter&)>& extra) {
    w.begin_object().member("id", c.id).member("clause", c.clause);
    w.member("combination", c.combination);
    w.member("demand", c.demand);
    w.member("capacity", c.capacity);
    w.member("unit", c.unit).member("ratio", c.ratio).member("verified", c.verified).member("note", c.note);
    if (extra) extra(w);
    w.key("details").begin_array();
    for (const Detail& d : c.details)
        w.begin_object().member("name", d.name).member("value", d.value).member("unit", d.unit).end_object();
    w.end_array().end_object();
}

namespace {

void governing(JsonWriter& w, const CheckResult& c) {
    w.begin_object().member("id", c.id).member("clause", c.clause);
    w.member("combination", c.combination);
    w.member("ratio", c.ratio).member("verified", c.verified).end_object();
}

}  // namespace

std::string to_json(const VerificationResult& r, int indent) {
    JsonWriter w(indent, std::size_t{32} << 10);
    w.begin_object();
    w.member("program", "ferrolit").member("version", r.version);
    w.member("code", "NTC 2018 (D.M. 17/01/2018) e Circolare 21/01/2019 n. 7");
    w.member("verified", r.verified).member("max_ratio", r.max_ratio);
    w.key("governing");
    if (const auto g = r.governing())
        governing(w, r.checks[*g]);
    else
        w.null();
    w.key("governing_by_check").begin_object();
    std::vector<std::string_view> seen;
    for (const CheckResult& c : r.checks) {
        if (std::find(seen.begin(), seen.end(), c.id) != seen.end()) continue;
        seen.push_back(c.id);
        w.key(c.id);
        governing(w, r.checks[*r.governing(c.id)]);
    }
    w.end_object();
    w.member("ultimate_checks_run", r.ultimate_checks_run).member("service_checks_run", r.service_checks_run);
    w.key("checks").begin_array();
    for (const CheckResult& c : r.checks) write_check(w, c);
    w.end_array().key("not_run").begin_array();
    for (const NotRun& n : r.not_run) w.begin_object().member("id", n.id).member("reason", n.reason).end_object();
    w.end_array().key("warnings").begin_array();
    for (const std::string& s : r.warnings) w.value(s);
    w.end_array();
    w.key("units")
        .begin_object()
        .member("length", "mm")
        .member("area", "mm²")
        .member("force", "kN")
        .member("moment", "kNm")
        .member("stress", "MPa")
        .member("crack_width", "mm")
        .member("angle", "°")
        .member("stirrups", "mm²/m")
        .end_object();
    w.key("section");
    section(w, r);
    w.key("materials");
    materials(w, r.input);
    w.key("input");
    input(w, r.input);
    w.end_object();
    return w.take();
}

}  // namespace ferrolit
