#include "db/database.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "db/engine.h"
#include "db/file_format.h"
#include "db/kij.h"

namespace zolvant::db {

using detail::Connection;
using detail::ErrorContext;
using detail::quoteIdent;
using detail::sameName;
using detail::Stmt;

namespace fs = std::filesystem;

// ======================================================================
// Database

struct Database::Impl {
    std::shared_ptr<Connection> conn;
};

namespace {

bool& forceReadOnly() {
    static bool on = false;
    return on;
}

bool canWrite(const std::string& path) {
#ifndef _WIN32
    // A rollback journal is created beside the file, so its folder must be
    // writable as well.
    const fs::path p(path);
    const fs::path dir = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    return ::access(p.c_str(), W_OK) == 0 && ::access(dir.c_str(), W_OK) == 0;
#else
    (void)path;
    return true;  // the engine itself notices a write-protected file
#endif
}

// Checks that the file is a component database: it must be readable by the
// engine, hold tblComps and qryCritCos, and hold no trigger (commands of the
// file's own that would run when the editor stores a record).
void checkComponentObjects(sqlite3* db, const ErrorContext& ctx) {
    Stmt st(db,
            "SELECT name, type FROM sqlite_master WHERE (type IN ('table', 'view')"
            " AND lower(name) IN ('tblcomps', 'qrycritcos')) OR type = 'trigger'",
            ctx);
    const std::string lead = "The file '" + ctx.path + "' is not a component database: ";
    bool table = false, query = false;
    while (st.step()) {
        const auto name = std::get<std::string>(st.column(0));
        const auto type = std::get<std::string>(st.column(1));
        if (type == "trigger")
            throw DbError(kNotADatabase, lead + "it holds the trigger '" + name +
                                             "', commands of its own that would run when a record is stored.");
        if (sameName(name, "tblComps") && type == "table") table = true;
        if (sameName(name, "qryCritCos")) query = true;
    }
    if (!table) throw DbError(kMissingObject, lead + "it has no table tblComps.");
    if (!query) throw DbError(kMissingObject, lead + "it has no query qryCritCos.");
}

// A file cut short (an interrupted copy, a full disk) still opens: the
// engine reads the missing end of its last page as zeros, so that records
// vanish or their values change without a word. Its header still tells the
// size the file must have.
void checkNotCutShort(sqlite3* db, const std::string& path, const ErrorContext& ctx) {
    Stmt count(db, "PRAGMA page_count", ctx);
    Stmt size(db, "PRAGMA page_size", ctx);
    if (!count.step() || !size.step()) return;
    const long long needed = count.columnInt64(0) * size.columnInt64(0);
    std::error_code ec;
    const auto present = fs::file_size(path, ec);
    if (ec || static_cast<long long>(present) >= needed) return;
    throw DbError(kEngine, "The database file '" + path + "' is damaged: it is cut short (" +
                               std::to_string(present) + " of its " + std::to_string(needed) + " bytes are there).");
}

// Beyond its length, a damaged file must pass the engine's own consistency
// check: a page of garbage would otherwise be read as records.
void checkIntact(sqlite3* db, const ErrorContext& ctx) {
    Stmt st(db, "PRAGMA quick_check(1)", ctx);
    const FieldValue verdict = st.step() ? st.column(0) : FieldValue();
    const auto* text = std::get_if<std::string>(&verdict);
    if (!text || *text != "ok") throw DbError(kEngine, "The database file '" + ctx.path + "' is damaged.");
}

}  // namespace

void setForceReadOnlyForTests(bool on) { forceReadOnly() = on; }

std::unique_ptr<Database> Database::OpenDatabase(const std::string& path) { return OpenDatabase(path, false); }

std::unique_ptr<Database> Database::OpenDatabase(const std::string& path, bool readOnly) {
    detail::checkPathIsValid(path);
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (!fs::exists(status)) throw DbError(kFileNotFound, "Could not find the database file '" + path + "'.");
    if (!fs::is_regular_file(status))
        throw DbError(kNotADatabase, "The file '" + path + "' is not a component database: it is not a regular file.");
    detail::refuseAccessFile(path);

    auto conn = std::make_shared<Connection>();
    conn->path = path;
    conn->readOnly = readOnly || forceReadOnly() || !canWrite(path);
    const ErrorContext ctx{path, {}, "Checking the database file '" + path + "'"};
    // An absolute name keeps the engine from reading "file:..." or ":memory:"
    // as anything but a file.
    const std::string name = fs::absolute(path, ec).string();
    const int flags = (conn->readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);  // never CREATE
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(ec ? path.c_str() : name.c_str(), &raw, flags, nullptr);
    conn->db = raw;
    if (rc != SQLITE_OK) detail::throwEngineError(raw, rc, ctx);
    detail::configureConnection(raw);
    sqlite3_busy_timeout(raw, 2000);
    if (sqlite3_db_readonly(raw, "main") == 1) conn->readOnly = true;
    const detail::Budget budget;  // the checks together
    checkNotCutShort(raw, path, ctx);
    checkComponentObjects(raw, ctx);
    checkIntact(raw, ctx);

    std::unique_ptr<Database> db(new Database);
    db->impl_ = std::make_unique<Impl>();
    db->impl_->conn = std::move(conn);
    return db;
}

std::unique_ptr<Database> Database::CreateDatabase(const std::string& path) {
    detail::buildDatabaseFile(path, [](sqlite3*) {});
    return OpenDatabase(path);
}

Database::~Database() = default;

void Database::Close() {
    if (impl_ && impl_->conn) impl_->conn->close();
}

bool Database::readOnly() const { return impl_->conn->readOnly; }
const std::string& Database::path() const { return impl_->conn->path; }
sqlite3* Database::handle() const { return impl_->conn->db; }

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

namespace {

// The names of the fields asked for, as the object spells them.
std::vector<std::string> resolveFields(const std::vector<std::string>& asked, const std::vector<std::string>& columns,
                                       const std::string& object) {
    std::vector<std::string> out;
    for (const std::string& name : asked) {
        const auto it = std::find_if(columns.begin(), columns.end(),
                                     [&](const std::string& c) { return sameName(c, name); });
        if (it == columns.end())
            throw DbError(kUnknownField, "There is no field named '" + name + "' in '" + object + "'.");
        out.push_back(*it);
    }
    return out;
}

std::string joinQuoted(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : ", ") + quoteIdent(n);
    return out;
}

}  // namespace

std::unique_ptr<Recordset> Database::OpenRecordset(const std::string& object) {
    return OpenRecordset(RecordSource{object, {}, {}});
}

std::unique_ptr<Recordset> Database::OpenRecordset(const RecordSource& source) {
    sqlite3* db = impl_->conn->handle();
    const std::string& path = impl_->conn->path;
    if (source.object.empty()) throw DbError(kEngine, "No recordset source is given.");
    const detail::Budget budget;  // finding the source and its first run together
    ErrorContext ctx{path, {}, "'" + source.object + "' of '" + path + "'"};

    std::string type, stored;
    {
        Stmt st(db, "SELECT type, name FROM sqlite_master WHERE type IN ('table', 'view') AND name = ?1 COLLATE NOCASE",
                ctx);
        st.bindText(1, source.object);
        if (!st.step())
            throw DbError(kMissingObject, "The database has no table or query named '" + source.object + "'.");
        type = std::get<std::string>(st.column(0));
        stored = std::get<std::string>(st.column(1));
    }
    ctx.subject = (type == "table" ? "The table " : "The query ") + stored + " of '" + path + "'";
    std::vector<std::string> columns;
    {
        Stmt st(db, "SELECT name FROM pragma_table_info(?1)", ctx);
        st.bindText(1, stored);
        while (st.step()) columns.push_back(std::get<std::string>(st.column(0)));
    }
    const std::vector<std::string> fields = resolveFields(source.fields, columns, stored);
    const std::vector<std::string> order = resolveFields(source.orderBy, columns, stored);
    const std::string from = " FROM " + quoteIdent(stored);
    const std::string key = std::string(detail::kKeyColumn);

    std::unique_ptr<Recordset> rs(new Recordset);
    rs->impl_ = std::make_unique<Recordset::Impl>();
    auto& r = *rs->impl_;
    r.conn = impl_->conn;
    r.source = stored;
    r.subject = ctx.subject;
    if (type == "table") {
        // The row id is the key, and breaks ties so that the order never
        // changes between runs.
        const std::string list = fields.empty() ? std::string("*") : joinQuoted(fields);
        r.selectSql = "SELECT " + list + ", rowid AS " + key + from + " ORDER BY " +
                      (order.empty() ? std::string() : joinQuoted(order) + ", ") + "rowid";
        r.recordSql = "SELECT " + list + from + " WHERE rowid = ?1";
        r.baseTable = stored;
        r.keyed = true;
    } else if (std::any_of(columns.begin(), columns.end(), [&](const std::string& c) { return sameName(c, key); })) {
        // A query that exposes the record key reads and writes tblComps.
        const std::string list = fields.empty() ? std::string("*") : joinQuoted(fields) + ", " + key;
        r.selectSql = "SELECT " + list + from +
                      (order.empty() ? std::string() : " ORDER BY " + joinQuoted(order) + ", " + key);
        r.recordSql = "SELECT " + list + from + " WHERE " + key + " = ?1";
        r.baseTable = "tblComps";
        r.keyed = true;
    } else {
        // Any other query is shown as it is, read-only.
        r.selectSql = "SELECT " + (fields.empty() ? std::string("*") : joinQuoted(fields)) + from +
                      (order.empty() ? std::string() : " ORDER BY " + joinQuoted(order));
    }
    r.requery();
    return rs;
}

Recordset::~Recordset() = default;

void Recordset::MoveFirst() {
    impl_->db();
    if (impl_->keys.empty()) throw DbError(kNoCurrentRecord, "No current record.");
    impl_->moveTo(0);
}

void Recordset::MoveLast() {
    impl_->db();
    if (impl_->keys.empty()) throw DbError(kNoCurrentRecord, "No current record.");
    impl_->moveTo(static_cast<long long>(impl_->keys.size()) - 1);
}

void Recordset::MoveNext() {
    auto& r = *impl_;
    r.db();
    if (r.eof) throw DbError(kNoCurrentRecord, "No current record.");
    r.moveTo(r.bof ? 0 : (r.deleted ? r.pos : r.pos + 1));
}

void Recordset::MovePrevious() {
    auto& r = *impl_;
    r.db();
    if (r.bof) throw DbError(kNoCurrentRecord, "No current record.");
    r.moveTo(r.eof ? static_cast<long long>(r.keys.size()) - 1 : r.pos - 1);
}

void Recordset::Move(long n) {
    auto& r = *impl_;
    r.db();
    r.requireCurrent();
    r.moveTo(static_cast<long long>(r.pos) + n);
}

void Recordset::Requery() {
    impl_->db();
    impl_->requery();
}

bool Recordset::BOF() const { return impl_->bof; }
bool Recordset::EOF_() const { return impl_->eof; }
long Recordset::RecordCount() const { return static_cast<long>(impl_->keys.size()); }
long Recordset::AbsolutePosition() const { return impl_->hasCurrent() ? impl_->pos : -1; }

Bookmark Recordset::GetBookmark() const {
    impl_->db();
    impl_->requireCurrent();
    return impl_->keys[static_cast<std::size_t>(impl_->pos)];
}

void Recordset::SetBookmark(Bookmark b) {
    auto& r = *impl_;
    r.db();
    for (std::size_t i = 0; i < r.keys.size(); ++i)
        if (r.keys[i] == b) {
            r.moveTo(static_cast<long long>(i));
            return;
        }
    throw DbError(kInvalidBookmark, "The bookmarked record is no longer in the recordset.");
}

FieldValue Recordset::Fields(const std::string& name) const {
    auto& r = *impl_;
    r.db();
    const std::size_t index = r.fieldIndex(name);
    if (r.mode != Impl::Mode::None) {
        const auto it = r.buffer.find(index);
        if (it != r.buffer.end()) return it->second ? FieldValue(*it->second) : FieldValue();
        if (r.mode == Impl::Mode::Add) return FieldValue();
    }
    return r.readCurrent(index);
}

void Recordset::SetField(const std::string& name, const std::string& text) {
    auto& r = *impl_;
    r.db();
    const std::size_t index = r.fieldIndex(name);
    if (r.mode == Impl::Mode::None)
        throw DbError(kUpdateWithoutAddNew, "There is no record being added or edited: use Add or Edit first.");
    if (!r.writable[index]) throw DbError(kRefused, "The field " + r.fields[index] + " cannot be changed.");
    // What is stored must open again.
    if (text.size() > static_cast<std::size_t>(detail::kMaxValueBytes))
        throw DbError(kRefused, "The text for the field " + r.fields[index] + " is " + std::to_string(text.size()) +
                                    " bytes long: a field holds at most " + std::to_string(detail::kMaxValueBytes) +
                                    " bytes.");
    r.buffer[index] = text;
}

void Recordset::SetFieldNull(const std::string& name) {
    auto& r = *impl_;
    r.db();
    const std::size_t index = r.fieldIndex(name);
    if (r.mode == Impl::Mode::None)
        throw DbError(kUpdateWithoutAddNew, "There is no record being added or edited: use Add or Edit first.");
    if (!r.writable[index]) throw DbError(kRefused, "The field " + r.fields[index] + " cannot be changed.");
    r.buffer[index] = std::nullopt;
}

void Recordset::AddNew() {
    auto& r = *impl_;
    r.db();
    r.requireUpdatable();
    r.buffer.clear();
    r.mode = Impl::Mode::Add;
}

void Recordset::Edit() {
    auto& r = *impl_;
    r.db();
    r.requireUpdatable();
    r.requireCurrent();
    r.buffer.clear();
    r.mode = Impl::Mode::Edit;
}

void Recordset::Update() {
    auto& r = *impl_;
    r.db();
    switch (r.mode) {
    case Impl::Mode::None:
        throw DbError(kUpdateWithoutAddNew, "There is no record being added or edited: use Add or Edit first.");
    case Impl::Mode::Add:
        r.requireUpdatable();
        r.insertRecord();
        break;
    case Impl::Mode::Edit:
        r.requireUpdatable();
        r.requireCurrent();
        r.updateRecord();
        break;
    }
}

void Recordset::CancelUpdate() {
    auto& r = *impl_;
    r.db();
    if (r.mode == Impl::Mode::None)
        throw DbError(kUpdateWithoutAddNew, "There is no record being added or edited: use Add or Edit first.");
    r.discardBuffer();
}

void Recordset::Delete() {
    auto& r = *impl_;
    r.db();
    r.requireUpdatable();
    r.requireCurrent();
    r.discardBuffer();
    const ErrorContext ctx = r.context();
    const long long key = r.keys[static_cast<std::size_t>(r.pos)];
    detail::PairsFollowRecord pairs(r.db(), r.conn->path, r.baseTable, key, true);
    Stmt st(r.db(), "DELETE FROM " + quoteIdent(r.baseTable) + " WHERE rowid = ?1", ctx);
    st.bindInt64(1, key);
    st.step();
    pairs.finish();
    // A record another connection deleted first is gone all the same.
    r.keys.erase(r.keys.begin() + r.pos);
    r.deleted = true;
}

void Recordset::Close() {
    sqlite3_finalize(impl_->recordStmt);
    impl_->recordStmt = nullptr;
    impl_->closed = true;
    impl_->discardBuffer();
    impl_->keys.clear();
    impl_->snapshot.clear();
}

ReadBatch::ReadBatch(const Recordset& rs) {
    const auto& r = *rs.impl_;
    if (r.closed || !r.conn->db || sqlite3_get_autocommit(r.conn->db) == 0) return;
    // Deferred: the lock comes with the first read, and a failure to begin
    // leaves each read taking its own.
    if (sqlite3_exec(r.conn->db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK) db_ = r.conn->db;
}

ReadBatch::~ReadBatch() {
    if (db_ && sqlite3_get_autocommit(db_) == 0) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace zolvant::db
