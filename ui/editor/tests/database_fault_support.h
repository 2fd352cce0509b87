#pragma once
// What the window tests of database faults share: every stored record of a
// file read through a connection of the test's own, and a second program
// (the sqlite3 shell) that holds a lock on the file.

#include <sqlite3.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QThread>
#include <memory>

namespace zolvant::test {

// One stored record: its row id, then the nine fields, each as
// "Null", a number with all 17 digits, or the text itself.
using StoredRecord = QStringList;

inline const char* const kStoredFields[9] = {"Component", "MolWt", "CritTemp", "CritPress", "CritVol",
                                             "AcentricF", "K1",    "K2",       "K3"};

// Every record of tblComps in row-id order, read through a fresh read-only
// connection (never the window's). A failure comes back as one record
// holding the engine's message, so that a comparison shows it.
inline QList<StoredRecord> storedRecords(const QString& path) {
    sqlite3* raw = nullptr;
    const QByteArray name = QFile::encodeName(path);
    QList<StoredRecord> out;
    const auto fail = [&](sqlite3* db) {
        out = {StoredRecord{QStringLiteral("cannot read: ") + QString::fromUtf8(db ? sqlite3_errmsg(db) : "open")}};
    };
    if (sqlite3_open_v2(name.constData(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        fail(raw);
        sqlite3_close_v2(raw);
        return out;
    }
    sqlite3_stmt* st = nullptr;
    const char* sql =
        "SELECT rowid, Component, MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3 FROM tblComps "
        "ORDER BY rowid";
    if (sqlite3_prepare_v2(raw, sql, -1, &st, nullptr) != SQLITE_OK) {
        fail(raw);
    } else {
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            StoredRecord r;
            r << QString::number(sqlite3_column_int64(st, 0));
            for (int c = 1; c <= 9; ++c) {
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_NULL: r << QStringLiteral("Null"); break;
                case SQLITE_TEXT:
                    r << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
                    break;
                default: r << QString::number(sqlite3_column_double(st, c), 'g', 17); break;
                }
            }
            out << r;
        }
        if (rc != SQLITE_DONE) fail(raw);
    }
    sqlite3_finalize(st);
    sqlite3_close_v2(raw);
    return out;
}

// The record of that name, or an empty list.
inline StoredRecord storedRecordNamed(const QList<StoredRecord>& records, const QString& name) {
    for (const StoredRecord& r : records)
        if (r.value(1) == name) return r;
    return {};
}

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Another program holding a lock on the database file: the sqlite3 shell
// left inside an open transaction.
class LockHolder {
public:
    enum class Kind {
        Write,      // BEGIN IMMEDIATE and an insert, not committed: others may read, not write
        Exclusive,  // BEGIN EXCLUSIVE: others may neither read nor write
    };

    LockHolder(const QString& path, Kind kind) : path_(path), kind_(kind) {}
    ~LockHolder() { release(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    // Starts the shell and returns once the lock is seen from outside; false
    // with a reason in error() when that does not happen.
    bool hold() {
        const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        if (shell.isEmpty()) {
            error_ = QStringLiteral("the sqlite3 shell is not installed");
            return false;
        }
        process_ = std::make_unique<QProcess>();
        process_->setProgram(shell);
        process_->setArguments({QStringLiteral("-bail"), path_});
        process_->start();
        if (!process_->waitForStarted(10000)) {
            error_ = QStringLiteral("sqlite3 did not start: ") + process_->errorString();
            return false;
        }
        // The shell waits for the probes below to let go rather than fail
        // its BEGIN; -bail ends it at any failure instead of going on
        // outside a transaction.
        process_->write(kind_ == Kind::Write
                            ? ".timeout 10000\nBEGIN IMMEDIATE;\n"
                              "INSERT INTO tblComps (Component, CritTemp) VALUES ('Intruder', 1);\n"
                            : ".timeout 10000\nBEGIN EXCLUSIVE;\n");
        process_->waitForBytesWritten(10000);
        const QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            if (lockSeen()) return true;
            if (process_->state() == QProcess::NotRunning) break;
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
        error_ = QStringLiteral("the lock was never seen; sqlite3 said: ") +
                 QString::fromLocal8Bit(process_->readAllStandardError());
        return false;
    }

    // Rolls the transaction back and ends the shell; the file is then free.
    void release() {
        if (!process_) return;
        if (process_->state() == QProcess::Running) {
            process_->write("ROLLBACK;\n.quit\n");
            process_->closeWriteChannel();
            if (!process_->waitForFinished(10000)) {
                process_->kill();
                process_->waitForFinished(10000);
            }
        }
        process_.reset();
    }

    QString error() const { return error_; }

private:
    // Asked without waiting: a write (or, for an exclusive lock, a read)
    // is refused as busy while the shell holds its lock.
    bool lockSeen() const {
        sqlite3* probe = nullptr;
        const QByteArray name = QFile::encodeName(path_);
        bool busy = false;
        if (sqlite3_open_v2(name.constData(), &probe, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            const char* sql = kind_ == Kind::Write ? "BEGIN IMMEDIATE" : "SELECT count(*) FROM tblComps";
            const int rc = sqlite3_exec(probe, sql, nullptr, nullptr, nullptr);
            busy = rc == SQLITE_BUSY;
            if (rc == SQLITE_OK && kind_ == Kind::Write) sqlite3_exec(probe, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        sqlite3_close_v2(probe);
        return busy;
    }

    QString path_;
    Kind kind_;
    std::unique_ptr<QProcess> process_;
    QString error_;
};

}  // namespace zolvant::test
