#include "verify/input/input_keys.hpp"

#include <algorithm>
#include <cctype>
#include <vector>

namespace ferrolit::verification {

namespace {

struct GroupText {
    KeyGroup group;
    const char* title;
    const char* how;
};

constexpr GroupText kGroups[] = {
    {KeyGroup::Creation, "Section",
     "`TipoSezione` \"Trave\" (default), \"Pilastro\" or \"Soletta\" (a strip of a slab); `DescrSezione` at most 200 "
     "characters; the five actions "
     "make one combination \"SLU\" (`Mz` = −`Med_z`); the three limits bound the bars chosen by the code minimum "
     "(2, 12, 30 by default)"},
    {KeyGroup::Flange, "T section", "either key makes the section a T, unless `forma` says otherwise"},
    {KeyGroup::Shape, "Shape",
     "`forma`: \"rettangolare\" (default), \"T\", \"T rovescia\", \"L\" (web on the left), \"poligono\", "
     "\"circolare\" or \"anulare\"; `contorno`: the outer ring [[y, z], …]; `fori`: a list of rings; `diametro`, "
     "`diametro_interno`: the outer diameter of a circular or annular section and its hole's"},
    {KeyGroup::Bars, "Bar layers",
     "bar text (`3f20`, `3Ø20`, `2f20+1f16`) and/or area of each layer (inf bottom, sup top, supY left, infY right), "
     "placed at the covers (clear covers below, or the centres at `Copriferro_Inf`, `Copriferro_Sup`; sides: "
     "`Copriferro_Sup` left, `Copriferro_Inf` right); a layer with neither is chosen by the code minimum "
     "(`ImpostaFerriNorm`)"},
    {KeyGroup::PointBars, "Explicit bars",
     "`barre`: a list of bars {`y`, `z`, `d`}, any shape; `stringaAs_circ`: the bars of a circular or annular "
     "section, evenly on a circle at `copriferro`"},
    {KeyGroup::Covers, "Clear covers",
     "`copriferro`: the clear cover to the outermost steel (the stirrups where there are any), one number for every "
     "face or an object per face (keys below); the bar centres follow: clear cover + stirrup diameter + φ/2 from "
     "the face. A face takes either `copriferro` or its centre cover (`Copriferro_Inf`, `Copriferro_Sup`), never "
     "both. `larghezza_armatura_ala`: the width of the flange over which the flange's layer is spread (T: centred on "
     "the web; T rovescia: its bottom layer; L: from the web's outer face); without it the flange's layer lies over "
     "the web"},
    {KeyGroup::Stirrups, "Stirrups",
     "with none of the three the code sets them (`ImpostaStaffeNorm`); a missing one takes ø8, 2 legs, 250 mm"},
    {KeyGroup::Section, "Other members",
     "`AlfaStaffe` stirrup angle (90° default), `tetaBielle` strut angle θ, `CondizioniAmbientali` 1, 2, 3 = "
     "`ambiente`, `kt`…`k4` crack factors, `Med_Fes` one \"SLE frequente\" combination (N = 0); `DeltaN`, `DeltaX`, "
     "`H_Utile` are read and ignored (warning)"},
    {KeyGroup::Materials, "Materials",
     "a class (any letter case) gives every value by the code; each value given wins and the values that depend on "
     "it follow it; a given `Rck`, `fck` or `fyk` must agree with its class"},
    {KeyGroup::Actions, "Combinations",
     "`combinazioni`: a list of combinations (keys below); not with the flat actions"},
    {KeyGroup::Check, "Checks",
     "`ambiente` \"ordinario\" (default), \"aggressivo\", \"molto aggressivo\"; `armature_sensibili` false by "
     "default; `cot_theta` within 1…2.5 (chosen when absent); `alfa_e` modular ratio (15); `wk_lim` instead of "
     "Table 4.1.IV; `dmax_aggregato` the largest aggregate size dg for the clear distance between bars (20 mm "
     "by default); `tolleranza_copriferro` the construction tolerance added to the cover of Table C4.1.IV (10 mm "
     "by default); `staffe_chiuse` true (default) for closed stirrups, false for open ones, which carry no "
     "torsion; `sismica`: the rules of §7.4 for a member of a dissipative structure (keys below); `l0_y`, `l0_z` "
     "the effective lengths for bending about y (My) and about z (Mz), for slenderness; `rm` the ratio of the "
     "first-order end moments M01/M02, −1…1 (1 by default); `phi_ef` the effective creep ratio (0 by default)"},
    {KeyGroup::Combination, "Each combination",
     "`tipo`: \"SLU\", \"SLU sismica\", \"SLE rara\", \"SLE frequente\", \"SLE quasi permanente\"; `nome` unique "
     "(default C1, C2, …); N compression positive, My stretching the bottom bars positive, Mz compressing larger y "
     "positive; `T` torsion (its sign does not matter)"},
    {KeyGroup::PointBar, "Each bar", "centre `y`, `z` and diameter `d`"},
    {KeyGroup::Face, "Each face of `copriferro`",
     "bottom, top, left (smaller y), right; a face left out takes its centre cover when given"},
    {KeyGroup::Seismic, "The block `sismica`",
     "`classe_duttilita` \"A\" or \"B\" and `elemento` \"trave\" or \"pilastro\" (both required); `zona_critica` "
     "true (default); the curvature ductility demand from `q0`, `T1`, `Tc` by [7.4.3] or `mu_phi` given; for the "
     "capacity-design shear `luce_netta` (beams) or `altezza_netta` (columns) and `V_gravitazionale`"},
    {KeyGroup::Project, "Project",
     "`progetto`: {`opera`, `committente`, `progettista`, `luogo`, `note`}, texts printed on the title page of "
     "the calculation record (`--html`); no check uses them"},
};

std::string key_text(const InputKey& key) {
    std::string note(key.unit);
    const char* kind = key.kind == KeyKind::Text           ? "text"
                       : key.kind == KeyKind::Boolean      ? "true/false"
                       : key.kind == KeyKind::List         ? "list"
                       : key.kind == KeyKind::RealOrObject ? "number or object"
                       : key.kind == KeyKind::Object       ? "object"
                                                           : "";
    if (*kind != '\0') note = note.empty() ? kind : std::string(kind) + ", " + note;
    if (key.kind == KeyKind::Integer) note = note.empty() ? "whole number" : note + ", whole number";
    std::string text = "`";
    text += key.name;
    text += '`';
    return note.empty() ? text : text + " (" + note + ")";
}

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Edit distance of two names, ignoring letter case, with two neighbouring
// letters swapped counting as one edit (optimal string alignment).
std::size_t distance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) && lower(a[i - 2]) == lower(b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

}  // namespace

std::string_view nearest_key(std::string_view name, std::optional<KeyGroup> item_group) {
    if (name.size() > 100) return {};
    std::string_view best;
    std::size_t best_distance = 0;
    for (const InputKey& key : kInputKeys) {
        if (item_group ? key.group != *item_group : !is_top_level(key.group)) continue;
        const std::size_t d = distance(name, key.name);
        if (best.empty() || d < best_distance) best = key.name, best_distance = d;
    }
    // Close enough to be the same word mistyped: at most a third of its letters.
    return best_distance <= std::max<std::size_t>(1, (best.size() + 2) / 3) ? best : std::string_view{};
}

std::string key_table_markdown() {
    std::string table = "| Group | Keys | Meaning |\n|---|---|---|\n";
    for (const GroupText& g : kGroups) {
        std::string keys;
        for (const InputKey& key : kInputKeys) {
            if (key.group != g.group) continue;
            keys += (keys.empty() ? "" : ", ") + key_text(key);
        }
        table += std::string("| ") + g.title + " | " + keys + " | " + g.how + " |\n";
    }
    return table;
}

}  // namespace ferrolit::verification
