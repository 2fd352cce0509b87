#pragma once
// Offering to import an Access file the user pointed at, instead of opening
// it: the question with the count of its records, a save dialog for the new
// database, the import, and what came of it. Shared by the start-up opening
// and the window's menu, through the same dialogs.

#include <optional>
#include <string>

#include "db/startup.h"

namespace zolvant::db {

// The question's first line, as the user reads it.
inline constexpr char kAccessImportQuestion[] =
    "This is an Access database. Import its components into a new Zolvant database?";
inline constexpr char kAccessImportTitle[] = "Import Access Database";

// Where the save dialog starts: in the folder of the user's own database,
// "Components.mdb", else "Components 2.mdb", "Components 3.mdb", ... the
// first name no file has.
std::string suggestedImportPath();

// Asks, saves and imports. The new database's path when it was written;
// nullopt when the user said No or cancelled, or the file was refused (its
// sentence shown). Nothing is written over an existing file, and the Access
// file is only read.
std::optional<std::string> offerAccessImport(const std::string& accessPath, StartupDialogs& dialogs);

}  // namespace zolvant::db
