#include "cli/output_files.hpp"

#include <cstdint>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string_view>

#include "cli/file_system.hpp"

namespace ferrolit::cli {

namespace files {

[[noreturn]] void cannot_write(const std::string& path, const std::string& reason) {
    throw std::runtime_error("impossibile scrivere " + path + ": " + reason);
}

std::string unique_name_beside(const std::string& path, std::string_view suffix) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const std::filesystem::path p = native_path(path);
    char hex[17];
    const std::uint64_t r = random();
    for (int i = 0; i < 16; ++i) hex[i] = "0123456789abcdef"[(r >> (4 * i)) & 15];
    hex[16] = '\0';
    const std::u8string name = u8"." + p.filename().u8string() + u8"." + std::u8string(hex, hex + 16) + u8"." +
                               std::u8string(suffix.begin(), suffix.end());
    const std::u8string beside = (p.parent_path() / name).u8string();
    return {beside.begin(), beside.end()};
}

}  // namespace files

namespace {

struct Output {
    std::string path, temporary, aside;
    bool replaced = false;
};

// Puts every replaced target back as it was and removes every name this run created.
void undo(std::vector<Output>& outputs) {
    for (Output& o : outputs) {
        if (o.replaced) {
            if (!o.aside.empty())
                files::move_over(o.aside, o.path);
            else
                files::remove_name(o.path);
        } else if (!o.aside.empty()) {
            if (files::exists(o.path))
                files::remove_name(o.aside);  // a hard link: the target is still in place
            else
                files::move_over(o.aside, o.path);
        }
        if (!o.temporary.empty() && !o.replaced) files::remove_name(o.temporary);
    }
}

}  // namespace

void write_all_or_nothing(const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [path, contents] : files)
        if (const std::string reason = files::refusal_of(path); !reason.empty()) files::cannot_write(path, reason);
    std::vector<Output> outputs;
    outputs.reserve(files.size());
    try {
        for (const auto& [path, contents] : files) {
            outputs.push_back({path, "", "", false});
            outputs.back().temporary = files::write_temporary(path, contents);
        }
        for (Output& o : outputs) {
            if (const std::string reason = files::refusal_of(o.path); !reason.empty())
                files::cannot_write(o.path, reason);
            o.aside = files::keep_aside(o.path);
            if (const std::string reason = files::move_over(o.temporary, o.path); !reason.empty())
                files::cannot_write(o.path, reason);
            o.replaced = true;
        }
    } catch (const std::runtime_error&) {
        undo(outputs);
        throw;
    }
    for (const Output& o : outputs) {
        if (!o.aside.empty()) files::remove_name(o.aside);
        files::sync_folder_of(o.path);
    }
}

}  // namespace ferrolit::cli
