#include "db/seed_data.h"

#include <array>
#include <charconv>
#include <cmath>
#include <set>

#include "db/component_match.h"
#include "db/components_csv.h"
#include "db/engine.h"
#include "db/schema.h"

namespace zolvant::db {

std::vector<KijCsvPair> readKijCsv(const std::string& text, const std::string& name) {
    const std::vector<CsvRecord> records = detail::parseCsv(text, name);
    const auto fail = [&](int line, const std::string& what) {
        return CsvLineError(line, "Line " + std::to_string(line) + " of '" + name + "': " + what);
    };
    if (records.empty()) throw fail(1, "the header line is missing.");
    const std::array<const char*, 4> wanted{"Component1", "Component2", "Equation", "kij"};
    std::array<std::size_t, 4> column{};
    const CsvRecord& header = records.front();
    for (std::size_t w = 0; w < wanted.size(); ++w) {
        std::size_t found = header.cells.size();
        for (std::size_t c = 0; c < header.cells.size(); ++c)
            if (detail::sameName(header.cells[c], wanted[w])) found = c;
        if (found == header.cells.size())
            throw fail(header.line, std::string("the field ") + wanted[w] + " is missing from the header.");
        column[w] = found;
    }
    std::vector<KijCsvPair> out;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        if (rec.cells.size() != header.cells.size())
            throw fail(rec.line, std::to_string(rec.cells.size()) + " values where the header names " +
                                     std::to_string(header.cells.size()) + ".");
        const std::string& k = rec.cells[column[3]];
        double value = 0;
        const auto parsed = std::from_chars(k.data(), k.data() + k.size(), value);  // whatever the locale
        if (k.empty() || parsed.ec != std::errc() || parsed.ptr != k.data() + k.size() || !std::isfinite(value))
            throw fail(rec.line, "the kij value '" + k + "' is not a number.");
        out.push_back({rec.line, {rec.cells[column[0]], rec.cells[column[1]], rec.cells[column[2]], value}});
    }
    return out;
}

SeedCounts createSeedDatabase(const std::string& path, const std::string& componentsCsv, const std::string& kijCsv) {
    const ComponentsCsv components = readComponentsCsv(detail::readFile(componentsCsv), componentsCsv);
    const std::vector<KijCsvPair> pairs = readKijCsv(detail::readFile(kijCsv), kijCsv);
    std::size_t nameColumn = 0;
    for (std::size_t c = 0; c < components.columns.size(); ++c)
        if (components.columns[c] == "Component") nameColumn = c;
    std::set<std::string> names;
    for (const auto& r : components.records) names.insert(foldCase(r.cells[nameColumn]));

    detail::buildDatabaseFile(path, [&](sqlite3* db) {
        detail::exec(db, detail::kKijSchemaSql, detail::ErrorContext{path, {}});
        detail::insertComponents(db, components, path, componentsCsv);
        for (const KijCsvPair& p : pairs) {
            const auto where = "Line " + std::to_string(p.line) + " of '" + kijCsv + "': ";
            for (const std::string& n : {p.pair.component1, p.pair.component2})
                if (!names.count(foldCase(n)))
                    throw CsvLineError(p.line, where + "'" + n + "' is not a component of '" + componentsCsv + "'.");
            try {
                const detail::ErrorContext ctx{path, {}};
                detail::Stmt st(db, "INSERT INTO tblKij (Component1, Component2, Equation, kij) VALUES (?1, ?2, ?3, ?4)",
                                ctx);
                st.bindText(1, p.pair.component1);
                st.bindText(2, p.pair.component2);
                st.bindText(3, p.pair.equation);
                st.bindText(4, detail::numberText(p.pair.kij));
                st.step();
            } catch (const DbError& e) {
                throw CsvLineError(p.line, where + e.description());
            }
        }
    });
    return {static_cast<int>(components.records.size()), static_cast<int>(pairs.size())};
}

}  // namespace zolvant::db
