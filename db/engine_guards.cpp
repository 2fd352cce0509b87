#include "db/engine.h"

#include "db/engine_guards.h"

namespace zolvant::db::detail {

// ---------------------------------------------------------------- guards

thread_local Watch tWatch;
thread_local std::string tRefusedFunction;

namespace {

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

}  // namespace zolvant::db::detail
