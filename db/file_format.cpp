#include "db/file_format.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "db/database.h"

namespace zolvant::db {

namespace {

// Page 0 of an Access file: a 4-byte page tag, the engine's name, then the
// version byte at 0x14.
constexpr unsigned char kAccessTag[4] = {0x00, 0x01, 0x00, 0x00};
constexpr char kJetName[] = "Standard Jet DB";
constexpr char kAceName[] = "Standard ACE DB";
constexpr std::size_t kVersionOffset = 0x14;
constexpr char kSqliteMagic[] = "SQLite format 3";  // with its NUL: 16 bytes

bool startsWith(const unsigned char* data, std::size_t size, const void* what, std::size_t n, std::size_t at = 0) {
    return size >= at + n && std::memcmp(data + at, what, n) == 0;
}

}  // namespace

bool isAccess(FileFormat format) {
    return format == FileFormat::Jet3 || format == FileFormat::Jet4 || format == FileFormat::Ace;
}

std::string formatName(FileFormat format) {
    switch (format) {
    case FileFormat::Jet3: return "Jet 3 (Access 97)";
    case FileFormat::Jet4: return "Jet 4 (Access 2000-2003)";
    case FileFormat::Ace: return "ACE (Access 2007 or later)";
    case FileFormat::Sqlite: return "SQLite";
    case FileFormat::Other: break;
    }
    return "unknown";
}

RecognizedFile recognizeBytes(const unsigned char* data, std::size_t size) {
    RecognizedFile r;
    r.size = size;
    if (startsWith(data, size, kSqliteMagic, sizeof kSqliteMagic)) {
        r.format = FileFormat::Sqlite;
        return r;
    }
    if (!startsWith(data, size, kAccessTag, sizeof kAccessTag)) return r;
    const bool jet = startsWith(data, size, kJetName, sizeof kJetName, 4);
    const bool ace = startsWith(data, size, kAceName, sizeof kAceName, 4);
    if (!jet && !ace) return r;
    // The version byte decides: 0 is Jet 3, 1 Jet 4, 2 and above ACE. A file
    // ending before it is still an Access file, cut short.
    if (size <= kVersionOffset) {
        r.format = ace ? FileFormat::Ace : FileFormat::Jet4;
        r.cutShort = true;
        r.pageSize = 4096;
        return r;
    }
    r.version = data[kVersionOffset];
    r.format = r.version == 0 ? FileFormat::Jet3 : (r.version == 1 ? FileFormat::Jet4 : FileFormat::Ace);
    r.pageSize = r.format == FileFormat::Jet3 ? 2048 : 4096;
    // The header page, the page-usage map and the catalog's definition come
    // first; a file ends with a whole page.
    r.cutShort = size < 3 * r.pageSize || size % r.pageSize != 0;
    return r;
}

RecognizedFile recognizeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::vector<unsigned char> head(64);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return {};
    RecognizedFile r = recognizeBytes(head.data(), head.size());
    if (isAccess(r.format)) {
        // Judge the length by the whole file, not by the bytes read here.
        r.size = size;
        if (head.size() > kVersionOffset)
            r.cutShort = size < 3 * r.pageSize || size % r.pageSize != 0;
    } else {
        r.size = size;
    }
    return r;
}

void detail::refuseAccessFile(const std::string& path) {
    const RecognizedFile r = recognizeFile(path);
    if (!isAccess(r.format)) return;
    if (r.cutShort)
        throw DbError(kEngine, "The file '" + path + "' is an Access database (" + formatName(r.format) +
                                   ") that is damaged: it is cut short.");
    throw DbError(kAccessDatabase, "The file '" + path + "' is an Access database (" + formatName(r.format) +
                                       "), not a Zolvant component database: import its components into a new "
                                       "Zolvant database first (zolvant-cli import-mdb).");
}

}  // namespace zolvant::db
