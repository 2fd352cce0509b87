#include "db/startup.h"

#include "db/access_offer.h"
#include "db/settings.h"
#include "db/user_database.h"

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

StartupResult openComponents(const std::string& path) {
    StartupResult result;
    result.dbComps = Database::OpenDatabase(path);
    result.rstComps = result.dbComps->OpenRecordset("qryCritCos");
    // A query without rows is no failure: the lists are just empty.
    if (result.rstComps->RecordCount() > 0) result.rstComps->MoveLast();
    return result;
}

StartupResult openComponentDatabase(StartupDialogs& dialogs) {
    // Without a setting the user's own copy is opened; it is made first
    // when it does not exist yet.
    std::string copyProblem;
    if (!hasDbPathSetting()) {
        const UserCopy made = ensureUserDatabase();
        if (made.kind == UserCopy::FromEarlier)
            dialogs.message(QStringLiteral("Your component database now lives in\n%1\n\nIt was copied there from %2, "
                                           "which is left as it was and no longer used.")
                                .arg(made.path, made.source)
                                .toStdString(),
                            "Component Database");
        if (made.kind == UserCopy::Failed)
            copyProblem = QStringLiteral("Your copy of the component database could not be made from %1: %2.")
                              .arg(made.source, made.error)
                              .toStdString();
    }
    std::string current = readDbPath().toStdString();
    for (;;) {
        try {
            return openComponents(current);
        } catch (const DbError& e) {
            if (e.number() == kAccessDatabase) {
                // Imported, the new database is opened in its place; declined
                // or refused (its sentence shown), the user picks again.
                copyProblem.clear();
                if (const std::optional<std::string> imported = offerAccessImport(current, dialogs)) {
                    current = *imported;
                    writeDbPath(QString::fromStdString(current));
                    continue;
                }
            } else {
                const bool missing = e.number() == kFileNotFound || e.number() == kInvalidPath;
                // Any other failure is shown too, so that the user learns why
                // and can choose the right file.
                const std::string text = missing ? (copyProblem.empty() ? kNotFoundText
                                                                        : copyProblem + "\n\n" + kNotFoundText)
                                                 : e.description();
                copyProblem.clear();
                dialogs.message(text, kTitle);
            }
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
