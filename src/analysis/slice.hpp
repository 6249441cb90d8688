#pragma once

// The slice of the resistance domain at one N: the closed convex curve of
// the resisting moments M(θ) = (My, Mz) of the ultimate states carrying N,
// one for each direction of bending θ. Searches on it: the point where a ray
// leaves it, whether it contains M = 0, where it crosses an axis.

#include <array>
#include <optional>

#include "analysis/landing.hpp"
#include "analysis/path.hpp"

namespace ferrolit::analysis::detail {

// Where the path at the direction theta carries N, from the section's
// tabled paths (no integration); empty when they do not carry it.
std::optional<PathStart> tabled_start(const SectionData& s, double theta, double N);

class Slice {
public:
    Slice(const SectionData& s, double N);  // N in newtons, within [N_min, N_max]

    // The slice at another N, keeping the frame's storage: a search over
    // many N allocates nothing per level.
    void reset(double N);

    Hit at(double theta);

    // Where the ray from c in the unit direction t leaves the slice, starting
    // the search at the direction of bending `guess`. Empty when no direction
    // of bending puts M(θ) on the ray (c outside the slice, or the ray misses it).
    std::optional<Hit> ray(Moment c, Moment t, double guess);

    // The same search from a predicted point (a direction and a path
    // parameter, from neighbouring slices): the joint Newton steps alone,
    // empty when they do not settle.
    std::optional<Hit> ray_from(Moment c, Moment t, double theta, PathStart start);
    // Where the path's search ended at the last direction solved.
    PathStart path_start() const { return last_start_; }
    // How the last hit of ray_from or ray moves with N (per newton) along its
    // ray's line held fixed: dθ/dN and dp/dN from the exact Jacobian at the
    // hit, and the rate of its distance along the ray (mm: N·mm per newton).
    // Empty when the joint search did not find the hit.
    struct Drift {
        double theta = 0, p = 0, along = 0;
    };
    std::optional<Drift> drift() const { return drift_; }

    // Whether the slice contains M = 0 (its boundary included), and a point
    // inside it: the point at N of the segment between the states at N_min
    // and N_max, which every slice holds (the domain is convex).
    struct Origin {
        bool inside = false;
        bool degenerate = false;  // the slice is a single point (N at either end)
        Moment centre;
    };
    const Origin& origin();
    // That point inside the slice, without the test.
    Moment centre() const;

    // The point where the ray from c towards t meets the slice, projected
    // exactly onto the ray (c itself when the hit lies behind c).
    static Moment on_ray(const Hit& h, Moment c, Moment t);

    // The public state of a point found on the slice, with its bars.
    SectionState state(const Hit& h);

    // The points of the tabled paths at this N, each interpolated along its
    // chord (points of the domain, the domain being nearly convex); empty
    // when a path does not carry N. Computed once per N.
    using TabledPoints = std::array<Moment, SectionData::kTabledDirections>;
    const std::optional<TabledPoints>& tabled();

    const SectionData& section() const { return s_; }
    double N() const { return N_; }

private:
    double deviation(double theta, Moment c, Moment t, Hit& h);
    std::optional<PathStart> start_near(double theta) const;
    std::optional<Hit> joint_ray(Moment c, Moment t, double& guess);

    const SectionData& s_;
    double N_;
    Frame frame_;
    std::optional<Origin> origin_;
    std::optional<TabledPoints> tabled_;
    bool tabled_known_ = false;
    std::optional<Hit> last_;  // the last direction's point
    PathStart last_start_;     // and where the path's search ended there
    struct Seed {
        double theta = 0;
        PathStart start;
    };
    std::optional<Seed> seed_;  // a neighbouring slice's point, for ray_from
    std::optional<Drift> drift_;
    struct LastRay {
        Moment c, t;
        double theta = 0;
        PathStart start;
    };
    std::optional<LastRay> last_ray_;  // the last ray solved, which starts one near it
};

}  // namespace ferrolit::analysis::detail
