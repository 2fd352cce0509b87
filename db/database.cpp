#include "db/database.h"

#include <filesystem>
#include <map>
#include <tuple>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "db/engine.h"
#include "db/file_format.h"
#include "db/source.h"

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
// engine and hold tblComps and qryCritCos.
void checkComponentObjects(sqlite3* db, const ErrorContext& ctx) {
    Stmt st(db,
            "SELECT lower(name), type FROM sqlite_master WHERE type IN ('table', 'view')"
            " AND lower(name) IN ('tblcomps', 'qrycritcos')",
            ctx);
    bool table = false, query = false;
    while (st.step()) {
        const auto name = std::get<std::string>(st.column(0));
        const auto type = std::get<std::string>(st.column(1));
        if (name == "tblcomps" && type == "table") table = true;
        if (name == "qrycritcos") query = true;
    }
    const std::string lead = "The file '" + ctx.path + "' is not a component database: ";
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
    const ErrorContext ctx{path, {}};
    // An absolute name keeps the engine from reading "file:..." or ":memory:"
    // as anything but a file.
    const std::string name = fs::absolute(path, ec).string();
    const int flags = (conn->readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);  // never CREATE
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(ec ? path.c_str() : name.c_str(), &raw, flags, nullptr);
    conn->db = raw;
    if (rc != SQLITE_OK) detail::throwEngineError(raw, rc, ctx);
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, 2000);
    if (sqlite3_db_readonly(raw, "main") == 1) conn->readOnly = true;
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
    std::string source;

    // How rows are got: keyed (each row a record of baseTable, read by its
    // row id on demand) or, for sources that do not identify their records,
    // a read-only snapshot of the values.
    std::string keyedSql;
    std::string snapshotSql;
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
                            }};
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
        const ErrorContext ctx = context();
        std::vector<std::string> oldFields = fields;
        std::vector<bool> oldWritable = writable;
        std::vector<long long> newKeys;
        std::vector<std::vector<FieldValue>> newSnapshot;
        long long serial = nextSerial;
        try {
            if (!keyedSql.empty()) {
                Stmt st(db(), keyedSql, ctx);
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
                Stmt st(db(), snapshotSql, ctx);
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

    // The current record's values, read now by its key.
    std::vector<FieldValue> readCurrent() const {
        requireCurrent();
        if (keyedSql.empty()) return snapshot[static_cast<std::size_t>(pos)];
        const ErrorContext ctx = context();
        Stmt st(db(), "SELECT * FROM (" + keyedSql + ") WHERE " + std::string(detail::kKeyColumn) + " = ?1", ctx);
        st.bindInt64(1, keys[static_cast<std::size_t>(pos)]);
        if (!st.step())
            throw DbError(kRecordDeleted,
                          "The record has been deleted in another window or program: move to another record.");
        std::vector<FieldValue> row(fields.size());
        for (int c = 0; c < st.columnCount(); ++c) {
            const std::string name = st.columnName(c);
            for (std::size_t i = 0; i < fields.size(); ++i)
                if (sameName(fields[i], name)) {
                    row[i] = st.column(c);
                    break;
                }
        }
        return row;
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
        Stmt st(handle, sql, ctx);
        bindBuffer(st);
        st.bindInt64(index, key);
        st.step();
        if (sqlite3_changes(handle) == 0)
            throw DbError(kRecordDeleted, "The record has been deleted in another window or program.");
        discardBuffer();
    }
};

std::unique_ptr<Recordset> Database::OpenRecordset(const std::string& source) {
    sqlite3* db = impl_->conn->handle();
    const ErrorContext ctx{impl_->conn->path, {}};
    std::unique_ptr<Recordset> rs(new Recordset);
    rs->impl_ = std::make_unique<Recordset::Impl>();
    auto& r = *rs->impl_;
    r.conn = impl_->conn;
    r.source = source;

    const auto tokens = detail::tokenize(source);
    const bool statement = !tokens.empty() && tokens.front().word && !tokens.front().quoted &&
                           (tokens.front().text == "SELECT" || tokens.front().text == "WITH" ||
                            tokens.front().text == "VALUES");
    if (tokens.empty()) throw DbError(kEngine, "No recordset source is given.");
    if (statement) {
        detail::SelectPlan plan = detail::planSelect(source);
        bool baseIsTable = false;
        if (!plan.baseTable.empty()) {
            Stmt st(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE", ctx);
            st.bindText(1, plan.baseTable);
            baseIsTable = st.step();
        }
        if (baseIsTable) {
            r.keyedSql = plan.keyedSql;
            r.baseTable = plan.baseTable;
        } else {
            r.snapshotSql = plan.plainSql;
        }
    } else if (tokens.size() == 1 && tokens.front().word) {
        const detail::Token& t = tokens.front();
        const std::string bare = t.quoted ? t.text : source.substr(t.begin, t.end - t.begin);
        Stmt st(db, "SELECT type, name FROM sqlite_master WHERE type IN ('table', 'view') AND name = ?1 COLLATE NOCASE",
                ctx);
        st.bindText(1, bare);
        if (!st.step()) throw DbError(kMissingObject, "The database has no table or query named '" + bare + "'.");
        const auto type = std::get<std::string>(st.column(0));
        const auto stored = std::get<std::string>(st.column(1));
        if (type == "table") {
            r.keyedSql = "SELECT *, rowid AS " + std::string(detail::kKeyColumn) + " FROM " + quoteIdent(stored) +
                         " ORDER BY rowid";
            r.baseTable = stored;
        } else {
            // A query that exposes the record key reads and writes tblComps;
            // any other query is shown as it is, read-only.
            const std::string all = "SELECT * FROM " + quoteIdent(stored);
            Stmt probe(db, all, ctx);
            bool keyed = false;
            for (int c = 0; c < probe.columnCount(); ++c)
                if (sameName(probe.columnName(c), detail::kKeyColumn)) keyed = true;
            if (keyed) {
                r.keyedSql = all;
                r.baseTable = "tblComps";
            } else {
                r.snapshotSql = all;
            }
        }
    } else {
        throw DbError(kEngine, "'" + source + "' is neither the name of a table or query nor a SELECT statement.");
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
    return r.readCurrent()[index];
}

void Recordset::SetField(const std::string& name, const std::string& text) {
    auto& r = *impl_;
    r.db();
    const std::size_t index = r.fieldIndex(name);
    if (r.mode == Impl::Mode::None)
        throw DbError(kUpdateWithoutAddNew, "There is no record being added or edited: use Add or Edit first.");
    if (!r.writable[index]) throw DbError(kRefused, "The field " + r.fields[index] + " cannot be changed.");
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
    Stmt st(r.db(), "DELETE FROM " + quoteIdent(r.baseTable) + " WHERE rowid = ?1", ctx);
    st.bindInt64(1, r.keys[static_cast<std::size_t>(r.pos)]);
    st.step();
    // A record another connection deleted first is gone all the same.
    r.keys.erase(r.keys.begin() + r.pos);
    r.deleted = true;
}

void Recordset::Close() {
    impl_->closed = true;
    impl_->discardBuffer();
    impl_->keys.clear();
    impl_->snapshot.clear();
}

}  // namespace zolvant::db
