#include "cli/output_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string_view>

namespace ferrolit::cli {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void cannot_write(const std::string& path, const std::string& reason) {
    throw std::runtime_error("impossibile scrivere " + path + ": " + reason);
}

// The reason of the last failed call, in Italian for the usual ones.
std::string system_reason() {
    switch (errno) {
        case ENOENT:
            return "la cartella non esiste";
        case EACCES:
        case EPERM:
            return "permesso negato";
        case ENOSPC:
        case EDQUOT:
            return "spazio esaurito";
        case EROFS:
            return "file system di sola lettura";
        case ENAMETOOLONG:
            return "nome troppo lungo";
        case ENOTDIR:
            return "una parte del percorso non è una cartella";
        default:
            return std::strerror(errno);
    }
}

// Why an existing target may not be replaced; empty when it is a regular
// file or does not exist. A symbolic link is refused, not followed: renaming
// over it would replace the link itself, and writing through it would put
// the file wherever the link points (planted links included).
std::string refusal_of(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? "" : system_reason();
    if (S_ISREG(st.st_mode)) return "";
    if (S_ISDIR(st.st_mode)) return "è una cartella";
    if (S_ISLNK(st.st_mode)) return "è un collegamento simbolico; indicare il file a cui punta";
    return "non è un file regolare (dispositivo, FIFO o socket): non viene sostituito";
}

// A name beside `path` that nobody uses: ".NAME.<random>.<suffix>" in the same folder.
std::string unique_name_beside(const std::string& path, std::string_view suffix) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const fs::path p(path);
    char hex[17];
    const std::uint64_t r = random();
    for (int i = 0; i < 16; ++i) hex[i] = "0123456789abcdef"[(r >> (4 * i)) & 15];
    hex[16] = '\0';
    const std::string name = "." + p.filename().string() + "." + hex + "." + std::string(suffix);
    return (p.parent_path() / name).string();
}

bool write_whole(int fd, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Creates a new file beside `path` exclusively (never an existing name, never
// through a link), writes and syncs it; its permissions are the target's
// when the target exists. Returns its name.
std::string write_temporary(const std::string& path, const std::string& contents) {
    struct stat target {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = unique_name_beside(path, "tmp");
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) cannot_write(path, system_reason());
        bool ok =
            (!exists || ::fchmod(fd, target.st_mode & 07777) == 0) && write_whole(fd, contents) && ::fsync(fd) == 0;
        const std::string reason = ok ? "" : system_reason();
        ok = ::close(fd) == 0 && ok;
        if (!ok) {
            ::unlink(name.c_str());
            cannot_write(path, reason.empty() ? system_reason() : reason);
        }
        return name;
    }
    cannot_write(path, "nessun nome temporaneo libero");
}

// A second name for the existing target, so that it can be put back; a hard
// link keeps the target in place meanwhile. Where the file system has no hard
// links the target is moved aside instead. Empty when there is no target.
std::string keep_aside(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return "";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = unique_name_beside(path, "old");
        if (::link(path.c_str(), name.c_str()) == 0) return name;
        if (errno == EEXIST) continue;
        if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK) cannot_write(path, system_reason());
        struct stat other {};
        if (::lstat(name.c_str(), &other) == 0) continue;  // rename would replace it
        if (::rename(path.c_str(), name.c_str()) == 0) return name;
        cannot_write(path, system_reason());
    }
    cannot_write(path, "nessun nome libero per la copia di riserva");
}

void sync_folder_of(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

struct Output {
    std::string path, temporary, aside;
    bool replaced = false;
};

// Puts every replaced target back as it was and removes every name this run created.
void undo(std::vector<Output>& outputs) {
    for (Output& o : outputs) {
        if (o.replaced) {
            if (!o.aside.empty())
                ::rename(o.aside.c_str(), o.path.c_str());
            else
                ::unlink(o.path.c_str());
        } else if (!o.aside.empty()) {
            struct stat st {};
            if (::lstat(o.path.c_str(), &st) == 0)
                ::unlink(o.aside.c_str());  // a hard link: the target is still in place
            else
                ::rename(o.aside.c_str(), o.path.c_str());
        }
        if (!o.temporary.empty() && !o.replaced) ::unlink(o.temporary.c_str());
    }
}

fs::path spelled(const std::string& p) {
    std::error_code ec;
    fs::path absolute = fs::absolute(p, ec);
    return (ec ? fs::path(p) : absolute).lexically_normal();
}

}  // namespace

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(spelled(a), ea), cb = fs::weakly_canonical(spelled(b), eb);
    if (!ea && !eb) return ca == cb;
    return spelled(a) == spelled(b);
}

void write_all_or_nothing(const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [path, contents] : files)
        if (const std::string reason = refusal_of(path); !reason.empty()) cannot_write(path, reason);
    std::vector<Output> outputs;
    outputs.reserve(files.size());
    try {
        for (const auto& [path, contents] : files) {
            outputs.push_back({path, "", "", false});
            outputs.back().temporary = write_temporary(path, contents);
        }
        for (Output& o : outputs) {
            if (const std::string reason = refusal_of(o.path); !reason.empty()) cannot_write(o.path, reason);
            o.aside = keep_aside(o.path);
            if (::rename(o.temporary.c_str(), o.path.c_str()) != 0) cannot_write(o.path, system_reason());
            o.replaced = true;
        }
    } catch (const std::runtime_error&) {
        undo(outputs);
        throw;
    }
    for (const Output& o : outputs) {
        if (!o.aside.empty()) ::unlink(o.aside.c_str());
        sync_folder_of(o.path);
    }
}

}  // namespace ferrolit::cli
