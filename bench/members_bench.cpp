// A building's worth of checks: 10 000 members × 5 stations × 20 combinations
// (10⁶ section-and-combination checks) through verify_members, the forces
// streamed from a CSV file, and the same checks as a verify JSON Lines batch
// (one line per member and station, its 20 combinations). Prints the wall
// time and the checks per second of each, the time of the members' CSV, and
// the peak resident memory.
//   ferrolit_members_bench [members] [jobs]

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "ferrolit/members.hpp"

namespace {

constexpr int kStations = 5, kCombinations = 20;
const char* const kKinds[] = {"SLU",
                              "SLU",
                              "SLU",
                              "SLU",
                              "SLU",
                              "SLU",
                              "SLU",
                              "SLU",
                              "SLU",
                              "SLU",
                              "SLU",
                              "SLU",
                              "SLU",
                              "SLU",
                              "SLE rara",
                              "SLE rara",
                              "SLE frequente",
                              "SLE frequente",
                              "SLE quasi permanente",
                              "SLE quasi permanente"};
const std::string kSection = R"({"Base": 300, "Altezza": 500, "Copriferro_Inf": 60, "Copriferro_Sup": 60,
 "ClasseCls": "C28/35", "ClasseAcciaio": "B450C", "stringaAs_inf": "3f20", "stringaAs_sup": "2f16",
 "fStaffe": 8, "nBracciaStaffe": 2, "passoStaffe": 200)";

// The forces of member m at station s in combination c: a simply supported beam, scaled per member.
struct Forces {
    double x, My, Vz;
};
Forces forces(int m, int s, int c) {
    const double x = 5.0 * s / (kStations - 1), scale = (0.5 + (m % 10) * 0.05) * (1 - 0.02 * c);
    return {x, scale * 100 * x * (5 - x) / 6.25, scale * 80 * (1 - 2 * x / 5)};
}

// Processor time of the whole process so far (every thread), s: on a shared machine wall time lies.
double cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

double seconds_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int members = argc > 1 ? std::stoi(argv[1]) : 10000;
    const int jobs = argc > 2 ? std::stoi(argv[2]) : 0;
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    const std::string csv_path = (dir / "ferrolit_members_bench.csv").string();
    std::string model = R"({"sezioni": {"T": )" + kSection + R"(}}, "membrature": [)";
    for (int m = 0; m < members; ++m)
        model += (m ? "," : "") + std::string(R"({"id": "M)") + std::to_string(m) + R"(", "sezione": "T"})";
    model += R"(], "combinazioni": {)";
    for (int c = 0; c < kCombinations; ++c)
        model += (c ? "," : "") + std::string("\"C") + std::to_string(c) + "\": \"" + kKinds[c] + "\"";
    model += R"(}, "sollecitazioni": ")" + csv_path + "\"}";
    {
        std::ofstream csv(csv_path);
        csv << "membratura;ascissa;combinazione;N;Vy;Vz;T;My;Mz\n";
        for (int m = 0; m < members; ++m)
            for (int s = 0; s < kStations; ++s)
                for (int c = 0; c < kCombinations; ++c) {
                    const Forces f = forces(m, s, c);
                    csv << 'M' << m << ';' << f.x << ";C" << c << ";0;0;" << f.Vz << ";0;" << f.My << ";0\n";
                }
    }
    const double checks = static_cast<double>(members) * kStations * kCombinations;
    ferrolit::MembersOptions options;
    options.jobs = jobs;
    double cpu = cpu_seconds();
    auto start = std::chrono::steady_clock::now();
    const ferrolit::MembersResult r = ferrolit::verify_members(model, options);
    const double t_members = seconds_since(start), cpu_members = cpu_seconds() - cpu;
    std::size_t errors = 0;
    for (const auto& m : r.members) errors += m.error.empty() ? 0 : 1;
    std::printf(
        "members:     %d members x %d stations x %d combinations = %.0f checks in %.2f s: %.0f checks/s "
        "(%zu members in error); processor time %.2f s: %.0f checks per processor second\n",
        members, kStations, kCombinations, checks, t_members, checks / t_members, errors, cpu_members,
        checks / cpu_members);
    cpu = cpu_seconds();
    const std::string csv = ferrolit::members_csv(r);
    std::printf("members CSV: %.1f MiB (one row per member and check) in %.3f s of processor time\n",
                static_cast<double>(csv.size()) / (1 << 20), cpu_seconds() - cpu);
    std::string lines;
    for (int m = 0; m < members; ++m)
        for (int s = 0; s < kStations; ++s) {
            std::string line = kSection + R"(, "combinazioni": [)";
            std::replace(line.begin(), line.end(), '\n', ' ');
            for (int c = 0; c < kCombinations; ++c) {
                const Forces f = forces(m, s, c);
                line += (c ? "," : "") + std::string(R"({"nome": "C)") + std::to_string(c) + R"(", "tipo": ")" +
                        kKinds[c] + R"(", "My": )" + std::to_string(f.My) + R"(, "Vz": )" + std::to_string(f.Vz) + "}";
            }
            lines += line + "]}\n";
        }
    ferrolit::BatchOptions batch;
    batch.jobs = jobs;
    std::size_t results = 0;
    cpu = cpu_seconds();
    start = std::chrono::steady_clock::now();
    std::string first_error;
    ferrolit::verify_lines(lines, batch, [&](ferrolit::BatchItem&& item) {
        results += item.result ? 1 : 0;
        if (!item.result && first_error.empty()) first_error = item.error;
    });
    if (!first_error.empty()) std::printf("first error: %s\n", first_error.c_str());
    const double t_lines = seconds_since(start), cpu_lines = cpu_seconds() - cpu;
    std::printf(
        "verify batch: %zu JSON lines (one per member and station) = %.0f checks in %.2f s: %.0f checks/s; "
        "processor time %.2f s: %.0f checks per processor second\n",
        results, checks, t_lines, checks / t_lines, cpu_lines, checks / cpu_lines);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory %.0f MiB (the batch text alone is %.0f MiB)\n", usage.ru_maxrss / 1024.0,
                static_cast<double>(lines.size()) / (1 << 20));
    std::filesystem::remove(csv_path);
    return errors == 0 ? 0 : 1;
}
