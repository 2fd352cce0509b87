#pragma once
// Internal to zolvant_db: the schema of a component database (the table
// tblComps and the view qryCritCos) and the making of a new database file
// that has it. Not for use outside db/.

#include <sqlite3.h>

#include <functional>
#include <string>

namespace zolvant::db::detail {

// The statements that make an empty component database: tblComps and
// qryCritCos. tblKij (defined beside the pairs' code, db/kij.cpp) is made
// with the first pair stored: a database without pairs reads as having none.
extern const char* const kSchemaSql;
extern const char* const kKijSchemaSql;
// The same as kSchemaSql without the checks that constants are positive: an
// import keeps every value the old file holds, exactly.
extern const char* const kImportSchemaSql;

// Builds a new database file at path with the schema given and fills it
// through fill(db) inside one transaction. The file appears at path only when
// complete; an existing file is never touched (kAlreadyExists), and a failure
// leaves nothing behind.
void buildDatabaseFile(const std::string& path, const std::function<void(sqlite3*)>& fill,
                       const char* schemaSql = kSchemaSql);

}  // namespace zolvant::db::detail
