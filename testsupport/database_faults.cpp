#include "testsupport/database_faults.h"

#include <sqlite3.h>

#include <QDeadlineTimer>
#include <QFile>

namespace zolvant::test {

QList<StoredRecord> storedRecords(const QString& path) {
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

StoredRecord storedRecordNamed(const QList<StoredRecord>& records, const QString& name) {
    for (const StoredRecord& r : records)
        if (r.value(1) == name) return r;
    return {};
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

namespace {

QString statementsFor(LockHolder::Kind kind) {
    return kind == LockHolder::Kind::Write
               ? QStringLiteral("BEGIN IMMEDIATE;\n"
                                "INSERT INTO tblComps (Component, CritTemp) VALUES ('Intruder', 1);")
               : QStringLiteral("BEGIN EXCLUSIVE;");
}

// Printed by the shell once it has run everything before it.
constexpr char kHolding[] = "HOLDING";

}  // namespace

LockHolder::LockHolder(const QString& path, Kind kind) : LockHolder(path, statementsFor(kind)) {}

LockHolder::LockHolder(const QString& path, const QString& statements) : path_(path), statements_(statements) {}

LockHolder::~LockHolder() { release(); }

bool LockHolder::hold() {
    process_ = std::make_unique<QProcess>();
    process_->setProgram(QStringLiteral(ZOLVANT_SQLITE3_SHELL));
    process_->setArguments({QStringLiteral("-batch"), QStringLiteral("-bail"), path_});
    process_->start();
    if (!process_->waitForStarted(10000)) {
        error_ = QStringLiteral("sqlite3 did not start: ") + process_->errorString();
        return false;
    }
    // The shell waits for others to let go rather than fail its BEGIN.
    process_->write(".timeout 10000\n" + statements_.toUtf8() + "\n.print " + kHolding + "\n");
    process_->waitForBytesWritten(10000);
    QByteArray seen;
    const QDeadlineTimer deadline(20000);
    while (!seen.contains(kHolding) && !deadline.hasExpired() && process_->waitForReadyRead(1000))
        seen += process_->readAllStandardOutput();
    if (seen.contains(kHolding)) return true;
    error_ = QStringLiteral("the other program did not take its lock; sqlite3 said: ") +
             QString::fromLocal8Bit(process_->readAllStandardError());
    return false;
}

void LockHolder::release() {
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

void LockHolder::kill() {
    if (!process_) return;
    process_->kill();
    process_->waitForFinished(10000);
    process_.reset();
}

}  // namespace zolvant::test
