#include "cli/output_files.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace ferrolit::cli {

namespace {

namespace fs = std::filesystem;

std::string temporary_of(const std::string& path) { return path + ".tmp-ferrolit"; }
std::string backup_of(const std::string& path) { return path + ".bak-ferrolit"; }

[[noreturn]] void cannot_write(const std::string& path, const std::string& reason) {
    throw std::runtime_error("impossibile scrivere " + path + ": " + reason);
}

fs::path spelled(const std::string& p) {
    std::error_code ec;
    fs::path absolute = fs::absolute(p, ec);
    return (ec ? fs::path(p) : absolute).lexically_normal();
}

}  // namespace

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(a, ea), cb = fs::weakly_canonical(b, eb);
    if (!ea && !eb) return ca == cb;
    return spelled(a) == spelled(b);
}

void write_all_or_nothing(const std::vector<std::pair<std::string, std::string>>& files) {
    // A target that exists must be a file that can be replaced.
    for (const auto& [path, contents] : files) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(path, ec);
        if (!ec && fs::exists(st) && fs::is_directory(st)) cannot_write(path, "è una cartella");
    }
    std::size_t written = 0;
    auto drop_temporaries = [&] {
        std::error_code ec;
        for (std::size_t i = 0; i < written; ++i) fs::remove(temporary_of(files[i].first), ec);
    };
    for (const auto& [path, contents] : files) {
        std::ofstream out(temporary_of(path), std::ios::binary);
        out << contents;
        out.close();
        ++written;
        if (!out) {
            const std::string reason = std::strerror(errno);
            drop_temporaries();
            cannot_write(path, reason);
        }
    }
    // Replace the targets one by one; on a failure put back what was replaced.
    std::vector<bool> had_old(files.size(), false);
    std::size_t replaced = 0;
    auto undo = [&] {
        std::error_code ec;
        for (std::size_t i = replaced; i-- > 0;) {
            const std::string& path = files[i].first;
            fs::remove(path, ec);
            if (had_old[i]) fs::rename(backup_of(path), path, ec);
        }
        drop_temporaries();
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& path = files[i].first;
        std::error_code ec;
        if (fs::exists(fs::symlink_status(path, ec))) {
            fs::rename(path, backup_of(path), ec);
            if (ec) {
                undo();
                cannot_write(path, ec.message());
            }
            had_old[i] = true;
        }
        fs::rename(temporary_of(path), path, ec);
        if (ec) {
            if (had_old[i]) {
                std::error_code back;
                fs::rename(backup_of(path), path, back);
            }
            undo();
            cannot_write(path, ec.message());
        }
        ++replaced;
    }
    std::error_code ec;
    for (std::size_t i = 0; i < files.size(); ++i)
        if (had_old[i]) fs::remove(backup_of(files[i].first), ec);
}

}  // namespace ferrolit::cli
