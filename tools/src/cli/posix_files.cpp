// The POSIX side of writing result files (file_system.hpp).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/file_system.hpp"
#include "cli/output_files.hpp"

namespace ferrolit::cli {

namespace {

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

std::filesystem::path spelled(const std::string& p) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(p, ec);
    return (ec ? std::filesystem::path(p) : absolute).lexically_normal();
}

}  // namespace

namespace files {

// A symbolic link is refused, not followed: renaming over it would replace
// the link itself, and writing through it would put the file wherever the
// link points (planted links included).
std::string refusal_of(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? "" : system_reason();
    if (S_ISREG(st.st_mode)) return "";
    if (S_ISDIR(st.st_mode)) return "è una cartella";
    if (S_ISLNK(st.st_mode)) return "è un collegamento simbolico; indicare il file a cui punta";
    return "non è un file regolare (dispositivo, FIFO o socket): non viene sostituito";
}

// Never an existing name, never through a link; the permissions are the
// target's when the target exists.
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

// A hard link keeps the target in place meanwhile. Where the file system has
// no hard links the target is moved aside instead.
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

std::string move_over(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? "" : system_reason();
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void remove_name(const std::string& path) { ::unlink(path.c_str()); }

void sync_folder_of(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace files

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    std::error_code ea, eb;
    const std::filesystem::path ca = std::filesystem::weakly_canonical(spelled(a), ea),
                                cb = std::filesystem::weakly_canonical(spelled(b), eb);
    if (!ea && !eb) return ca == cb;
    return spelled(a) == spelled(b);
}

}  // namespace ferrolit::cli
