#include "db/engine.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <tuple>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zolvant::db::detail {

namespace fs = std::filesystem;

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

// ---------------------------------------------------------------- guards

namespace {

struct Watch {
    std::chrono::steady_clock::time_point deadline;
    int depth = 0;
    bool expired = false;
};

// Per thread: a statement runs on the thread that steps it, and so does
// its progress handler.
thread_local Watch tWatch;

// The function the authorizer refused last on this thread, for the message.
thread_local std::string tRefusedFunction;

// printf('%.*c', 2000000000, 'x') spends seconds inside one call of the
// engine's printf, where no progress handler can stop it; no component
// database needs either name.
int authorize(void*, int action, const char*, const char* function, const char*, const char*) {
    if (action != SQLITE_FUNCTION || !function) return SQLITE_OK;
    if (sqlite3_stricmp(function, "printf") != 0 && sqlite3_stricmp(function, "format") != 0) return SQLITE_OK;
    tRefusedFunction = function;
    return SQLITE_DENY;
}

int onProgress(void*) {
    if (tWatch.depth == 0 || std::chrono::steady_clock::now() < tWatch.deadline) return 0;
    tWatch.expired = true;
    return 1;  // interrupts the statement
}

}  // namespace

Budget::Budget() {
    if (tWatch.depth++ == 0) {
        tWatch.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kBudgetSeconds);
        tWatch.expired = false;
    }
}

Budget::~Budget() { --tWatch.depth; }

void configureConnection(sqlite3* db) {
    // Far above what the engine needs for any component database; it turns
    // a runaway statement into SQLITE_NOMEM instead of exhausting memory.
    static const bool heapLimited = [] {
        sqlite3_hard_heap_limit64(256LL * 1024 * 1024);
        return true;
    }();
    (void)heapLimited;

    sqlite3_extended_result_codes(db, 1);
    // Defensive: no writable schema, no journal tricks, no shadow-table writes.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    // The file's views may not call functions with side effects.
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    // A file with triggers is refused at opening; this keeps any from running.
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kMaxEngineLength);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, kMaxEngineLength);
    sqlite3_limit(db, SQLITE_LIMIT_COLUMN, 100);
    sqlite3_limit(db, SQLITE_LIMIT_EXPR_DEPTH, 100);
    sqlite3_limit(db, SQLITE_LIMIT_COMPOUND_SELECT, 50);
    sqlite3_limit(db, SQLITE_LIMIT_VDBE_OP, 100000);
    sqlite3_limit(db, SQLITE_LIMIT_FUNCTION_ARG, 32);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 1000);
    sqlite3_limit(db, SQLITE_LIMIT_VARIABLE_NUMBER, 32);
    sqlite3_limit(db, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    sqlite3_limit(db, SQLITE_LIMIT_WORKER_THREADS, 0);
    sqlite3_progress_handler(db, 1000, &onProgress, nullptr);
    sqlite3_set_authorizer(db, &authorize, nullptr);
}

// ---------------------------------------------------------------- errors

namespace {

std::string afterLast(const std::string& text, char c) {
    const auto at = text.rfind(c);
    return at == std::string::npos ? text : text.substr(at + 1);
}

std::string afterMarker(const std::string& text, const std::string& marker) {
    const auto at = text.find(marker);
    return at == std::string::npos ? std::string() : text.substr(at + marker.size());
}

std::string quotedValue(const ErrorContext& ctx, const std::string& field) {
    if (!ctx.valueOf) return {};
    const auto v = ctx.valueOf(field);
    return v ? "'" + *v + "'" : std::string();
}

std::string describeConstraint(int rc, const std::string& msg, const ErrorContext& ctx) {
    static const std::string kNoName =
        "A component must have a name: the field Component cannot be empty.";
    switch (rc) {
    case SQLITE_CONSTRAINT_DATATYPE: {
        // "cannot store TEXT value in REAL column tblComps.CritTemp"
        const std::string column = afterMarker(msg, " column ");
        if (!column.empty()) {
            const std::string field = afterLast(column, '.');
            const std::string value = quotedValue(ctx, field);
            return (value.empty() ? std::string("The value") : "The value " + value) +
                   " is not a number: the field " + field + " takes numbers only.";
        }
        break;
    }
    case SQLITE_CONSTRAINT_NOTNULL: {
        const std::string field = afterLast(afterMarker(msg, ": "), '.');
        if (sameName(field, "Component")) return kNoName;
        if (!field.empty()) return "The field " + field + " must have a value.";
        break;
    }
    case SQLITE_CONSTRAINT_CHECK: {
        const std::string name = afterMarker(msg, ": ");
        if (name == "ComponentNotEmpty") return kNoName;
        // "<Field>Finite" and "<Field>Positive" name the field they guard.
        for (const auto& [suffix, lead, tail] : {std::tuple<std::string, const char*, const char*>{
                 "Finite", " is too large to be stored in the field ", "."},
                 {"Positive", " cannot be stored in the field ", ": it must be greater than 0."}}) {
            if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            const std::string field = name.substr(0, name.size() - suffix.size());
            const std::string value = quotedValue(ctx, field);
            return (value.empty() ? std::string("The value") : "The value " + value) + lead + field + tail;
        }
        break;
    }
    default:
        break;
    }
    return "The database refused the record: " + msg + ".";
}

std::string subjectOf(const ErrorContext& ctx) {
    return ctx.subject.empty() ? "A query of the database '" + ctx.path + "'" : ctx.subject;
}

const std::string kValueBound = ": a name or value in a component database is at most " +
                                std::to_string(kMaxValueBytes) + " bytes long.";

}  // namespace

DbError valueTooLong(const ErrorContext& ctx, long long bytes) {
    return DbError(kTooLarge, subjectOf(ctx) + " gives a value of " + std::to_string(bytes) + " bytes" + kValueBound);
}

void throwEngineError(sqlite3* db, int rc, const ErrorContext& ctx) {
    const std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const std::string file = "'" + ctx.path + "'";
    switch (rc & 0xff) {
    case SQLITE_INTERRUPT:
        if (tWatch.expired)
            throw DbError(kTimedOut, subjectOf(ctx) + " did not finish within " + std::to_string(kBudgetSeconds) +
                                         " seconds.");
        break;
    case SQLITE_TOOBIG:
        throw DbError(kTooLarge, subjectOf(ctx) + " builds a value of more than " +
                                     std::to_string(kMaxEngineLength) + " bytes" + kValueBound);
    case SQLITE_NOMEM:
        throw DbError(kTooLarge, subjectOf(ctx) + " needs more memory than a component database can: it was stopped.");
    case SQLITE_AUTH:
    case SQLITE_ERROR: {
        if (!tRefusedFunction.empty() && msg.rfind("not authorized", 0) == 0) {
            const std::string function = std::move(tRefusedFunction);
            tRefusedFunction.clear();
            throw DbError(kEngine, subjectOf(ctx) + " calls " + function +
                                       "(), which the program does not let a database file run.");
        }
        // "unsafe use of load_extension()": the file's schema calls a
        // function it may not.
        const std::string unsafe = afterMarker(msg, "unsafe use of ");
        if (!unsafe.empty())
            throw DbError(kEngine, subjectOf(ctx) + " calls " + unsafe +
                                       ", which the program does not let a database file run.");
        break;
    }
    case SQLITE_CONSTRAINT:
        throw DbError(kRefused, describeConstraint(rc, msg, ctx));
    case SQLITE_READONLY:
        // The engine says "read-only" for two states the user must be told
        // apart from a file opened read-only.
        if (rc == SQLITE_READONLY_DBMOVED)
            throw DbError(kReadOnly, "The database file " + file +
                                         " has been deleted or moved while it was open: changes cannot be stored in it.");
        if (rc == SQLITE_READONLY_ROLLBACK || rc == SQLITE_READONLY_RECOVERY)
            throw DbError(kEngine, "The database file " + file +
                                       " was left unfinished by a program that stopped while changing it; it "
                                       "cannot be repaired while open read-only.");
        throw DbError(kReadOnly, "The database " + file + " is open read-only: it cannot be changed.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw DbError(kBusy, "The database " + file +
                                 " is locked by another program or window. Try again in a moment.");
    case SQLITE_NOTADB:
        throw DbError(kNotADatabase, "The file " + file +
                                         " is not a component database: it is not a SQLite database file.");
    case SQLITE_CORRUPT:
        throw DbError(kEngine, "The database file " + file + " is damaged.");
    case SQLITE_FULL:
        throw DbError(kEngine, "The disk holding the database " + file + " is full.");
    case SQLITE_CANTOPEN:
        throw DbError(kEngine, "The database file " + file + " cannot be opened.");
    case SQLITE_IOERR:
        throw DbError(kEngine, "The database file " + file + " could not be read or written: " + msg + ".");
    default:
        break;
    }
    throw DbError(kEngine, "The database engine failed: " + msg + ".");
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

// ---------------------------------------------------------------- schema

// Numbers must be finite: a text such as "1e400" would otherwise be stored
// as infinity, silently changing what the user typed.
#define ZOLVANT_REAL_FIELD(name) \
    #name " REAL CONSTRAINT " #name "Finite CHECK (" #name \
    " BETWEEN -1.7976931348623157e308 AND 1.7976931348623157e308)"
// A Tc, Pc, Vc or MolWt of zero or below is impossible and gives nonsense later;
// an import keeps what the old file holds (POSITIVE is then REAL).
#define ZOLVANT_POSITIVE_FIELD(name) ZOLVANT_REAL_FIELD(name) " CONSTRAINT " #name "Positive CHECK (" #name " > 0)"
#define ZOLVANT_SCHEMA(POSITIVE)                                                                     \
    "CREATE TABLE tblComps ("                                                                        \
    " Component TEXT NOT NULL COLLATE NOCASE"                                                        \
    "  CONSTRAINT ComponentNotEmpty CHECK (length(Component) > 0),"                                  \
    " " POSITIVE(MolWt) ", " POSITIVE(CritTemp) ", " POSITIVE(CritPress) ", " POSITIVE(CritVol) "," \
    " " ZOLVANT_REAL_FIELD(AcentricF) "," " " ZOLVANT_REAL_FIELD(K1) ","                             \
    " " ZOLVANT_REAL_FIELD(K2) "," " " ZOLVANT_REAL_FIELD(K3) ","                                    \
    " CAS TEXT"  /* the CAS registry number; no window needs it */                                   \
    ") STRICT;"                                                                                      \
    /* _RecKey tells a recordset which record each row is; the row id breaks */                      \
    /* ties between equal names so that the order never changes between runs. */                     \
    "CREATE VIEW qryCritCos AS"                                                                      \
    " SELECT rowid AS _RecKey, Component, CritTemp, CritPress, AcentricF, K1, K2, K3"                \
    " FROM tblComps ORDER BY Component, rowid;"                                                      \
    "PRAGMA user_version = 2;"

const char* const kSchemaSql = ZOLVANT_SCHEMA(ZOLVANT_POSITIVE_FIELD);
const char* const kImportSchemaSql = ZOLVANT_SCHEMA(ZOLVANT_REAL_FIELD);

#undef ZOLVANT_SCHEMA
#undef ZOLVANT_POSITIVE_FIELD
#undef ZOLVANT_REAL_FIELD

// ---------------------------------------------------------------- files

void checkPathIsValid(const std::string& path) {
    if (path.empty()) throw DbError(kInvalidPath, "No path of a database file is given.");
    if (path.find('\0') != std::string::npos)
        throw DbError(kInvalidPath, "The path '" + path + "' is not a valid path.");
    const fs::path p(path);
    std::error_code ec;
    if (!p.has_filename() || fs::is_directory(p, ec))
        throw DbError(kInvalidPath, "The path '" + path + "' names a folder, not a database file.");
    const fs::path dir = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    if (!fs::is_directory(dir, ec))
        throw DbError(kInvalidPath,
                      "The path '" + path + "' is not valid: the folder '" + dir.string() + "' does not exist.");
}

namespace {

std::string alreadyExists(const std::string& path) {
    return "The file '" + path + "' already exists: a new database is never written over a file.";
}

// Removes the half-built file (and a journal the engine may have left) unless
// released.
struct TempFileGuard {
    std::string path;
    ~TempFileGuard() {
        if (path.empty()) return;
        std::error_code ec;
        fs::remove(path, ec);
        fs::remove(path + "-journal", ec);
    }
};

std::string createUniqueFile(const fs::path& dir, const std::string& stem) {
    std::random_device seed;
    std::mt19937_64 gen(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = dir / ("." + stem + "." + std::to_string(gen() % 1000000000ULL) + ".tmp");
#ifndef _WIN32
        const int fd = ::open(candidate.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate.string();
        }
        if (errno != EEXIST)
            throw DbError(kEngine, "Cannot create a file in the folder '" + dir.string() + "': " +
                                       std::strerror(errno) + ".");
#else
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate.string();
#endif
    }
    throw DbError(kEngine, "Cannot create a file in the folder '" + dir.string() + "'.");
}

// Moves the finished file into place, never over an existing file.
void publish(const std::string& temp, const std::string& path) {
#ifndef _WIN32
    if (::link(temp.c_str(), path.c_str()) == 0) return;
    if (errno == EEXIST) throw DbError(kAlreadyExists, alreadyExists(path));
    // A file system without hard links: check, then rename.
#endif
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) throw DbError(kAlreadyExists, alreadyExists(path));
    fs::rename(temp, path, ec);
    if (ec) throw DbError(kEngine, "Cannot create the file '" + path + "': " + ec.message() + ".");
}

}  // namespace

void buildDatabaseFile(const std::string& path, const std::function<void(sqlite3*)>& fill, const char* schemaSql) {
    checkPathIsValid(path);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) throw DbError(kAlreadyExists, alreadyExists(path));

    const fs::path target(path);
    const fs::path dir = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    TempFileGuard guard{createUniqueFile(dir, target.filename().string())};

    const ErrorContext ctx{path, {}};
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(guard.path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    Connection conn;  // closes on every way out
    conn.db = raw;
    conn.path = path;
    if (rc != SQLITE_OK) throwEngineError(raw, rc, ctx);
    configureConnection(raw);
    exec(raw, "BEGIN IMMEDIATE", ctx);
    try {
        exec(raw, schemaSql, ctx);
        fill(raw);
        exec(raw, "COMMIT", ctx);
    } catch (...) {
        sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    conn.close();
    publish(guard.path, path);
}

}  // namespace zolvant::db::detail
