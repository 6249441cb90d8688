// design(): the missing reinforcement chosen so that every check passes with
// the least steel.
//
// The search. Each missing layer of a profile takes one arrangement of the
// bar table, n bars of one diameter φ within the input's limits, that fits
// in a row: placed as verify() places them, clear gaps of at least max(φ,
// dg + 5 mm, 20 mm) (EN 1992-1-1 §8.2, the rule of the check
// bar_clear_spacing); the two side layers, when they count, take the same
// arrangement, or none. Candidates are visited in order of increasing total
// longitudinal area (best first over the sorted options of each layer), and
// the first that passes every check wins: no lighter arrangement passes.
// Stirrups, when missing, are then the lightest (least area per metre) of
// diameters 6…16 mm and spacings of 50…325 mm in steps of 25 mm that
// passes, with two legs (a closed stirrup), or three or four when two cannot
// do; a candidate whose bars fail with the strongest of them is dropped at
// once, since more stirrups never lower a resistance (the cover, which a
// thicker stirrup reduces, is judged on the stirrups chosen). With clear
// covers the strongest (ø16) holds the bars 10 mm further in than a ø6 does:
// a candidate at the margin of a bending or crack check may then be dropped
// and a slightly heavier one chosen, never a failing one.
//
// With torsion (T ≠ 0 in an ultimate combination) the side layers are tried
// too, so that the longitudinal torsion steel (T_Rld) may be spread along the
// sides, and the stirrups chosen carry T_Rsd as closed ones. A circular or
// annular section without bars takes one arrangement on its circle.

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <queue>
#include <set>

#include "component/reinforcement/bar_table.hpp"
#include "ferrolit/format.hpp"
#include "verify/checks/clear_spacing.hpp"
#include "verify/checks/section_geometry.hpp"
#include "verify/model.hpp"
#include "verify/run.hpp"

namespace ferrolit {

namespace {

using namespace verification;

// Most bar arrangements tried: 4000, fewer for many combinations, so that no
// input keeps the search busy for more than a few seconds.
int most_candidates(const VerificationInput& in) {
    const auto combinations = static_cast<int>(std::max<std::size_t>(1, in.combinations.size()));
    return std::clamp(400000 / combinations, 50, 4000);
}

struct Option {
    int n = 0, phi = 0;
    double area = 0;
    std::string text() const { return std::to_string(n) + "f" + std::to_string(phi); }
};

// Arrangements of a layer that fit: `room(φ)` is the room between the end
// bars' centres (horizontal layers) or between the bottom and top layers
// (side layers, whose bars lie strictly between).
template <class Room>
std::vector<Option> options_for(const VerificationInput& in, Room room, bool side) {
    std::vector<Option> out;
    if (side) out.push_back({0, 0, 0});
    const int least_phi =
        in.member == MemberType::Column ? std::max(in.limits.min_diameter, 12) : in.limits.min_diameter;
    for (std::int16_t phi : component::bar_table_diameters()) {
        if (phi < least_phi || phi > in.limits.max_diameter) continue;
        const double span = room(phi);
        const double pitch = phi + least_clear_distance(phi, in.aggregate_size.value_or(kDefaultAggregateSize));
        const int most = side ? static_cast<int>(std::floor(span / pitch)) - 1
                              : (span >= 0 ? 1 + static_cast<int>(std::floor(span / pitch)) : 0);
        for (int n = std::max(1, in.limits.min_count); n <= std::min(most, 100); ++n)
            out.push_back({n, phi, n * std::numbers::pi * phi * phi / 4});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Option& a, const Option& b) { return a.area != b.area ? a.area < b.area : a.n < b.n; });
    return out;
}

struct StirrupOption {
    StirrupsInput s;
    double per_metre;
};

std::vector<StirrupOption> stirrup_options() {
    std::vector<StirrupOption> out;
    for (int phi : {6, 8, 10, 12, 14, 16})
        for (int legs : {2, 3, 4})
            for (int spacing = 50; spacing <= 325; spacing += 25)
                out.push_back(
                    {{double(phi), legs, double(spacing)}, legs * std::numbers::pi * phi * phi / 4 * 1000 / spacing});
    // A closed stirrup (two legs) first, more legs only when two cannot do.
    std::stable_sort(out.begin(), out.end(), [](const StirrupOption& a, const StirrupOption& b) {
        if ((a.s.legs == 2) != (b.s.legs == 2)) return a.s.legs == 2;
        if (a.per_metre != b.per_metre) return a.per_metre < b.per_metre;
        return a.s.spacing > b.s.spacing;
    });
    return out;
}

// The screen of a candidate with the strongest stirrups: more stirrups never
// lower a resistance, but a thicker stirrup takes room from the cover, so the
// cover is left to the stirrups actually chosen.
bool passes_but_the_cover(const VerificationResult& r) {
    return std::all_of(r.checks.begin(), r.checks.end(),
                       [](const CheckResult& c) { return c.verified || c.id == check_id(Check::Cover); });
}

// The dimensions of the search: bottom, top, the pair of side layers; for a
// circular or annular section the first is the layer on the circle.
struct Search {
    std::array<bool, 3> open{};
    std::array<std::vector<Option>, 3> options;
    bool circle = false;
};

// Arrangements on the circle that fit: at least four bars (EN 1992-1-1
// §9.5.2(4)), neighbours' centres a chord 2·r·sin(π/n) apart of at least φ
// plus the clear gap, r as verify() places them (with designed stirrups,
// inside the largest tried).
std::vector<Option> circle_options(const VerificationInput& in) {
    if (!in.circle.clear_cover)
        throw Error(ErrorKind::InvalidOperation,
                    "progetto: per scegliere le barre sul cerchio indicare \"copriferro\" (copriferro netto, mm)");
    const double stirrup = in.stirrups ? in.stirrups->diameter : 16;
    std::vector<Option> out;
    for (std::int16_t phi : component::bar_table_diameters()) {
        if (phi < std::max(in.limits.min_diameter, 12) || phi > in.limits.max_diameter) continue;
        const double r = circle_bar_radius(in, stirrup, phi);
        const double pitch = phi + least_clear_distance(phi, in.aggregate_size.value_or(kDefaultAggregateSize));
        if (r <= 0) continue;
        for (int n = std::max(4, in.limits.min_count); n <= 100; ++n) {
            if (2 * r * std::sin(std::numbers::pi / n) < pitch) break;
            out.push_back({n, phi, n * std::numbers::pi * phi * phi / 4});
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Option& a, const Option& b) { return a.area != b.area ? a.area < b.area : a.n < b.n; });
    return out;
}

bool has_torsion(const VerificationInput& in) {
    return std::any_of(in.combinations.begin(), in.combinations.end(),
                       [](const Combination& c) { return is_ultimate(c.kind) && c.T != 0; });
}

// The room between the centres of a layer's end bars of diameter φ, as the
// layer would place them (for the side layers, between the bottom and top
// layers' levels); with designed stirrups, inside the largest tried.
double room_for(const VerificationInput& in, int layer, double phi) {
    const double stirrup = in.stirrups ? in.stirrups->diameter : 16;
    std::array<std::vector<double>, 4> diameters;
    if (layer == kLeft) {
        const double H = in.shape.dimensions.Altezza;
        return H - centre_cover(in.bottom, stirrup, phi) - centre_cover(in.top, stirrup, phi);
    }
    diameters[static_cast<std::size_t>(layer)] = {phi, phi};
    const std::vector<PlacedBar> ends = place_layers(in, diameters, stirrup);
    return ends[1].y - ends[0].y;
}

Search search_of(const VerificationInput& in, const Reinforcement& r) {
    Search s;
    if (!in.bars.empty()) return s;
    if (is_circular(in.shape.kind) && !r.circle.present) {
        s.circle = s.open[0] = true;
        s.options[0] = circle_options(in);
        if (s.options[0].empty())
            throw Error(ErrorKind::InvalidOperation,
                        "progetto: nessuna disposizione della tabella delle barre entra sul cerchio (As_circ) entro "
                        "i limiti dFerriMinimo…dFerriMassimo e NFerriMinimo");
        return s;
    }
    if (is_outline_shape(in.shape.kind)) return s;
    s.open[0] = !r.layers[kBottom].present;
    s.open[1] = !r.layers[kTop].present;
    // Torsion wants longitudinal bars along the whole perimeter: the side layers are tried then too.
    s.open[2] = (z_applies(in) || has_torsion(in)) && !r.layers[kLeft].present && !r.layers[kRight].present;
    const int layer_of_dimension[3] = {kBottom, kTop, kLeft};
    for (int k = 0; k < 3; ++k)
        if (s.open[k])
            s.options[k] = options_for(
                in, [&](double phi) { return room_for(in, layer_of_dimension[k], phi); }, k == 2);
    for (int k = 0; k < 3; ++k)
        if (s.open[k] && s.options[k].empty())
            throw Error(ErrorKind::InvalidOperation,
                        std::string("progetto: nessuna disposizione della tabella delle barre entra in ") +
                            (k == 0   ? "As_inf"
                             : k == 1 ? "As_sup"
                                      : "As_supY/As_infY") +
                            " entro i limiti dFerriMinimo…dFerriMassimo e NFerriMinimo");
    return s;
}

using Index = std::array<int, 3>;

Reinforcement candidate(const Reinforcement& base, const Search& s, const Index& at) {
    Reinforcement r = base;
    if (s.circle) {
        r.circle = {s.options[0][static_cast<std::size_t>(at[0])].text(), std::nullopt, Origin::Designed, true};
        return r;
    }
    const int layer_of_dimension[3][2] = {{kBottom, -1}, {kTop, -1}, {kLeft, kRight}};
    for (int k = 0; k < 3; ++k) {
        if (!s.open[k]) continue;
        const Option& o = s.options[k][static_cast<std::size_t>(at[k])];
        for (int layer : layer_of_dimension[k])
            if (layer >= 0)
                r.layers[layer] = {o.n > 0 ? o.text() : std::string(), std::nullopt, Origin::Designed, true};
    }
    return r;
}

double total_area(const Search& s, const Index& at) {
    double a = 0;
    for (int k = 0; k < 3; ++k)
        if (s.open[k]) a += s.options[k][static_cast<std::size_t>(at[k])].area * (k == 2 ? 2 : 1);
    return a;
}

// The result's input echo with the chosen bars and stirrups written in, so
// that verifying it again gives the same checks. A side layer chosen empty
// is written as an area of 0.
VerificationResult echoed(VerificationResult result, const Reinforcement& used) {
    for (int i = 0; i < 4; ++i) {
        const LayerUse& use = used.layers[static_cast<std::size_t>(i)];
        if (!use.present || use.origin != Origin::Designed) continue;
        LayerInput& layer = result.input.*layer_of(i);
        layer.bars = use.bars && !use.bars->empty() ? use.bars : std::nullopt;
        layer.area = layer.bars ? use.area : std::optional<double>(0.0);
    }
    if (used.circle.origin == Origin::Designed) result.input.circle.bars = used.circle.bars;
    if (used.stirrups_origin == Origin::Designed) result.input.stirrups = used.stirrups;
    return result;
}

std::string failing(const VerificationResult& r) {
    std::string text;
    for (const CheckResult& c : r.checks)
        if (!c.verified && text.find(c.id) == std::string::npos)
            text += (text.empty() ? "" : ", ") + c.id + " (rapporto " + format::ratio(c.ratio) + ")";
    return text;
}

}  // namespace

VerificationResult design(const VerificationInput& in) {
    std::vector<std::string> warnings = in.warnings;
    const Reinforcement base = given_reinforcement(in);
    const Search search = search_of(in, base);
    // A slab is designed without stirrups unless they are given (code_minimum.cpp reads it so too).
    const bool design_stirrups = !in.stirrups.has_value() && in.member != MemberType::Slab;
    const bool any_layer = search.open[0] || search.open[1] || search.open[2];
    if (!any_layer && !design_stirrups) {
        warnings.push_back("progetto: armature e staffe sono tutte assegnate, nulla da scegliere");
        return run_checks(in, base, std::move(warnings));
    }
    const std::vector<StirrupOption> stirrups = design_stirrups ? stirrup_options() : std::vector<StirrupOption>{};
    const StirrupsInput strongest{16, 4, 50};
    auto with_stirrups = [&](Reinforcement r, const StirrupsInput& s) {
        r.stirrups = s;
        r.stirrups_origin = Origin::Designed;
        return r;
    };

    // Best first over the product of the sorted options.
    auto heavier = [&](const Index& a, const Index& b) { return total_area(search, a) > total_area(search, b); };
    std::priority_queue<Index, std::vector<Index>, decltype(heavier)> queue(heavier);
    std::set<Index> seen;
    queue.push({0, 0, 0});
    seen.insert({0, 0, 0});
    int evaluated = 0;
    const int most = most_candidates(in);
    std::optional<VerificationResult> last;
    while (!queue.empty() && evaluated < most) {
        const Index at = queue.top();
        queue.pop();
        for (int k = 0; k < 3; ++k) {
            if (!search.open[k] || at[k] + 1 >= static_cast<int>(search.options[k].size())) continue;
            Index next = at;
            ++next[k];
            if (seen.insert(next).second) queue.push(next);
        }
        const Reinforcement bars = candidate(base, search, at);
        ++evaluated;
        if (!design_stirrups) {
            last = run_checks(in, bars, warnings);
            if (last->verified) return echoed(std::move(*last), bars);
            continue;
        }
        last = run_checks(in, with_stirrups(bars, strongest), warnings);
        if (!passes_but_the_cover(*last)) continue;
        for (const StirrupOption& o : stirrups) {
            const Reinforcement used = with_stirrups(bars, o.s);
            VerificationResult r = run_checks(in, used, warnings);
            if (r.verified) return echoed(std::move(r), used);
        }
    }
    const char* what = design_stirrups ? "delle barre e delle staffe" : "delle barre";
    std::string message;
    if (queue.empty())
        message = std::string("progetto non riuscito: nessuna disposizione della tabella ") + what +
                  " soddisfa tutte le verifiche";
    else
        message = "progetto interrotto: la ricerca si è fermata al limite di " + std::to_string(most) +
                  " disposizioni provate (limite che scende con il numero di combinazioni) senza trovarne una che "
                  "soddisfi tutte le verifiche; disposizioni più pesanti della tabella " +
                  what + " non sono state provate: indicare le armature nei dati";
    if (last) message += "; l'ultima provata non supera: " + failing(*last);
    throw Error(ErrorKind::InvalidOperation, message);
}

}  // namespace ferrolit
