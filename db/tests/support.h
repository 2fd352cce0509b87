#pragma once
// Helpers shared by the database tests: temporary folders, component files
// made to measure, raw reads that bypass the code under test.

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "db/database.h"

// Qt's strings printed readably when an expectation fails.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace zolvant::db::test {

// A record as the tests write it: the name and eight numeric texts in the
// order MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3 (nullopt:
// Null).
struct Rec {
    std::string name;
    std::vector<std::optional<double>> numbers;  // up to eight; missing ones are Null
};

// Each test gets its own empty folder, removed afterwards.
class DbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string pathOf(const std::string& name) const;
    // A new component database holding recs, inserted in this order.
    std::string makeDb(const std::string& name, const std::vector<Rec>& recs);
    // The same in the schema the first versions wrote: no CAS column, no
    // tblKij, no check that a constant is positive.
    std::string makeVersion1Db(const std::string& name, const std::vector<Rec>& recs);
    QTemporaryDir dir_;
};

// The records of a components CSV file (a header naming the nine fields in
// their order, then optionally CAS), read by a reader of the tests' own.
struct CsvRow {
    std::string name;
    std::vector<std::string> cells;  // the fields after the name, as written
};
std::vector<CsvRow> readCsvRows(const std::string& path);
std::vector<Rec> recsOf(const std::vector<CsvRow>& rows);

// Raw access, independent of the recordset code.
void execSql(const std::string& path, const std::string& sql);
std::vector<std::string> namesInRowidOrder(const std::string& path);
std::string fileBytes(const std::string& path);
bool fileExists(const std::string& path);
std::vector<std::string> folderEntries(const std::string& folder);
void writeText(const std::string& path, const std::string& text);

// The number of a DbError thrown by f, or 0 when none was thrown.
struct Thrown {
    int number = 0;
    std::string description;
};
Thrown thrownBy(const std::function<void()>& f);

// The Component field as text ("<Null>" for Null).
std::string nameOf(const Recordset& rs);

}  // namespace zolvant::db::test
