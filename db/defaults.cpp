#include "db/defaults.h"

#include <array>
#include <set>
#include <vector>

#include "db/component_match.h"
#include "db/database.h"
#include "db/engine.h"
#include "db/kij.h"
#include "db/lookup.h"

namespace zolvant::db {

namespace {

using detail::ErrorContext;
using detail::Stmt;

constexpr const char* kFields = "Component, MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3, CAS";
constexpr int kFieldCount = 10;
using Record = std::array<FieldValue, kFieldCount>;

struct SeedContents {
    std::vector<Record> records;  // in the seed's stored order, named ones only
    std::vector<KijPair> pairs;
};

SeedContents readSeed(const std::string& path) {
    const auto db = Database::OpenDatabase(path, true);
    sqlite3* handle = db->handle();
    const ErrorContext ctx{path, {}, "The table tblComps of '" + path + "'"};
    const std::string columns = detail::hasCasColumn(handle)
                                    ? std::string(kFields)
                                    : "Component, MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3, NULL";
    SeedContents out;
    Stmt st(handle, "SELECT " + columns + " FROM tblComps ORDER BY rowid", ctx);
    while (st.step()) {
        Record r;
        for (int c = 0; c < kFieldCount; ++c) r[static_cast<std::size_t>(c)] = st.column(c);
        if (!componentName(r[0]).empty()) out.records.push_back(std::move(r));
    }
    out.pairs = readKijPairs(*db);
    return out;
}

// The names of the database's records, folded as the engine's NOCASE.
std::set<std::string> foldedNames(sqlite3* handle, const ErrorContext& ctx) {
    std::set<std::string> names;
    Stmt st(handle, "SELECT Component FROM tblComps", ctx);
    while (st.step()) {
        const std::string name = componentName(st.column(0));
        if (!name.empty()) names.insert(foldCase(name));
    }
    return names;
}

void bindValue(Stmt& st, int index, const FieldValue& v) {
    if (const auto* text = std::get_if<std::string>(&v))
        st.bindText(index, *text);
    else if (const auto* number = std::get_if<double>(&v))
        st.bindText(index, detail::numberText(*number));  // exact: the shortest text that reads back
    else
        st.bindNull(index);
}

bool hasPair(sqlite3* handle, const KijPair& p, const ErrorContext& ctx) {
    Stmt st(handle,
            "SELECT 1 FROM tblKij WHERE Equation = ?3 AND ((Component1 = ?1 AND Component2 = ?2)"
            " OR (Component1 = ?2 AND Component2 = ?1))",
            ctx);
    st.bindText(1, p.component1);
    st.bindText(2, p.component2);
    st.bindText(3, p.equation);
    return st.step();
}

}  // namespace

AddedDefaults addDefaultComponents(const std::string& targetPath, const std::string& seedPath) {
    const SeedContents seed = readSeed(seedPath);
    const auto target = Database::OpenDatabase(targetPath);
    if (target->readOnly())
        throw DbError(kReadOnly, "The database '" + targetPath + "' is open read-only: it cannot be changed.");
    sqlite3* handle = target->handle();
    const ErrorContext ctx{targetPath, {}};
    AddedDefaults added;
    detail::exec(handle, "BEGIN IMMEDIATE", ctx);
    try {
        detail::addCurrentSchema(handle, targetPath);
        std::set<std::string> names = foldedNames(handle, ctx);
        const std::string insert = std::string("INSERT INTO tblComps (") + kFields +
                                   ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)";
        for (const Record& r : seed.records) {
            if (!names.insert(foldCase(componentName(r[0]))).second) continue;
            Stmt st(handle, insert, ctx);
            for (int c = 0; c < kFieldCount; ++c) bindValue(st, c + 1, r[static_cast<std::size_t>(c)]);
            st.step();
            ++added.components;
        }
        for (const KijPair& p : seed.pairs) {
            if (!names.count(foldCase(p.component1)) || !names.count(foldCase(p.component2))) continue;
            if (hasPair(handle, p, ctx)) continue;
            Stmt st(handle, "INSERT INTO tblKij (Component1, Component2, Equation, kij) VALUES (?1, ?2, ?3, ?4)", ctx);
            st.bindText(1, p.component1);
            st.bindText(2, p.component2);
            st.bindText(3, p.equation);
            st.bindText(4, detail::numberText(p.kij));
            st.step();
            ++added.pairs;
        }
        detail::exec(handle, "COMMIT", ctx);
    } catch (...) {
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    return added;
}

int countMissingDefaults(const std::string& targetPath, const std::string& seedPath) {
    const SeedContents seed = readSeed(seedPath);
    const auto target = Database::OpenDatabase(targetPath, true);
    std::set<std::string> names = foldedNames(target->handle(), ErrorContext{targetPath, {}});
    int missing = 0;
    for (const Record& r : seed.records)
        if (names.insert(foldCase(componentName(r[0]))).second) ++missing;
    return missing;
}

}  // namespace zolvant::db
