#include "db/components_csv.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <vector>

#include "db/engine.h"
#include "db/schema.h"

namespace zolvant::db {

std::vector<CsvRecord> detail::parseCsv(const std::string& text, const std::string& name) {
    std::vector<CsvRecord> records;
    std::size_t i = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;  // a UTF-8 byte-order mark
    int line = 1;
    const auto lineEnd = [&](std::size_t at) { return text[at] == '\n' || text[at] == '\r'; };
    const auto skipLineEnd = [&] {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        ++i;
        ++line;
    };
    const auto fail = [&](int at, const std::string& what) {
        return CsvLineError(at, "Line " + std::to_string(at) + " of '" + name + "': " + what);
    };
    while (i < text.size()) {
        CsvRecord record;
        record.line = line;
        for (;;) {
            std::string cell;
            if (i < text.size() && text[i] == '"') {
                ++i;
                for (;;) {
                    if (i >= text.size()) throw fail(record.line, "a quoted value is not closed.");
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            cell += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
                        ++line;
                    cell += text[i++];
                }
                if (i < text.size() && text[i] != ',' && !lineEnd(i))
                    throw fail(line, "a quoted value is followed by other characters.");
            } else {
                while (i < text.size() && text[i] != ',' && !lineEnd(i)) {
                    if (text[i] == '"') throw fail(line, "a quote inside a value that does not begin with one.");
                    cell += text[i++];
                }
            }
            record.cells.push_back(std::move(cell));
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            if (i < text.size()) skipLineEnd();
            break;
        }
        if (!(record.cells.size() == 1 && record.cells.front().empty())) records.push_back(std::move(record));
    }
    return records;
}

std::string detail::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw DbError(kFileNotFound, "Could not read the file '" + path + "'.");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw DbError(kEngine, "Could not read the file '" + path + "'.");
    return text.str();
}

void detail::insertComponents(sqlite3* db, const ComponentsCsv& csv, const std::string& path,
                              const std::string& csvPath) {
    const std::vector<std::string>& columns = csv.columns;
    std::string sql = "INSERT INTO tblComps (";
    std::string params;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        sql += (c ? ", " : "") + columns[c];
        params += (c ? ", ?" : "?") + std::to_string(c + 1);
    }
    sql += ") VALUES (" + params + ")";

    for (const ComponentsCsv::Record& record : csv.records) {
        const detail::ErrorContext ctx{
            path, [&](const std::string& field) -> std::optional<std::string> {
                for (std::size_t c = 0; c < columns.size(); ++c)
                    if (detail::sameName(columns[c], field)) return record.cells[c];
                return std::nullopt;
            }};
        try {
            detail::Stmt st(db, sql, ctx);
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const int index = static_cast<int>(c + 1);
                if (record.cells[c].empty())
                    st.bindNull(index);
                else
                    st.bindText(index, record.cells[c]);  // the engine converts numbers
            }
            st.step();
        } catch (const DbError& e) {
            throw CsvLineError(record.line, "Line " + std::to_string(record.line) + " of '" + csvPath +
                                                "': " + e.description());
        }
    }
}

void createEmptyDatabase(const std::string& path) {
    detail::buildDatabaseFile(path, [](sqlite3*) {});
}

ComponentsCsv readComponentsCsv(const std::string& text, const std::string& csvPath) {
    std::vector<CsvRecord> records = detail::parseCsv(text, csvPath);
    if (records.empty()) throw CsvLineError(1, "Line 1 of '" + csvPath + "': the header line is missing.");

    // Header: each field once, any order.
    const CsvRecord& header = records.front();
    ComponentsCsv out;
    std::vector<std::string>& columns = out.columns;
    for (const std::string& cell : header.cells) {
        std::string field;
        for (const char* known : kComponentFields)
            if (detail::sameName(cell, known)) field = known;
        if (detail::sameName(cell, kCasField)) field = kCasField;  // optional
        const std::string where = "Line " + std::to_string(header.line) + " of '" + csvPath + "': ";
        if (field.empty())
            throw CsvLineError(header.line, where + "'" + cell + "' is not a field of tblComps.");
        for (const std::string& seen : columns)
            if (seen == field) throw CsvLineError(header.line, where + "the field " + field + " is named twice.");
        columns.push_back(field);
    }
    for (const char* known : kComponentFields) {
        bool present = false;
        for (const std::string& c : columns) present = present || c == known;
        if (!present)
            throw CsvLineError(header.line, "Line " + std::to_string(header.line) + " of '" + csvPath +
                                                "': the field " + known + " is missing from the header.");
    }
    for (std::size_t r = 1; r < records.size(); ++r) {
        if (records[r].cells.size() != columns.size())
            throw CsvLineError(records[r].line, "Line " + std::to_string(records[r].line) + " of '" + csvPath +
                                                    "': " + std::to_string(records[r].cells.size()) +
                                                    " values where the header names " +
                                                    std::to_string(columns.size()) + ".");
        out.records.push_back({records[r].line, std::move(records[r].cells)});
    }
    return out;
}

int createDatabaseFromCsv(const std::string& path, const std::string& csvPath) {
    // Refuse an existing target before reading anything.
    detail::checkPathIsValid(path);
    {
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
            throw DbError(kAlreadyExists,
                          "The file '" + path + "' already exists: a new database is never written over a file.");
    }
    const ComponentsCsv csv = readComponentsCsv(detail::readFile(csvPath), csvPath);
    detail::buildDatabaseFile(path, [&](sqlite3* db) { detail::insertComponents(db, csv, path, csvPath); });
    return static_cast<int>(csv.records.size());
}

}  // namespace zolvant::db
