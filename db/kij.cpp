#include "db/kij.h"

#include <charconv>
#include <cmath>
#include <memory>

#include "db/component_match.h"
#include "db/engine.h"
#include "db/schema.h"

namespace zolvant::db {

namespace detail {

const char* const kKijSchemaSql =
    "CREATE TABLE tblKij ("
    " Component1 TEXT NOT NULL COLLATE NOCASE CONSTRAINT Component1NotEmpty CHECK (length(Component1) > 0),"
    " Component2 TEXT NOT NULL COLLATE NOCASE CONSTRAINT Component2NotEmpty CHECK (length(Component2) > 0),"
    " Equation TEXT NOT NULL"
    "  CONSTRAINT EquationKnown CHECK (Equation IN ('Peng-Robinson', 'Soave-Redlich-Kwong')),"
    " kij REAL NOT NULL CONSTRAINT kijFinite CHECK (kij BETWEEN -1.7976931348623157e308 AND 1.7976931348623157e308),"
    " CONSTRAINT PairOfTwoComponents CHECK (Component1 <> Component2)"
    ") STRICT;"
    // One value per pair and equation, whichever order the names are in
    // (lower() folds as NOCASE does: ASCII letters only).
    "CREATE UNIQUE INDEX tblKijPair ON tblKij (min(lower(Component1), lower(Component2)),"
    " max(lower(Component1), lower(Component2)), Equation);"
    "CREATE INDEX tblKijComponent2 ON tblKij (Component2);";

std::string numberText(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

bool hasTable(sqlite3* db, const char* table) {
    const ErrorContext ctx{"", {}};
    Stmt st(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE", ctx);
    st.bindText(1, table);
    return st.step();
}

bool hasCasColumn(sqlite3* db) {
    const ErrorContext ctx{"", {}};
    Stmt st(db, "SELECT 1 FROM pragma_table_info('tblComps') WHERE name = 'CAS' COLLATE NOCASE", ctx);
    return st.step();
}

void addCurrentSchema(sqlite3* db, const std::string& path) {
    const ErrorContext ctx{path, {}};
    if (!hasCasColumn(db)) {
        // The engine rewrites the table's definition with its own printf(),
        // which the connection refuses to a file's statements: lifted for
        // this one statement of ours, then every guard is set up again.
        struct Guards {
            sqlite3* db;
            ~Guards() { configureConnection(db); }
        } restore{db};
        sqlite3_set_authorizer(db, nullptr, nullptr);
        exec(db, "ALTER TABLE tblComps ADD COLUMN CAS TEXT", ctx);
    }
    if (!hasTable(db, "tblKij")) exec(db, kKijSchemaSql, ctx);
}

// A savepoint that undoes its changes unless released. When it began the
// transaction, undoing ends it, so that no lock outlives a failure.
class Savepoint {
public:
    Savepoint(sqlite3* db, const ErrorContext& ctx) : db_(db), outermost_(sqlite3_get_autocommit(db) != 0) {
        exec(db, "SAVEPOINT zolvantKij", ctx);
    }
    ~Savepoint() {
        if (open_)
            sqlite3_exec(db_, outermost_ ? "ROLLBACK" : "ROLLBACK TO zolvantKij; RELEASE zolvantKij", nullptr, nullptr,
                         nullptr);
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void release(const ErrorContext& ctx) {
        exec(db_, "RELEASE zolvantKij", ctx);
        open_ = false;
    }

private:
    sqlite3* db_;
    bool outermost_;
    bool open_ = true;
};

namespace {

// The Component field of a record as text; "" when absent, Null or not a text.
std::string nameOfRecord(sqlite3* db, long long key, const ErrorContext& ctx) {
    Stmt st(db, "SELECT Component FROM tblComps WHERE rowid = ?1", ctx);
    st.bindInt64(1, key);
    if (!st.step()) return {};
    const FieldValue v = st.column(0);
    const auto* text = std::get_if<std::string>(&v);
    return text ? *text : std::string();
}

}  // namespace

PairsFollowRecord::PairsFollowRecord(sqlite3* db, const std::string& path, const std::string& table, long long key,
                                     bool nameMayChange)
    : path_(path), key_(key) {
    if (!nameMayChange || !sameName(table, "tblComps") || !hasTable(db, "tblKij")) return;
    const ErrorContext ctx{path, {}};
    auto savepoint = std::make_unique<Savepoint>(db, ctx);
    oldName_ = nameOfRecord(db, key, ctx);
    if (oldName_.empty()) {
        savepoint->release(ctx);  // a record without a name has no pairs
        return;
    }
    savepoint_ = std::move(savepoint);
    db_ = db;
}

PairsFollowRecord::~PairsFollowRecord() = default;  // an unreleased savepoint undoes the write

void PairsFollowRecord::finish() {
    if (!db_) return;
    const ErrorContext ctx{path_, {}};
    const std::string newName = nameOfRecord(db_, key_, ctx);  // "" once deleted
    bool nameLeft = false;
    if (!equalsFolded(newName, oldName_)) {
        Stmt others(db_, "SELECT 1 FROM tblComps WHERE Component = ?1 LIMIT 1", ctx);
        others.bindText(1, oldName_);
        nameLeft = !others.step();
    }
    if (nameLeft) {
        // The last record of the old name: its pairs go with it. Where the new
        // name already has a pair with the same partner and equation, that
        // one stays, and the old one goes.
        if (!newName.empty())
            for (const char* column : {"Component1", "Component2"}) {
                Stmt move(db_, std::string("UPDATE OR IGNORE tblKij SET ") + column + " = ?1 WHERE " + column + " = ?2",
                          ctx);
                move.bindText(1, newName);
                move.bindText(2, oldName_);
                move.step();
            }
        Stmt drop(db_, "DELETE FROM tblKij WHERE Component1 = ?1 OR Component2 = ?1", ctx);
        drop.bindText(1, oldName_);
        drop.step();
    }
    savepoint_->release(ctx);
    savepoint_.reset();
    db_ = nullptr;
}

}  // namespace detail

const char* kijEquationOfBlock(int block) {
    switch (block) {
    case 2:
    case 4:
    case 5:
        return kPengRobinson;
    case 3:
        return kSoaveRedlichKwong;
    default:
        return nullptr;
    }
}

std::vector<KijPair> readKijPairs(const Database& db) {
    sqlite3* handle = db.handle();
    if (!handle) throw DbError(kEngine, "The database connection is closed.");
    std::vector<KijPair> out;
    if (!detail::hasTable(handle, "tblKij")) return out;
    const detail::ErrorContext ctx{db.path(), {}, "The table tblKij of '" + db.path() + "'"};
    detail::Stmt st(handle, "SELECT Component1, Component2, Equation, kij FROM tblKij ORDER BY rowid", ctx);
    while (st.step()) {
        const FieldValue c1 = st.column(0), c2 = st.column(1), eq = st.column(2), k = st.column(3);
        const auto* s1 = std::get_if<std::string>(&c1);
        const auto* s2 = std::get_if<std::string>(&c2);
        const auto* se = std::get_if<std::string>(&eq);
        const auto* v = std::get_if<double>(&k);
        if (!s1 || !s2 || !se || !v)
            throw DbError(kEngine, "The table tblKij of '" + db.path() + "' holds a pair that is not two names, "
                                   "an equation and a number.");
        out.push_back({*s1, *s2, *se, *v});
    }
    return out;
}

KijMatrices kijMatrices(const Database& db, const std::vector<std::string>& names) {
    if (names.size() > 4) throw DbError(kRefused, "A mixture has at most 4 components.");
    KijMatrices out{};
    const std::vector<KijPair> pairs = readKijPairs(db);
    for (int block = 0; block < 6; ++block) {
        const char* equation = kijEquationOfBlock(block);
        if (!equation) continue;
        for (std::size_t i = 0; i < names.size(); ++i)
            for (std::size_t j = i + 1; j < names.size(); ++j) {
                if (names[i].empty() || names[j].empty() || equalsFolded(names[i], names[j])) continue;
                for (const KijPair& p : pairs) {
                    const bool same = (equalsFolded(p.component1, names[i]) && equalsFolded(p.component2, names[j])) ||
                                      (equalsFolded(p.component1, names[j]) && equalsFolded(p.component2, names[i]));
                    if (same && p.equation == equation) out[block][i][j] = out[block][j][i] = p.kij;
                }
            }
    }
    return out;
}

KijMatrices kijMatrices(const std::string& path, const std::vector<std::string>& names) {
    const auto db = Database::OpenDatabase(path, true);
    return kijMatrices(*db, names);
}

void storeKijPairs(Database& db, const std::vector<KijPair>& pairs) {
    sqlite3* handle = db.handle();
    if (!handle) throw DbError(kEngine, "The database connection is closed.");
    const std::string& path = db.path();
    const detail::ErrorContext ctx{path, {}};
    for (const KijPair& p : pairs) {
        const std::string which = "The interaction parameter of '" + p.component1 + "' and '" + p.component2 + "'";
        if (p.component1.empty() || p.component2.empty())
            throw DbError(kRefused, "An interaction parameter needs the names of two components.");
        if (equalsFolded(p.component1, p.component2))
            throw DbError(kRefused, which + " is of a component with itself: a pair needs two components.");
        if (p.equation != kPengRobinson && p.equation != kSoaveRedlichKwong)
            throw DbError(kRefused, which + " is for the equation '" + p.equation + "': pairs are stored for " +
                                        kPengRobinson + " or " + kSoaveRedlichKwong + " only.");
        if (!std::isfinite(p.kij)) throw DbError(kRefused, which + " is not a finite number.");
        for (const std::string& name : {p.component1, p.component2}) {
            detail::Stmt known(handle, "SELECT 1 FROM tblComps WHERE Component = ?1 LIMIT 1", ctx);
            known.bindText(1, name);
            if (!known.step())
                throw DbError(kRefused, which + " cannot be stored: the database has no component named '" + name +
                                            "'.");
        }
    }
    detail::Savepoint savepoint(handle, ctx);
    detail::addCurrentSchema(handle, path);
    for (const KijPair& p : pairs) {
        detail::Stmt drop(handle,
                          "DELETE FROM tblKij WHERE Equation = ?3 AND ((Component1 = ?1 AND Component2 = ?2)"
                          " OR (Component1 = ?2 AND Component2 = ?1))",
                          ctx);
        drop.bindText(1, p.component1);
        drop.bindText(2, p.component2);
        drop.bindText(3, p.equation);
        drop.step();
        detail::Stmt add(handle, "INSERT INTO tblKij (Component1, Component2, Equation, kij) VALUES (?1, ?2, ?3, ?4)",
                         ctx);
        add.bindText(1, p.component1);
        add.bindText(2, p.component2);
        add.bindText(3, p.equation);
        add.bindText(4, detail::numberText(p.kij));
        add.step();
    }
    savepoint.release(ctx);
}

}  // namespace zolvant::db
