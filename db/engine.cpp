#include "db/engine.h"

namespace zolvant::db::detail {

// ---------------------------------------------------------------- connection

void Connection::close() {
    if (db) {
        // Every statement is finalized by the call that made it, so a plain
        // close succeeds; _v2 keeps even a missed one from leaking the file.
        sqlite3_close_v2(db);
        db = nullptr;
    }
}

sqlite3* Connection::handle() const {
    if (!db) throw DbError(kEngine, "The database connection is closed.");
    return db;
}

// ---------------------------------------------------------------- statements

Stmt::Stmt(sqlite3* db, std::string_view sql, const ErrorContext& ctx) : db_(db), ctx_(ctx) {
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throwEngineError(db, rc, ctx);
    }
    if (!stmt_) throw DbError(kEngine, "The database engine was given an empty statement.");
}

void Stmt::checkRow() {
    if (++rows_ > kMaxRows)
        throw DbError(kTooLarge, subjectOf(ctx_) + " gives more than " + std::to_string(kMaxRows) +
                                     " rows: a component database holds at most " + std::to_string(kMaxRows) +
                                     " components.");
    for (int c = 0; c < sqlite3_column_count(stmt_); ++c) {
        const int type = sqlite3_column_type(stmt_, c);
        if (type != SQLITE_TEXT && type != SQLITE_BLOB) continue;
        const int bytes = sqlite3_column_bytes(stmt_, c);
        if (bytes > kMaxValueBytes) throw valueTooLong(ctx_, bytes);
    }
}

Stmt::Stmt(sqlite3* db, sqlite3_stmt* kept, const ErrorContext& ctx) : db_(db), stmt_(kept), ctx_(ctx), kept_(true) {}

Stmt::~Stmt() {
    if (!kept_) {
        sqlite3_finalize(stmt_);
        return;
    }
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

sqlite3_stmt* prepareKept(sqlite3* db, std::string_view sql, const ErrorContext& ctx) {
    sqlite3_stmt* stmt = nullptr;
    const int rc =
        sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK || !stmt) {
        sqlite3_finalize(stmt);
        if (rc == SQLITE_OK) throw DbError(kEngine, "The database engine was given an empty statement.");
        throwEngineError(db, rc, ctx);
    }
    return stmt;
}

bool Stmt::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        checkRow();
        return true;
    }
    if (rc == SQLITE_DONE) return false;
    // The statement's own code is the precise one; errmsg still describes it.
    throwEngineError(db_, sqlite3_extended_errcode(db_), ctx_);
}

void Stmt::bindText(int index, std::string_view text) {
    const int rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) throwEngineError(db_, rc, ctx_);
}

void Stmt::bindInt64(int index, long long value) {
    const int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK) throwEngineError(db_, rc, ctx_);
}

void Stmt::bindNull(int index) {
    const int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK) throwEngineError(db_, rc, ctx_);
}

int Stmt::columnCount() const { return sqlite3_column_count(stmt_); }

std::string Stmt::columnName(int index) const {
    const char* name = sqlite3_column_name(stmt_, index);
    return name ? name : "";
}

FieldValue Stmt::column(int index) const {
    switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_NULL:
        return std::monostate{};
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt_, index);
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
        const int size = sqlite3_column_bytes(stmt_, index);
        return std::string(text ? text : "", static_cast<std::size_t>(size));
    }
    }
}

long long Stmt::columnInt64(int index) const { return sqlite3_column_int64(stmt_, index); }

bool Stmt::columnIsNull(int index) const { return sqlite3_column_type(stmt_, index) == SQLITE_NULL; }

void exec(sqlite3* db, const char* sql, const ErrorContext& ctx) {
    const Budget budget;
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) throwEngineError(db, sqlite3_extended_errcode(db), ctx);
}

std::string quoteIdent(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && sqlite3_strnicmp(a.data(), b.data(), static_cast<int>(a.size())) == 0;
}

}  // namespace zolvant::db::detail
