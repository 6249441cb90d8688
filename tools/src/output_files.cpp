#include "output_files.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace ferrolit::cli {

namespace {

std::string temporary_of(const std::string& path) { return path + ".tmp-ferrolit"; }

void remove_all(const std::vector<std::pair<std::string, std::string>>& files, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) std::remove(temporary_of(files[i].first).c_str());
}

}  // namespace

void write_all_or_nothing(const std::vector<std::pair<std::string, std::string>>& files) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& [path, contents] = files[i];
        std::ofstream out(temporary_of(path), std::ios::binary);
        out << contents;
        out.close();
        if (!out) {
            const std::string reason = std::strerror(errno);
            remove_all(files, i + 1);
            throw std::runtime_error("impossibile scrivere " + path + ": " + reason);
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& path = files[i].first;
        if (std::rename(temporary_of(path).c_str(), path.c_str()) != 0) {
            const std::string reason = std::strerror(errno);
            remove_all(files, files.size());
            throw std::runtime_error("impossibile scrivere " + path + ": " + reason);
        }
    }
}

}  // namespace ferrolit::cli
