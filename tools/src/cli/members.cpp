#include "cli/members.hpp"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/output_files.hpp"
#include "common/local_date.hpp"
#include "common/report_numbers.hpp"
#include "ferrolit/members.hpp"
#include "ferrolit/version.h"
#include "record/members_record.hpp"

namespace ferrolit::cli {

namespace {

constexpr int kAllVerified = 0;
constexpr int kNotVerified = 1;
constexpr int kUnusableInput = 2;

std::string duration_text(double seconds) {
    const long s = std::lround(seconds);
    return s >= 60 ? std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s" : std::to_string(s) + " s";
}

// "membrature 120/10000, 35,2 al secondo, circa 4 min 40 s al termine", redrawn in place.
class ProgressLine {
public:
    void operator()(const MembersProgress& p) {
        const auto now = std::chrono::steady_clock::now();
        if (p.done < p.total && now - last_ < std::chrono::milliseconds(200)) return;
        last_ = now;
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        const double rate = elapsed > 0 ? static_cast<double>(p.done) / elapsed : 0;
        std::string line = "\rmembrature " + std::to_string(p.done) + "/" + std::to_string(p.total) + ", " +
                           decimal(rate, 1) + " al secondo";
        if (rate > 0 && p.done < p.total)
            line += ", circa " + duration_text(static_cast<double>(p.total - p.done) / rate) + " al termine";
        std::cerr << line << "    " << (p.done == p.total ? "\n" : "") << std::flush;
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now(), last_{};
};

std::string summary(const MembersResult& r) {
    std::ostringstream out;
    out << "ferrolit " << r.version << " — verifica delle membrature — " << r.members.size() << " membrature, "
        << r.checked << " coppie ascissa-combinazione\n";
    out << "ESITO: " << (r.verified ? "TUTTE LE MEMBRATURE VERIFICATE" : "MEMBRATURE NON VERIFICATE O IN ERRORE")
        << ", rapporto massimo " << ratio_text(r.max_ratio) << "\n\n";
    out << "  membratura      sezione         rapporto  esito            verifica determinante        combinazione    "
           "x (m)\n";
    char row[512];
    for (const MemberResult& m : r.members) {
        if (!m.error.empty()) {
            out << "  " << m.id << "  " << m.section << "  ERRORE: " << m.error << "\n";
            continue;
        }
        std::string check = "—", combination = "—", x = "—";
        if (m.governing) {
            const EnvelopeCheck& g = m.checks[*m.governing];
            check = g.check.id;
            combination = g.check.combination.value_or("—");
            if (g.x) x = decimal(*g.x, 2);
        }
        std::snprintf(row, sizeof row, "  %-15s %-15s %8s  %-16s %-28s %-15s %s\n", m.id.c_str(), m.section.c_str(),
                      ratio_text(m.max_ratio).c_str(), verdict(m.verified).c_str(), check.c_str(), combination.c_str(),
                      x.c_str());
        out << row;
    }
    for (const std::string& w : r.warnings) out << "avviso: " << w << "\n";
    return out.str();
}

std::string read_model(const std::string& file) {
    std::ostringstream text;
    if (file == "-") {
        text << std::cin.rdbuf();
        return text.str();
    }
    std::ifstream in(file, std::ios::binary);
    if (!in || std::filesystem::is_directory(file)) throw std::runtime_error("impossibile leggere " + file);
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int run_members(const MembersRunOptions& options) {
    MembersResult result;
    try {
        const std::string model = read_model(options.model);
        MembersOptions run;
        run.source = options.model;
        if (options.model != "-") run.base_directory = std::filesystem::path(options.model).parent_path().string();
        run.forces_file = options.forces;
        run.jobs = options.jobs;
        const bool show = !options.quiet && (options.progress || isatty(STDERR_FILENO));
        ProgressLine line;
        if (show) run.progress = [&line](const MembersProgress& p) { line(p); };
        result = verify_members(model, run);
    } catch (const Error& e) {
        std::cerr << options.model << ": " << e.what() << "\n";
        return kUnusableInput;
    } catch (const std::runtime_error& e) {
        std::cerr << "ferrolit: " << e.what() << "\n";
        return kUnusableInput;
    }
    std::vector<std::pair<std::string, std::string>> files;
    if (!options.csv.empty()) files.emplace_back(options.csv, members_csv(result));
    if (!options.html.empty())
        files.emplace_back(options.html, members_record(result, {FERROLIT_VERSION_STRING, local_date("%Y-%m-%d")}));
    try {
        write_all_or_nothing(files);
    } catch (const std::runtime_error& e) {
        std::cerr << "ferrolit: " << e.what() << "\n";
        return kUnusableInput;
    }
    std::cout << (options.json ? to_json(result) + "\n" : summary(result)) << std::flush;
    bool any_error = false;
    for (const MemberResult& m : result.members)
        if (!m.error.empty()) {
            any_error = true;
            std::cerr << options.model << ": membratura \"" << m.id << "\": " << m.error << "\n";
        }
    return any_error ? kUnusableInput : result.verified ? kAllVerified : kNotVerified;
}

}  // namespace ferrolit::cli
