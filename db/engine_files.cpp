#include "db/engine.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zolvant::db::detail {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- files

void checkPathIsValid(const std::string& path) {
    if (path.empty()) throw DbError(kInvalidPath, "No path of a database file is given.");
    if (path.find('\0') != std::string::npos)
        throw DbError(kInvalidPath, "The path '" + path + "' is not a valid path.");
    const fs::path p(path);
    std::error_code ec;
    if (!p.has_filename() || fs::is_directory(p, ec))
        throw DbError(kInvalidPath, "The path '" + path + "' names a folder, not a database file.");
    const fs::path dir = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    if (!fs::is_directory(dir, ec))
        throw DbError(kInvalidPath,
                      "The path '" + path + "' is not valid: the folder '" + dir.string() + "' does not exist.");
}

std::string alreadyExists(const std::string& path) {
    return "The file '" + path + "' already exists: a new database is never written over a file.";
}

TempFileGuard::~TempFileGuard() {
    if (path.empty()) return;
    std::error_code ec;
    fs::remove(path, ec);
    fs::remove(path + "-journal", ec);
}

std::string createUniqueFile(const fs::path& dir, const std::string& stem) {
    std::random_device seed;
    std::mt19937_64 gen(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = dir / ("." + stem + "." + std::to_string(gen() % 1000000000ULL) + ".tmp");
#ifndef _WIN32
        const int fd = ::open(candidate.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate.string();
        }
        if (errno != EEXIST)
            throw DbError(kEngine, "Cannot create a file in the folder '" + dir.string() + "': " +
                                       std::strerror(errno) + ".");
#else
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate.string();
#endif
    }
    throw DbError(kEngine, "Cannot create a file in the folder '" + dir.string() + "'.");
}

void publish(const std::string& temp, const std::string& path) {
#ifndef _WIN32
    if (::link(temp.c_str(), path.c_str()) == 0) return;
    if (errno == EEXIST) throw DbError(kAlreadyExists, alreadyExists(path));
    // A file system without hard links: check, then rename.
#endif
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) throw DbError(kAlreadyExists, alreadyExists(path));
    fs::rename(temp, path, ec);
    if (ec) throw DbError(kEngine, "Cannot create the file '" + path + "': " + ec.message() + ".");
}

}  // namespace zolvant::db::detail
