#include "db/tests/support.h"

#include <sqlite3.h>

#include <QDir>
#include <QSettings>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "db/settings.h"

namespace zolvant::db::test {

void DbTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    settings().clear();
    setDefaultDbPathOverride(QString());
}

void DbTest::TearDown() {
    settings().clear();
    setDefaultDbPathOverride(QString());
}

std::string DbTest::pathOf(const std::string& name) const {
    return QDir(dir_.path()).filePath(QString::fromStdString(name)).toStdString();
}

// Stores recs in the file's tblComps with the engine itself, bypassing the program.
static void insertRecords(const std::string& path, const std::vector<Rec>& recs) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO tblComps (Component, MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3)"
                       " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
                       -1, &st, nullptr);
    for (const Rec& r : recs) {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        sqlite3_bind_text(st, 1, r.name.c_str(), -1, SQLITE_TRANSIENT);
        for (std::size_t k = 0; k < r.numbers.size(); ++k)
            if (r.numbers[k]) sqlite3_bind_double(st, static_cast<int>(k + 2), *r.numbers[k]);
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE) << sqlite3_errmsg(db);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

std::string DbTest::makeDb(const std::string& name, const std::vector<Rec>& recs) {
    const std::string path = pathOf(name);
    Database::CreateDatabase(path);
    insertRecords(path, recs);
    return path;
}

std::string DbTest::makeVersion1Db(const std::string& name, const std::vector<Rec>& recs) {
    const std::string path = pathOf(name);
    execSql(path,
            "CREATE TABLE tblComps ("
            " Component TEXT NOT NULL COLLATE NOCASE CONSTRAINT ComponentNotEmpty CHECK (length(Component) > 0),"
            " MolWt REAL, CritTemp REAL, CritPress REAL, CritVol REAL, AcentricF REAL, K1 REAL, K2 REAL, K3 REAL"
            ") STRICT;"
            "CREATE VIEW qryCritCos AS SELECT rowid AS _RecKey, Component, CritTemp, CritPress, AcentricF, K1, K2, K3"
            " FROM tblComps ORDER BY Component, rowid;"
            "PRAGMA user_version = 1;");
    insertRecords(path, recs);
    return path;
}

std::vector<CsvRow> readCsvRows(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<CsvRow> rows;
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        std::vector<std::string> cells(1);
        bool quoted = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = !quoted;
            } else if (c == ',' && !quoted) {
                cells.emplace_back();
            } else {
                cells.back() += c;
            }
        }
        if (header) {
            header = false;
            continue;
        }
        CsvRow row{cells.front(), std::vector<std::string>(cells.begin() + 1, cells.end())};
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<Rec> recsOf(const std::vector<CsvRow>& rows) {
    std::vector<Rec> recs;
    for (const CsvRow& row : rows) {
        Rec r{row.name, {}};
        for (std::size_t k = 0; k < 8; ++k)
            r.numbers.push_back(row.cells[k].empty() ? std::nullopt : std::optional<double>(std::stod(row.cells[k])));
        recs.push_back(std::move(r));
    }
    return recs;
}

void execSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
}

std::vector<std::string> namesInRowidOrder(const std::string& path) {
    std::vector<std::string> names;
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT Component FROM tblComps ORDER BY rowid", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return names;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

Thrown thrownBy(const std::function<void()>& f) {
    try {
        f();
    } catch (const DbError& e) {
        return {e.number(), e.description()};
    }
    return {};
}

std::string nameOf(const Recordset& rs) {
    const FieldValue v = rs.Fields("Component");
    if (isNull(v)) return "<Null>";
    return std::get<std::string>(v);
}

}  // namespace zolvant::db::test
