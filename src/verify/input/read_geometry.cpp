// Shape, covers, bars and stirrups of a section from its JSON keys.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "ferrolit/format.hpp"
#include "verify/input/name_lists.hpp"
#include "verify/input/read_input.hpp"
#include "verify/model.hpp"

namespace ferrolit::verification {

namespace {

namespace fa = ferrolit::analysis;
using nlohmann::json;

constexpr double kLargestDimension = 1e6;  // mm: beyond any structure, refused
constexpr double kSmallestSection = 10;    // mm: below it a size was given in metres (or cm), refused
constexpr std::size_t kMostVertices = 1000;
constexpr std::size_t kMostBars = 1000;

double dimension(const Reader& r, const char* key) {
    const auto v = r.real(key);
    if (!v) r.fail(key, "valore mancante");
    if (!(*v > 0)) r.fail(key, "deve essere maggiore di 0");
    if (*v > kLargestDimension) r.fail(key, "dimensione oltre 1000 m: unità di misura errata? (mm)");
    return *v;
}

// A section's overall size below 10 mm is a size in metres or centimetres:
// refused before anything is computed or chosen from it.
void refuse_tiny(const Reader& r, const char* key, double mm) {
    if (mm < kSmallestSection)
        r.fail(key, format::significant(mm) + " mm è sotto il minimo di " + format::significant(kSmallestSection) +
                        " mm: le dimensioni sono in millimetri (" + format::significant(mm) +
                        " m = " + format::significant(mm * 1000) + " mm)");
}

ShapeKind kind_of(const Reader& r) {
    if (const auto forma = r.text("forma")) {
        if (const auto kind = parse_name(kShapeKinds, *forma)) return *kind;
        r.fail("forma", allowed_names("ammesse", kShapeKinds));
    }
    if (r.has("contorno")) return ShapeKind::Polygon;
    if (r.has("BaseInf") || r.has("SpessoreT")) return ShapeKind::Tee;
    return ShapeKind::Rectangle;
}

fa::Ring ring_of(const Reader& r, const json& list, const std::string& path) {
    if (!list.is_array()) r.fail(path, "atteso un elenco di punti [y, z]");
    if (list.size() > kMostVertices) r.fail(path, "troppi vertici: al massimo 1000");
    fa::Ring ring;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string at = path + "[" + std::to_string(i + 1) + "]";
        if (!list[i].is_array() || list[i].size() != 2) r.fail(at, "atteso un punto [y, z] (mm)");
        ring.push_back({r.number(list[i][0], at), r.number(list[i][1], at)});
    }
    return ring;
}

void read_polygon(const Reader& r, VerificationInput& in) {
    for (const char* key : {"Base", "Altezza", "BaseInf", "SpessoreT", "Copriferro_Inf", "Copriferro_Sup", "copriferro",
                            "larghezza_armatura_ala", "diametro", "diametro_interno"})
        if (r.has(key)) r.fail(key, "non si usa con la forma \"poligono\": la sezione è data da \"contorno\"");
    const json* outline = r.list("contorno");
    if (outline == nullptr) r.fail("contorno", "valore mancante: il contorno della sezione poligonale [[y, z], ...]");
    fa::Shape shape;
    shape.outline = ring_of(r, *outline, "contorno");
    std::size_t vertices = shape.outline.size();
    if (const json* holes = r.list("fori")) {
        for (std::size_t i = 0; i < holes->size(); ++i) {
            shape.holes.push_back(ring_of(r, (*holes)[i], "fori[" + std::to_string(i + 1) + "]"));
            vertices += shape.holes.back().size();
            if (vertices > kMostVertices) r.fail("fori", "troppi vertici: al massimo 1000 in tutto");
        }
    }
    try {
        in.shape.polygon = fa::normalised(shape);
    } catch (const Error& e) {
        r.fail(shape.holes.empty() ? "contorno" : "contorno/fori", e);
    }
    double y0 = INFINITY, y1 = -INFINITY, z0 = INFINITY, z1 = -INFINITY;
    for (const fa::Point& p : in.shape.polygon.outline)
        y0 = std::min(y0, p.y), y1 = std::max(y1, p.y), z0 = std::min(z0, p.z), z1 = std::max(z1, p.z);
    if (y1 - y0 > kLargestDimension || z1 - z0 > kLargestDimension)
        r.fail("contorno", "dimensione oltre 1000 m: unità di misura errata? (mm)");
    refuse_tiny(r, "contorno", std::min(y1 - y0, z1 - z0));
    check_plausible_size(y1 - y0, "larghezza del contorno", in.warnings);
    check_plausible_size(z1 - z0, "altezza del contorno", in.warnings);
}

// A face's cover from "copriferro" (clear, to the outermost steel) or from
// the component's key (to the bar centres). The component's side layers lie
// at its own covers: Copriferro_Sup from the left face, Copriferro_Inf from
// the right one.
struct Face {
    const char* name;  // in the object form of "copriferro"
    LayerInput VerificationInput::*layer;
    const char* centre_key;
    bool own_key;  // the centre key is this face's own (bottom, top), not borrowed (sides)
};
constexpr Face kFaces[] = {{"inferiore", &VerificationInput::bottom, "Copriferro_Inf", true},
                           {"superiore", &VerificationInput::top, "Copriferro_Sup", true},
                           {"sinistro", &VerificationInput::left, "Copriferro_Sup", false},
                           {"destro", &VerificationInput::right, "Copriferro_Inf", false}};

void read_covers(const Reader& r, VerificationInput& in) {
    const json* clear = r.value("copriferro");
    if (clear != nullptr && clear->is_object()) r.check_item(*clear, KeyGroup::Face, "copriferro");
    for (const Face& f : kFaces) {
        const std::string path =
            clear != nullptr && clear->is_object() ? std::string("copriferro.") + f.name : std::string("copriferro");
        const std::optional<double> given = clear == nullptr     ? std::nullopt
                                            : clear->is_number() ? std::optional<double>(clear->get<double>())
                                                                 : r.item_real_if(*clear, path, f.name);
        LayerInput& layer = in.*f.layer;
        if (given) {
            if (f.own_key && r.has(f.centre_key))
                r.fail(f.centre_key, std::string("faccia ") + f.name + " data due volte: \"" + path +
                                         "\" (copriferro netto, alle staffe) e \"" + f.centre_key +
                                         "\" (al centro delle barre); indicarne uno solo");
            if (!(*given >= 0)) r.fail(path, "non può essere negativo");
            if (*given > kLargestDimension) r.fail(path, "dimensione oltre 1000 m: unità di misura errata? (mm)");
            layer.clear_cover = *given;
        } else if (r.has(f.centre_key) || f.own_key) {
            if (!r.has(f.centre_key) && clear != nullptr)
                r.fail(path, std::string("manca la faccia \"") + f.name + "\" (oppure \"" + f.centre_key +
                                 "\", copriferro al centro delle barre)");
            layer.cover = dimension(r, f.centre_key);
        } else {
            r.fail(path, std::string("manca la faccia \"") + f.name + "\" (oppure \"" + f.centre_key +
                             "\", copriferro al centro delle barre)");
        }
    }
    const double H = in.shape.dimensions.Altezza;
    // A clear cover is the least distance to a bar centre it allows.
    auto least = [](const LayerInput& l) { return l.clear_cover.value_or(l.cover); };
    if (least(in.bottom) + least(in.top) >= H)
        r.fail(in.top.clear_cover ? "copriferro" : "Copriferro_Sup",
               "i due copriferri superano l'altezza della sezione");
}

// A circle or an annulus by its diameters, with one clear cover for its bars on a circle.
void read_circle(const Reader& r, VerificationInput& in) {
    const std::string name = shape_kind_name(in.shape.kind);
    for (const char* key : {"Base", "Altezza", "BaseInf", "SpessoreT", "Copriferro_Inf", "Copriferro_Sup",
                            "larghezza_armatura_ala", "contorno", "fori"})
        if (r.has(key)) r.fail(key, "non si usa con la forma \"" + name + "\": la sezione è data da \"diametro\"");
    const double D = dimension(r, "diametro");
    refuse_tiny(r, "diametro", D);
    check_plausible_size(D, "diametro", in.warnings);
    in.shape.diameter = D;
    if (in.shape.kind == ShapeKind::Annulus) {
        const double Di = dimension(r, "diametro_interno");
        if (!(Di < D)) r.fail("diametro_interno", "deve essere minore del diametro esterno (\"diametro\")");
        in.shape.inner_diameter = Di;
    } else if (r.has("diametro_interno")) {
        r.fail("diametro_interno", "vale solo con la forma \"anulare\"");
    }
    if (const json* cover = r.value("copriferro")) {
        if (!cover->is_number())
            r.fail("copriferro", "per la forma \"" + name + "\" un solo numero: il copriferro netto (mm)");
        const double c = cover->get<double>();
        if (!(c >= 0)) r.fail("copriferro", "non può essere negativo");
        if (!(c < (D - in.shape.inner_diameter) / 2)) r.fail("copriferro", "supera lo spessore della sezione");
        in.circle.clear_cover = c;
    }
    try {
        in.shape.polygon = fa::normalised(circular_shape(D, in.shape.inner_diameter));
    } catch (const Error& e) {  // a wall thinner than the polygons' difference
        r.fail(in.shape.kind == ShapeKind::Annulus ? "diametro_interno" : "diametro", e);
    }
}

void read_profile(const Reader& r, VerificationInput& in) {
    for (const char* key : {"contorno", "fori", "diametro", "diametro_interno"})
        if (r.has(key))
            r.fail(key, *key == 'd' ? "vale solo con le forme \"circolare\" e \"anulare\""
                                    : "vale solo con la forma \"poligono\"");
    fa::Dimensions& d = in.shape.dimensions;
    d.Base = dimension(r, "Base");
    d.Altezza = dimension(r, "Altezza");
    refuse_tiny(r, "Base", d.Base);
    refuse_tiny(r, "Altezza", d.Altezza);
    check_plausible_size(d.Base, "Base", in.warnings);
    check_plausible_size(d.Altezza, "Altezza", in.warnings);
    if (in.shape.kind == ShapeKind::Rectangle) {
        for (const char* key : {"BaseInf", "SpessoreT"})
            if (r.has(key)) r.fail(key, "vale solo per le forme \"T\", \"T rovescia\" e \"L\"");
    } else {
        d.BaseInf = dimension(r, "BaseInf");
        d.SpessoreT = dimension(r, "SpessoreT");
        if (d.BaseInf > d.Base) r.fail("BaseInf", "l'anima non può essere più larga dell'ala (Base)");
        if (d.SpessoreT >= d.Altezza) r.fail("SpessoreT", "l'ala deve essere più sottile dell'altezza della sezione");
    }
    read_covers(r, in);
    if (const auto width = r.real("larghezza_armatura_ala")) {
        if (in.shape.kind == ShapeKind::Rectangle)
            r.fail("larghezza_armatura_ala", "vale solo per le forme \"T\", \"T rovescia\" e \"L\"");
        if (!(*width >= d.BaseInf && *width <= d.Base))
            r.fail("larghezza_armatura_ala", "ammessa tra la larghezza dell'anima (BaseInf " +
                                                 format::significant(d.BaseInf) + " mm) e quella dell'ala (Base " +
                                                 format::significant(d.Base) + " mm)");
        in.flange_bar_width = *width;
    }
}

struct LayerKeys {
    LayerInput VerificationInput::*layer;
    const char* area;
    const char* bars;
};
constexpr LayerKeys kLayers[] = {{&VerificationInput::bottom, "As_inf", "stringaAs_inf"},
                                 {&VerificationInput::top, "As_sup", "stringaAs_sup"},
                                 {&VerificationInput::left, "As_supY", "stringaAs_supY"},
                                 {&VerificationInput::right, "As_infY", "stringaAs_infY"}};

double text_area(const Reader& r, const char* key, const std::string& text) {
    double area = 0;
    try {
        for (double d : fa::layer_diameters(text)) area += std::numbers::pi * d * d / 4;
    } catch (const Error& e) {
        r.fail(key, e);
    }
    return area;
}

void read_layer(const Reader& r, const LayerKeys& k, LayerInput& layer) {
    if (const auto text = r.text(k.bars)) {
        layer.bars = *text;
        const double of_text = text_area(r, k.bars, *text);
        if (const auto area = r.real(k.area)) {
            if (!(std::fabs(*area - of_text) <= 0.01 * of_text))
                r.fail(k.area, format::significant(*area) + " mm² non corrisponde a \"" + *text + "\" di \"" + k.bars +
                                   "\" (" + format::decimal(of_text, 1) + " mm²): scarto oltre l'1 %");
            layer.area = *area;
        }
    } else if (const auto area = r.real(k.area)) {
        if (!(*area >= 0)) r.fail(k.area, "non può essere negativo");
        layer.area = *area;
    }
}

void read_stirrups(const Reader& r, VerificationInput& in) {
    if (const auto angle = r.real("AlfaStaffe")) {
        if (!(*angle >= 45 && *angle <= 90))
            r.fail("AlfaStaffe", "inclinazione delle staffe ammessa tra 45° e 90° (§4.1.2.3.5.2)");
        in.stirrup_angle = *angle;
    }
    in.closed_stirrups = r.flag("staffe_chiuse").value_or(true);
    const bool any = r.has("fStaffe") || r.has("nBracciaStaffe") || r.has("passoStaffe");
    if (!any) return;
    // The component's starting values stand for what is not given.
    StirrupsInput s{8, 2, 250};
    std::string defaulted;
    if (const auto v = r.real("fStaffe")) {
        if (!(*v >= 0 && *v <= 50)) r.fail("fStaffe", "diametro ammesso tra 0 e 50 mm");
        s.diameter = *v;
    } else {
        defaulted += " fStaffe 8 mm";
    }
    if (const auto v = r.integer("nBracciaStaffe")) {
        if (!(*v >= 0 && *v <= 20)) r.fail("nBracciaStaffe", "numero di bracci ammesso tra 0 e 20");
        s.legs = *v;
    } else {
        defaulted += " nBracciaStaffe 2";
    }
    if (const auto v = r.real("passoStaffe")) {
        s.spacing = *v;
    } else {
        defaulted += " passoStaffe 250 mm";
    }
    const bool present = s.diameter > 0 && s.legs > 0;
    if (present && !(s.spacing > 0 && s.spacing <= 1000))
        r.fail("passoStaffe", "passo ammesso maggiore di 0 e fino a 1000 mm");
    if (!defaulted.empty()) in.warnings.push_back("staffe: valori non indicati presi come" + defaulted);
    in.stirrups = s;
}

void read_limits(const Reader& r, BarLimits& limits) {
    if (const auto n = r.integer("NFerriMinimo")) {
        if (!(*n >= 1 && *n <= 100)) r.fail("NFerriMinimo", "ammesso tra 1 e 100");
        limits.min_count = *n;
    }
    for (const auto& [key, field] :
         {std::pair{"dFerriMinimo", &BarLimits::min_diameter}, std::pair{"dFerriMassimo", &BarLimits::max_diameter}}) {
        if (const auto v = r.integer(key)) {
            if (!(*v >= 5 && *v <= 30)) r.fail(key, "diametro ammesso tra 5 e 30 mm (la tabella delle barre)");
            limits.*field = *v;
        }
    }
    if (limits.min_diameter > limits.max_diameter)
        r.fail("dFerriMassimo", "minore di dFerriMinimo: nessun diametro ammesso");
}

}  // namespace

void check_plausible_size(double mm, std::string_view what, std::vector<std::string>& warnings) {
    if (mm < 100 || mm > 5000)
        warnings.push_back(std::string(what) + " = " + format::significant(mm) +
                           " mm: fuori dall'intervallo consueto 100…5000 mm; le dimensioni sono in millimetri");
}

void read_shape(const Reader& r, VerificationInput& in) {
    in.shape.kind = kind_of(r);
    if (in.shape.kind == ShapeKind::Polygon)
        read_polygon(r, in);
    else if (is_circular(in.shape.kind))
        read_circle(r, in);
    else
        read_profile(r, in);
}

void read_reinforcement(const Reader& r, VerificationInput& in) {
    for (const LayerKeys& k : kLayers) {
        if (in.shape.kind == ShapeKind::Polygon && (r.has(k.area) || r.has(k.bars)))
            r.fail(r.has(k.bars) ? k.bars : k.area,
                   "una sezione poligonale non ha strati: indicare le barre con \"barre\" [{\"y\", \"z\", \"d\"}]");
        if (is_circular(in.shape.kind) && (r.has(k.area) || r.has(k.bars)))
            r.fail(r.has(k.bars) ? k.bars : k.area,
                   "una sezione circolare o anulare ha le barre su un cerchio: indicarle con \"stringaAs_circ\" "
                   "(per esempio 12f20) o con \"barre\"");
        read_layer(r, k, in.*k.layer);
    }
    if (const auto text = r.text("stringaAs_circ")) {
        if (!is_circular(in.shape.kind)) r.fail("stringaAs_circ", "vale solo con le forme \"circolare\" e \"anulare\"");
        if (text_area(r, "stringaAs_circ", *text) <= 0) r.fail("stringaAs_circ", "nessuna barra");
        if (!in.circle.clear_cover)
            r.fail("copriferro", "valore mancante: il copriferro netto delle barre su un cerchio (mm)");
        in.circle.bars = *text;
    }
    if (!is_outline_shape(in.shape.kind) && (in.left.given() || in.right.given()) &&
        in.left.clear_cover.value_or(in.left.cover) + in.right.clear_cover.value_or(in.right.cover) >=
            (in.shape.kind == ShapeKind::Rectangle ? in.shape.dimensions.Base : in.shape.dimensions.BaseInf))
        r.fail(in.right.clear_cover ? "copriferro" : "Copriferro_Inf",
               "i copriferri laterali superano la larghezza dell'anima");
    if (const json* list = r.list("barre")) {
        if (list->size() > kMostBars) r.fail("barre", "troppe barre: al massimo 1000");
        for (std::size_t i = 0; i < list->size(); ++i) {
            const std::string path = "barre[" + std::to_string(i + 1) + "]";
            r.check_item((*list)[i], KeyGroup::PointBar, path);
            PointBar b{r.item_real((*list)[i], path, "y"), r.item_real((*list)[i], path, "z"),
                       r.item_real((*list)[i], path, "d")};
            if (!(b.diameter > 0 && b.diameter <= 100)) r.fail(path + ".d", "diametro ammesso tra 0 e 100 mm");
            in.bars.push_back(b);
        }
    }
    if (in.shape.kind == ShapeKind::Polygon && in.bars.empty())
        r.fail("barre", "valore mancante: le barre di una sezione poligonale si indicano con \"barre\"");
    read_limits(r, in.limits);
    read_stirrups(r, in);
}

}  // namespace ferrolit::verification
