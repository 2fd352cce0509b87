#include "db/user_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "db/settings.h"

namespace zolvant::db {

namespace {

bool isFile(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

}  // namespace

bool copyDatabaseFile(const QString& from, const QString& to, QString* error) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("'%1' cannot be read: %2").arg(from, in.errorString());
        return false;
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        *error = QStringLiteral("'%1' cannot be read: %2").arg(from, in.errorString());
        return false;
    }
    if (!QDir().mkpath(QFileInfo(to).absolutePath())) {
        *error = QStringLiteral("the folder '%1' cannot be made").arg(QFileInfo(to).absolutePath());
        return false;
    }
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        *error = QStringLiteral("'%1' cannot be written: %2").arg(to, out.errorString());
        return false;
    }
    // An installed seed is read-only; the user's copy is the user's to edit.
    QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

UserCopy ensureUserDatabase() {
    UserCopy made;
    made.path = defaultDbPath();
    if (QFileInfo::exists(made.path)) return made;
    // A database an earlier build kept beside the executable may hold the
    // user's edits: it wins over the seed.
    const QString earlier = legacyDbPath();
    const QString seed = seedDbPath();
    if (isFile(earlier)) {
        made.kind = UserCopy::FromEarlier;
        made.source = earlier;
    } else if (isFile(seed)) {
        made.kind = UserCopy::FromSeed;
        made.source = seed;
    } else {
        made.kind = UserCopy::NoSource;
        return made;
    }
    if (!copyDatabaseFile(made.source, made.path, &made.error)) made.kind = UserCopy::Failed;
    return made;
}

QString backupPathOf(const QString& path) { return path + QStringLiteral(".bak"); }

bool restoreUserDatabase(QString* error) {
    const QString path = defaultDbPath();
    const QString seed = seedDbPath();
    if (!isFile(seed)) {
        *error = QStringLiteral("the default database '%1' was not found").arg(seed.isEmpty() ? QStringLiteral("Components.mdb") : seed);
        return false;
    }
    if (QFileInfo::exists(path) && !copyDatabaseFile(path, backupPathOf(path), error)) return false;
    return copyDatabaseFile(seed, path, error);
}

}  // namespace zolvant::db
