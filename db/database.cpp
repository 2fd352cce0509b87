#include "db/database.h"

#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "db/database_impl.h"
#include "db/engine.h"
#include "db/file_format.h"
#include "db/schema.h"

namespace zolvant::db {

namespace fs = std::filesystem;

// ======================================================================
// Database

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

}  // namespace zolvant::db
