#include "db/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace zolvant::db {

namespace {

QString& defaultOverride() {
    static QString path;
    return path;
}

QString& programFolderOverride() {
    static QString folder;
    return folder;
}

const char* const kOrganisation = "Zolvant";
const char* const kApplication = "Zolvant";
const char* const kKey = "Startup/DBPath";

QString folderOfExecutable() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
#ifdef Q_OS_LINUX
    // Before (or without) a QCoreApplication: ask the kernel.
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists()) return QFileInfo(self.symLinkTarget()).absolutePath();
#endif
    return QDir::currentPath();
}

// Empty while a test has moved the default but named no program folder.
QString programFolder() {
    if (!programFolderOverride().isEmpty()) return programFolderOverride();
    if (!defaultOverride().isEmpty()) return {};
    return folderOfExecutable();
}

}  // namespace

QString defaultDbPath() {
    if (!defaultOverride().isEmpty()) return defaultOverride();
    // The folder QStandardPaths::AppDataLocation names for an application
    // "zolvant" without organisation, whatever name each program gives
    // itself: the window and zolvant-cli must find the same file.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).filePath(QStringLiteral("zolvant/Components.mdb"));
}

void setDefaultDbPathOverride(const QString& path) { defaultOverride() = path; }

QString seedDbPath() {
    const QString folder = programFolder();
    if (folder.isEmpty()) return {};
    return QDir::cleanPath(QDir(folder).filePath(QStringLiteral("../share/zolvant/Components.mdb")));
}

QString legacyDbPath() {
    const QString folder = programFolder();
    if (folder.isEmpty()) return {};
    return QDir(folder).filePath(QStringLiteral("Components.mdb"));
}

void setProgramFolderOverride(const QString& folder) { programFolderOverride() = folder; }

QSettings settings() { return QSettings(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication)); }

QString readDbPath() {
    const QVariant value = settings().value(kKey);
    return value.isValid() ? value.toString() : defaultDbPath();
}

bool hasDbPathSetting() { return settings().contains(kKey); }

void writeDbPath(const QString& path) {
    QSettings file = settings();
    file.setValue(kKey, path);
    file.sync();
}

}  // namespace zolvant::db
