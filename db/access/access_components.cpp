// The component table of an Access file: tblComps found, its nine fields
// found by name and checked for types that are taken exactly, its records
// read through the Access file reader.

#include "db/access/access_reader.h"

// glib first: mdbtools.h expects its types.
#include <glib.h>
#include <mdbtools.h>

#include "db/access/jet_values.h"
#include "db/components_csv.h"
#include "db/engine.h"

namespace zolvant::db {

using namespace jet;

AccessComponents readAccessComponents(AccessFile& file) {
    const std::string& name = file.name();
    const AccessTableEntry* table = file.findTable("tblComps");
    if (!table) {
        std::string list;
        for (const AccessTableEntry& t : file.tables()) list += (list.empty() ? "" : ", ") + t.name;
        throw DbError(kMissingObject,
                      "The Access database '" + name + "' has no table tblComps" +
                          (list.empty() ? std::string(", and no other table either")
                                        : "; the tables it has are: " + list) +
                          ". Zolvant imports the components of a table named tblComps: rename the table that holds "
                          "them in Access, or choose the file that has it.");
    }
    const std::string tableName = table->name;
    if (table->kind == 4)
        throw DbError(kRefused, "In the Access database '" + name + "', tblComps is a linked table whose records live "
                                    "in an ODBC data source, not in this file. Import them into a local table "
                                    "in Access and import this file again.");
    if (table->kind != 1) {
        const std::string other = file.linkedFile(tableName);
        throw DbError(kRefused, "In the Access database '" + name + "', tblComps is a linked table: its records live in " +
                                    (other.empty() ? std::string("another file") : "'" + other + "'") +
                                    ". Import that file instead.");
    }

    const std::vector<AccessColumn> cols = file.columns(tableName);
    std::array<int, 9> at;
    at.fill(-1);
    AccessComponents result;
    result.format = file.format();
    std::vector<bool> wanted(cols.size(), false);
    for (std::size_t i = 0; i < cols.size(); ++i) {
        bool used = false;
        for (std::size_t f = 0; f < kComponentFields.size(); ++f) {
            if (at[f] < 0 && detail::sameName(cols[i].name, kComponentFields[f])) {
                at[f] = static_cast<int>(i);
                used = wanted[i] = true;
                break;
            }
        }
        if (!used) result.leftOutColumns.push_back(cols[i].name);
    }
    std::string missing;
    for (std::size_t f = 0; f < kComponentFields.size(); ++f)
        if (at[f] < 0) missing += (missing.empty() ? "" : ", ") + std::string(kComponentFields[f]);
    if (!missing.empty())
        throw DbError(kMissingObject, "The table tblComps of the Access database '" + name +
                                          "' lacks the field" + (missing.find(',') != std::string::npos ? "s " : " ") +
                                          missing +
                                          ". A component table has the fields Component, MolWt, CritTemp, CritPress, "
                                          "CritVol, AcentricF, K1, K2 and K3: add the missing ones in Access (they "
                                          "may stay empty) and import again.");
    for (std::size_t f = 0; f < kComponentFields.size(); ++f) {
        const AccessColumn& c = cols[at[f]];
        const std::string lead = "The field " + c.name + " of tblComps in the Access database '" + name + "' is ";
        if (f == 0) {
            if (!isTextType(c.type))
                throw DbError(kRefused, lead + "of type " + c.typeName +
                                            ", but a component's name is text. Change its type to Text in Access and "
                                            "import again.");
        } else if (c.type == MDB_NUMERIC) {
            throw DbError(kRefused, lead + "a Decimal field, which Zolvant cannot take exactly. Change its type to "
                                           "Double in Access and import again.");
        } else if (!isNumberType(c.type)) {
            throw DbError(kRefused, lead + "of type " + c.typeName +
                                        ", but it must hold numbers. Change its type to Double in Access and import "
                                        "again.");
        }
    }
    AccessTableData data = file.readTable(tableName, wanted);
    for (auto& row : data.rows) {
        std::array<FieldValue, 9> record;
        for (std::size_t f = 0; f < kComponentFields.size(); ++f) record[f] = std::move(row[at[f]]);
        result.records.push_back(std::move(record));
    }
    return result;
}

AccessComponents readAccessComponents(const std::string& path) {
    auto file = AccessFile::open(path);
    return readAccessComponents(*file);
}

}  // namespace zolvant::db
