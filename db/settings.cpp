#include "db/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace zolvant::db {

namespace {

QString& defaultOverride() {
    static QString path;
    return path;
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

}  // namespace

QString defaultDbPath() {
    if (!defaultOverride().isEmpty()) return defaultOverride();
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Program Files\\Korvane\\Components.mdb");
#else
    // The counterpart of an install folder: the folder the program runs from.
    return QDir(folderOfExecutable()).filePath(QStringLiteral("Components.mdb"));
#endif
}

void setDefaultDbPathOverride(const QString& path) { defaultOverride() = path; }

QString readDbPath() {
    const QSettings settings(kOrganisation, kApplication);
    const QVariant value = settings.value(kKey);
    return value.isValid() ? value.toString() : defaultDbPath();
}

bool hasDbPathSetting() {
    const QSettings settings(kOrganisation, kApplication);
    return settings.contains(kKey);
}

void writeDbPath(const QString& path) {
    QSettings settings(kOrganisation, kApplication);
    settings.setValue(kKey, path);
    settings.sync();
}

}  // namespace zolvant::db
