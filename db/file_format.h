#pragma once
// Telling a component database from an Access (Jet/ACE) file by its first
// bytes, before any engine reads it: an Access file is imported, never
// opened as a database.

#include <cstddef>
#include <cstdint>
#include <string>

namespace zolvant::db {

enum class FileFormat {
    Other,   // neither: left to the engine, which says what it is not
    Sqlite,
    Jet3,    // Access 97
    Jet4,    // Access 2000-2003
    Ace,     // Access 2007 and later (.accdb)
};

struct RecognizedFile {
    FileFormat format = FileFormat::Other;
    int version = 0;             // the Access version byte
    std::uintmax_t size = 0;
    std::size_t pageSize = 0;    // Access only
    bool cutShort = false;       // Access only: too short for its pages, or not whole pages
};

bool isAccess(FileFormat format);

// "Jet 3 (Access 97)", "Jet 4 (Access 2000-2003)", "ACE (Access 2007 or later)".
std::string formatName(FileFormat format);

RecognizedFile recognizeBytes(const unsigned char* data, std::size_t size);
// Reads the file's first page; a file that cannot be read is Other.
RecognizedFile recognizeFile(const std::string& path);

namespace detail {
// The opening path's recognition step: throws kAccessDatabase for an Access
// file (kEngine when it is cut short), does nothing for any other file.
void refuseAccessFile(const std::string& path);
}  // namespace detail

}  // namespace zolvant::db
