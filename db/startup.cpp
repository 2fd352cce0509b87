#include "db/startup.h"

#include "db/settings.h"

namespace zolvant::db {

namespace {

const char* const kTitle = "Database Path ERROR";

// The line feed comes before the carriage return, in that order.
const std::string kNotFoundText = std::string("Component Database Not Found") + "\n" + "\r" +
                                  "Open 'Components.mdb' Database";

#ifdef _WIN32
const char* const kStartFolder = "C:\\";
#else
const char* const kStartFolder = "/";
#endif

}  // namespace

StartupResult openComponentDatabase(StartupDialogs& dialogs) {
    std::string current = readDbPath().toStdString();
    for (;;) {
        StartupResult result;
        try {
            result.dbComps = Database::OpenDatabase(current);
            result.rstComps = result.dbComps->OpenRecordset("qryCritCos");
            // A query without rows is no failure: the lists are just empty.
            if (result.rstComps->RecordCount() > 0) result.rstComps->MoveLast();
            return result;
        } catch (const DbError& e) {
            const bool missing = e.number() == kFileNotFound || e.number() == kInvalidPath;
            // Any other failure is shown too, so that the user learns why and
            // can choose the right file.
            dialogs.message(missing ? kNotFoundText : e.description(), kTitle);
        }
        const std::optional<std::string> chosen = dialogs.openFileName(kStartFolder);
        if (!chosen) {
            StartupResult abandoned;
            abandoned.abandoned = true;
            return abandoned;
        }
        if (!chosen->empty()) current = *chosen;
        writeDbPath(QString::fromStdString(current));
    }
}

}  // namespace zolvant::db
