#pragma once
// Reading Access (Jet 3, Jet 4, ACE) files through libmdb. Values come from
// the row bytes, never through the library's text conversions: numbers
// exactly, text decoded from UTF-16 (Jet 4, ACE) or the file's code page
// (Jet 3). Every failure is a DbError whose description says what is wrong
// and what to do; the library's own diagnostics never reach the terminal.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/file_format.h"

namespace zolvant::db {

struct AccessColumn {
    std::string name;
    int type = 0;           // Jet's column type code
    std::string typeName;   // as Access names it: "Text", "Double", "Long Integer", ...
};

// A table's rows in the file's order. Text and Memo give text; Byte, Integer,
// Long Integer, Currency, Single, Double and Date/Time give numbers (a Date/Time
// as Access's day count), Yes/No gives 0 or 1; other types give Null.
struct AccessTableData {
    std::vector<AccessColumn> columns;
    std::vector<std::vector<FieldValue>> rows;
};

struct AccessTableEntry {
    std::string name;
    int kind = 0;   // 1 local, 4 linked through ODBC, 6 linked to another Access file
};

class AccessFile {
public:
    // Opens an Access file read-only (the file is never written). Throws
    // DbError: not an Access file, damaged, encrypted.
    static std::unique_ptr<AccessFile> open(const std::string& path);
    // The same over bytes in memory; name is how messages call them.
    static std::unique_ptr<AccessFile> openBytes(std::string bytes, const std::string& name);
    ~AccessFile();
    AccessFile(const AccessFile&) = delete;
    AccessFile& operator=(const AccessFile&) = delete;

    FileFormat format() const;
    const std::string& name() const;
    // The user's tables, local and linked, in the catalog's order.
    const std::vector<AccessTableEntry>& tables() const;
    // The table of that name (compared without regard to ASCII case), or null.
    const AccessTableEntry* findTable(const std::string& tableName) const;
    // The file a linked table's data lives in ("" when the catalog does not say).
    std::string linkedFile(const std::string& tableName);
    std::vector<AccessColumn> columns(const std::string& tableName);
    AccessTableData readTable(const std::string& tableName);
    // Only the columns whose flag is set are decoded; the others stay Null.
    AccessTableData readTable(const std::string& tableName, const std::vector<bool>& wanted);

    // What the library wrote to standard output and error while working (never shown).
    const std::string& diagnostics() const;

private:
    AccessFile();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The records of tblComps with its nine fields found by name; records in the
// file's order, fields in kComponentFields order.
struct AccessComponents {
    FileFormat format = FileFormat::Other;
    std::vector<std::array<FieldValue, 9>> records;
    std::vector<std::string> leftOutColumns;   // further columns, as the file names them
};

// Refuses (DbError) a file without a usable tblComps: missing (the sentence
// lists the tables there are), linked (naming the file holding its data),
// a field missing or of a type that cannot be taken exactly.
AccessComponents readAccessComponents(AccessFile& file);
AccessComponents readAccessComponents(const std::string& path);

// The double a Single is taken as: the shortest decimal that reads back as
// the same single, then the double nearest that decimal (the number Access
// showed), or the widened single where that would not read back.
double singleAsDouble(float value);

}  // namespace zolvant::db
