#pragma once

// Verification of a reinforced-concrete section by the 2018 code (NTC 2018,
// D.M. 17/01/2018, with the commentary, Circolare 21/01/2019 n. 7) over all
// its load combinations: bending with axial force, shear, service stresses,
// crack width and the detailing rules of §4.1.6, each check with its clause,
// demand, capacity and ratio. Built on the code engine (ferrolit/analysis.hpp).
//
// Units: mm, mm², MPa, kN, kNm, degrees. Signs as in the code engine:
//   N  positive in compression;
//   My about the horizontal axis y, positive when it compresses the top
//      (larger z) and stretches the bottom bars;
//   Mz about the vertical axis z, positive when it compresses the side of
//      larger y (the right side of a profile drawn with y to the right);
//   Vy, Vz the shear forces along y and z (their sign does not matter).
// The component's Med_z has the opposite sign: Mz = −Med_z.
//
// Entry points: verify() on a VerificationInput, or the JSON input read by
// read_verification_input(); to_json() writes a result; verify_json() does
// all three. Unusable input raises ferrolit::InputError (an Error of kind
// InvalidOperation) with an Italian message that names the key, and the key,
// line and source apart.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ferrolit/analysis.hpp"
#include "ferrolit/error.hpp"
#include "ferrolit/export.hpp"
#include "ferrolit/moment_curvature.hpp"
#include "ferrolit/verify_lists.hpp"

namespace ferrolit {

// ---------------------------------------------------------------- input

struct Combination {
    std::string name;  // unique within a section, at most 100 characters
    CombinationKind kind = CombinationKind::Ultimate;
    double N = 0, My = 0, Mz = 0;  // kN, kNm (signs at the top of this header)
    double Vy = 0, Vz = 0;         // kN
    double T = 0;                  // kNm, torsion about the member's axis (its sign does not matter)
};

struct ShapeInput {
    ShapeKind kind = ShapeKind::Rectangle;
    analysis::Dimensions dimensions;  // Rectangle, Tee, InvertedTee, Ell (mm); see analysis::profile_shape
    analysis::Shape polygon;          // Polygon: outer ring and holes (mm); Circle, Annulus: their polygon
    double diameter = 0;              // Circle, Annulus: outer diameter (mm)
    double inner_diameter = 0;        // Annulus: diameter of the hole (mm)
};

// A bar layer of a profile: the bar text ("3f20+2f16"), its area, or
// neither (then chosen by the code minimum, as the component's
// ImpostaFerriNorm does). An area alone becomes equal bars of the
// equivalent diameter (a warning says so). The layer's face has either a
// clear cover (to the outermost steel: the stirrups where there are any; the
// bar centres then lie at clear cover + stirrup diameter + φ/2) or a cover
// to the bar centres (the component's Copriferro_Inf / Copriferro_Sup).
struct LayerInput {
    std::optional<std::string> bars;
    std::optional<double> area;  // mm²; with a text, it must agree with it within 1 %
    double cover = 0;  // mm, to the bar centres: from the bottom face (bottom), top face, or the web's side face
    std::optional<double> clear_cover;  // mm, "copriferro"; when given, `cover` is not used
    bool given() const { return bars.has_value() || area.has_value(); }
};

struct PointBar {
    double y = 0, z = 0;  // mm, centre
    double diameter = 0;  // mm
};

// Limits for the bars chosen by the code minimum and by design().
struct BarLimits {
    int min_count = 2;
    int min_diameter = 12;  // mm
    int max_diameter = 30;  // mm
};

struct StirrupsInput {
    double diameter = 0;  // mm; 0 with legs 0: no stirrups
    int legs = 0;         // legs crossing each plane of shear (closed stirrups: 2)
    double spacing = 0;   // mm
};

// Ductility class of a dissipative structure (§7.2.1): CD"A" high, CD"B" medium.
enum class DuctilityClass : std::int32_t { A, B };

// The block "sismica": the section belongs to a primary member of a
// dissipative structure, checked by the rules of §7.4 as well as §4.1.
struct SeismicInput {
    DuctilityClass ductility = DuctilityClass::B;
    MemberType member = MemberType::Beam;  // Beam ("trave") or Column ("pilastro")
    bool critical_zone = true;             // the section lies in a critical zone (§7.4.6.1)
    // The demand of curvature ductility: from the basic behaviour factor q0
    // and the periods T1, Tc (s) by [7.4.3], or given directly.
    std::optional<double> q0, T1, Tc;
    std::optional<double> mu_phi;
    // Capacity design of shear: the clear length (beams) or clear height
    // (columns), mm, and the shear of the gravity loads in the seismic
    // situation, kN.
    std::optional<double> clear_length;
    std::optional<double> gravity_shear;
};

// The project a calculation belongs to, for the record's title page: the
// block "progetto" of a section or of a members model.
struct ProjectData {
    std::string work, client, designer, place, notes;  // opera, committente, progettista, luogo, note
};

struct VerificationInput {
    std::string description;  // at most 200 characters
    MemberType member = MemberType::Beam;
    // The materials with every value resolved (C25/30 and B450C until set).
    analysis::Concrete concrete = analysis::Concrete::of_class("C25/30");
    analysis::Steel steel = analysis::Steel::of_class("B450C");
    ShapeInput shape;
    // Layers of a profile: bottom (the component's As_inf), top (As_sup),
    // left (As_supY, smaller y) and right (As_infY). The side layers are
    // used when given or when a combination has Mz.
    LayerInput bottom, top, left, right;
    // Circle and Annulus: bars evenly on one circle (stringaAs_circ), at the clear cover `copriferro`.
    LayerInput circle;
    // The width (mm) of the flange over which the flange's layer is spread
    // (T: the top layer, centred on the web; T rovescia: the bottom one; L:
    // the top one, from the web's outer face); empty: over the web.
    std::optional<double> flange_bar_width;
    std::vector<PointBar> bars;  // explicit bars, any shape; with them no layer is chosen by the code
    BarLimits limits;
    std::optional<StirrupsInput> stirrups;  // empty: chosen by the code (ImpostaStaffeNorm) for profiles
    double stirrup_angle = 90;              // degrees, inclination α of the stirrups to the axis, 45…90
    bool closed_stirrups = true;            // closed stirrups; open ones carry no torsion (§4.1.2.3.6)
    std::vector<Combination> combinations;
    Environment environment = Environment::Ordinary;
    bool sensitive_bars = false;  // bars sensitive to corrosion (Table 4.1.IV; the tendons' columns of Tab. C4.1.IV)
    // Largest aggregate size dg (mm) for the clear distance between bars
    // (EN 1992-1-1 §8.2); empty: kDefaultAggregateSize.
    std::optional<double> aggregate_size;
    // Construction tolerance added to the least cover of Tab. C4.1.IV (mm); empty: kDefaultCoverTolerance.
    std::optional<double> cover_tolerance;
    // Shear and torsion: cot θ of the struts, within [1, 2.5]; empty: the value that maximises V_Rd, or
    // with torsion the one value for shear and torsion that gives the least largest ratio of the two.
    std::optional<double> cot_theta;
    // Slender members (§4.1.2.3.9.2): the effective lengths (mm) for bending about y (My, the member
    // deflecting along z) and about z (Mz); a plane without one is not checked for slenderness. The
    // ratio of the first-order end moments rm = M01/M02 (−1…1, positive when both ends stretch the same
    // side) and the effective creep ratio φef of the nominal-curvature method (EN 1992-1-1 §5.8.8).
    std::optional<double> effective_length_y, effective_length_z;
    double end_moment_ratio = 1;
    double creep_ratio = 0;
    // Service: modular ratio of the cracked section (15 by convention).
    double alpha_e = 15;
    // Crack width: a limit given instead of Table 4.1.IV (mm), and the
    // factors of the commentary's method when given (kt by load duration
    // otherwise: 0.6 frequent, 0.4 quasi-permanent; k1 0.8, k3 3.4, k4 0.425,
    // k2 by the strain distribution).
    std::optional<double> wk_limit;
    std::optional<double> kt, k1, k2, k3, k4;
    // The rules of §7.4 for members of earthquake-resistant structures; empty: none.
    std::optional<SeismicInput> seismic;
    // Warnings gathered while reading (unit plausibility, ignored keys).
    std::vector<std::string> warnings;
    ProjectData project;  // "progetto": printed on the record, used by no check
};

inline constexpr double kDefaultAggregateSize = 20;   // mm: dg + 5 mm = 25 mm then governs up to φ 25
inline constexpr double kDefaultCoverTolerance = 10;  // mm, the note to Tab. C4.1.IV

// Options of read_verification_input.
struct ReadOptions {
    std::string source;  // file name for messages ("file:line: …"); empty: no location
    int first_line = 1;  // line of the text's first line in that file
};

// Reads one section from its JSON object (the keys are listed in the
// README, from the library's key table). InputError for unusable input,
// naming the key and, with a source, the file and line.
FERROLIT_API VerificationInput read_verification_input(std::string_view json, const ReadOptions& options = {});

// A material named by its class with values given beside it: the one rule
// of every reader (verify's keys, analyse's). The class gives every value by
// the code; a value that defines a class (fck or Rck of a concrete, fyk of a
// steel) given with it must be the class's own. InputError naming the class
// key for an unknown class, or the value's key for one that contradicts it;
// the keys are the caller's ("ClasseCls", "concrete.fck").
struct ClassKeys {
    std::string_view class_key;
    std::string_view strength_key;  // fck, fyk
    std::string_view cube_key;      // Rck of a concrete
};
FERROLIT_API analysis::Concrete concrete_of_class(std::string_view name, std::optional<double> fck,
                                                  std::optional<double> Rck, const ClassKeys& keys);
FERROLIT_API analysis::Steel steel_of_class(std::string_view name, std::optional<double> fyk, const ClassKeys& keys);

// ---------------------------------------------------------------- result

struct LayerRecord {
    std::string name;  // "As_inf", "As_sup", "As_supY", "As_infY"
    std::string bars;  // bar text; empty for a layer given by area alone
    double area = 0;   // mm²
    double cover = 0;  // mm, from the layer's face to the centres of its largest bars
    // mm, from the layer's face to the outermost steel there: the stirrups
    // where there are any, the layer's largest bars otherwise.
    double clear_cover = 0;
    Origin origin = Origin::Given;
};

struct PlacedBar {
    double y = 0, z = 0;  // mm, centre
    double diameter = 0;  // mm (equivalent diameter for an area given alone)
    double area = 0;      // mm²
    std::string layer;    // "As_inf", ..., or "barre" for explicit bars
};

struct StirrupsRecord {
    double diameter = 0;  // mm
    int legs = 0;
    double spacing = 0;    // mm
    double angle = 90;     // degrees
    double per_metre = 0;  // mm²/m, legs·π·φ²/4·1000/s
    Origin origin = Origin::Given;
};

// A named value of a check's working, for the record.
struct Detail {
    std::string name;  // "d", "rho_l", "cot_theta", ...
    double value = 0;
    std::string unit;  // "" for a pure number
};

struct CheckResult {
    std::string id;                          // a family's id (kCheckFamilies): bending, shear_z, ...
    std::string clause;                      // "§4.1.2.3.4.2", ...
    std::optional<std::string> combination;  // its name; empty for the detailing rules
    std::optional<double> demand, capacity;  // in `unit`
    std::string unit;
    // > 1 fails. Minimums: required/provided; maximums and resistances:
    // demand/capacity. +infinity when nothing is provided (null in JSON).
    double ratio = 0;
    bool verified = true;
    std::string note;  // short Italian remark, may be empty
    std::vector<Detail> details;
};

// A check family that did not run on a section, and why ("nessuna
// combinazione SLE rara"). A family run on some combinations and not on a
// kind it also covers is listed for that kind.
struct NotRun {
    std::string id;      // a check id (CheckResult::id)
    std::string reason;  // Italian
};

struct FERROLIT_API VerificationResult {
    VerificationInput input;  // as read, with the materials resolved
    analysis::Shape shape;    // normalised concrete outline, mm
    double area = 0;          // mm², gross concrete
    analysis::Point centroid;
    std::vector<LayerRecord> layers;         // the layers of a profile as used
    std::vector<PlacedBar> bars;             // every bar of the section
    std::optional<StirrupsRecord> stirrups;  // empty: no stirrups
    double N_Rd_max = 0, N_Rd_min = 0;       // kN
    std::vector<CheckResult> checks;         // by family, then combination
    bool verified = true;
    double max_ratio = 0;
    bool ultimate_checks_run = false;  // there was an ultimate combination
    bool service_checks_run = false;   // there was a service combination
    std::vector<NotRun> not_run;       // the families that did not run, in the order of the checks
    std::vector<std::string> warnings;
    std::string version;

    // The check with the largest ratio (the first of equals); empty when there is no check.
    std::optional<std::size_t> governing() const;
    // The check of a family with the largest ratio; empty when the family has none.
    std::optional<std::size_t> governing(std::string_view id) const;
};

// Verifies a section. Error (InvalidOperation) for input the engine cannot
// use (bars outside the concrete, no bars, a code minimum that cannot be met).
FERROLIT_API VerificationResult verify(const VerificationInput& input);

// Chooses the missing longitudinal bars (layers of a profile) from the bar
// table and the missing stirrups, at spacings in multiples of 25 mm, so that
// every check passes with the least steel; returns the verification of the
// chosen section. Error (InvalidOperation) when nothing in the table passes.
FERROLIT_API VerificationResult design(const VerificationInput& input);

// The engine's section of a result (for domains and drawings).
FERROLIT_API analysis::Section engine_section(const VerificationResult& result);

// The moment–curvature behind the ductility check of a seismic section, for
// the drawings: at the N of the first "SLU sismica" combination the check
// ran on, about the same axis, unconfined and confined by the section's
// stirrups. Empty when the check has no curve.
struct SeismicCurves {
    std::string combination;
    analysis::MomentCurvature unconfined, confined;
};
FERROLIT_API std::optional<SeismicCurves> seismic_curves(const VerificationResult& result);

// The JSON text of a result: "verified", "max_ratio", "checks" and the rest
// (README). An infinite ratio is written as null. `indent` spaces per
// level; a negative indent gives one line (for JSON Lines).
FERROLIT_API std::string to_json(const VerificationResult& result, int indent = 2);

// read_verification_input, verify and to_json in one call.
FERROLIT_API std::string verify_json(std::string_view json);

// ---------------------------------------------------------------- batches

// One line of a JSON Lines text, in input order: its result or its error.
struct BatchItem {
    int line = 0;  // 1-based line number
    std::optional<VerificationResult> result;
    std::string error;     // the message when there is no result
    std::string rendered;  // what BatchOptions::render made of the result
};

struct BatchOptions {
    std::string source;   // file name for messages
    int jobs = 0;         // worker threads; 0: one per core
    bool design = false;  // design() instead of verify()
    // Run on the worker thread after each verification (to_json, a summary
    // line, ...), so that the caller's own work on a result runs in parallel
    // too; its text goes to BatchItem::rendered. Must be safe to call from
    // several threads at once.
    std::function<std::string(const VerificationResult&, int line)> render;
};

// Runs every non-blank line of a JSON Lines text, on `jobs` threads, and
// hands the items to `deliver` in line order, on the calling thread, as they
// become ready. Bad lines give an item with an error and do not stop the others.
FERROLIT_API void verify_lines(std::string_view text, const BatchOptions& options,
                               const std::function<void(BatchItem&&)>& deliver);

}  // namespace ferrolit
