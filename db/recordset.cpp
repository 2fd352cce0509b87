#include "db/database.h"

#include <algorithm>
#include <string>
#include <vector>

#include "db/database_impl.h"
#include "db/engine.h"

namespace zolvant::db {

// ======================================================================
// Recordset

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
