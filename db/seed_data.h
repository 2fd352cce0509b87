#pragma once
// The seed database the build makes from data/components.csv and
// data/kij.csv.

#include <string>
#include <vector>

#include "db/kij.h"

namespace zolvant::db {

// The pairs of a kij CSV text: its header names Component1, Component2,
// Equation and kij (any order; other columns, such as the CAS numbers and the
// source, are not stored). `name` is how messages name the text. Throws
// CsvLineError.
struct KijCsvPair {
    int line = 0;
    KijPair pair;
};
std::vector<KijCsvPair> readKijCsv(const std::string& text, const std::string& name);

struct SeedCounts {
    int components = 0;
    int pairs = 0;
};

// A new database at path holding the components of componentsCsv, in the
// file's order, and the pairs of kijCsv, each of two of those components.
// Whole or not at all; never over an existing file. Throws DbError
// (CsvLineError naming the file and line of a record it cannot store).
SeedCounts createSeedDatabase(const std::string& path, const std::string& componentsCsv, const std::string& kijCsv);

}  // namespace zolvant::db
