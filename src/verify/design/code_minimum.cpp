// The layers and stirrups an input leaves out, chosen as the component
// chooses them: a registry of its own (one per verification, so never shared
// between threads) holds a copy of the section, ImpostaFerriNorm sets each
// missing layer to the code minimum and ImpostaStaffeNorm the stirrups.

#include <string>

#include "core/platform.hpp"
#include "ferrolit/ferrolit.hpp"
#include "ferrolit/format.hpp"
#include "verify/input/input_keys.hpp"
#include "verify/model.hpp"

namespace ferrolit::verification {

namespace {

float f(double v) { return static_cast<float>(v); }

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

// The member names of a layer's area and text, by the component's position,
// and the reader of its text.
using TextGetter = std::string (component::Section::*)() const;
struct LayerMembers {
    const char* area;
    const char* text;
    TextGetter read_text;
};
LayerMembers members_of(PosizioneFerri p) {
    switch (p) {
        case PosizioneFerri::As_inf:
            return {"As_inf", "stringaAs_inf", static_cast<TextGetter>(&component::Section::stringaAs_inf)};
        case PosizioneFerri::As_sup:
            return {"As_sup", "stringaAs_sup", static_cast<TextGetter>(&component::Section::stringaAs_sup)};
        case PosizioneFerri::As_supY:
            return {"As_supY", "stringaAs_supY", static_cast<TextGetter>(&component::Section::stringaAs_supY)};
        default:
            return {"As_infY", "stringaAs_infY", static_cast<TextGetter>(&component::Section::stringaAs_infY)};
    }
}

// The component reads "f" as the bar marker only.
std::string component_text(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool mark = text[i] == '\xC3' && i + 1 < text.size() && (text[i + 1] == '\x98' || text[i + 1] == '\xB8');
        out += mark ? 'f' : text[i];
        i += mark ? 1 : 0;
    }
    return out;
}

double most_compression(const VerificationInput& in) {
    double n = 0;
    for (const Combination& c : in.combinations)
        if (is_ultimate(c.kind)) n = std::max(n, c.N);
    return n;
}

std::shared_ptr<component::Section> create(clsGenVerSez& registry, const VerificationInput& in) {
    const analysis::Dimensions& d = in.shape.dimensions;
    const std::string tipo = in.member == MemberType::Column ? "Pilastro" : "Trave";
    const double c_inf = flipped(in) ? in.top.cover : in.bottom.cover;
    const double c_sup = flipped(in) ? in.bottom.cover : in.top.cover;
    const auto n = static_cast<std::int16_t>(in.limits.min_count);
    const auto d_min = static_cast<std::int16_t>(in.limits.min_diameter);
    const auto d_max = static_cast<std::int16_t>(in.limits.max_diameter);
    const float N = f(most_compression(in));
    if (in.shape.kind == ShapeKind::Rectangle) {
        registry.CreaSezRett(tipo, in.description, f(d.Base), f(d.Altezza), f(c_inf), f(c_sup), 0, 0, N, 0, 0, n, d_min,
                             d_max);
    } else {
        registry.CreaSezT(tipo, in.description, f(d.Base), f(d.BaseInf), f(d.Altezza), f(d.SpessoreT), f(c_inf),
                          f(c_sup), 0, 0, N, 0, 0, n, d_min, d_max);
    }
    const analysis::Concrete& c = in.concrete;
    const analysis::Steel& s = in.steel;
    registry.CreaMateriale_Sezione(c.name, f(c.Rck), f(c.fck), f(c.gamma_c), f(c.alpha_cc), f(c.fcm), f(c.fctm),
                                   f(c.fctk05), f(c.fctk95), f(c.Ec), f(c.eps_c2), f(c.eps_cu), f(c.fcd()),
                                   f(c.fctk05 / c.gamma_c), s.name, f(s.fyk), f(s.gamma_s), f(s.Es), f(s.fyd()),
                                   f(s.eps_yd()), f(s.eps_ud.value_or(0.0675)));
    return registry.Sezioni()->Item(registry.SezioneCorrente());
}

// Why no layer of the code minimum fits, in the input's keys, mm and mm²
// (the component's own text speaks of its dialog, in metres).
std::string no_minimum_message(const VerificationInput& in, const component::Section& s, int layer) {
    const PosizioneFerri p = position_of(in, layer);
    const analysis::Dimensions& d = in.shape.dimensions;
    const bool side = p == PosizioneFerri::As_supY || p == PosizioneFerri::As_infY;
    const bool web = p == PosizioneFerri::As_inf && in.shape.kind != ShapeKind::Rectangle;
    const char* width_key = side ? "Altezza" : web ? "BaseInf" : "Base";
    const double width = side ? d.Altezza : web ? d.BaseInf : d.Base;
    const auto most = s.NFerriMassimo(p, static_cast<std::int16_t>(in.limits.max_diameter));
    return std::string("impossibile scegliere l'armatura ") + kLayerNames[layer] +
           " con il minimo di normativa: nessuna disposizione di almeno " + std::to_string(in.limits.min_count) +
           " barre (\"NFerriMinimo\") da " + std::to_string(in.limits.min_diameter) + " a " +
           std::to_string(in.limits.max_diameter) +
           " mm (\"dFerriMinimo\", \"dFerriMassimo\") raggiunge As,min = " + format::decimal(s.AsMin(), 0) +
           " mm² in una fila sulla larghezza di " + format::decimal(width, 0) + " mm (\"" + width_key +
           "\"), dove stanno al più " + std::to_string(std::max<int>(most, 0)) + " ø" +
           std::to_string(in.limits.max_diameter) + "; indicare l'armatura con \"stringa" + kLayerNames[layer] +
           "\" o con \"barre\"";
}

// Writes the given layers through the writers of the key table.
void write_given(component::Section& s, const VerificationInput& in, const Reinforcement& r) {
    for (int i = 0; i < 4; ++i) {
        const LayerUse& use = r.layers[i];
        if (!use.present) continue;
        const LayerMembers m = members_of(position_of(in, i));
        if (use.bars) (s.*std::get<TextSetter>(find_key(m.text)->setter))(component_text(*use.bars));
        if (use.area) (s.*std::get<RealSetter>(find_key(m.area)->setter))(f(*use.area));
    }
}

}  // namespace

void choose_by_code(const VerificationInput& in, Reinforcement& r, std::vector<std::string>& warnings) {
    bool missing[4] = {false, false, false, false};
    bool any_layer = false;
    if (in.shape.kind != ShapeKind::Polygon && in.bars.empty()) {
        const bool z = z_applies(in);
        for (int i = 0; i < 4; ++i) {
            missing[i] = !r.layers[i].present && (i == kBottom || i == kTop || z);
            any_layer = any_layer || missing[i];
        }
    }
    bool stirrups_missing = !in.stirrups.has_value();
    if (stirrups_missing && in.shape.kind == ShapeKind::Polygon) {
        warnings.push_back("staffe non indicate: la sezione poligonale è verificata senza staffe");
        return;
    }
    // A slab has no stirrups unless they are given: its cover is then to the bars.
    if (stirrups_missing && in.member == MemberType::Slab) {
        warnings.push_back("staffe non indicate: la soletta è verificata senza staffe");
        stirrups_missing = false;
    }
    if (!any_layer && !stirrups_missing) return;

    std::vector<std::string> said;
    bool beeped = false;
    const detail::ThreadMessageSink sink([&](const std::string& text, const std::string& title) {
        if (text.empty() && title.empty())
            beeped = true;
        else
            said.push_back(text);
    });
    try {
        clsGenVerSez registry;
        const std::shared_ptr<component::Section> s = create(registry, in);
        write_given(*s, in, r);
        for (int i = 0; i < 4; ++i) {
            if (!missing[i]) continue;
            const PosizioneFerri p = position_of(in, i);
            bool go_on = true;
            std::string msg;
            registry.ImpostaFerriNorm(p, go_on, msg);
            if (!go_on) throw Error(ErrorKind::InvalidOperation, no_minimum_message(in, *s, i));
            r.layers[i] = {((*s).*members_of(p).read_text)(), std::nullopt, Origin::CodeMinimum, true};
        }
        if (stirrups_missing) {
            registry.ImpostaStaffeNorm();
            r.stirrups = StirrupsInput{s->fStaffe(), s->nBracciaStaffe(), s->passoStaffe()};
            r.stirrups_origin = Origin::CodeMinimum;
            if (beeped) warnings.push_back("staffe di normativa: le più robuste ammesse non raggiungono il minimo");
        }
    } catch (const Error& e) {
        if (std::string(e.what()).rfind("impossibile scegliere", 0) == 0) throw;
        throw Error(ErrorKind::InvalidOperation, std::string("scelta delle armature di normativa: ") + e.what());
    }
}

}  // namespace ferrolit::verification
