#pragma once
// The user's own copy of the component database. The seed the programs ship
// with is never written: the window and the editor work on a copy in the
// user's data folder, made from the seed (or from the database an earlier
// build kept beside the executable) the first time it is needed.

#include <QString>

namespace zolvant::db {

struct UserCopy {
    enum Kind {
        Existing,     // the copy was already there: nothing was done
        FromSeed,     // made from the seed
        FromEarlier,  // made from the database beside the executable
        NoSource,     // neither an earlier database nor a seed: nothing made
        Failed,       // a source was there but the copy could not be written
    };
    Kind kind = Existing;
    QString path;    // the user's copy
    QString source;  // what it was made from (FromSeed, FromEarlier, Failed)
    QString error;   // why it failed (Failed)
};

// Makes the user's copy at defaultDbPath() when it does not exist yet.
UserCopy ensureUserDatabase();

// Copies from to `to` whole or not at all (through a temporary file beside
// `to`, renamed over it when complete), leaving `to` readable and writable
// by its owner. False with the reason in *error when it fails.
bool copyDatabaseFile(const QString& from, const QString& to, QString* error);

// The backup Restore keeps beside the user's copy.
QString backupPathOf(const QString& path);

// Keeps the user's copy as its backup (replacing an older one) and puts a
// fresh copy of the seed in its place. The database must not be open. False
// with the reason in *error when something could not be done; the copy is
// then as it was.
bool restoreUserDatabase(QString* error);

}  // namespace zolvant::db
