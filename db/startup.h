#pragma once
// The start-up opening of the component database, with its recovery cycle.
// The message box and the file-open dialog are passed in, so the cycle can be
// scripted in tests.

#include <memory>
#include <optional>
#include <string>

#include "db/database.h"

namespace zolvant::db {

class StartupDialogs {
public:
    virtual ~StartupDialogs() = default;
    virtual void message(const std::string& text, const std::string& title) = 0;
    // A file-open dialog starting at startFolder, no filter; nullopt when cancelled.
    virtual std::optional<std::string> openFileName(const std::string& startFolder) = 0;
};

struct StartupResult {
    std::unique_ptr<Database> dbComps;
    std::unique_ptr<Recordset> rstComps;   // over qryCritCos, at its last record when not empty
    bool abandoned = false;                // the user cancelled the dialog: the program ends
};

// Without a DBPath setting the user's own copy is opened, made first from
// the seed (or from a database an earlier build kept beside the executable,
// which is then announced once) when it does not exist.
StartupResult openComponentDatabase(StartupDialogs& dialogs);

// Opens one file as the start-up opening does, without any dialog: the
// database, and its query at the last record. Throws DbError.
StartupResult openComponents(const std::string& path);

}  // namespace zolvant::db
