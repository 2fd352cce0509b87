// The CSV reader of `zolvant-cli create-db` on any text: records or a
// CsvLineError naming a line of the text, nothing else; what it reads
// survives writing it out and reading it again; and what it stores in a
// component database is what the text says, or the record is refused with
// a readable message.

#include <sqlite3.h>

#include <cstdint>
#include <vector>

#include "db/components_csv.h"
#include "db/engine.h"
#include "db/schema.h"
#include "fuzz/fuzz_support.h"
#include "solver/text.h"

using namespace zolvant;
using namespace zolvant::db;
using namespace zolvant::fuzz;

namespace {

const std::string kName = "fuzz.csv";

std::string quote(const std::string& cell) {
    std::string out = "\"";
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string writeCsv(const ComponentsCsv& csv) {
    std::string out;
    for (std::size_t c = 0; c < csv.columns.size(); ++c) out += (c ? "," : "") + csv.columns[c];
    out += "\r\n";
    for (const auto& r : csv.records) {
        for (std::size_t c = 0; c < r.cells.size(); ++c) out += (c ? "," : "") + quote(r.cells[c]);
        out += "\n";
    }
    return out;
}

int linesIn(const std::string& text) {
    int lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++lines;
    return lines;
}

void checkLineError(const CsvLineError& e, int maxLine, const std::string& text) {
    const std::string lead = "Line " + std::to_string(e.line()) + " of '" + kName + "': ";
    FUZZ_CHECK(e.line() >= 1 && e.line() <= maxLine, show(text) + ": line " + std::to_string(e.line()));
    FUZZ_CHECK(e.description().rfind(lead, 0) == 0 && e.description().size() > lead.size(), e.description());
    FUZZ_CHECK(e.number() == kRefused, e.description());
}

// Stores the records in a fresh in-memory component database and checks
// what the table holds afterwards.
void store(const ComponentsCsv& csv, const std::string& text) {
    sqlite3* db = nullptr;
    FUZZ_CHECK(sqlite3_open(":memory:", &db) == SQLITE_OK, "open");
    sqlite3_extended_result_codes(db, 1);
    FUZZ_CHECK(sqlite3_exec(db, detail::kSchemaSql, nullptr, nullptr, nullptr) == SQLITE_OK, "schema");
    try {
        detail::insertComponents(db, csv, "memory.mdb", kName);
    } catch (const CsvLineError& e) {
        checkLineError(e, linesIn(text), text);
        // A refusal the engine could not explain would read "The database
        // engine failed: ..." or "The database refused the record: ...".
        const std::string why = e.description().substr(e.description().find("': ") + 3);
        FUZZ_CHECK(why.rfind("The database", 0) != 0, e.description());
        // The refused record must hold something refusable: no name, a
        // constant that is not a number or too large, or a critical
        // constant or molar mass that is not above 0.
        const ComponentsCsv::Record* refused = nullptr;
        for (const auto& r : csv.records)
            if (r.line == e.line()) refused = &r;
        FUZZ_CHECK(refused != nullptr, e.description());
        bool refusable = false;
        for (std::size_t c = 0; c < csv.columns.size(); ++c) {
            const std::string& cell = refused->cells[c];
            if (csv.columns[c] == "Component") {
                refusable = refusable || cell.empty() || cell[0] == '\0';
            } else if (!cell.empty()) {
                const std::optional<double> v = readNumber(cell);
                // The engine's own reading may round a value at the very edge
                // of the double range up to infinity.
                const bool mustBePositive = csv.columns[c] == "MolWt" || csv.columns[c] == "CritTemp" ||
                                            csv.columns[c] == "CritPress" || csv.columns[c] == "CritVol";
                refusable = refusable || !v || std::fabs(*v) > 1.79e308 || (mustBePositive && !(*v > 0));
            }
        }
        FUZZ_CHECK(refusable, "a valid record refused: " + e.description());
        sqlite3_close(db);
        return;
    }
    // Every record stored as given: names as texts, empty cells as Null,
    // numbers as the numbers they read as.
    sqlite3_stmt* st = nullptr;
    std::string sql = "SELECT ";
    for (std::size_t c = 0; c < csv.columns.size(); ++c) sql += (c ? ", " : "") + csv.columns[c];
    sql += " FROM tblComps ORDER BY rowid";
    FUZZ_CHECK(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK, "select");
    std::size_t n = 0;
    for (; sqlite3_step(st) == SQLITE_ROW; ++n) {
        FUZZ_CHECK(n < csv.records.size(), "more rows than records");
        const auto& r = csv.records[n];
        for (std::size_t c = 0; c < csv.columns.size(); ++c) {
            const int col = static_cast<int>(c);
            const std::string& cell = r.cells[c];
            const std::string where = "line " + std::to_string(r.line) + " " + csv.columns[c] + " " + show(cell);
            if (csv.columns[c] == "Component") {
                FUZZ_CHECK(sqlite3_column_type(st, col) == SQLITE_TEXT, where);
                const std::string stored(reinterpret_cast<const char*>(sqlite3_column_text(st, col)),
                                         static_cast<std::size_t>(sqlite3_column_bytes(st, col)));
                FUZZ_CHECK(stored == cell, where + " stored as " + show(stored));
            } else if (cell.empty()) {
                FUZZ_CHECK(sqlite3_column_type(st, col) == SQLITE_NULL, where);
            } else {
                FUZZ_CHECK(sqlite3_column_type(st, col) == SQLITE_FLOAT, where);
                const double stored = sqlite3_column_double(st, col);
                FUZZ_CHECK(std::isfinite(stored), where);
                if (const std::optional<double> v = readNumber(cell))
                    FUZZ_CHECK(std::fabs(stored - *v) <= std::fabs(*v) * 0x1p-50 || (std::fabs(*v) < 1e-300 && std::fabs(stored) < 1e-300),
                               where + " stored as " + showDouble(stored));
            }
        }
    }
    FUZZ_CHECK(n == csv.records.size(), "rows missing");
    sqlite3_finalize(st);
    sqlite3_close(db);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ComponentsCsv csv;
    try {
        csv = readComponentsCsv(text, kName);
    } catch (const CsvLineError& e) {
        checkLineError(e, linesIn(text), text);
        return 0;
    }
    FUZZ_CHECK(csv.columns.size() == kComponentFields.size(), show(text));
    int previous = 1;
    for (const auto& r : csv.records) {
        FUZZ_CHECK(r.cells.size() == csv.columns.size(), show(text));
        FUZZ_CHECK(r.line > previous && r.line <= linesIn(text), show(text) + ": record at line " + std::to_string(r.line));
        previous = r.line;
    }

    // Written out with every cell quoted and read again: the same records.
    const std::string again = writeCsv(csv);
    ComponentsCsv reread;
    try {
        reread = readComponentsCsv(again, kName);
    } catch (const CsvLineError& e) {
        FUZZ_CHECK(false, show(text) + " rewritten as " + show(again) + " is refused: " + e.description());
    }
    FUZZ_CHECK(reread.columns == csv.columns && reread.records.size() == csv.records.size(), show(again));
    for (std::size_t r = 0; r < csv.records.size(); ++r)
        FUZZ_CHECK(reread.records[r].cells == csv.records[r].cells, show(again));

    if (csv.records.size() <= 16) store(csv, text);
    return 0;
}
