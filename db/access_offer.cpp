#include "db/access_offer.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>

#include "db/access/access_import.h"
#include "db/settings.h"

namespace zolvant::db {

namespace {

const char* const kFilter = "Component databases (*.mdb);;All files (*)";

bool existsAt(const std::string& path) {
    std::error_code ec;
    // A dangling link is a name in use too.
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::string countLine(std::size_t count) {
    if (count == 0) return "It holds no components.";
    return "It holds " + std::to_string(count) + (count == 1 ? " component." : " components.");
}

}  // namespace

std::string suggestedImportPath() {
    const QString folder = QFileInfo(defaultDbPath()).absolutePath();
    // The dialog opens in the folder only when it exists.
    QDir().mkpath(folder);
    const QDir dir(folder);
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? QStringLiteral("Components.mdb") : QStringLiteral("Components %1.mdb").arg(n);
        const std::string path = QFile::encodeName(dir.filePath(name)).toStdString();
        if (!existsAt(path)) return path;
    }
}

std::optional<std::string> offerAccessImport(const std::string& accessPath, StartupDialogs& dialogs) {
    std::size_t count = 0;
    try {
        count = countAccessComponents(accessPath);
    } catch (const DbError& e) {
        dialogs.message(e.description(), kAccessImportTitle);
        return std::nullopt;
    }
    if (!dialogs.question(std::string(kAccessImportQuestion) + "\n" + countLine(count), kAccessImportTitle))
        return std::nullopt;

    std::string target;
    for (std::string suggested = suggestedImportPath();;) {
        const std::optional<std::string> chosen = dialogs.saveFileName(suggested, kFilter);
        if (!chosen || chosen->empty()) return std::nullopt;
        if (!existsAt(*chosen)) {
            target = *chosen;
            break;
        }
        dialogs.message("The file '" + *chosen +
                            "' already exists: a new database is never written over a file. Choose another name.",
                        kAccessImportTitle);
        suggested = suggestedImportPath();
    }

    AccessImportResult result;
    try {
        try {
            result = importAccessDatabase(accessPath, target);
        } catch (const UnnamedRecordsError& e) {
            // Nothing was written: the user decides, knowing which records.
            const bool name = dialogs.question(
                e.description() +
                    "\n\nImport them with the names \"(unnamed N)\", N being each record's position in the Access "
                    "table? No imports nothing, so that you can name them in Access first.",
                kAccessImportTitle);
            if (!name) return std::nullopt;
            result = importAccessDatabase(accessPath, target, {.nameUnnamed = true});
        }
    } catch (const DbError& e) {
        dialogs.message(e.description(), kAccessImportTitle);
        return std::nullopt;
    }
    std::string summary = importSummary(result, accessPath, target);
    while (!summary.empty() && summary.back() == '\n') summary.pop_back();
    dialogs.message(summary, kAccessImportTitle);
    return target;
}

}  // namespace zolvant::db
