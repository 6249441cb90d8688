#include "cli/analyse.hpp"

#include <fstream>
#include <iostream>

#include "cli/capped_input.hpp"
#include "cli/file_system.hpp"
#include "ferrolit/analysis.hpp"

namespace ferrolit::cli {

namespace {

// Largest input read: one byte past it is enough for the library to refuse the text.
constexpr std::size_t kMostInputBytes = std::size_t{16} << 20;

}  // namespace

int run_analyse(const std::string& file) {
    try {
        std::string text;
        if (file.empty() || file == "-") {
            text = read_capped(std::cin, kMostInputBytes);
        } else {
            std::ifstream in(files::native_path(file), std::ios::binary);
            if (!in)
                throw ferrolit::Error(ErrorKind::InvalidOperation, "\"" + file + "\": impossibile leggere il file");
            text = read_capped(in, kMostInputBytes);
        }
        std::cout << analysis::analyse_json(text) << std::flush;
        return 0;
    } catch (const std::exception& e) {  // ferrolit::Error, std::bad_alloc
        std::cerr << "ferrolit analyse: " << e.what() << "\n";
        return 2;
    }
}

}  // namespace ferrolit::cli
