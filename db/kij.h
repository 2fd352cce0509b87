#pragma once
// Binary interaction parameters (kij) of a component database: the table
// tblKij, a pair of components by name with an equation and a value.
//
// A pair belongs to the two names (compared case aside, as tblComps compares
// them), not to one record: renaming the only record of a name through a
// recordset carries its pairs to the new name, and deleting the last record
// of a name removes them (see detail::PairsFollowRecord). An older database
// without tblKij (any made by an earlier version, and a new one until its
// first pair is stored) reads as having no pairs.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"

namespace zolvant::db {

// The equations a pair is stored for, as kij.csv names them. Peng-Robinson
// pairs serve Peng-Robinson, PRSV1 and PRSV2; Soave-Redlich-Kwong pairs
// Soave-Redlich-Kwong; van der Waals and Redlich-Kwong have none.
inline constexpr const char* kPengRobinson = "Peng-Robinson";
inline constexpr const char* kSoaveRedlichKwong = "Soave-Redlich-Kwong";

struct KijPair {
    std::string component1;
    std::string component2;
    std::string equation;  // kPengRobinson or kSoaveRedlichKwong
    double kij = 0;
    bool operator==(const KijPair&) const = default;
};

// kij[i][j] of the components of a mixture (rows in the grid's order, 4 at
// most), symmetric with zeros on the diagonal and where no pair is stored.
using KijMatrix = std::array<std::array<double, 4>, 4>;
// One matrix per equation block of the grid: 0 van der Waals, 1
// Redlich-Kwong, 2 Peng-Robinson, 3 Soave-Redlich-Kwong, 4 PRSV1, 5 PRSV2.
using KijMatrices = std::array<KijMatrix, 6>;

// The stored equation whose pairs a grid block uses; nullptr for none.
const char* kijEquationOfBlock(int block);

// The matrices for up to four names (more throw kRefused); an empty name is
// a row of zeros. Names are compared case aside. Throws DbError.
KijMatrices kijMatrices(const Database& db, const std::vector<std::string>& names);
KijMatrices kijMatrices(const std::string& path, const std::vector<std::string>& names);

// Every stored pair in stored order; none without tblKij. Throws DbError.
std::vector<KijPair> readKijPairs(const Database& db);

// Stores the pairs in one transaction, whole or not at all: a pair already
// stored for the same two names and equation (in either order) takes the new
// value. Each name must be a component of the database, the two different,
// the equation one of the two above, the value finite. Makes tblKij in an
// older database first. A read-only database refuses with the engine's
// message. Throws DbError (kRefused for a pair it cannot store).
void storeKijPairs(Database& db, const std::vector<KijPair>& pairs);

namespace detail {

// The shortest text that reads back as exactly v (the engine converts it on
// storing, as it does the editor's texts).
std::string numberText(double v);

// Whether the open database has that table, or that column of tblComps.
bool hasTable(sqlite3* db, const char* table);
bool hasCasColumn(sqlite3* db);

// Brings an older database up to the current schema, inside the caller's
// transaction: the CAS column of tblComps and tblKij, when missing.
void addCurrentSchema(sqlite3* db, const std::string& path);

// Keeps the pairs of tblKij with their names while a recordset renames or
// deletes a record of tblComps. Made before the write (it notes the record's
// name and opens a savepoint), finish() after it moves or removes the pairs
// and releases the savepoint; destroyed without finish(), it rolls the write
// back. Does nothing for another table, a write that leaves the name alone,
// or a file without tblKij.
class Savepoint;

class PairsFollowRecord {
public:
    PairsFollowRecord(sqlite3* db, const std::string& path, const std::string& table, long long key,
                      bool nameMayChange);
    ~PairsFollowRecord();
    PairsFollowRecord(const PairsFollowRecord&) = delete;
    PairsFollowRecord& operator=(const PairsFollowRecord&) = delete;
    void finish();

private:
    sqlite3* db_ = nullptr;  // null: nothing to do
    std::unique_ptr<Savepoint> savepoint_;
    std::string path_;
    long long key_ = 0;
    std::string oldName_;
};

}  // namespace detail

}  // namespace zolvant::db
