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

StartupResult openComponentDatabase(StartupDialogs& dialogs);

}  // namespace zolvant::db
