#include "verification.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "ferrolit/ferrolit.hpp"
#include "input_keys.hpp"
#include "material_classes.hpp"

namespace ferrolit::cli {

namespace {

constexpr double kUnbounded = std::numeric_limits<double>::infinity();

// ---- checks on the data, before the library sees them ----

// Sizes above this (mm) are taken for a unit mistake (metres or centimetres
// typed as millimetres) rather than a real cross-section.
constexpr float kLargestSize = 5000;
// Finest sweep step and strip thickness (mm) the tool accepts: finer steps
// change the resisting moment by far less than the data's own accuracy.
constexpr float kFinestStep = 0.1f;

void require(bool condition, const SectionInput& in, const std::string& key, const std::string& problem) {
    if (!condition) throw in.error(key, problem);
}

void check_positive(const SectionInput& in, const std::string& key, float value) {
    require(value > 0, in, key, "deve essere maggiore di 0");
}

void check_geometry(const SectionInput& in) {
    for (const char* key : {"Base", "Altezza"}) {
        const float v = in.required_real(key);
        check_positive(in, key, v);
        require(v <= kLargestSize, in, key, "oltre il limite di 5000 mm");
    }
    const float base = in.required_real("Base"), height = in.required_real("Altezza");
    const float c_inf = in.required_real("Copriferro_Inf"), c_sup = in.required_real("Copriferro_Sup");
    require(c_inf >= 0, in, "Copriferro_Inf", "non può essere negativo");
    require(c_sup >= 0, in, "Copriferro_Sup", "non può essere negativo");
    require(c_inf + c_sup < height, in, "Copriferro_Sup", "i due copriferri superano l'altezza della sezione");
    require(c_inf + c_sup < base, in, "Copriferro_Sup", "i due copriferri superano la base della sezione");
    if (in.has("BaseInf") || in.has("SpessoreT")) {
        const float web = in.required_real("BaseInf"), flange = in.required_real("SpessoreT");
        check_positive(in, "BaseInf", web);
        require(web <= base, in, "BaseInf", "l'anima non può essere più larga dell'ala (Base)");
        check_positive(in, "SpessoreT", flange);
        require(flange < height, in, "SpessoreT", "l'ala deve essere più sottile dell'altezza della sezione");
    }
    if (const auto tipo = in.text("TipoSezione"))
        require(*tipo == "Trave" || *tipo == "Pilastro", in, "TipoSezione", "ammessi \"Trave\" o \"Pilastro\"");
    for (const char* key : {"DeltaN", "DeltaX"})
        if (const auto v = in.real(key))
            require(*v <= 0 || *v >= kFinestStep, in, key, "passo troppo fine: almeno 0.1 mm (0 = 1 mm)");
    for (const char* key : {"As_sup", "As_inf", "As_supY", "As_infY", "fStaffe", "passoStaffe"})
        if (const auto v = in.real(key)) require(*v >= 0, in, key, "non può essere negativo");
    if (const auto legs = in.integer("nBracciaStaffe"))
        require(*legs >= 0, in, "nBracciaStaffe", "non può essere negativo");
    for (const char* key : {"AlfaStaffe", "tetaBielle"})
        if (const auto v = in.real(key))
            require(*v > 0 && *v < 180, in, key, "angolo ammesso tra 0 e 180 gradi esclusi");
    if (const auto env = in.integer("CondizioniAmbientali"))
        require(*env >= 0 && *env <= 3, in, "CondizioniAmbientali", "valori ammessi 0, 1, 2, 3");
    if (const auto limit = in.real("wk_lim")) check_positive(in, "wk_lim", *limit);
}

void check_materials(const SectionInput& in, const Materials& m) {
    for (const char* key : {"fck", "gammaC", "fcd", "Ec", "eps_cu", "fyk", "fyd", "Es", "eps_yd"})
        check_positive(in, key, m.at(key));
    require(m.at("fctm") >= 0, in, "fctm", "non può essere negativo");
    require(m.at("eps_ud") > m.at("eps_yd"), in, "eps_ud", "deve superare eps_yd");
}

// ---- creating the section ----

std::shared_ptr<Section> create(clsGenVerSez& registry, const SectionInput& in, bool tee) {
    const std::string tipo = in.text("TipoSezione").value_or("Trave");
    const std::string descr = in.text("DescrSezione").value_or("");
    const auto real0 = [&](const char* key) { return in.real(key).value_or(0.f); };
    const auto int0 = [&](const char* key) { return in.integer(key).value_or(std::int16_t{0}); };
    if (tee) {
        registry.CreaSezT(tipo, descr, real0("Base"), real0("BaseInf"), real0("Altezza"), real0("SpessoreT"),
                          real0("Copriferro_Inf"), real0("Copriferro_Sup"), real0("Med_y"), real0("Med_z"),
                          real0("Ned_x"), real0("Taglio_y"), real0("Taglio_z"), int0("NFerriMinimo"),
                          int0("dFerriMinimo"), int0("dFerriMassimo"));
        return registry.SezT(registry.SezioneCorrente());
    }
    registry.CreaSezRett(tipo, descr, real0("Base"), real0("Altezza"), real0("Copriferro_Inf"), real0("Copriferro_Sup"),
                         real0("Med_y"), real0("Med_z"), real0("Ned_x"), real0("Taglio_y"), real0("Taglio_z"),
                         int0("NFerriMinimo"), int0("dFerriMinimo"), int0("dFerriMassimo"));
    return registry.SezRet(registry.SezioneCorrente());
}

// The real values go in the order of the key table, which is the order of
// the arguments (test_input_keys checks it against the type information).
static_assert(count_keys(KeyGroup::Materials, KeyKind::Real) == 19);
void give_materials(clsGenVerSez& registry, const Materials& m) {
    std::vector<float> v;
    for (const InputKey& key : kInputKeys)
        if (key.group == KeyGroup::Materials && key.kind == KeyKind::Real) v.push_back(m.at(key.name));
    registry.CreaMateriale_Sezione(m.ClasseCls, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10],
                                   v[11], v[12], m.ClasseAcciaio, v[13], v[14], v[15], v[16], v[17], v[18]);
}

// The keys written through the section's own writers after the creation,
// in the order of the key table (the creation has already written Altezza
// and Copriferro_Inf, so an H_Utile given explicitly wins over the derived
// one). A writer's error names its key.
void write_remaining(Section& s, const SectionInput& in) {
    for (const InputKey& key : kInputKeys) {
        if (key.group != KeyGroup::Stirrups && key.group != KeyGroup::Section) continue;
        const std::string name(key.name);
        try {
            if (const auto* set = std::get_if<RealSetter>(&key.setter)) {
                if (const auto v = in.real(name)) (s.**set)(*v);
            } else if (const auto* set_int = std::get_if<IntegerSetter>(&key.setter)) {
                if (const auto v = in.integer(name)) (s.**set_int)(*v);
            } else if (const auto* set_text = std::get_if<TextSetter>(&key.setter)) {
                if (const auto v = in.text(name)) (s.**set_text)(*v);
            }
        } catch (const Error& e) {
            throw in.error(name, e.what());
        }
    }
}

// A bar layer: its position and its two keys, the area and the bar text.
struct LayerKeys {
    PosizioneFerri position;
    const char* area;
    const char* bars;
    float (Section::*get_area)() const;
    std::string (Section::*get_bars)() const;
};

const LayerKeys kLayers[] = {
    {PosizioneFerri::As_inf, "As_inf", "stringaAs_inf", &Section::As_inf, &Section::stringaAs_inf},
    {PosizioneFerri::As_sup, "As_sup", "stringaAs_sup", &Section::As_sup, &Section::stringaAs_sup},
    {PosizioneFerri::As_infY, "As_infY", "stringaAs_infY", &Section::As_infY, &Section::stringaAs_infY},
    {PosizioneFerri::As_supY, "As_supY", "stringaAs_supY", &Section::As_supY, &Section::stringaAs_supY},
};

constexpr bool is_layer_key(std::string_view name, KeyKind kind) {
    for (const InputKey& key : kInputKeys)
        if (key.name == name) return key.group == KeyGroup::Bars && key.kind == kind;
    return false;
}
static_assert(is_layer_key("As_inf", KeyKind::Real) && is_layer_key("stringaAs_inf", KeyKind::Text) &&
              is_layer_key("As_sup", KeyKind::Real) && is_layer_key("stringaAs_sup", KeyKind::Text) &&
              is_layer_key("As_infY", KeyKind::Real) && is_layer_key("stringaAs_infY", KeyKind::Text) &&
              is_layer_key("As_supY", KeyKind::Real) && is_layer_key("stringaAs_supY", KeyKind::Text));

// The writer the key table gives a layer key.
template <class Setter>
Setter layer_writer(const char* name) {
    return std::get<Setter>(find_key(name)->setter);
}

bool layer_given(const SectionInput& in, const LayerKeys& k) { return in.has(k.area) || in.has(k.bars); }

// Bending about Z is looked at only when something asks for it: a moment
// Med_z or bars along the side edges.
bool z_applies(const SectionInput& in) {
    return in.real("Med_z").value_or(0) != 0 || layer_given(in, kLayers[2]) || layer_given(in, kLayers[3]);
}

// Writes the bars the input gives; a bar text alone also gives the area.
void write_given_layer(Section& s, const SectionInput& in, const LayerKeys& k) {
    const RealSetter set_area = layer_writer<RealSetter>(k.area);
    if (const auto bars = in.text(k.bars)) {
        (s.*layer_writer<TextSetter>(k.bars))(*bars);
        if (!in.has(k.area)) {
            const float area = bar_area(*bars);
            require(area > 0 || bars->empty(), in, k.bars, "testo di armatura non leggibile (esempio: 3f16+2f12)");
            (s.*set_area)(area);
        }
    }
    if (const auto area = in.real(k.area)) (s.*set_area)(*area);
}

std::vector<Layer> place_bars(clsGenVerSez& registry, Section& s, const SectionInput& in) {
    std::vector<Layer> layers;
    const bool z = z_applies(in);
    for (const LayerKeys& k : kLayers) {
        const bool y_layer = k.position == PosizioneFerri::As_inf || k.position == PosizioneFerri::As_sup;
        Layer layer{k.area, "", 0, false};
        if (layer_given(in, k)) {
            write_given_layer(s, in, k);
        } else if (y_layer || z) {
            for (const char* key : {"NFerriMinimo", "dFerriMinimo", "dFerriMassimo"})
                if (!in.has(key)) throw in.error(key, "valore mancante: serve a scegliere l'armatura " + layer.name);
            bool go_on = true;
            std::string msg;
            registry.ImpostaFerriNorm(k.position, go_on, msg);
            if (!go_on) throw ComputeError(in, "impossibile scegliere l'armatura " + layer.name + ":\n" + msg);
            layer.chosen = true;
        } else {
            continue;
        }
        layer.bars = (s.*k.get_bars)();
        layer.area = (s.*k.get_area)();
        layers.push_back(layer);
    }
    return layers;
}

Stirrups place_stirrups(clsGenVerSez& registry, Section& s, const SectionInput& in) {
    Stirrups st;
    st.chosen = !in.has("fStaffe") && !in.has("passoStaffe") && !in.has("nBracciaStaffe");
    if (st.chosen) {
        bool beeped = false;
        const BeepHandler previous = setBeepHandler([&beeped] { beeped = true; });
        try {
            registry.ImpostaStaffeNorm();
        } catch (...) {
            setBeepHandler(previous);
            throw;
        }
        setBeepHandler(previous);
        st.short_of_minimum = beeped;
    }
    st.diameter = s.fStaffe();
    st.legs = s.nBracciaStaffe();
    st.per_metre = s.Astaffe_ml();
    st.spacing = s.passoStaffe();
    st.minimum = s.AstaffeMin();
    return st;
}

// ---- the checks ----

double ratio_of(double demand, double capacity) {
    if (demand == 0) return 0;
    return capacity > 0 ? demand / capacity : kUnbounded;
}

void compute_direction(Section& s, bool tee, const std::string& direction, const SectionInput& in) {
    bool go_on = true;
    std::string msg;
    if (tee)
        dynamic_cast<clsSezT&>(s).CalcolaNMDominioSezT(direction, go_on, msg);
    else
        dynamic_cast<clsSezRett&>(s).CalcolaNMDominioSezRett(direction, go_on, msg);
    if (!go_on) throw ComputeError(in, "dominio di resistenza in direzione " + direction + ": " + msg);
}

Flexure flexure(Section& s, bool tee, const std::string& direction, const SectionInput& in) {
    compute_direction(s, tee, direction, in);
    const bool y = direction == "Y";
    Flexure f;
    f.direction = direction;
    f.Med = y ? s.Med_y() : s.Med_z();
    f.Mrd = y ? s.MrdY() : s.MrdZ();
    f.Ned = s.Ned_x();
    f.xn = y ? s.xnY() : s.xnZ();
    f.sigma_tension = y ? s.SigmaInfY() : s.SigmaInfZ();
    f.sigma_compression = y ? s.SigmaSupY() : s.SigmaSupZ();
    // The library gives exactly 0 when no point of the domain brackets Ned.
    f.outside_domain = f.Mrd == 0;
    f.ratio = f.outside_domain ? kUnbounded : ratio_of(std::fabs(f.Med), f.Mrd);
    f.ok = !f.outside_domain && f.ratio <= 1;
    return f;
}

Shear shear(const Section& s, const std::string& plane) {
    Shear v;
    v.plane = plane;
    v.Ved = std::fabs(s.Ved(plane));
    v.Vrd_cls = s.Vrd_cls(plane);
    v.Vrsd = s.Vrsd(plane);
    v.Vrcd = s.Vrcd(plane);
    // With stirrups the resistance is the lesser of stirrups and struts;
    // without any, the member resists as one without shear reinforcement.
    v.Vrd = s.Astaffa() > 0 ? std::min(v.Vrsd, v.Vrcd) : v.Vrd_cls;
    v.ratio = ratio_of(v.Ved, v.Vrd);
    v.ok = v.Ved <= v.Vrd;
    return v;
}

// The crack-width limit: the input's own, or the one of the environment
// class for the frequent combination and ordinary bars.
std::pair<float, std::string> crack_limit(const SectionInput& in) {
    if (const auto limit = in.real("wk_lim")) return {*limit, "wk_lim"};
    switch (in.integer("CondizioniAmbientali").value_or(0)) {
        case 1:
            return {0.4f, "ambiente ordinario"};
        case 2:
            return {0.3f, "ambiente aggressivo"};
        case 3:
            return {0.2f, "ambiente molto aggressivo"};
        default:
            return {0.3f, "valore predefinito"};
    }
}

std::shared_ptr<Section> clone(const Section& s) {
    if (const auto* t = dynamic_cast<const clsSezT*>(&s)) return std::make_shared<clsSezT>(*t);
    return std::make_shared<clsSezRett>(dynamic_cast<const clsSezRett&>(s));
}

// The library computes the crack width with the bottom layer in tension. A
// negative moment tensions the top layer: the width is then computed on a
// copy with the two layers and their covers exchanged.
Crack crack(Section& s, const SectionInput& in) {
    Crack c;
    const float moment = s.Med_Fes() != 0 ? s.Med_Fes() : s.Med_y();
    std::shared_ptr<Section> target;
    Section* work = &s;
    if (moment < 0) {
        target = clone(s);
        work = target.get();
        work->As_inf(s.As_sup());
        work->As_sup(s.As_inf());
        work->stringaAs_inf(s.stringaAs_sup());
        work->stringaAs_sup(s.stringaAs_inf());
        work->Copriferro_Inf(s.Copriferro_Sup());
        work->Copriferro_Sup(s.Copriferro_Inf());
        work->Med_Fes(-moment);
        c.hogging = true;
    }
    bool go_on = true;
    std::string msg;
    work->CalcolaWkFessure(go_on, msg);
    if (!go_on) throw ComputeError(in, "ampiezza delle fessure: " + msg);
    c.Med_Fes = moment;
    c.unknown_diameter = work->As_inf() > 0 && ferrolit::largest_bar_diameter(work->stringaAs_inf()) == 0;
    c.Wk = work->Wk();
    c.EPSsm = work->EPSsm();
    c.DELTAsm = work->DELTAsm();
    std::tie(c.wk_lim, c.limit_source) = crack_limit(in);
    c.ratio = ratio_of(c.Wk, c.wk_lim);
    c.ok = c.Wk <= c.wk_lim;
    return c;
}

Branch branch_of(const Section& s, const std::string& direction, float sign) {
    Branch b;
    if (direction == "Y") {
        s.Ny_Dominio(b.N);
        s.My_Dominio(b.M);
    } else {
        s.Nz_Dominio(b.N);
        s.Mz_Dominio(b.M);
    }
    // Element 0 is no point.
    if (!b.N.empty()) b.N.erase(b.N.begin());
    if (!b.M.empty()) b.M.erase(b.M.begin());
    for (float& m : b.M) m *= sign;
    return b;
}

// Both branches of a direction: the section's own (already computed) and the
// one of the opposite moment, computed on a copy.
Domain domain(const Section& s, bool tee, const std::string& direction, const SectionInput& in) {
    const bool y = direction == "Y";
    const float med = y ? s.Med_y() : s.Med_z();
    const float own_sign = med < 0 ? -1.f : 1.f;
    const std::shared_ptr<Section> other = clone(s);
    if (y)
        other->Med_y(-own_sign);
    else
        other->Med_z(-own_sign);
    compute_direction(*other, tee, direction, in);
    Domain d;
    d.direction = direction;
    d.Ned = s.Ned_x();
    d.Med = med;
    Branch own = branch_of(s, direction, own_sign);
    Branch opposite = branch_of(*other, direction, -own_sign);
    d.positive = own_sign > 0 ? own : opposite;
    d.negative = own_sign > 0 ? opposite : own;
    return d;
}

// Routes the library's message boxes into a list for the duration of a verification.
class MessageCapture {
public:
    explicit MessageCapture(std::vector<std::string>& sink)
        : previous_(setMessageBoxHandler(
              [&sink](const std::string& text, const std::string& title) { sink.push_back(title + ": " + text); })) {}
    ~MessageCapture() { setMessageBoxHandler(previous_); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

private:
    MessageBoxHandler previous_;
};

void run(Verification& v, const SectionInput& in, bool with_domains) {
    clsGenVerSez registry;
    v.section = create(registry, in, v.tee);
    Section& s = *v.section;
    const Materials materials = resolve_materials(in);
    check_materials(in, materials);
    give_materials(registry, materials);
    write_remaining(s, in);
    v.layers = place_bars(registry, s, in);
    v.stirrups = place_stirrups(registry, s, in);
    v.AsMin = s.AsMin();
    v.AsMax = s.AsMax();
    v.flexure[0] = flexure(s, v.tee, "Y", in);
    // The Z domain is computed even when no check asks for it; it is plotted.
    if (z_applies(in) || with_domains) v.flexure[1] = flexure(s, v.tee, "Z", in);
    if (!z_applies(in)) v.flexure[1].direction.clear();
    v.shear[0] = shear(s, "Z");
    v.shear[1] = shear(s, "Y");
    if (s.Med_y() != 0 && s.Med_z() != 0) {
        // The two bending ratios already read as unbounded when a direction
        // has no positive resisting moment at Ned_x (outside the domain, or
        // past the tip of the branch where the interpolated MRd turns negative).
        Biaxial b;
        b.value = v.flexure[0].ratio + v.flexure[1].ratio;
        b.ok = b.value <= 1;
        v.biaxial = b;
    }
    if (with_domains) {
        v.domains.push_back(domain(s, v.tee, "Y", in));
        v.domains.push_back(domain(s, v.tee, "Z", in));
    }
    v.crack = crack(s, in);
}

}  // namespace

ComputeError::ComputeError(const SectionInput& in, const std::string& problem)
    : std::runtime_error(in.file() + ":" + std::to_string(in.line()) + ": sezione non calcolabile: " + problem) {}

Verification verify(const SectionInput& in, bool with_domains) {
    check_geometry(in);
    Verification v;
    v.file = in.file();
    v.line = in.line();
    v.tee = in.has("BaseInf");
    MessageCapture capture(v.messages);
    try {
        run(v, in, with_domains);
    } catch (const Error& e) {
        throw ComputeError(in, e.what());
    }
    return v;
}

bool Verification::ok() const {
    bool all = flexure[0].ok && shear[0].ok && shear[1].ok && crack.ok;
    if (!flexure[1].direction.empty()) all = all && flexure[1].ok;
    if (biaxial) all = all && biaxial->ok;
    return all;
}

namespace {

std::vector<std::pair<std::string, double>> ratios(const Verification& v) {
    std::vector<std::pair<std::string, double>> r = {{"flessione Y", v.flexure[0].ratio},
                                                     {"taglio Z", v.shear[0].ratio},
                                                     {"taglio Y", v.shear[1].ratio},
                                                     {"fessurazione", v.crack.ratio}};
    if (!v.flexure[1].direction.empty()) r.emplace_back("flessione Z", v.flexure[1].ratio);
    if (v.biaxial) r.emplace_back("flessione deviata", v.biaxial->value);
    return r;
}

}  // namespace

double Verification::max_ratio() const {
    double worst = 0;
    for (const auto& [name, r] : ratios(*this)) worst = std::max(worst, r);
    return worst;
}

std::string Verification::governing() const {
    std::string name;
    double worst = -1;
    for (const auto& [n, r] : ratios(*this))
        if (r > worst) {
            worst = r;
            name = n;
        }
    return name;
}

}  // namespace ferrolit::cli
