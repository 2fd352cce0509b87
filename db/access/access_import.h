#pragma once
// Importing the components of an Access file into a new component database.
// The Access file is only read; the new file appears whole or not at all.

#include <cstddef>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/file_format.h"

namespace zolvant::db {

struct AccessImportOptions {
    // Records without a Component name are stored as "(unnamed N)", N being
    // the record's position in the Access table; otherwise they stop the import.
    bool nameUnnamed = false;
};

struct AccessImportResult {
    int count = 0;                              // records stored, all of them
    FileFormat format = FileFormat::Other;
    std::vector<std::string> leftOutColumns;    // columns of tblComps not imported
    std::vector<std::size_t> namedRecords;      // positions (from 1) given "(unnamed N)"
};

// Records whose Component is Null or empty: their positions (from 1); the
// description names them with their other fields. Nothing was written.
class UnnamedRecordsError : public DbError {
public:
    UnnamedRecordsError(std::vector<std::size_t> positions, const std::string& description)
        : DbError(kRefused, description), positions_(std::move(positions)) {}
    const std::vector<std::size_t>& positions() const { return positions_; }
private:
    std::vector<std::size_t> positions_;
};

// The name an unnamed record at that position gets: "(unnamed 3)".
std::string unnamedComponentName(std::size_t position);

// Reads tblComps of the Access file and writes every record, in the file's
// order, into a new component database at newPath (never over an existing
// file). Throws DbError with a sentence saying what is wrong and what to do.
AccessImportResult importAccessDatabase(const std::string& accessPath, const std::string& newPath,
                                        const AccessImportOptions& options = {});

// What an import did, as the user is told: "Imported N components from
// <accessFile> into <newFile>.", then the columns left out and the records
// named after their positions, if any; every line ends with a line feed.
std::string importSummary(const AccessImportResult& result, const std::string& accessFile,
                          const std::string& newFile);

// How many records tblComps of the Access file holds (for the question asked
// before importing). Throws the refusals importAccessDatabase would.
std::size_t countAccessComponents(const std::string& accessPath);

}  // namespace zolvant::db
