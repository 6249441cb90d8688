// Timings of the verification: one section with ten combinations (five
// ultimate, two characteristic, two frequent, one quasi-permanent), alone
// and through its JSON, and a building of 10 000 such sections as JSON Lines
// on two threads, read, verified and written back as JSON Lines.

#include <benchmark/benchmark.h>

#include <ferrolit/verify.hpp>
#include <random>
#include <string>

namespace {

// One section of the building: beams and columns, rectangles and T, bars
// given, ten combinations drawn at random.
std::string section_line(std::mt19937& random, int index) {
    auto pick = [&](std::initializer_list<const char*> options) {
        return *(options.begin() + std::uniform_int_distribution<std::size_t>(0, options.size() - 1)(random));
    };
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
    const bool column = index % 3 == 0, tee = index % 5 == 0;
    std::string s = std::string("{\"TipoSezione\": \"") + (column ? "Pilastro" : "Trave") +
                    "\", \"DescrSezione\": \"S" + std::to_string(index) + "\", ";
    s += tee ? "\"Base\": 800, \"BaseInf\": 300, \"SpessoreT\": 150, "
             : "\"Base\": " + std::string(pick({"300", "400"})) + ", ";
    s += "\"Altezza\": " + std::string(pick({"500", "600", "700"})) +
         ", \"Copriferro_Inf\": 40, \"Copriferro_Sup\": 40, \"ClasseCls\": \"" + pick({"C25/30", "C28/35", "C32/40"}) +
         "\", \"ClasseAcciaio\": \"B450C\", \"stringaAs_inf\": \"" + pick({"3f16", "4f18", "3f20", "5f20"}) +
         "\", \"stringaAs_sup\": \"" + pick({"2f12", "3f16", "4f16"}) +
         "\", \"fStaffe\": 8, \"nBracciaStaffe\": 2, \"passoStaffe\": " + pick({"100", "150", "200"}) +
         ", \"combinazioni\": [";
    for (int k = 0; k < 5; ++k)
        s += "{\"nome\": \"U" + std::to_string(k) +
             "\", \"tipo\": \"SLU\", \"N\": " + std::to_string(uniform(-50, column ? 800 : 50)) +
             ", \"My\": " + std::to_string(uniform(-150, 150)) +
             ", \"Mz\": " + std::to_string(column ? uniform(-20, 20) : 0.0) +
             ", \"Vy\": " + std::to_string(uniform(0, 30)) + ", \"Vz\": " + std::to_string(uniform(0, 120)) + "}, ";
    const char* service[] = {"SLE rara", "SLE rara", "SLE frequente", "SLE frequente", "SLE quasi permanente"};
    for (int k = 0; k < 5; ++k)
        s += "{\"nome\": \"E" + std::to_string(k) + "\", \"tipo\": \"" + service[k] +
             "\", \"N\": " + std::to_string(uniform(0, column ? 500 : 20)) +
             ", \"My\": " + std::to_string(uniform(-80, 80)) + "}" + (k < 4 ? ", " : "");
    return s + "]}";
}

const std::string& building() {
    static const std::string text = [] {
        std::mt19937 random(1);
        std::string t;
        for (int i = 0; i < 10000; ++i) t += section_line(random, i) + "\n";
        return t;
    }();
    return text;
}

const std::string& one_section() {
    static const std::string text = [] {
        std::mt19937 random(7);
        return section_line(random, 1);
    }();
    return text;
}

void VerifyOneSection(benchmark::State& state) {
    const ferrolit::VerificationInput in = ferrolit::read_verification_input(one_section());
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(ferrolit::verify(in).max_ratio);
}

void ReadOneSection(benchmark::State& state) {
    for ([[maybe_unused]] auto _ : state)
        benchmark::DoNotOptimize(ferrolit::read_verification_input(one_section()).combinations.size());
}

void WriteOneResult(benchmark::State& state) {
    const ferrolit::VerificationResult r = ferrolit::verify(ferrolit::read_verification_input(one_section()));
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(ferrolit::to_json(r, -1).size());
}

void VerifyOneSectionJson(benchmark::State& state) {
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(ferrolit::verify_json(one_section()).size());
}

// The target: 10 000 sections × 10 combinations within 10 s on two cores.
void Building10000Sections(benchmark::State& state) {
    const std::string& text = building();
    std::size_t bytes = 0;
    for ([[maybe_unused]] auto _ : state) {
        ferrolit::BatchOptions options{"edificio.jsonl", 2, false, [](const ferrolit::VerificationResult& r, int) {
                                           return ferrolit::to_json(r, -1);
                                       }};
        ferrolit::verify_lines(text, options, [&](ferrolit::BatchItem&& item) { bytes += item.rendered.size(); });
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 10000);
    state.counters["MB_out"] = static_cast<double>(bytes) / 1e6 / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(VerifyOneSection)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadOneSection)->Unit(benchmark::kMicrosecond);
BENCHMARK(WriteOneResult)->Unit(benchmark::kMicrosecond);
BENCHMARK(VerifyOneSectionJson)->Unit(benchmark::kMicrosecond);
BENCHMARK(Building10000Sections)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
