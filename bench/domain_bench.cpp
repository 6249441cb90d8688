// Interaction-domain timings: the whole public call (sweep, search,
// publication) for the sections of the design examples. Each case reports
// its points and strip evaluations, and the time per strip evaluation.

#include <benchmark/benchmark.h>

#include <ferrolit/ferrolit.hpp>

#include "component/uls/domain_setup.hpp"
#include "component/uls/domain_sweep.hpp"
#include "support.hpp"

namespace {

using ferrolit::clsSezRett;
using ferrolit::clsSezT;

// The C25/30 and B450C design values, the resolution and Ned_x 200 kN.
void materials(ferrolit::component::Section& s, float resolution) {
    ferrolit::test::give_design_values(s);
    s.DeltaN(resolution);
    s.DeltaX(resolution);
    s.Ned_x(200);
}

// The bars of the section, the same in both directions.
void layers(ferrolit::component::Section& s, float base, float height, float below, float above) {
    ferrolit::test::shape_beam(s, base, height, below, above);
    s.As_infY(below);
    s.As_supY(above);
}

// Points and strip evaluations of one computation, counted by the sweep.
void count_work(benchmark::State& state, const ferrolit::component::Section& s, bool direction_y) {
    const auto setup = ferrolit::component::domain_setup(s, direction_y);
    ferrolit::detail::FpFaultScope fp;
    ferrolit::component::PointLists points;
    ferrolit::component::sweep(setup, ferrolit::component::boundaries(setup), points, fp);
    state.counters["points"] = static_cast<double>(points.count());
    state.counters["strips"] = static_cast<double>(points.strips);
    // seconds per strip evaluation, shown with an SI prefix (n = ns)
    state.counters["time_per_strip"] =
        benchmark::Counter(static_cast<double>(points.strips),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <class S>
void run(benchmark::State& state, S& s, const std::string& dir) {
    bool ok = false;
    std::string msg;
    for ([[maybe_unused]] auto _ : state) {
        if constexpr (std::is_same_v<S, clsSezT>)
            s.CalcolaNMDominioSezT(dir, ok, msg);
        else
            s.CalcolaNMDominioSezRett(dir, ok, msg);
        benchmark::DoNotOptimize(ok);
    }
    if (!ok) state.SkipWithError(msg.c_str());
    count_work(state, s, dir == "Y");
}

void Beam300x500(benchmark::State& state, const std::string& dir, float resolution) {
    clsSezRett s;
    layers(s, 300, 500, 942, 226);
    materials(s, resolution);
    run(state, s, dir);
}

void DeepBeam800x1500(benchmark::State& state, const std::string& dir) {
    clsSezRett s;
    layers(s, 800, 1500, 3927, 1571);
    materials(s, 1);
    run(state, s, dir);
}

void Tee800x600(benchmark::State& state, const std::string& dir) {
    clsSezT s;
    layers(s, 800, 600, 1257, 402);
    s.BaseInf(300);
    s.SpessoreT(150);
    materials(s, 1);
    run(state, s, dir);
}

BENCHMARK_CAPTURE(Beam300x500, Y_1mm, "Y", 1.0f)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Beam300x500, Z_1mm, "Z", 1.0f)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Beam300x500, Y_0_5mm, "Y", 0.5f)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Beam300x500, Z_0_5mm, "Z", 0.5f)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DeepBeam800x1500, Y_1mm, "Y")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Tee800x600, Y_1mm, "Y")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Tee800x600, Z_1mm, "Z")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
