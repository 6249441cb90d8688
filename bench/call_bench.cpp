// The cost of a short public call: Vrsd through C++ and through the C
// interface, and the floating-point environment that every public call sets
// up and puts back, alone.

#include <benchmark/benchmark.h>

#include <ferrolit/ferrolit.h>
#include <ferrolit/ferrolit.hpp>

#include "core/numeric.hpp"
#include "support.hpp"

namespace {

// The worked beam of the shear checks: two-leg ø8 at 200, B450C.
void shear_beam(ferrolit::component::Section& s) {
    ferrolit::test::shape_beam(s);
    ferrolit::test::give_design_values(s);
    s.H_Utile(460), s.fStaffe(8), s.nBracciaStaffe(2), s.passoStaffe(200), s.AlfaStaffe(90), s.tetaBielle(45);
}

void VrsdCpp(benchmark::State& state) {
    ferrolit::clsSezRett s;
    shear_beam(s);
    const std::string z = "Z";
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(s.Vrsd(z));
}

void VrsdC(benchmark::State& state) {
    ferrolit_object* handle = nullptr;
    ferrolit_create("clsSezRett", &handle);
    ferrolit::clsSezRett s;
    shear_beam(s);
    const float values[] = {s.Base(),        s.Altezza(),    s.H_Utile(),   s.fyd(),
                            s.passoStaffe(), s.AlfaStaffe(), s.tetaBielle()};
    const char* names[] = {"Base", "Altezza", "H_Utile", "fyd", "passoStaffe", "AlfaStaffe", "tetaBielle"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const ferrolit_value v = ferrolit_single(values[i]);
        ferrolit_let(handle, names[i], &v);
    }
    ferrolit_value direction = ferrolit_string("Z");
    ferrolit_value result = FERROLIT_VALUE_EMPTY;
    for ([[maybe_unused]] auto _ : state) {
        ferrolit_get(handle, "Vrsd", &direction, 1, &result);
        benchmark::DoNotOptimize(result.u.single);
    }
    ferrolit_release(handle);
}

void FloatingPointEnvironment(benchmark::State& state) {
    for ([[maybe_unused]] auto _ : state) {
        const ferrolit::detail::LibraryFpEnvironment environment;
        benchmark::ClobberMemory();
    }
}

BENCHMARK(VrsdCpp)->Unit(benchmark::kNanosecond);
BENCHMARK(VrsdC)->Unit(benchmark::kNanosecond);
BENCHMARK(FloatingPointEnvironment)->Unit(benchmark::kNanosecond);

}  // namespace
