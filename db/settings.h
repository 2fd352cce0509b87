#pragma once
// The one setting: DBPath in group Startup of QSettings("Zolvant", "Zolvant"),
// and the places the component database is found without it.

#include <QString>

namespace zolvant::db {

// The user's own database: Components.mdb in the user's data folder
// (normally ~/.local/share/zolvant/), unless a test has pointed it elsewhere.
QString defaultDbPath();
void setDefaultDbPathOverride(const QString& path);  // empty: back to the real default

// The seed database the programs ship with, read-only:
// <folder of the executable>/../share/zolvant/Components.mdb, in the build
// tree as in the install tree.
QString seedDbPath();
// Where earlier builds kept the user's database: beside the executable.
QString legacyDbPath();
// The folder both are found from: the executable's, unless a test names
// another. While the default path is overridden and no program folder is
// named, there is neither seed nor earlier database (both paths are empty).
void setProgramFolderOverride(const QString& folder);  // empty: the executable's again

QString readDbPath();            // the setting, or defaultDbPath() when absent
bool hasDbPathSetting();
void writeDbPath(const QString& path);

}  // namespace zolvant::db
