#pragma once
// What the tests of database faults share: every stored record of a file
// read through a connection of the test's own, and a second program (the
// sqlite3 shell) that holds a lock on the file.

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

namespace zolvant::test {

// One stored record: its row id, then the nine fields, each as
// "Null", a number with all 17 digits, or the text itself.
using StoredRecord = QStringList;

inline const char* const kStoredFields[9] = {"Component", "MolWt", "CritTemp", "CritPress", "CritVol",
                                             "AcentricF", "K1",    "K2",       "K3"};

// Every record of tblComps in row-id order, read through a fresh read-only
// connection (never the program's). Read-only, so that reading never
// changes what it reads: a journal left behind by a killed writer makes the
// read fail instead of being rolled back here. A failure comes back as one
// record holding the engine's message, so that a comparison shows it.
QList<StoredRecord> storedRecords(const QString& path);

// The record of that name, or an empty list.
StoredRecord storedRecordNamed(const QList<StoredRecord>& records, const QString& name);

QByteArray fileBytes(const QString& path);

// Another program holding the database file: the sqlite3 shell, fed
// statements on its standard input and left running. It holds whatever
// lock they take until released or killed.
class LockHolder {
public:
    enum class Kind {
        Write,      // BEGIN IMMEDIATE and an insert, not committed: others may read, not write
        Exclusive,  // BEGIN EXCLUSIVE: others may neither read nor write
    };

    LockHolder(const QString& path, Kind kind);
    // Any statements (and shell commands), run in this order.
    LockHolder(const QString& path, const QString& statements);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    // Starts the shell and returns once it has run the statements; false
    // with a reason in error() when it does not get that far (-bail ends it
    // at the first failure instead of going on outside a transaction).
    bool hold();
    // Rolls the transaction back and ends the shell; the file is then free.
    void release();
    // Stops the shell dead, as a crash or a power cut would.
    void kill();

    QString error() const { return error_; }

private:
    QString path_;
    QString statements_;
    std::unique_ptr<QProcess> process_;
    QString error_;
};

}  // namespace zolvant::test
