// Growth of the code engine's work with the size of the section: polygons of
// 16 to 10 000 vertices (a circle of 600 mm with 8 bars) and 4 to 1000 bars
// (on a circle inside a 64-gon). Each case reports the integrations (strain
// plane → forces) per call, or per point for a domain.

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <optional>

#include <ferrolit/analysis.hpp>

#include "analysis/integrate.hpp"

namespace {

namespace fa = ferrolit::analysis;

// n points on a circle of radius r, the first at the top, so that the figure
// is symmetric about the vertical axis.
std::vector<fa::Point> circle(int n, double r) {
    std::vector<fa::Point> out;
    for (int i = 0; i < n; ++i) {
        const double a = std::numbers::pi / 2 + 2 * std::numbers::pi * i / n;
        out.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return out;
}

fa::Section round_section(int vertices, int bars) {
    std::vector<fa::Bar> placed;
    for (const fa::Point& p : circle(bars, 240)) placed.push_back(fa::bar_of_diameter(p.y, p.z, 16));
    return {{circle(vertices, 300), {}}, placed, fa::Concrete::of_class("C25/30"), fa::Steel::of_class("B450C")};
}

// The section of a case: its first argument vertices with 8 bars, or its
// first argument bars in a 64-gon. Empty, and the case skipped, beyond the
// engine's limits.
std::optional<fa::Section> case_section(benchmark::State& state, bool by_bars) {
    const int n = static_cast<int>(state.range(0));
    try {
        return by_bars ? round_section(64, n) : round_section(n, 8);
    } catch (const ferrolit::Error& e) {
        state.SkipWithError(e.what());
        return std::nullopt;
    }
}

std::uint64_t integrations() { return ferrolit::analysis::detail::integrations_on_this_thread(); }

void per_call(benchmark::State& state, std::uint64_t before, double calls) {
    state.counters["integrations"] = static_cast<double>(integrations() - before) / calls;
}

void MRd(benchmark::State& state, bool by_bars) {
    const std::optional<fa::Section> section = case_section(state, by_bars);
    if (!section) return;
    const fa::Section& s = *section;
    const double N = 0.2 * s.N_Rd_max();
    const std::uint64_t before = integrations();
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(s.resisting_moment(N, 1, 0.3).ratio);
    per_call(state, before, static_cast<double>(state.iterations()));
}

void Domain(benchmark::State& state, bool by_bars) {
    const std::optional<fa::Section> section = case_section(state, by_bars);
    if (!section) return;
    const fa::Section& s = *section;
    const std::uint64_t before = integrations();
    std::size_t points = 0;
    for ([[maybe_unused]] auto _ : state) points = s.domain(fa::Axis::My, 100).points.size();
    per_call(state, before, static_cast<double>(state.iterations() * points));
    state.counters["points"] = static_cast<double>(points);
}

void Construction(benchmark::State& state, bool by_bars) {
    if (!case_section(state, by_bars)) return;
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(case_section(state, by_bars)->area());
}

void MRdByVertices(benchmark::State& state) { MRd(state, false); }
void MRdByBars(benchmark::State& state) { MRd(state, true); }
void DomainByVertices(benchmark::State& state) { Domain(state, false); }
void DomainByBars(benchmark::State& state) { Domain(state, true); }
void ConstructionByVertices(benchmark::State& state) { Construction(state, false); }
void ConstructionByBars(benchmark::State& state) { Construction(state, true); }

void vertex_counts(benchmark::internal::Benchmark* b) {
    for (int n : {16, 64, 256, 1000, 4000, 10000}) b->Arg(n);
    b->Unit(benchmark::kMicrosecond);
}
void bar_counts(benchmark::internal::Benchmark* b) {
    for (int n : {4, 16, 64, 256, 1000}) b->Arg(n);
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(MRdByVertices)->Apply(vertex_counts);
BENCHMARK(MRdByBars)->Apply(bar_counts);
BENCHMARK(DomainByVertices)->Apply(vertex_counts);
BENCHMARK(DomainByBars)->Apply(bar_counts);
BENCHMARK(ConstructionByVertices)->Apply(vertex_counts);
BENCHMARK(ConstructionByBars)->Apply(bar_counts);

}  // namespace
