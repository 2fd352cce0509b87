#pragma once
// Internal to zolvant_db: the schema of a component database (the table
// tblComps and the view qryCritCos) and the making of a new database file
// that has it. Not for use outside db/.

#include <sqlite3.h>

#include <functional>
#include <string>

namespace zolvant::db::detail {

// The statements that make an empty component database.
extern const char* const kSchemaSql;

// Builds a new database file at path and fills it through fill(db) inside
// one transaction. The file appears at path only when complete; an existing
// file is never touched (kAlreadyExists), and a failure leaves nothing behind.
void buildDatabaseFile(const std::string& path, const std::function<void(sqlite3*)>& fill);

}  // namespace zolvant::db::detail
