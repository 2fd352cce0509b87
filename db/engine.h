#pragma once
// Internal to zolvant_db: a thin RAII layer over the SQLite C API (the
// connection and statements: engine.cpp), the guards every connection runs
// under (engine_guards.cpp), the translation of engine failures into
// numbered, readable DbErrors (engine_errors.cpp) and the checks and steps
// of writing a new file (engine_files.cpp). The schema of a component
// database is in schema.h. Not for use outside db/.

#include <sqlite3.h>

#include <chrono>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "db/database.h"

namespace zolvant::db::detail {

// Name of the column through which a query or statement tells which record
// of tblComps each of its rows is (the rowid). Never shown as a field.
inline constexpr std::string_view kKeyColumn = "_RecKey";

// One open connection, shared by the Database and its recordsets so that a
// recordset outliving Database::Close fails cleanly instead of crashing.
struct Connection {
    sqlite3* db = nullptr;
    std::string path;
    bool readOnly = false;

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { close(); }
    void close();
    sqlite3* handle() const;  // throws when closed
};

// What an error description may name: the file, and the text written to a
// field (so that a refused value can be quoted back to the user); subject
// names what was read ("The query qryCritCos of '<file>'"), when known.
struct ErrorContext {
    std::string path;
    std::function<std::optional<std::string>(const std::string& field)> valueOf;
    std::string subject = {};
};

// What a file from elsewhere may make the program do. A component database
// is a few thousand short records: these bounds are far beyond any real one
// and keep a hostile or broken file from hanging the program or filling its
// memory.
inline constexpr int kBudgetSeconds = 3;          // the statements of one operation
inline constexpr long long kMaxRows = 100000;     // rows one statement may give
inline constexpr int kMaxValueBytes = 255;        // a name or value read or stored
inline constexpr int kMaxEngineLength = 100000;   // any text, blob or row the engine builds

// Sets up a new connection: defensive mode, the file's schema untrusted, no
// extensions, no triggers, lowered limits, and the progress handler that
// stops a statement past its budget. Every connection goes through it.
void configureConnection(sqlite3* db);

// While one exists on this thread, the statements run on it share one time
// budget, counted from the first; nested ones add nothing. Every Stmt holds
// one, so that no statement runs without a budget.
class Budget {
public:
    Budget();
    ~Budget();
    Budget(const Budget&) = delete;
    Budget& operator=(const Budget&) = delete;
};

// Throws the DbError that stands for the engine's result code rc on db.
[[noreturn]] void throwEngineError(sqlite3* db, int rc, const ErrorContext& ctx);

// How a message names what a statement reads: the context's subject, or
// "A query of the database '<file>'".
std::string subjectOf(const ErrorContext& ctx);

// A prepared statement, finalized on destruction: no statement outlives the
// call that made it, so a connection never holds a lock between calls.
class Stmt {
public:
    Stmt(sqlite3* db, std::string_view sql, const ErrorContext& ctx);
    // A statement its owner keeps prepared (see prepareKept): reset, not
    // finalized, on destruction, so that it holds no lock between calls.
    Stmt(sqlite3* db, sqlite3_stmt* kept, const ErrorContext& ctx);
    ~Stmt();
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    bool step();  // true: a row is ready; false: done. Throws DbError.
    void bindText(int index, std::string_view text);
    void bindInt64(int index, long long value);
    void bindNull(int index);

    int columnCount() const;
    std::string columnName(int index) const;
    FieldValue column(int index) const;
    long long columnInt64(int index) const;
    bool columnIsNull(int index) const;

private:
    void checkRow();

    Budget budget_;   // first: it covers preparing as well
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    const ErrorContext& ctx_;
    long long rows_ = 0;
    bool kept_ = false;
};

// Prepares a statement to be run many times through Stmt(db, kept, ctx);
// the owner finalizes it. Throws DbError.
sqlite3_stmt* prepareKept(sqlite3* db, std::string_view sql, const ErrorContext& ctx);

// The error for a text of `bytes` bytes, longer than kMaxValueBytes.
DbError valueTooLong(const ErrorContext& ctx, long long bytes);

// Runs statements without results (schema, transactions).
void exec(sqlite3* db, const char* sql, const ErrorContext& ctx);

// "name" with inner quotes doubled.
std::string quoteIdent(std::string_view name);

// Case-insensitive comparison of ASCII names, as the engine compares
// identifiers.
bool sameName(std::string_view a, std::string_view b);

// The checks of a path shared by opening and creating: kInvalidPath when
// empty or when its folder does not exist or it names a folder.
void checkPathIsValid(const std::string& path);

// A new file is built under a name of its own beside its target and
// published there only when complete (see buildDatabaseFile, schema.h).

// The message refusing a new database where a file already is.
std::string alreadyExists(const std::string& path);

// Removes the half-built file (and a journal the engine may have left) unless
// released.
struct TempFileGuard {
    std::string path;
    ~TempFileGuard();
};

// Creates an empty file of a new name in dir, hidden and named after stem;
// returns its path.
std::string createUniqueFile(const std::filesystem::path& dir, const std::string& stem);

// Moves the finished file into place, never over an existing file.
void publish(const std::string& temp, const std::string& path);

}  // namespace zolvant::db::detail
