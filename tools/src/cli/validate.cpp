#include "cli/validate.hpp"

#include <fstream>
#include <iostream>

#include "cli/capped_input.hpp"
#include "cli/file_system.hpp"
#include "cli/output_files.hpp"
#include "common/local_date.hpp"
#include "ferrolit/error.hpp"
#include "record/report_parts.hpp"
#include "validate/validation.hpp"

namespace ferrolit::cli {

namespace {

// A validation set is a few hand calculations, far below this.
constexpr std::size_t kMostSetBytes = std::size_t{16} << 20;

std::string read_set(const std::string& file) {
    if (file.empty()) return kBuiltInValidationSet;
    if (file == "-") return read_capped(std::cin, kMostSetBytes);
    std::ifstream in(files::native_path(file), std::ios::binary);
    if (!in) throw Error(ErrorKind::InvalidOperation, "impossibile leggere " + file);
    return read_capped(in, kMostSetBytes);
}

}  // namespace

int run_validate(const ValidateOptions& options) {
    ValidationReport report;
    try {
        report = run_validation(read_set(options.set));
        if (!options.html.empty())
            write_all_or_nothing({{options.html, validation_record(report, local_date("%Y-%m-%d"))}});
    } catch (const std::exception& e) {  // ferrolit::Error, a file not written, std::bad_alloc
        std::cerr << "ferrolit validate: " << e.what() << "\n";
        return 2;
    }
    std::cout << validation_text(report) << std::flush;
    for (const ValidationCase& c : report.cases)
        if (!c.error.empty()) std::cerr << "ferrolit validate: caso " << c.id << ": " << c.error << "\n";
    return report.any_error ? 2 : report.agrees ? 0 : 1;
}

}  // namespace ferrolit::cli
