#pragma once

// The verification's lists of names, each written once: the kinds of
// combination, the environments, the shapes, the origins of values and the
// families of checks (id, Italian title, what they need to run), the
// concrete's stress-strain laws (English and Italian names). The
// input's parser and its "ammessi …" messages, the JSON result, the
// records, the server's /api/names and so the page's menus all read these
// tables; each table lists its enumeration's values in order.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "ferrolit/analysis.hpp"
#include "ferrolit/export.hpp"

namespace ferrolit {

// A value of an enumeration with its Italian name.
template <class E>
struct Named {
    E value;
    std::string_view name;
};

// The name of a value in its table ("" for a value the table lacks); its
// text ends in a NUL, so data() is a C string.
template <class E, std::size_t N>
constexpr std::string_view name_in(const Named<E> (&table)[N], E value) {
    for (const Named<E>& row : table)
        if (row.value == value) return row.name;
    return "";
}

// True when the rows' values are the enumeration's 0, 1, 2, … in order.
template <class Row, std::size_t N>
constexpr bool in_order(const Row (&table)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (static_cast<std::size_t>(table[i].value) != i) return false;
    return true;
}

// What the section belongs to, for the detailing rules it takes.
enum class MemberType : std::int32_t {
    Beam,    // detailing by §4.1.6.1.1
    Column,  // detailing by §4.1.6.1.2, minimum eccentricity of §4.1.2.3.4.2
    Slab,    // a strip of a slab: beam detailing without stirrup rules where no shear reinforcement is
             // needed, the slab spacing of EN 1992-1-1 §9.3.1.1, the slab row of Tab. C4.1.IV
};
inline constexpr Named<MemberType> kMemberTypes[] = {
    {MemberType::Beam, "Trave"},
    {MemberType::Column, "Pilastro"},
    {MemberType::Slab, "Soletta"},
};
// The input's name of a member type ("Trave", "Pilastro", "Soletta").
FERROLIT_API const char* member_type_name(MemberType member);

enum class CombinationKind : std::int32_t { Ultimate, Seismic, Characteristic, Frequent, QuasiPermanent };
inline constexpr Named<CombinationKind> kCombinationKinds[] = {
    {CombinationKind::Ultimate, "SLU"},  // fundamental combination
    {CombinationKind::Seismic, "SLU sismica"},    {CombinationKind::Characteristic, "SLE rara"},
    {CombinationKind::Frequent, "SLE frequente"}, {CombinationKind::QuasiPermanent, "SLE quasi permanente"},
};
// The input's name of a kind ("SLU", "SLE rara", ...).
FERROLIT_API const char* combination_kind_name(CombinationKind kind);
// Ultimate (SLU, SLU sismica) rather than service.
FERROLIT_API bool is_ultimate(CombinationKind kind);

// Exposure class of Table 4.1.III, for the crack limits of Table 4.1.IV.
enum class Environment : std::int32_t { Ordinary, Aggressive, VeryAggressive };
inline constexpr Named<Environment> kEnvironments[] = {
    {Environment::Ordinary, "ordinario"},
    {Environment::Aggressive, "aggressivo"},
    {Environment::VeryAggressive, "molto aggressivo"},
};
FERROLIT_API const char* environment_name(Environment environment);

enum class ShapeKind : std::int32_t { Rectangle, Tee, InvertedTee, Ell, Polygon, Circle, Annulus };
inline constexpr Named<ShapeKind> kShapeKinds[] = {
    {ShapeKind::Rectangle, "rettangolare"}, {ShapeKind::Tee, "T"},
    {ShapeKind::InvertedTee, "T rovescia"}, {ShapeKind::Ell, "L"},
    {ShapeKind::Polygon, "poligono"},       {ShapeKind::Circle, "circolare"},
    {ShapeKind::Annulus, "anulare"},
};
// A shape given by its outline (a polygon, or the polygon of a circle or an
// annulus) rather than by the component's profile dimensions.
constexpr bool is_outline_shape(ShapeKind kind) {
    return kind == ShapeKind::Polygon || kind == ShapeKind::Circle || kind == ShapeKind::Annulus;
}
constexpr bool is_circular(ShapeKind kind) { return kind == ShapeKind::Circle || kind == ShapeKind::Annulus; }
FERROLIT_API const char* shape_kind_name(ShapeKind kind);

// Where a layer's or the stirrups' values come from.
enum class Origin : std::int32_t {
    Given,        // from the input
    CodeMinimum,  // chosen by the code minimum (ImpostaFerriNorm / ImpostaStaffeNorm)
    Designed,     // chosen by design()
};
inline constexpr Named<Origin> kOrigins[] = {
    {Origin::Given, "assegnata"},
    {Origin::CodeMinimum, "minimo di normativa"},
    {Origin::Designed, "progetto"},
};
FERROLIT_API const char* origin_name(Origin origin);

// The families of checks, in the order a record lists them.
enum class Check : std::int32_t {
    Bending,
    Slenderness,
    ShearZ,
    ShearY,
    Torsion,
    TorsionShear,
    TensionChord,
    StressConcrete,
    StressSteel,
    CrackWidth,
    AsMin,
    AsMax,
    Stirrups,
    StirrupSpacing,
    BarSpacing,
    BarDiameter,
    BarClearSpacing,
    Cover,
    ConcreteClass,
    SeismicGeometry,
    SeismicAxialLoad,
    SeismicLongitudinalSteel,
    SeismicStirrups,
    SeismicConfinement,
    Ductility,
    CapacityShear,
};
// What a family needs to run: an ultimate combination, a service one, or
// neither (the detailing rules of §4.1.6), or the block "sismica" (§7.4).
enum class CheckKind : std::int32_t { Ultimate, Service, Detailing, Seismic };
struct CheckFamily {
    Check value;
    std::string_view id;     // CheckResult::id and NotRun::id
    std::string_view title;  // Italian, for the records and the page
    CheckKind kind;
};
inline constexpr CheckFamily kCheckFamilies[] = {
    {Check::Bending, "bending", "Flessione e sforzo normale", CheckKind::Ultimate},
    {Check::Slenderness, "slenderness", "Snellezza ed effetti del secondo ordine", CheckKind::Ultimate},
    {Check::ShearZ, "shear_z", "Taglio Vz (piano di My)", CheckKind::Ultimate},
    {Check::ShearY, "shear_y", "Taglio Vy (piano di Mz)", CheckKind::Ultimate},
    {Check::Torsion, "torsion", "Torsione", CheckKind::Ultimate},
    {Check::TorsionShear, "torsion_shear", "Torsione e taglio", CheckKind::Ultimate},
    {Check::TensionChord, "tension_chord", "Corrente teso (flessione, taglio e torsione)", CheckKind::Ultimate},
    {Check::StressConcrete, "stress_concrete", "Tensioni di esercizio nel calcestruzzo", CheckKind::Service},
    {Check::StressSteel, "stress_steel", "Tensioni di esercizio nell'acciaio", CheckKind::Service},
    {Check::CrackWidth, "crack_width", "Fessurazione", CheckKind::Service},
    {Check::AsMin, "as_min", "Armatura longitudinale minima", CheckKind::Detailing},
    {Check::AsMax, "as_max", "Armatura longitudinale massima", CheckKind::Detailing},
    {Check::Stirrups, "stirrups", "Staffe minime", CheckKind::Detailing},
    {Check::StirrupSpacing, "stirrup_spacing", "Passo delle staffe", CheckKind::Detailing},
    {Check::BarSpacing, "bar_spacing", "Interasse delle barre longitudinali", CheckKind::Detailing},
    {Check::BarDiameter, "bar_diameter", "Diametro delle barre longitudinali", CheckKind::Detailing},
    {Check::BarClearSpacing, "bar_clear_spacing", "Distanza libera tra le barre", CheckKind::Detailing},
    {Check::Cover, "cover", "Copriferro", CheckKind::Detailing},
    {Check::ConcreteClass, "concrete_class", "Classe del calcestruzzo per l'ambiente", CheckKind::Detailing},
    {Check::SeismicGeometry, "seismic_geometry", "Dimensioni degli elementi sismici", CheckKind::Seismic},
    {Check::SeismicAxialLoad, "seismic_axial_load", "Sforzo normale dei pilastri in zona sismica", CheckKind::Seismic},
    {Check::SeismicLongitudinalSteel, "seismic_longitudinal_steel", "Armatura longitudinale in zona sismica",
     CheckKind::Seismic},
    {Check::SeismicStirrups, "seismic_stirrups", "Staffe delle zone critiche", CheckKind::Seismic},
    {Check::SeismicConfinement, "seismic_confinement", "Confinamento delle zone critiche dei pilastri",
     CheckKind::Seismic},
    {Check::Ductility, "ductility", "Duttilità di curvatura", CheckKind::Seismic},
    {Check::CapacityShear, "capacity_shear", "Taglio da gerarchia delle resistenze", CheckKind::Seismic},
};

constexpr const CheckFamily& check_family(Check check) { return kCheckFamilies[static_cast<std::size_t>(check)]; }
// The id of a family ("bending", "shear_z", ...).
constexpr std::string_view check_id(Check check) { return check_family(check).id; }
// The family of an id; nullptr for an id no family has.
constexpr const CheckFamily* check_family(std::string_view id) {
    for (const CheckFamily& f : kCheckFamilies)
        if (f.id == id) return &f;
    return nullptr;
}
// The Italian title of a family by its id; the id itself when unknown.
constexpr std::string_view check_title(std::string_view id) {
    const CheckFamily* f = check_family(id);
    return f != nullptr ? f->title : id;
}

// The concrete's design stress-strain laws (§4.1.2.1.2.1): the JSON result's
// "law" and the records' "Legame".
struct ConcreteLawNames {
    analysis::ConcreteLaw value;
    std::string_view json;     // "parabola-rectangle", as the engine's input names it
    std::string_view italian;  // for the records
};
inline constexpr ConcreteLawNames kConcreteLaws[] = {
    {analysis::ConcreteLaw::ParabolaRectangle, "parabola-rectangle", "parabola-rettangolo"},
    {analysis::ConcreteLaw::StressBlock, "stress-block", "stress-block"},
    {analysis::ConcreteLaw::Bilinear, "bilinear", "bilineare"},
};
// The names of a law; a value outside the enumeration reads as the default,
// the parabola-rectangle.
constexpr const ConcreteLawNames& concrete_law_names(analysis::ConcreteLaw law) {
    const auto i = static_cast<std::size_t>(law);
    return i < std::size(kConcreteLaws) ? kConcreteLaws[i] : kConcreteLaws[0];
}

static_assert(in_order(kMemberTypes) && in_order(kCombinationKinds) && in_order(kEnvironments) &&
              in_order(kShapeKinds) && in_order(kOrigins) && in_order(kCheckFamilies) && in_order(kConcreteLaws));

}  // namespace ferrolit
