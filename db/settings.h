#pragma once
// The one setting: DBPath in group Startup of QSettings("Zolvant", "Zolvant").

#include <QString>

namespace zolvant::db {

// Components.mdb in the folder of the running executable, unless a test
// has pointed it elsewhere.
QString defaultDbPath();
void setDefaultDbPathOverride(const QString& path);  // empty: back to the real default

QString readDbPath();            // the setting, or defaultDbPath() when absent
bool hasDbPathSetting();
void writeDbPath(const QString& path);

}  // namespace zolvant::db
