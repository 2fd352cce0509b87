#include "testsupport/access_support.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "db/components_csv.h"

namespace zolvant::db::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    std::random_device seed;
    path_ = fs::temp_directory_path() / ("zolvant-access-" + std::to_string(seed()) + std::to_string(seed()));
    fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::vector<std::string> ScratchDir::names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path_)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<JetColumn> componentColumns() {
    std::vector<JetColumn> cols{{"Component", kJetText}};
    for (std::size_t f = 1; f < kComponentFields.size(); ++f) cols.push_back({kComponentFields[f], kJetDouble});
    return cols;
}

std::vector<JetCell> componentRow(const std::optional<std::string>& name, const std::array<double, 8>& values) {
    std::vector<JetCell> row{name ? jetText(*name) : kJetNull};
    for (double v : values) row.push_back(std::isnan(v) ? kJetNull : jetDouble(v));
    return row;
}

std::vector<std::array<FieldValue, 9>> storedRows(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT Component, MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3 FROM tblComps "
                       "ORDER BY rowid",
                       -1, &st, nullptr);
    std::vector<std::array<FieldValue, 9>> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::array<FieldValue, 9> row;
        for (int c = 0; c < 9; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_NULL: break;
            case SQLITE_TEXT:
                row[c] = std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                     static_cast<std::size_t>(sqlite3_column_bytes(st, c)));
                break;
            default: row[c] = sqlite3_column_double(st, c);
            }
        }
        rows.push_back(row);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace zolvant::db::test
