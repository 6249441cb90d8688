// The Windows side of writing result files (file_system.hpp): wide-character
// calls, so that a UTF-8 name such as "Sezione à.html" is the file's name.

#include <windows.h>

#include <filesystem>

#include "cli/file_system.hpp"
#include "cli/output_files.hpp"

namespace ferrolit::cli {

namespace {

namespace fs = std::filesystem;

std::wstring wide(const std::string& utf8) { return files::native_path(utf8).wstring(); }

// The reason of the last failed call, in Italian for the usual ones.
std::string system_reason() {
    const DWORD code = GetLastError();
    switch (code) {
        case ERROR_PATH_NOT_FOUND:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            return "la cartella non esiste";
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "permesso negato o file in uso";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "spazio esaurito";
        case ERROR_WRITE_PROTECT:
            return "file system di sola lettura";
        case ERROR_FILENAME_EXCED_RANGE:
            return "nome troppo lungo";
        case ERROR_INVALID_NAME:
            return "nome non valido";
        default:
            return "errore di sistema " + std::to_string(code);
    }
}

bool write_whole(HANDLE file, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, contents.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

}  // namespace

namespace files {

// A reparse point (symbolic link, junction) is refused, not followed.
std::string refusal_of(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(native_path(path), ec);
    if (st.type() == fs::file_type::not_found) return "";
    if (ec) return "impossibile leggerne lo stato";
    if (st.type() == fs::file_type::regular) return "";
    if (st.type() == fs::file_type::directory) return "è una cartella";
    if (st.type() == fs::file_type::symlink) return "è un collegamento simbolico; indicare il file a cui punta";
    return "non è un file regolare: non viene sostituito";
}

std::string write_temporary(const std::string& path, const std::string& contents) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = unique_name_beside(path, "tmp");
        const HANDLE file =
            CreateFileW(wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) continue;
        if (file == INVALID_HANDLE_VALUE) cannot_write(path, system_reason());
        bool ok = write_whole(file, contents) && FlushFileBuffers(file);
        const std::string reason = ok ? "" : system_reason();
        ok = CloseHandle(file) && ok;
        if (!ok) {
            DeleteFileW(wide(name).c_str());
            cannot_write(path, reason.empty() ? system_reason() : reason);
        }
        return name;
    }
    cannot_write(path, "nessun nome temporaneo libero");
}

// A hard link keeps the target in place meanwhile; where the volume has none
// (FAT, network shares) the target is moved aside instead.
std::string keep_aside(const std::string& path) {
    if (!exists(path)) return "";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = unique_name_beside(path, "old");
        if (CreateHardLinkW(wide(name).c_str(), wide(path).c_str(), nullptr)) return name;
        if (GetLastError() == ERROR_ALREADY_EXISTS) continue;
        if (exists(name)) continue;
        if (MoveFileExW(wide(path).c_str(), wide(name).c_str(), MOVEFILE_WRITE_THROUGH)) return name;
        cannot_write(path, system_reason());
    }
    cannot_write(path, "nessun nome libero per la copia di riserva");
}

std::string move_over(const std::string& from, const std::string& to) {
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? ""
               : system_reason();
}

bool exists(const std::string& path) { return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void remove_name(const std::string& path) { DeleteFileW(wide(path).c_str()); }

// Each move was written through; a folder needs no separate sync on Windows.
void sync_folder_of(const std::string&) {}

}  // namespace files

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    const fs::path pa = files::native_path(a), pb = files::native_path(b);
    if (fs::exists(pa, ec) && fs::exists(pb, ec)) {
        const bool same = fs::equivalent(pa, pb, ec);
        if (!ec) return same;
    }
    const fs::path ca = fs::weakly_canonical(fs::absolute(pa, ec), ec),
                   cb = fs::weakly_canonical(fs::absolute(pb, ec), ec);
    return ca.lexically_normal() == cb.lexically_normal();
}

}  // namespace ferrolit::cli
