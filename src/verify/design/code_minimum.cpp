// The layers and stirrups an input leaves out, chosen as the component
// chooses them (ImpostaFerriNorm for each missing layer, ImpostaStaffeNorm
// for the stirrups), through the component's one door for it.

#include <string>

#include "component/registry/code_minimum.hpp"
#include "ferrolit/format.hpp"
#include "verify/model.hpp"

namespace ferrolit::verification {

namespace {

// The component knows the rectangle and the T with its flange on top. An L
// is a T for these rules (web width, depth, bars per row); a T upside down
// is an inverted T, so its bottom layer is the component's top one.
bool flipped(const VerificationInput& in) { return in.shape.kind == ShapeKind::InvertedTee; }

PosizioneFerri position_of(const VerificationInput& in, int layer) {
    switch (layer) {
        case kBottom:
            return flipped(in) ? PosizioneFerri::As_sup : PosizioneFerri::As_inf;
        case kTop:
            return flipped(in) ? PosizioneFerri::As_inf : PosizioneFerri::As_sup;
        case kLeft:
            return PosizioneFerri::As_supY;
        default:
            return PosizioneFerri::As_infY;
    }
}

double most_compression(const VerificationInput& in) {
    double n = 0;
    for (const Combination& c : in.combinations)
        if (is_ultimate(c.kind)) n = std::max(n, c.N);
    return n;
}

// The component's covers are to the bar centres: a clear cover is taken to
// the centre of the thinnest bar allowed, inside the given stirrups (or the
// component's starting ø8 when they are chosen too).
double component_cover(const VerificationInput& in, const LayerInput& layer) {
    return centre_cover(layer, in.stirrups ? in.stirrups->diameter : 8, in.limits.min_diameter);
}

component::CodeMinimumSection section_of(const VerificationInput& in) {
    component::CodeMinimumSection s;
    const analysis::Dimensions& d = in.shape.dimensions;
    s.column = in.member == MemberType::Column;
    s.description = in.description;
    s.tee = in.shape.kind != ShapeKind::Rectangle;
    s.Base = d.Base;
    s.BaseInf = d.BaseInf;
    s.Altezza = d.Altezza;
    s.SpessoreT = d.SpessoreT;
    s.Copriferro_Inf = component_cover(in, flipped(in) ? in.top : in.bottom);
    s.Copriferro_Sup = component_cover(in, flipped(in) ? in.bottom : in.top);
    s.Ned_x = most_compression(in);
    s.NFerriMinimo = in.limits.min_count;
    s.dFerriMinimo = in.limits.min_diameter;
    s.dFerriMassimo = in.limits.max_diameter;
    const analysis::Concrete& c = in.concrete;
    s.ClasseCls = c.name;
    s.Rck = c.Rck;
    s.fck = c.fck;
    s.gammaC = c.gamma_c;
    s.alfaCC = c.alpha_cc;
    s.fcm = c.fcm;
    s.fctm = c.fctm;
    s.fctk05 = c.fctk05;
    s.fctk95 = c.fctk95;
    s.Ec = c.Ec;
    s.eps_c2 = c.eps_c2;
    s.eps_cu = c.eps_cu;
    s.fcd = c.fcd();
    s.fctd = c.fctk05 / c.gamma_c;
    const analysis::Steel& st = in.steel;
    s.ClasseAcciaio = st.name;
    s.fyk = st.fyk;
    s.gammaS = st.gamma_s;
    s.Es = st.Es;
    s.fyd = st.fyd();
    s.eps_yd = st.eps_yd();
    s.eps_ud = st.eps_ud.value_or(0.0675);
    return s;
}

// Why no layer of the code minimum fits, in the input's keys, mm and mm²
// (the component's own text speaks of its dialog, in metres).
std::string no_minimum_message(const VerificationInput& in, const component::CodeMinimumChoice& choice, int layer) {
    const PosizioneFerri p = position_of(in, layer);
    const analysis::Dimensions& d = in.shape.dimensions;
    const bool side = p == PosizioneFerri::As_supY || p == PosizioneFerri::As_infY;
    const bool web = p == PosizioneFerri::As_inf && in.shape.kind != ShapeKind::Rectangle;
    const char* width_key = side ? "Altezza" : web ? "BaseInf" : "Base";
    const double width = side ? d.Altezza : web ? d.BaseInf : d.Base;
    return std::string("impossibile scegliere l'armatura ") + kLayerNames[layer] +
           " con il minimo di normativa: nessuna disposizione di almeno " + std::to_string(in.limits.min_count) +
           " barre (\"NFerriMinimo\") da " + std::to_string(in.limits.min_diameter) + " a " +
           std::to_string(in.limits.max_diameter) +
           " mm (\"dFerriMinimo\", \"dFerriMassimo\") raggiunge As,min = " + format::decimal(choice.as_min, 0) +
           " mm² in una fila sulla larghezza di " + format::decimal(width, 0) + " mm (\"" + width_key +
           "\"), dove stanno al più " + std::to_string(choice.most_bars) + " ø" +
           std::to_string(in.limits.max_diameter) + "; indicare l'armatura con \"stringa" + kLayerNames[layer] +
           "\" o con \"barre\"";
}

}  // namespace

void choose_by_code(const VerificationInput& in, Reinforcement& r, std::vector<std::string>& warnings) {
    bool missing[4] = {false, false, false, false};
    bool any_layer = false;
    if (is_circular(in.shape.kind) && in.bars.empty() && !r.circle.present)
        throw Error(ErrorKind::InvalidOperation,
                    std::string("sezione ") + shape_kind_name(in.shape.kind) +
                        " senza barre: indicarle con \"stringaAs_circ\" o con \"barre\", oppure sceglierle con design");
    if (!is_outline_shape(in.shape.kind) && in.bars.empty()) {
        const bool z = z_applies(in);
        for (int i = 0; i < 4; ++i) {
            missing[i] = !r.layers[i].present && (i == kBottom || i == kTop || z);
            any_layer = any_layer || missing[i];
        }
    }
    bool stirrups_missing = !in.stirrups.has_value();
    if (stirrups_missing && is_outline_shape(in.shape.kind)) {
        warnings.push_back(std::string("staffe non indicate: la sezione ") +
                           (in.shape.kind == ShapeKind::Polygon ? "poligonale" : shape_kind_name(in.shape.kind)) +
                           " è verificata senza staffe");
        return;
    }
    // A slab has no stirrups unless they are given: its cover is then to the bars.
    if (stirrups_missing && in.member == MemberType::Slab) {
        warnings.push_back("staffe non indicate: la soletta è verificata senza staffe");
        stirrups_missing = false;
    }
    if (!any_layer && !stirrups_missing) return;

    std::vector<component::CodeMinimumLayer> layers;
    for (int i = 0; i < 4; ++i) {
        const LayerUse& use = r.layers[static_cast<std::size_t>(i)];
        layers.push_back({position_of(in, i), use.present ? use.bars : std::nullopt,
                          use.present ? use.area : std::nullopt, missing[i]});
    }
    component::CodeMinimumChoice choice;
    try {
        choice = component::choose_code_minimum(section_of(in), layers, stirrups_missing);
    } catch (const Error& e) {
        throw Error(ErrorKind::InvalidOperation, std::string("scelta delle armature di normativa: ") + e.what());
    }
    for (int i = 0; i < 4; ++i) {
        if (!missing[i]) continue;
        if (choice.unmet == position_of(in, i))
            throw Error(ErrorKind::InvalidOperation, no_minimum_message(in, choice, i));
        r.layers[static_cast<std::size_t>(i)] = {choice.bars[static_cast<std::size_t>(i)], std::nullopt,
                                                 Origin::CodeMinimum, true};
    }
    if (choice.stirrups) {
        r.stirrups = StirrupsInput{choice.stirrups->diameter, choice.stirrups->legs, choice.stirrups->spacing};
        r.stirrups_origin = Origin::CodeMinimum;
        if (choice.stirrups->below_minimum)
            warnings.push_back("staffe di normativa: le più robuste ammesse non raggiungono il minimo");
    }
}

}  // namespace ferrolit::verification
