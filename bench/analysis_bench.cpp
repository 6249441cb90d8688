// Code-engine timings for the README's beam (300×500, 3f20 + 2f12, C25/30,
// B450C): one resisting moment at a given N, a closed N-M domain, the My-Mz
// contour, the exact biaxial utilisation, a cracked service state and the
// moment–curvature.

#include <benchmark/benchmark.h>

#include <ferrolit/analysis.hpp>
#include <ferrolit/moment_curvature.hpp>

#include "analysis/integrate.hpp"

namespace {

namespace fa = ferrolit::analysis;

const fa::Section& beam() {
    static const fa::Section s(
        {{{0, 0}, {300, 0}, {300, 500}, {0, 500}}, {}},
        {fa::bar_of_diameter(50, 40, 20), fa::bar_of_diameter(150, 40, 20), fa::bar_of_diameter(250, 40, 20),
         fa::bar_of_diameter(50, 460, 12), fa::bar_of_diameter(250, 460, 12)},
        fa::Concrete::of_class("C25/30"), fa::Steel::of_class("B450C"));
    return s;
}

std::uint64_t integrations() { return fa::detail::integrations_on_this_thread(); }

// Integrations (strain plane → forces) per call, or per point for a domain.
void count(benchmark::State& state, std::uint64_t before, std::size_t per_call = 1) {
    state.counters["integrations"] =
        static_cast<double>(integrations() - before) / static_cast<double>(state.iterations() * per_call);
}

void MRdAtGivenN(benchmark::State& state) {
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(beam().resisting_moment(0, 1, 0).ratio);
}

void DomainOf100Points(benchmark::State& state) {
    std::size_t points = 0;
    const std::uint64_t before = integrations();
    for ([[maybe_unused]] auto _ : state) points = beam().domain(fa::Axis::My, 100).points.size();
    state.counters["points"] = static_cast<double>(points);
    count(state, before, points);
}

// About Mz the beam's bars do not balance level by level: the general search.
void DomainOf100PointsAboutMz(benchmark::State& state) {
    std::size_t points = 0;
    const std::uint64_t before = integrations();
    for ([[maybe_unused]] auto _ : state) points = beam().domain(fa::Axis::Mz, 100).points.size();
    state.counters["points"] = static_cast<double>(points);
    count(state, before, points);
}

void ContourOf72Directions(benchmark::State& state) {
    std::size_t points = 0;
    for ([[maybe_unused]] auto _ : state) points = beam().contour(500, 72).points.size();
    state.counters["points"] = static_cast<double>(points);
}

void ExactBiaxialUtilisation(benchmark::State& state) {
    const std::uint64_t before = integrations();
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(beam().resisting_moment(500, 100, 50).ratio);
    count(state, before);
}

void BiaxialWithSimplifiedChecks(benchmark::State& state) {
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(beam().biaxial(500, 100, 50).ratio_en);
}

void CrackedServiceState(benchmark::State& state) {
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(beam().service(200, 100, 30).sigma_c_max);
}

// The curve of 100 points at N = 0 with the first yield, the conventional
// yield and the ultimate state; and the confined one of the same beam.
void MomentCurvatureOf100Points(benchmark::State& state) {
    const std::uint64_t before = integrations();
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(fa::moment_curvature(beam(), 0, {}).mu_phi);
    count(state, before);
}

void ConfinedMomentCurvatureOf100Points(benchmark::State& state) {
    const fa::CurvatureOptions confined{fa::Axis::My, fa::Stirrups{8, 100, 2, 2, 30}};
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(fa::moment_curvature(beam(), 0, confined).mu_phi);
}

BENCHMARK(MRdAtGivenN)->Unit(benchmark::kMicrosecond);
BENCHMARK(DomainOf100Points)->Unit(benchmark::kMicrosecond);
BENCHMARK(DomainOf100PointsAboutMz)->Unit(benchmark::kMicrosecond);
BENCHMARK(ContourOf72Directions)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExactBiaxialUtilisation)->Unit(benchmark::kMicrosecond);
BENCHMARK(BiaxialWithSimplifiedChecks)->Unit(benchmark::kMicrosecond);
BENCHMARK(CrackedServiceState)->Unit(benchmark::kMicrosecond);
BENCHMARK(MomentCurvatureOf100Points)->Unit(benchmark::kMicrosecond);
BENCHMARK(ConfinedMomentCurvatureOf100Points)->Unit(benchmark::kMicrosecond);

}  // namespace
