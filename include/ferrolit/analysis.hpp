#pragma once

// The code engine: analysis of a reinforced-concrete cross-section by the
// 2018 code (NTC 2018 §4.1.2.1.2, §4.1.2.3.4), in double precision, with
// exact integration over any polygon. Independent of the component classes
// (clsSezRett, clsSezT), whose numbers stay as they are.
//
// Units: mm, mm², MPa, kN, kNm; angles in degrees; strains as plain fractions.
// Signs: compression positive (N, strains, stresses).
// Axes: y horizontal, z vertical, in the plane of the section. Moments are
// taken about the axes through the centroid G of the gross polygon (outline
// less holes, bars not deducted):
//   My about the horizontal axis y, positive when it compresses the fibres at
//      larger z (a sagging beam moment with the compressed top has My > 0);
//   Mz about the vertical axis z, positive when it compresses the fibres at
//      larger y.
// Strain planes: eps(y, z) = eps_g + chi_y·(z − zG) + chi_z·(y − yG).
// Direction of bending ("angle", θ): the curvature vector (chi_y, chi_z) is
// κ·(cos θ, sin θ) with κ ≥ 0, so the most compressed side lies towards
// (y, z) = (sin θ, cos θ). θ = 0: top compressed (My > 0 for sections
// symmetric about z); 90: side of larger y compressed (Mz > 0); 180: bottom;
// 270: side of smaller y.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ferrolit/error.hpp"
#include "ferrolit/export.hpp"

namespace ferrolit::analysis {

// ---------------------------------------------------------------- materials

// Design stress-strain laws of concrete at the ultimate limit state (§4.1.2.1.2.1).
// None carries tension.
enum class ConcreteLaw : std::int32_t {
    ParabolaRectangle,  // parabola of degree n up to eps_c2, then fcd up to eps_cu
    StressBlock,        // eta·fcd over lambda·x from the compressed edge (x: neutral-axis depth)
    Bilinear,           // linear up to eps_c3, then fcd up to eps_cu
};

// Concrete by the 2018 code (§11.2.10, §4.1.2.1.1, §4.1.2.1.2.1). of_strength
// fills every value from fck by the code's formulas; of_class also sets the
// name and Rck. Change any field afterwards to override it.
struct FERROLIT_API Concrete {
    std::string name;   // "C25/30", or empty when given by values
    double fck = 0;     // MPa, characteristic cylinder strength
    double Rck = 0;     // MPa, characteristic cube strength (0 when not known)
    double fcm = 0;     // MPa, fck + 8
    double fctm = 0;    // MPa, mean tensile strength
    double fctk05 = 0;  // MPa, 0.7·fctm
    double fctk95 = 0;  // MPa, 1.3·fctm
    double Ec = 0;      // MPa, 22000·(fcm/10)^0.3
    double alpha_cc = 0.85;
    double gamma_c = 1.5;
    double eps_c2 = 0.002;    // parabola-rectangle: end of the parabola
    double eps_cu = 0.0035;   // ultimate compressive strain (all laws)
    double n = 2;             // parabola-rectangle: exponent
    double eps_c3 = 0.00175;  // bilinear: end of the linear branch
    double lambda = 0.8;      // stress block: depth factor
    double eta = 1;           // stress block: strength factor
    ConcreteLaw law = ConcreteLaw::ParabolaRectangle;

    double fcd() const { return alpha_cc * fck / gamma_c; }  // MPa, design strength
    // Strain held at the pivot of the fully compressed section: eps_c3 for
    // the bilinear law, eps_c2 otherwise (also for the stress block).
    double pivot_strain() const { return law == ConcreteLaw::Bilinear ? eps_c3 : eps_c2; }

    static Concrete of_strength(double fck);
    // "C25/30" and the other classes of the code, C8/10 to C90/105, any letter
    // case. Error (InvalidOperation) for an unknown name.
    static Concrete of_class(std::string_view name);
    // Error (InvalidOperation) naming the first unusable value.
    void validate() const;
};

// Reinforcing steel (§11.3.2, §4.1.2.1.2.2).
struct FERROLIT_API Steel {
    std::string name;  // "B450C", "B450A", or empty
    double fyk = 450;  // MPa
    double k = 1.20;   // (ft/fy)k, used by the hardening branch
    double gamma_s = 1.15;
    double Es = 200000;                     // MPa
    double eps_uk = 0.075;                  // characteristic strain at maximum load
    std::optional<double> eps_ud = 0.0675;  // design ductility limit (0.9·eps_uk); empty: no limit
    // Elastic-perfectly plastic when false; when true, the top branch rises
    // from fyd at eps_yd to k·fyd at eps_uk and is cut at eps_ud (needs eps_ud).
    bool hardening = false;

    double fyd() const { return fyk / gamma_s; }  // MPa
    double eps_yd() const { return fyd() / Es; }
    // Design stress at a strain, compression positive (odd in eps).
    double stress(double eps) const;

    // "B450C" (eps_uk 7.5 %, k 1.20) or "B450A" (eps_uk 2.5 %, k 1.05), any
    // letter case; eps_ud = 0.9·eps_uk. Error (InvalidOperation) otherwise.
    static Steel of_class(std::string_view name);
    void validate() const;
};

// The class names the two of_class functions know, in the code's order.
FERROLIT_API std::vector<std::string> concrete_class_names();
FERROLIT_API std::vector<std::string> steel_class_names();

// ---------------------------------------------------------------- geometry

struct Point {
    double y = 0, z = 0;  // mm
};
using Ring = std::vector<Point>;  // a closed ring; the first vertex is not repeated

// The concrete: an outer ring and holes, in the y-z plane. Any orientation
// is accepted; the engine works on counterclockwise outlines and clockwise holes.
struct Shape {
    Ring outline;
    std::vector<Ring> holes;
};

struct Bar {
    double y = 0, z = 0;  // mm, position of the bar's centre
    double area = 0;      // mm²
};
FERROLIT_API Bar bar_of_diameter(double y, double z, double diameter);  // area π·d²/4

// A bar a section cannot take (coordinates not finite, no area, outside the
// concrete): an Error of kind InvalidOperation, "barra N: <problem>" with N
// from 1, that says which bar apart, for a caller that names its bars otherwise.
class FERROLIT_API BarError : public Error {
public:
    BarError(std::size_t index, const std::string& problem);
    std::size_t index() const noexcept { return index_; }  // in the list given, from 0
    const std::string& problem() const noexcept { return problem_; }

private:
    std::size_t index_;
    std::string problem_;
};

// The shape checked and oriented: at most 10 000 vertices in all, at least 3 distinct per ring,
// finite coordinates, non-zero area, no self-intersection, holes inside the
// outline and apart from each other. A repeated closing vertex and repeated
// consecutive vertices are dropped. Error (InvalidOperation) otherwise.
FERROLIT_API Shape normalised(Shape shape);

// Polygon helpers for other parts of the library and for hosts: exact area
// integrals of a ring (Green's theorem) and of the part of it on one side of
// a line. Signed: positive for a counterclockwise ring, so the integrals of
// a normalised shape are the outline's plus its (clockwise) holes'.
struct AreaMoments {
    double A = 0;             // mm², ∫dA
    double Sy = 0, Sz = 0;    // mm³, ∫y dA, ∫z dA
    double Iyy = 0, Izz = 0;  // mm⁴, ∫y² dA, ∫z² dA
    double Iyz = 0;           // mm⁴, ∫y·z dA
    AreaMoments& operator+=(const AreaMoments& o) {
        A += o.A, Sy += o.Sy, Sz += o.Sz, Iyy += o.Iyy, Izz += o.Izz, Iyz += o.Iyz;
        return *this;
    }
};
// About the origin of the ring's coordinates.
FERROLIT_API AreaMoments area_moments(const Ring& ring);
// The signed area (mm²) of the part of a ring where a + b·y + c·z ≥ 0.
FERROLIT_API double area_where(const Ring& ring, double a, double b, double c);

// Shapes from the component's dimensions (mm): Base (top flange width of a
// T, bottom flange of an inverted T), BaseInf (web width), Altezza (height),
// SpessoreT (flange thickness). The bottom-left corner of the bounding box is
// at (0, 0). Tee: flange on top, web centred. InvertedTee: flange at the
// bottom. Ell: flange on top, web flush with the left side (y = 0).
enum class Profile : std::int32_t { Rectangle, Tee, InvertedTee, Ell };
struct Dimensions {
    double Base = 0, Altezza = 0, BaseInf = 0, SpessoreT = 0;
};
FERROLIT_API Shape profile_shape(Profile profile, const Dimensions& d);

// A layer of bars given as text: "3f20", "3f20+2f16" ("f", "F", "Ø", "ø").
// Top and bottom layers: all centres at `cover` from their face (so the
// centroid of the layer is there), spaced evenly between `side_cover` (the
// layer's cover unless given) from the ends of that face; larger bars go to
// the ends and the arrangement is kept symmetric when the counts allow.
// Side layers (left, right): centres at `cover` from the web's side face,
// spaced over the height strictly between the levels of the bottom and top
// layers: z = c_bottom + i·(H − c_bottom − c_top)/(n + 1), i = 1..n.
struct Layer {
    std::string bars;
    double cover = 0;
    std::optional<double> side_cover;
};
// bottom/top: the component's As_inf/As_sup; left: As_supY (its left edge), right: As_infY.
struct Reinforcement {
    Layer bottom, top, left, right;
};
// Diameters of a layer text in placement order; empty text gives none.
FERROLIT_API std::vector<double> layer_diameters(std::string_view text);
FERROLIT_API std::vector<Bar> place_bars(Profile profile, const Dimensions& d, const Reinforcement& r);

// ---------------------------------------------------------------- results

struct StrainPlane {
    double eps_g = 0;  // strain at the centroid G of the gross polygon
    double chi_y = 0;  // 1/mm, growth of the strain per mm of z (bending about y)
    double chi_z = 0;  // 1/mm, growth of the strain per mm of y (bending about z)
};

struct BarState {
    double y = 0, z = 0, area = 0;  // mm, mm²
    double strain = 0;              // compression positive
    double stress = 0;              // MPa, steel stress (compression positive), without deduction
};

// The state of the section under one strain plane.
struct SectionState {
    double N = 0, My = 0, Mz = 0;  // kN, kNm: the internal forces
    StrainPlane plane;
    double angle = 0;  // degrees, direction of bending θ (see the top of this header)
    // mm, from the most compressed concrete fibre to the line of zero strain,
    // along the direction θ; above h the whole section is compressed, below 0
    // it is all in tension; empty for a uniform strain (no curvature).
    std::optional<double> neutral_axis_depth;
    double depth = 0;                 // mm, h: extent of the concrete along θ
    double concrete_edge_strain = 0;  // at the most compressed concrete fibre
    double concrete_edge_stress = 0;  // MPa, there
    // In the order of the section's bars. Left empty in the points of a
    // domain or a contour, so that they stay small: state_at(state.plane)
    // gives them on request.
    std::vector<BarState> bars;
};

// Why a result has no value.
enum class Outcome : std::int32_t {
    Found,
    BelowMinimum,   // N < N_Rd,min: the section cannot take that tension
    AboveMaximum,   // N > N_Rd,max: the section cannot take that compression
    OriginOutside,  // at this N the domain's slice does not contain M = 0
    ZeroMoment,     // no direction: the given moment is zero
    NoResistance,   // N at N_Rd,max or N_Rd,min: the slice is a single point
    NoCrossing,     // the requested slice of the domain is empty
};
// Italian text for a result without value ("" for Found).
FERROLIT_API const char* reason(Outcome outcome);

// The resisting moment along the ray from M = 0 through (My_Ed, Mz_Ed) at N.
struct MomentCapacity {
    Outcome outcome = Outcome::Found;
    double N = 0, My_Ed = 0, Mz_Ed = 0;  // kN, kNm, as asked
    std::optional<double> My_Rd, Mz_Rd;  // kNm, the point where the ray leaves the slice at N
    std::optional<double> ratio;         // |M_Ed| / |M_Rd|
    bool inside = false;                 // (N, My_Ed, Mz_Ed) lies in the domain (boundary included)
    std::optional<SectionState> state;   // the ultimate state at (My_Rd, Mz_Rd)
};

// An ultimate state for a given direction of bending and N.
struct UltimateState {
    Outcome outcome = Outcome::Found;
    std::optional<SectionState> state;
};

enum class Axis : std::int32_t { My, Mz };

struct DomainPoint {
    double N = 0, M = 0;  // kN, kNm (M is My or Mz after the domain's axis)
    SectionState state;
};
// The closed N-M domain of one axis: the slice Mz = 0 (axis My) or My = 0
// (axis Mz) of the three-dimensional domain. Points run from N_Rd,min along
// the branch of positive M to N_Rd,max and back along the negative one; the
// first point is repeated at the end.
struct Domain {
    Outcome outcome = Outcome::Found;  // NoCrossing: the slice is empty
    Axis axis = Axis::My;
    std::vector<DomainPoint> points;
};

struct ContourPoint {
    double My = 0, Mz = 0;  // kNm
    SectionState state;
};
// The My-Mz contour at one N, counterclockwise, first point repeated at the end.
struct Contour {
    Outcome outcome = Outcome::Found;
    double N = 0;
    std::vector<ContourPoint> points;
};

// Biaxial bending at N_Ed (§4.1.2.3.4.2).
struct BiaxialCheck {
    MomentCapacity exact;  // on the ray of (My_Ed, Mz_Ed): ratio = |M_Ed|/|M_Rd|
    // Uniaxial resisting moments at N_Ed in the sign of each action (the slices
    // Mz = 0 and My = 0); empty when not needed (action 0) or not found.
    std::optional<double> MRy, MRz;
    std::optional<double> ratio_linear;  // (4.1.19) with alpha = 1: |MEy|/MRy + |MEz|/MRz
    double alpha_en = 1;                 // EN 1992-1-1 §5.8.9 (4): 1.0 at N/NRd ≤ 0.1, 1.5 at 0.7, 2.0 at 1.0
    std::optional<double> ratio_en;      // (|MEy|/MRy)^a + (|MEz|/MRz)^a
};

// Cracked or uncracked elastic state for the serviceability checks.
struct ServiceOptions {
    double alpha_e = 15;  // modular ratio Es/Ec,eff; give Es/Ec for short-term loads
    // When true, the uncracked homogenised state is returned while the largest
    // concrete tension stays within f_ct; otherwise the section is cracked.
    bool allow_uncracked = true;
    std::optional<double> f_ct;  // MPa; empty: fctm
};
struct ServiceState {
    bool cracked = false;
    double N = 0, My = 0, Mz = 0;              // kN, kNm, the internal forces (equal to the actions)
    StrainPlane plane;                         // strains with the concrete modulus Es/alpha_e
    double angle = 0;                          // degrees
    std::optional<double> neutral_axis_depth;  // mm, as in SectionState
    double sigma_c_max = 0;                    // MPa, largest concrete compression (0: none)
    double sigma_ct_max = 0;                   // MPa, largest concrete tension of the uncracked state (0 when cracked)
    std::vector<BarState> bars;
    int iterations = 0;
};

struct Options {
    // Deduct the concrete displaced by the bars: a bar then carries
    // (σs − σc)·As, σc being the concrete stress at the bar.
    bool deduct_bar_area = false;
};

// ---------------------------------------------------------------- section

namespace detail {
struct SectionData;
}

// A cross-section made of one concrete and one steel. Immutable after
// construction, cheap to copy, safe to use from several threads.
class FERROLIT_API Section {
public:
    // Error (InvalidOperation) for an unusable shape (see normalised), no
    // bars, a bar that is not strictly inside the concrete, a bar with no
    // area, or an unusable material value.
    Section(Shape shape, std::vector<Bar> bars, Concrete concrete, Steel steel, Options options = {});

    const Shape& shape() const;  // normalised
    const std::vector<Bar>& bars() const;
    const Concrete& concrete() const;
    const Steel& steel() const;
    const Options& options() const;
    double area() const;     // mm², gross concrete area
    Point centroid() const;  // mm, centroid G of the gross polygon

    // Squash load N_Rd,max = fcd·Ac + Σ As·σs(eps_pivot) (Ac less the bars when
    // they are deducted), at the uniform pivot strain; and N_Rd,min = −Σ As·σs(eps_ud)
    // (−Σ As·fyd without ductility limit), all steel in tension.
    double N_Rd_max() const;  // kN
    double N_Rd_min() const;  // kN
    SectionState squash_state() const;
    SectionState tension_state() const;  // uniform −eps_ud (−eps_yd without limit)

    // Internal forces of any strain plane under the design laws.
    SectionState state_at(const StrainPlane& plane) const;

    // The ultimate state with bending direction `angle` (degrees) carrying N.
    UltimateState ultimate_at(double angle, double N) const;

    // The resisting moment on the ray from M = 0 through (My, Mz) at N.
    MomentCapacity resisting_moment(double N, double My, double Mz) const;

    // Closed N-M domain of an axis with at least `points` distinct points,
    // more where the polygon would stray beyond 0.1 % of the domain's extent
    // from the true outline.
    Domain domain(Axis axis, int points = 100) const;

    // My-Mz contour at N: `directions` points at bending directions evenly
    // spaced in angle, more where needed for the same 0.1 % accuracy.
    Contour contour(double N, int directions = 72) const;

    BiaxialCheck biaxial(double N, double My, double Mz) const;

    // Error (InvalidOperation) if the iteration does not converge.
    ServiceState service(double N, double My, double Mz, const ServiceOptions& options = {}) const;

    const detail::SectionData& data() const { return *data_; }

private:
    std::shared_ptr<const detail::SectionData> data_;
};

// ------------------------------------------------------------ JSON document

// The document of `ferrolit analyse` (README, section `ferrolit analyse`):
// a section, its materials and queries in, N_max, N_min and
// one result per query out, as JSON texts. Error (InvalidOperation) for
// unusable input, the message naming the key (`"concrete.fck": ...`).
FERROLIT_API std::string analyse_json(std::string_view json);

}  // namespace ferrolit::analysis
