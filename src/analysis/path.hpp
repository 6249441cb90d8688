#pragma once

// The ultimate strain planes of one direction, along one parameter p that
// runs from pure tension to uniform compression (NTC 2018 §4.1.2.3.4.1):
//   p in [0, 1]  pivot A: the most tensioned bar at −eps_ud, the compressed
//                edge from −eps_ud to eps_cu (only with a ductility limit);
//   p in [1, 2]  pivot B: the compressed edge at eps_cu, the neutral-axis
//                depth from where the bar reaches −eps_ud (from 0+ without
//                limit) to h;
//   p in [2, 3]  pivot C: the fibre at depth (1 − eps_c2/eps_cu)·h held at
//                eps_c2 (eps_c3 for the bilinear law), the opposite edge
//                from 0 to eps_c2: uniform compression at p = 3.
// Strains grow at every fibre as p grows, so N is monotonic along the path.
// Without ductility limit the path starts at p = 1 with all steel yielded in
// tension (represented by the uniform strain −eps_yd).

#include "analysis/integrate.hpp"

namespace ferrolit::analysis::detail {

// eps(u) = eps_top − kappa·(u_top − u), kappa ≥ 0.
struct Plane1D {
    double eps_top = 0, kappa = 0;
};

Plane1D path_plane(const SectionData& s, const Frame& f, double p);

// The forces of the path's plane at p and their rates with p and with the
// direction θ (the frame turning under the section, the path's depths h and
// d with it): one integration. N in newtons, moments about the section's axes.
struct PathForces {
    Plane1D plane;
    Forces F;
    double N_p = 0, My_p = 0, Mz_p = 0;
    double N_theta = 0, My_theta = 0, Mz_theta = 0;
};
PathForces path_forces(const SectionData& s, const Frame& f, double p);

// The parameter whose plane carries N (newtons), clamped to the path's ends.
double path_at_N(const SectionData& s, Frame& f, double N);

// The same with the plane's forces, integrated once. A start (a parameter and
// the growth dN/dp near it, from a nearby direction) replaces the search
// over the path's regions by safeguarded Newton steps from there.
struct PathSolution {
    double p = 0;
    Plane1D plane;
    Forces F;
    double slope = 0;  // dN/dp there (0 on the flat start of pivot A)
};
struct PathStart {
    double p = 0, slope = 0;
};
// `accuracy` is that of N, as a share of its range.
PathSolution solve_at_N(const SectionData& s, Frame& f, double N, const PathStart* start = nullptr,
                        double accuracy = 1e-12);

// A point of the ultimate path with its forces: N (newtons) and the moments
// in the section's axes (N·mm), with what the public state needs of its frame.
struct PathPoint {
    double theta = 0;  // radians
    Plane1D plane;
    double N = 0, My = 0, Mz = 0;
    double u_top = 0, u_bottom = 0;
};
PathPoint path_point(const Frame& f, Plane1D plane, const Forces& F);

// The state of a plane of a frame, in the public form.
SectionState state_of(const SectionData& s, const Frame& f, Plane1D plane);
// The same from forces already integrated, without the bars' states.
SectionState state_without_bars(const SectionData& s, const PathPoint& p);
// Appends the bars' states of a plane of a frame.
void add_bars(const SectionData& s, const Frame& f, Plane1D plane, SectionState& st);

}  // namespace ferrolit::analysis::detail
