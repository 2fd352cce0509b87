#pragma once
// The start-up opening of the component database, with its recovery cycle.
// The message box, the question and the file dialogs are passed in, so the
// cycle can be scripted in tests.

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
    // A Yes/No question: true for Yes.
    virtual bool question(const std::string& text, const std::string& title) = 0;
    // A save dialog proposing `suggested` (its folder and name), filtered by
    // `filter` in Qt's form; nullopt when cancelled.
    virtual std::optional<std::string> saveFileName(const std::string& suggested, const std::string& filter) = 0;
};

struct StartupResult {
    std::unique_ptr<Database> dbComps;
    std::unique_ptr<Recordset> rstComps;   // over qryCritCos, at its last record when not empty
    bool abandoned = false;                // the user cancelled the dialog: the program ends
};

// Without a DBPath setting the user's own copy is opened, made first from
// the seed (or from a database an earlier build kept beside the executable,
// which is then announced once) when it does not exist. An Access file met
// on the way is offered for import (offerAccessImport); the new database is
// then opened and stored as DBPath.
StartupResult openComponentDatabase(StartupDialogs& dialogs);

// Opens one file as the start-up opening does, without any dialog: the
// database, and its query at the last record. Throws DbError.
StartupResult openComponents(const std::string& path);

}  // namespace zolvant::db
