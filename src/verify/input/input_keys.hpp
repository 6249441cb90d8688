#pragma once

// Every key of a section's JSON object, in one table: its name, the kind of
// its value, its unit and the group that says what the key is for.
// Parsing, the kinds' validation, the nearest-key hint for a misspelt key
// and the README's table of keys are derived from this table. The flat keys
// are the component members' own names; the keys added by the verification
// are lower-case Italian words.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ferrolit::verification {

enum class KeyKind { Real, Integer, Text, Boolean, List, RealOrObject, Object };

// What a key is for. The items of the two lists have their own groups.
enum class KeyGroup {
    Creation,     // an argument of CreaSezRett / CreaSezT: geometry, covers, the single SLU combination
    Flange,       // an argument of CreaSezT alone: either key makes the section a T
    Shape,        // the shape by name or as a polygon
    Bars,         // a bar layer: area and bar text; chosen by the code minimum when both are absent
    PointBars,    // explicit bars
    Covers,       // clear covers and where the layers' bars spread
    Stirrups,     // set by the code (ImpostaStaffeNorm) when all three are absent
    Section,      // other members of the component's section
    Materials,    // class names and values; a class supplies the values not given
    Actions,      // the list of combinations
    Check,        // parameters of the checks
    Combination,  // keys of each item of "combinazioni"
    PointBar,     // keys of each item of "barre"
    Face,         // keys of the object form of "copriferro"
    Seismic,      // keys of the block "sismica"
    Project,      // the project's data for the record (verify/input/project_data.cpp reads its texts)
};

struct InputKey {
    std::string_view name;
    KeyKind kind;
    std::string_view unit;  // empty: a pure number, a count, a text, a flag or a list
    KeyGroup group;
};

// In the order of the groups; within Creation and Materials, in the order of
// the arguments of CreaSezRett and CreaMateriale_Sezione.
inline constexpr InputKey kInputKeys[] = {
    {"TipoSezione", KeyKind::Text, "", KeyGroup::Creation},
    {"DescrSezione", KeyKind::Text, "", KeyGroup::Creation},
    {"Base", KeyKind::Real, "mm", KeyGroup::Creation},
    {"Altezza", KeyKind::Real, "mm", KeyGroup::Creation},
    {"Copriferro_Inf", KeyKind::Real, "mm", KeyGroup::Creation},
    {"Copriferro_Sup", KeyKind::Real, "mm", KeyGroup::Creation},
    {"Med_y", KeyKind::Real, "kNm", KeyGroup::Creation},
    {"Med_z", KeyKind::Real, "kNm", KeyGroup::Creation},
    {"Ned_x", KeyKind::Real, "kN", KeyGroup::Creation},
    {"Taglio_y", KeyKind::Real, "kN", KeyGroup::Creation},
    {"Taglio_z", KeyKind::Real, "kN", KeyGroup::Creation},
    {"NFerriMinimo", KeyKind::Integer, "", KeyGroup::Creation},
    {"dFerriMinimo", KeyKind::Integer, "mm", KeyGroup::Creation},
    {"dFerriMassimo", KeyKind::Integer, "mm", KeyGroup::Creation},

    {"BaseInf", KeyKind::Real, "mm", KeyGroup::Flange},
    {"SpessoreT", KeyKind::Real, "mm", KeyGroup::Flange},

    {"forma", KeyKind::Text, "", KeyGroup::Shape},
    {"contorno", KeyKind::List, "mm", KeyGroup::Shape},
    {"fori", KeyKind::List, "mm", KeyGroup::Shape},
    {"diametro", KeyKind::Real, "mm", KeyGroup::Shape},
    {"diametro_interno", KeyKind::Real, "mm", KeyGroup::Shape},

    {"As_inf", KeyKind::Real, "mm²", KeyGroup::Bars},
    {"stringaAs_inf", KeyKind::Text, "", KeyGroup::Bars},
    {"As_sup", KeyKind::Real, "mm²", KeyGroup::Bars},
    {"stringaAs_sup", KeyKind::Text, "", KeyGroup::Bars},
    {"As_infY", KeyKind::Real, "mm²", KeyGroup::Bars},
    {"stringaAs_infY", KeyKind::Text, "", KeyGroup::Bars},
    {"As_supY", KeyKind::Real, "mm²", KeyGroup::Bars},
    {"stringaAs_supY", KeyKind::Text, "", KeyGroup::Bars},

    {"barre", KeyKind::List, "", KeyGroup::PointBars},
    {"stringaAs_circ", KeyKind::Text, "", KeyGroup::PointBars},

    {"copriferro", KeyKind::RealOrObject, "mm", KeyGroup::Covers},
    {"larghezza_armatura_ala", KeyKind::Real, "mm", KeyGroup::Covers},

    {"fStaffe", KeyKind::Real, "mm", KeyGroup::Stirrups},
    {"nBracciaStaffe", KeyKind::Integer, "", KeyGroup::Stirrups},
    {"passoStaffe", KeyKind::Real, "mm", KeyGroup::Stirrups},

    {"DeltaN", KeyKind::Real, "mm", KeyGroup::Section},
    {"DeltaX", KeyKind::Real, "mm", KeyGroup::Section},
    {"AlfaStaffe", KeyKind::Real, "°", KeyGroup::Section},
    {"tetaBielle", KeyKind::Real, "°", KeyGroup::Section},
    {"H_Utile", KeyKind::Real, "mm", KeyGroup::Section},
    {"CondizioniAmbientali", KeyKind::Integer, "", KeyGroup::Section},
    {"kt", KeyKind::Real, "", KeyGroup::Section},
    {"k1", KeyKind::Real, "", KeyGroup::Section},
    {"k2", KeyKind::Real, "", KeyGroup::Section},
    {"k3", KeyKind::Real, "", KeyGroup::Section},
    {"k4", KeyKind::Real, "", KeyGroup::Section},
    {"Med_Fes", KeyKind::Real, "kNm", KeyGroup::Section},

    {"ClasseCls", KeyKind::Text, "", KeyGroup::Materials},
    {"Rck", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"fck", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"gammaC", KeyKind::Real, "", KeyGroup::Materials},
    {"alfaCC", KeyKind::Real, "", KeyGroup::Materials},
    {"fcm", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"fctm", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"fctk05", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"fctk95", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"Ec", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"eps_c2", KeyKind::Real, "", KeyGroup::Materials},
    {"eps_cu", KeyKind::Real, "", KeyGroup::Materials},
    {"fcd", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"fctd", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"ClasseAcciaio", KeyKind::Text, "", KeyGroup::Materials},
    {"fyk", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"gammaS", KeyKind::Real, "", KeyGroup::Materials},
    {"Es", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"fyd", KeyKind::Real, "MPa", KeyGroup::Materials},
    {"eps_yd", KeyKind::Real, "", KeyGroup::Materials},
    {"eps_ud", KeyKind::Real, "", KeyGroup::Materials},

    {"combinazioni", KeyKind::List, "", KeyGroup::Actions},

    {"ambiente", KeyKind::Text, "", KeyGroup::Check},
    {"armature_sensibili", KeyKind::Boolean, "", KeyGroup::Check},
    {"cot_theta", KeyKind::Real, "", KeyGroup::Check},
    {"alfa_e", KeyKind::Real, "", KeyGroup::Check},
    {"wk_lim", KeyKind::Real, "mm", KeyGroup::Check},
    {"dmax_aggregato", KeyKind::Real, "mm", KeyGroup::Check},
    {"tolleranza_copriferro", KeyKind::Real, "mm", KeyGroup::Check},
    {"staffe_chiuse", KeyKind::Boolean, "", KeyGroup::Check},
    {"sismica", KeyKind::Object, "", KeyGroup::Check},
    {"l0_y", KeyKind::Real, "mm", KeyGroup::Check},
    {"l0_z", KeyKind::Real, "mm", KeyGroup::Check},
    {"rm", KeyKind::Real, "", KeyGroup::Check},
    {"phi_ef", KeyKind::Real, "", KeyGroup::Check},

    {"nome", KeyKind::Text, "", KeyGroup::Combination},
    {"tipo", KeyKind::Text, "", KeyGroup::Combination},
    {"N", KeyKind::Real, "kN", KeyGroup::Combination},
    {"My", KeyKind::Real, "kNm", KeyGroup::Combination},
    {"Mz", KeyKind::Real, "kNm", KeyGroup::Combination},
    {"Vy", KeyKind::Real, "kN", KeyGroup::Combination},
    {"Vz", KeyKind::Real, "kN", KeyGroup::Combination},
    {"T", KeyKind::Real, "kNm", KeyGroup::Combination},

    {"y", KeyKind::Real, "mm", KeyGroup::PointBar},
    {"z", KeyKind::Real, "mm", KeyGroup::PointBar},
    {"d", KeyKind::Real, "mm", KeyGroup::PointBar},

    {"inferiore", KeyKind::Real, "mm", KeyGroup::Face},
    {"superiore", KeyKind::Real, "mm", KeyGroup::Face},
    {"sinistro", KeyKind::Real, "mm", KeyGroup::Face},
    {"destro", KeyKind::Real, "mm", KeyGroup::Face},
    {"classe_duttilita", KeyKind::Text, "", KeyGroup::Seismic},
    {"elemento", KeyKind::Text, "", KeyGroup::Seismic},
    {"zona_critica", KeyKind::Boolean, "", KeyGroup::Seismic},
    {"q0", KeyKind::Real, "", KeyGroup::Seismic},
    {"T1", KeyKind::Real, "s", KeyGroup::Seismic},
    {"Tc", KeyKind::Real, "s", KeyGroup::Seismic},
    {"mu_phi", KeyKind::Real, "", KeyGroup::Seismic},
    {"luce_netta", KeyKind::Real, "mm", KeyGroup::Seismic},
    {"altezza_netta", KeyKind::Real, "mm", KeyGroup::Seismic},
    {"V_gravitazionale", KeyKind::Real, "kN", KeyGroup::Seismic},
    {"progetto", KeyKind::Object, "", KeyGroup::Project},
};

// True for the groups of a section's own keys (not the items of a list).
constexpr bool is_top_level(KeyGroup group) {
    return group != KeyGroup::Combination && group != KeyGroup::PointBar && group != KeyGroup::Face &&
           group != KeyGroup::Seismic;
}

// The row of a key of a section (top level) or of an item of a list
// (`group` Combination, PointBar or Face); nullptr for a name the table does not hold.
constexpr const InputKey* find_key(std::string_view name, std::optional<KeyGroup> item_group = std::nullopt) {
    for (const InputKey& key : kInputKeys) {
        const bool in_scope = item_group ? key.group == *item_group : is_top_level(key.group);
        if (in_scope && key.name == name) return &key;
    }
    return nullptr;
}

// The class-name key whose class supplies a material value: the text row of
// the Materials group that precedes it (ClasseCls or ClasseAcciaio).
constexpr std::string_view material_class_key(std::string_view name) {
    std::string_view last_class;
    for (const InputKey& key : kInputKeys) {
        if (key.group != KeyGroup::Materials) continue;
        if (key.kind == KeyKind::Text) last_class = key.name;
        if (key.name == name) return last_class;
    }
    return {};
}

// How many keys of a group hold a value of a kind.
constexpr int count_keys(KeyGroup group, KeyKind kind) {
    int n = 0;
    for (const InputKey& key : kInputKeys) n += key.group == group && key.kind == kind ? 1 : 0;
    return n;
}

// The known key nearest to a misspelt one, in the same scope (by edit
// distance, ignoring letter case); empty when none is close.
std::string_view nearest_key(std::string_view name, std::optional<KeyGroup> item_group = std::nullopt);

// The README's table of keys (Markdown), one row per group.
std::string key_table_markdown();

}  // namespace ferrolit::verification
