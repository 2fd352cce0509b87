#include "db/schema.h"

#include <filesystem>

#include "db/engine.h"

namespace zolvant::db::detail {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- schema

// Numbers must be finite: a text such as "1e400" would otherwise be stored
// as infinity, silently changing what the user typed.
#define ZOLVANT_REAL_FIELD(name) \
    #name " REAL CONSTRAINT " #name "Finite CHECK (" #name \
    " BETWEEN -1.7976931348623157e308 AND 1.7976931348623157e308)"

// A Tc, Pc, Vc or MolWt of zero or below is impossible and gives nonsense
// later; an import keeps what the old file holds (POSITIVE is then REAL).
#define ZOLVANT_POSITIVE_FIELD(name) ZOLVANT_REAL_FIELD(name) " CONSTRAINT " #name "Positive CHECK (" #name " > 0)"

#define ZOLVANT_SCHEMA(POSITIVE)                                      \
    "CREATE TABLE tblComps ("                                         \
    " Component TEXT NOT NULL COLLATE NOCASE"                         \
    "  CONSTRAINT ComponentNotEmpty CHECK (length(Component) > 0),"   \
    " " POSITIVE(MolWt) ","                                           \
    " " POSITIVE(CritTemp) ","                                        \
    " " POSITIVE(CritPress) ","                                       \
    " " POSITIVE(CritVol) ","                                         \
    " " ZOLVANT_REAL_FIELD(AcentricF) ","                             \
    " " ZOLVANT_REAL_FIELD(K1) ","                                    \
    " " ZOLVANT_REAL_FIELD(K2) ","                                    \
    " " ZOLVANT_REAL_FIELD(K3) ","                                    \
    /* the CAS registry number; no window needs it */                 \
    " CAS TEXT"                                                       \
    ") STRICT;"                                                       \
    /* _RecKey tells a recordset which record each row is; the row */ \
    /* id breaks ties between equal names so that the order never */  \
    /* changes between runs. */                                       \
    "CREATE VIEW qryCritCos AS"                                       \
    " SELECT rowid AS _RecKey, Component, CritTemp, CritPress, AcentricF, K1, K2, K3" \
    " FROM tblComps ORDER BY Component, rowid;"                       \
    "PRAGMA user_version = 2;"

const char* const kSchemaSql = ZOLVANT_SCHEMA(ZOLVANT_POSITIVE_FIELD);
const char* const kImportSchemaSql = ZOLVANT_SCHEMA(ZOLVANT_REAL_FIELD);

#undef ZOLVANT_SCHEMA
#undef ZOLVANT_POSITIVE_FIELD
#undef ZOLVANT_REAL_FIELD

// ---------------------------------------------------------------- a new database

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
