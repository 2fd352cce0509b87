#pragma once
// The one settings file of every program, and the setting the database is
// found by (DBPath in group Startup) with the places it is found without it.

#include <QSettings>
#include <QString>

namespace zolvant::db {

// The settings file, ~/.config/Zolvant/Zolvant.conf ($XDG_CONFIG_HOME/Zolvant/
// when that is set): organisation and application "Zolvant", whatever name a
// program gives itself. Every setting is read and written through this.
QSettings settings();

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
