#include "db/access/access_import.h"

#include <charconv>
#include <filesystem>

#include "db/access/access_reader.h"
#include "db/components_csv.h"
#include "db/engine.h"
#include "db/schema.h"

namespace zolvant::db {

namespace {

constexpr std::size_t kRecordsNamed = 20;  // in the refusal; the rest are counted

std::string shown(const FieldValue& v) {
    if (const auto* d = std::get_if<double>(&v)) {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, *d);
        return std::string(buf, r.ptr);
    }
    if (const auto* s = std::get_if<std::string>(&v)) return "\"" + *s + "\"";
    return "empty";
}

bool unnamed(const FieldValue& v) {
    const auto* s = std::get_if<std::string>(&v);
    return !s || s->empty();
}

[[noreturn]] void refuseUnnamed(const AccessComponents& comps, const std::vector<std::size_t>& positions,
                                const std::string& accessPath) {
    std::string list;
    for (std::size_t k = 0; k < positions.size() && k < kRecordsNamed; ++k) {
        const auto& record = comps.records[positions[k] - 1];
        list += (k ? "; record " : "record ") + std::to_string(positions[k]) + " (Component " +
                (isNull(record[0]) ? std::string("Null") : std::string("empty"));
        for (std::size_t f = 1; f < kComponentFields.size(); ++f)
            list += std::string(", ") + kComponentFields[f] + " " + shown(record[f]);
        list += ")";
    }
    if (positions.size() > kRecordsNamed) list += "; and " + std::to_string(positions.size() - kRecordsNamed) + " more";
    const bool one = positions.size() == 1;
    throw UnnamedRecordsError(
        positions, "The Access database '" + accessPath + "' has " + std::to_string(positions.size()) +
                       (one ? " record" : " records") + " without a component name, which a Zolvant database cannot "
                       "hold: " + list + ". Nothing was written. Give " + (one ? "it a name" : "them names") +
                       " in Access and import again, or import " + (one ? "it" : "them") + " named \"" +
                       unnamedComponentName(positions.front()) + "\" and so on, after " +
                       (one ? "its position" : "their positions") + ".");
}

}  // namespace

std::string unnamedComponentName(std::size_t position) { return "(unnamed " + std::to_string(position) + ")"; }

std::string importSummary(const AccessImportResult& result, const std::string& accessFile,
                          const std::string& newFile) {
    const auto joined = [](const std::vector<std::string>& items) {
        std::string text;
        for (const std::string& s : items) text += (text.empty() ? "" : ", ") + s;
        return text;
    };
    std::string text = "Imported " + std::to_string(result.count) +
                       (result.count == 1 ? " component from " : " components from ") + accessFile + " into " +
                       newFile + ".\n";
    if (!result.leftOutColumns.empty())
        text += "Left out the columns of tblComps that are not component fields: " + joined(result.leftOutColumns) +
                ".\n";
    if (!result.namedRecords.empty()) {
        std::vector<std::string> names;
        for (std::size_t p : result.namedRecords) names.push_back(unnamedComponentName(p));
        text += "Named the records without a component name after their positions: " + joined(names) + ".\n";
    }
    return text;
}

std::size_t countAccessComponents(const std::string& accessPath) {
    return readAccessComponents(accessPath).records.size();
}

AccessImportResult importAccessDatabase(const std::string& accessPath, const std::string& newPath,
                                        const AccessImportOptions& options) {
    // The target first: nothing is read when it could not be written anyway.
    detail::checkPathIsValid(newPath);
    {
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(newPath, ec)))
            throw DbError(kAlreadyExists,
                          "The file '" + newPath + "' already exists: a new database is never written over a file.");
    }
    AccessComponents comps = readAccessComponents(accessPath);

    AccessImportResult result;
    result.format = comps.format;
    result.leftOutColumns = comps.leftOutColumns;
    // More records, or a longer name, than a component database holds would
    // be stored but never read back.
    if (comps.records.size() > static_cast<std::size_t>(detail::kMaxRows))
        throw DbError(kTooLarge, "The table tblComps of the Access database '" + accessPath + "' has " +
                                     std::to_string(comps.records.size()) + " records; a Zolvant database holds up to " +
                                     std::to_string(detail::kMaxRows) + ". Nothing was written.");
    for (std::size_t r = 0; r < comps.records.size(); ++r) {
        const auto* name = std::get_if<std::string>(&comps.records[r][0]);
        if (name && name->size() > static_cast<std::size_t>(detail::kMaxValueBytes))
            throw DbError(kTooLarge, "Record " + std::to_string(r + 1) + " of tblComps in the Access database '" +
                                         accessPath + "' has a Component name of " + std::to_string(name->size()) +
                                         " bytes; a Zolvant database holds names of up to " +
                                         std::to_string(detail::kMaxValueBytes) +
                                         " bytes (in UTF-8). Shorten it in Access and import again. Nothing was "
                                         "written.");
    }
    std::vector<std::size_t> positions;
    for (std::size_t r = 0; r < comps.records.size(); ++r)
        if (unnamed(comps.records[r][0])) positions.push_back(r + 1);
    if (!positions.empty()) {
        if (!options.nameUnnamed) refuseUnnamed(comps, positions, accessPath);
        for (std::size_t p : positions) comps.records[p - 1][0] = unnamedComponentName(p);
        result.namedRecords = positions;
    }

    detail::buildDatabaseFile(newPath, [&](sqlite3* db) {
        const detail::ErrorContext ctx{newPath, {}};
        std::string sql = "INSERT INTO tblComps (";
        for (std::size_t f = 0; f < kComponentFields.size(); ++f) sql += (f ? ", " : "") + std::string(kComponentFields[f]);
        sql += ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)";
        sqlite3_stmt* raw = nullptr;
        int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr);
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, &sqlite3_finalize);
        if (rc != SQLITE_OK) detail::throwEngineError(db, rc, ctx);
        for (const auto& record : comps.records) {
            sqlite3_reset(raw);
            for (std::size_t f = 0; f < kComponentFields.size(); ++f) {
                const int index = static_cast<int>(f + 1);
                const FieldValue& v = record[f];
                if (const auto* d = std::get_if<double>(&v))
                    rc = sqlite3_bind_double(raw, index, *d);   // bit for bit
                else if (const auto* s = std::get_if<std::string>(&v))
                    rc = sqlite3_bind_text(raw, index, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
                else
                    rc = sqlite3_bind_null(raw, index);
                if (rc != SQLITE_OK) detail::throwEngineError(db, rc, ctx);
            }
            rc = sqlite3_step(raw);
            if (rc != SQLITE_DONE) detail::throwEngineError(db, rc, ctx);
        }
    }, detail::kImportSchemaSql);  // the old file's values, whatever they are
    result.count = static_cast<int>(comps.records.size());
    return result;
}

}  // namespace zolvant::db
