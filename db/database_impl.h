#pragma once
// Internal to zolvant_db: what a Database and its recordsets hold. A
// Database owns its connection, shared with every recordset opened from
// it; a Recordset::Impl holds its source's statements, the keys of its
// rows, the cursor and the edit buffer, and reads and stores records
// through them.

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/engine.h"
#include "db/kij.h"

namespace zolvant::db {

using detail::Connection;
using detail::ErrorContext;
using detail::quoteIdent;
using detail::sameName;
using detail::Stmt;

struct Database::Impl {
    std::shared_ptr<Connection> conn;
};

// ======================================================================
// Recordset

struct Recordset::Impl {
    std::shared_ptr<Connection> conn;
    std::string source;   // the table or query, as the file names it
    std::string subject;  // how messages name it: "The query qryCritCos of '<file>'"

    // How rows are got: keyed (each row a record of baseTable, its fields
    // read by its key through recordSql on demand) or, for a query that does
    // not identify its records, a read-only snapshot of the values.
    std::string selectSql;
    std::string recordSql;
    mutable sqlite3_stmt* recordStmt = nullptr;  // recordSql, prepared at the first read
    mutable std::vector<int> recordColumn;        // field -> column of recordStmt
    bool keyed = false;
    std::string baseTable;

    std::vector<std::string> fields;       // names, in the source's order
    std::vector<bool> writable;            // the field is a column of baseTable
    std::vector<long long> keys;           // row ids (snapshot: serial numbers)
    std::vector<std::vector<FieldValue>> snapshot;
    long long nextSerial = 1;

    // Cursor. pos is meaningful with a current record, or after a delete
    // (then it is where the following record now is).
    long pos = -1;
    bool bof = true;
    bool eof = true;
    bool deleted = false;

    enum class Mode { None, Add, Edit } mode = Mode::None;
    std::map<std::size_t, std::optional<std::string>> buffer;  // field -> text (nullopt: Null)

    bool closed = false;

    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl() { sqlite3_finalize(recordStmt); }

    // ------------------------------------------------------------------

    sqlite3* db() const {
        if (closed) throw DbError(kEngine, "The recordset is closed.");
        return conn->handle();
    }

    ErrorContext context() const {
        return ErrorContext{conn->path, [this](const std::string& field) -> std::optional<std::string> {
                                for (const auto& [index, value] : buffer)
                                    if (sameName(fields[index], field)) return value;
                                return std::nullopt;
                            },
                            subject};
    }

    bool hasCurrent() const { return !bof && !eof && !deleted && pos >= 0 && pos < static_cast<long>(keys.size()); }

    void requireCurrent() const {
        if (!hasCurrent()) throw DbError(kNoCurrentRecord, "No current record.");
    }

    std::size_t fieldIndex(const std::string& name) const {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (sameName(fields[i], name)) return i;
        throw DbError(kUnknownField, "There is no field named '" + name + "' in this recordset.");
    }

    void requireUpdatable() const {
        if (conn->readOnly)
            throw DbError(kReadOnly, "The database '" + conn->path + "' is open read-only: it cannot be changed.");
        if (baseTable.empty())
            throw DbError(kReadOnly, "The records of '" + source +
                                         "' cannot be changed: the source does not tell which record each row is.");
    }

    void discardBuffer() {
        mode = Mode::None;
        buffer.clear();
    }

    void moveTo(long long target) {
        discardBuffer();
        const long long size = static_cast<long long>(keys.size());
        deleted = false;
        if (target < 0) {
            pos = -1;
            bof = true;
            eof = size == 0;
        } else if (target >= size) {
            pos = static_cast<long>(size);
            eof = true;
            bof = size == 0;
        } else {
            pos = static_cast<long>(target);
            bof = eof = false;
        }
    }

    void setFields(const Stmt& st, int keyColumn) {
        fields.clear();
        for (int c = 0; c < st.columnCount(); ++c)
            if (c != keyColumn) fields.push_back(st.columnName(c));
        writable.assign(fields.size(), false);
        if (baseTable.empty()) return;
        const ErrorContext ctx = context();
        Stmt cols(db(), "SELECT name FROM pragma_table_info(?1)", ctx);
        cols.bindText(1, baseTable);
        while (cols.step()) {
            const auto name = std::get<std::string>(cols.column(0));
            for (std::size_t i = 0; i < fields.size(); ++i)
                if (sameName(fields[i], name)) writable[i] = true;
        }
    }

    // A re-run that fails (the file locked by another program, a damaged
    // page) leaves the recordset as it was, so that its rows still stand for
    // the records they stood for.
    void requery() {
        const detail::Budget budget;
        const ErrorContext ctx = context();
        std::vector<std::string> oldFields = fields;
        std::vector<bool> oldWritable = writable;
        std::vector<long long> newKeys;
        std::vector<std::vector<FieldValue>> newSnapshot;
        long long serial = nextSerial;
        try {
            if (keyed) {
                Stmt st(db(), selectSql, ctx);
                int keyColumn = -1;
                for (int c = 0; c < st.columnCount(); ++c)
                    if (sameName(st.columnName(c), detail::kKeyColumn)) keyColumn = c;
                if (keyColumn < 0) throw DbError(kEngine, "The source '" + source + "' gives no record keys.");
                setFields(st, keyColumn);
                while (st.step()) {
                    if (st.columnIsNull(keyColumn))
                        throw DbError(kEngine, "The source '" + source + "' gives a row without its record key.");
                    newKeys.push_back(st.columnInt64(keyColumn));
                }
            } else {
                Stmt st(db(), selectSql, ctx);
                setFields(st, -1);
                while (st.step()) {
                    std::vector<FieldValue> row;
                    for (int c = 0; c < st.columnCount(); ++c) row.push_back(st.column(c));
                    newSnapshot.push_back(std::move(row));
                    newKeys.push_back(serial++);
                }
            }
        } catch (...) {
            fields = std::move(oldFields);
            writable = std::move(oldWritable);
            throw;
        }
        discardBuffer();
        keys = std::move(newKeys);
        snapshot = std::move(newSnapshot);
        nextSerial = serial;
        moveTo(0);
    }

    // One field of the current record, read now by its key.
    FieldValue readCurrent(std::size_t field) const {
        requireCurrent();
        if (!keyed) return snapshot[static_cast<std::size_t>(pos)][field];
        const ErrorContext ctx = context();
        // Kept prepared, with where each field is in it: the main window
        // reads every name of a long list one record at a time.
        if (!recordStmt) {
            recordStmt = detail::prepareKept(db(), recordSql, ctx);
            recordColumn.assign(fields.size(), -1);
            for (int c = 0; c < sqlite3_column_count(recordStmt); ++c) {
                const char* name = sqlite3_column_name(recordStmt, c);
                for (std::size_t i = 0; name && i < fields.size(); ++i)
                    if (recordColumn[i] < 0 && sameName(fields[i], name)) recordColumn[i] = c;
            }
        }
        Stmt st(db(), recordStmt, ctx);
        st.bindInt64(1, keys[static_cast<std::size_t>(pos)]);
        if (!st.step())
            throw DbError(kRecordDeleted,
                          "The record has been deleted in another window or program: move to another record.");
        return recordColumn[field] < 0 ? FieldValue() : st.column(recordColumn[field]);
    }

    bool recordExists(long long key) const {
        const ErrorContext ctx = context();
        Stmt st(db(), "SELECT 1 FROM " + quoteIdent(baseTable) + " WHERE rowid = ?1", ctx);
        st.bindInt64(1, key);
        return st.step();
    }

    void bindBuffer(Stmt& st) const {
        int index = 1;
        for (const auto& [field, value] : buffer) {
            if (value)
                st.bindText(index, *value);  // the column's type decides the conversion
            else
                st.bindNull(index);
            ++index;
        }
    }

    void insertRecord() {
        std::string sql = "INSERT INTO " + quoteIdent(baseTable);
        if (buffer.empty()) {
            sql += " DEFAULT VALUES";
        } else {
            std::string names, params;
            int index = 1;
            for (const auto& entry : buffer) {
                if (index > 1) {
                    names += ", ";
                    params += ", ";
                }
                names += quoteIdent(fields[entry.first]);
                params += "?" + std::to_string(index++);
            }
            sql += " (" + names + ") VALUES (" + params + ")";
        }
        const ErrorContext ctx = context();
        sqlite3* handle = db();
        Stmt st(handle, sql, ctx);
        bindBuffer(st);
        st.step();
        const bool wasEmpty = keys.empty() && bof && eof;
        keys.push_back(sqlite3_last_insert_rowid(handle));
        discardBuffer();
        if (wasEmpty) moveTo(0);  // the first record of an empty set becomes current
    }

    void updateRecord() {
        const long long key = keys[static_cast<std::size_t>(pos)];
        if (buffer.empty()) {
            if (!recordExists(key))
                throw DbError(kRecordDeleted, "The record has been deleted in another window or program.");
            discardBuffer();
            return;
        }
        std::string sql = "UPDATE " + quoteIdent(baseTable) + " SET ";
        int index = 1;
        for (const auto& entry : buffer) {
            if (index > 1) sql += ", ";
            sql += quoteIdent(fields[entry.first]) + " = ?" + std::to_string(index++);
        }
        sql += " WHERE rowid = ?" + std::to_string(index);
        const ErrorContext ctx = context();
        sqlite3* handle = db();
        const bool renames = std::any_of(buffer.begin(), buffer.end(),
                                         [&](const auto& e) { return sameName(fields[e.first], "Component"); });
        detail::PairsFollowRecord pairs(handle, conn->path, baseTable, key, renames);
        Stmt st(handle, sql, ctx);
        bindBuffer(st);
        st.bindInt64(index, key);
        st.step();
        if (sqlite3_changes(handle) == 0)
            throw DbError(kRecordDeleted, "The record has been deleted in another window or program.");
        pairs.finish();
        discardBuffer();
    }
};

}  // namespace zolvant::db
