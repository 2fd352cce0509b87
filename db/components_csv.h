#pragma once
// Creating component databases: empty, or filled from a CSV file whose
// header names the columns of tblComps. Used by the build (the seed
// database) and by zolvant-cli create-db.

#include <array>
#include <string>
#include <vector>

#include "db/database.h"

namespace zolvant::db {

// The fields of tblComps, in their column order.
inline constexpr std::array<const char*, 9> kComponentFields{
    "Component", "MolWt", "CritTemp", "CritPress", "CritVol", "AcentricF", "K1", "K2", "K3"};

// The optional field of the CAS registry number, stored when the header names it.
inline constexpr const char* kCasField = "CAS";

// A CSV file that cannot be imported, with the number of the offending line
// (1 is the header; a record spanning lines is numbered by its first line).
class CsvLineError : public DbError {
public:
    CsvLineError(int line, const std::string& description) : DbError(kRefused, description), line_(line) {}
    int line() const { return line_; }
private:
    int line_;
};

// One record of a CSV text and the line it begins on.
struct CsvRecord {
    int line = 0;
    std::vector<std::string> cells;
};

// The records of a components CSV text, checked against tblComps: the
// header must name each field of kComponentFields once, in any order, and
// may name CAS; every record
// must have as many values as the header. `name` is how messages name the
// text (its file). Throws CsvLineError.
struct ComponentsCsv {
    std::vector<std::string> columns;  // the header's fields, spelled as in kComponentFields
    struct Record {
        int line = 0;                    // where the record begins
        std::vector<std::string> cells;  // one per column; "" is Null
    };
    std::vector<Record> records;         // the header excluded
};
ComponentsCsv readComponentsCsv(const std::string& text, const std::string& name);

namespace detail {
// RFC 4180 records: comma separated, "" inside quotes for a quote, a quoted
// cell may span lines; \n, \r\n or \r end a record. Blank lines are
// skipped. `name` is how messages name the text. Throws CsvLineError.
std::vector<CsvRecord> parseCsv(const std::string& text, const std::string& name);
std::string readFile(const std::string& path);  // throws DbError
// Stores the records in tblComps of an open component database (path names
// it in messages), one statement each. A refused record throws CsvLineError
// with its line; the caller's transaction decides what is kept.
void insertComponents(sqlite3* db, const ComponentsCsv& csv, const std::string& path, const std::string& csvPath);
}  // namespace detail

// A new, empty component database at path. Refuses an existing file
// (kAlreadyExists); never leaves a partial file. Throws DbError.
void createEmptyDatabase(const std::string& path);

// A new component database at path holding the records of the CSV file.
// The header must name each field of tblComps once, in any order; a record
// must have as many values as the header; an empty value is Null. Numbers are
// converted by the engine, as the editor's texts are.
// A bad line throws CsvLineError and nothing is written: the file at path
// appears only when every record was stored. Returns the number of records.
int createDatabaseFromCsv(const std::string& path, const std::string& csvPath);

}  // namespace zolvant::db
