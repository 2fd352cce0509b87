#include "db/lookup.h"

#include <charconv>

#include "db/engine.h"
#include "db/kij.h"

namespace zolvant::db {

ComponentConstants loadConstants(const Recordset& rs) {
    ComponentConstants out{};
    for (std::size_t k = 0; k < kConstantFields.size(); ++k) {
        const FieldValue v = rs.Fields(kConstantFields[k]);
        if (const double* d = std::get_if<double>(&v)) {
            out[k] = *d;
        } else if (!isNull(v)) {
            throw DbError(kEngine, std::string("The field ") + kConstantFields[k] +
                                       " of the component holds text, not a number.");
        }
    }
    return out;
}

std::string componentName(const FieldValue& component) {
    if (const std::string* text = std::get_if<std::string>(&component)) return *text;
    if (const double* d = std::get_if<double>(&component)) {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, *d);
        return std::string(buf, r.ptr);
    }
    return {};
}

std::optional<ComponentConstants> findComponentConstants(Recordset& rstComps, const std::string& name) {
    rstComps.Requery();
    if (rstComps.RecordCount() == 0) return std::nullopt;
    rstComps.MoveFirst();
    long found = -1;
    for (long n = 0;; ++n) {
        const std::string listed = componentName(rstComps.Fields("Component"));
        if (listed.empty()) break;      // such a row ends the list
        if (listed == name) found = n;  // the last of equal names wins
        rstComps.MoveNext();
        if (rstComps.EOF_()) break;
    }
    if (found < 0) return std::nullopt;
    rstComps.MoveFirst();
    rstComps.Move(found);
    return loadConstants(rstComps);
}

std::optional<ComponentConstants> findComponentConstants(const std::string& path, const std::string& name) {
    const auto db = Database::OpenDatabase(path);
    const auto rs = db->OpenRecordset("qryCritCos");
    return findComponentConstants(*rs, name);
}

std::vector<ComponentRow> listComponents(const std::string& path) {
    const auto db = Database::OpenDatabase(path);
    return listComponents(*db);
}

std::vector<ComponentRow> listComponents(const Database& db) {
    const std::string& path = db.path();
    const detail::ErrorContext ctx{path, {}};
    detail::Stmt rows(db.handle(), "SELECT * FROM qryCritCos", ctx);
    const bool hasCas = detail::hasCasColumn(db.handle());

    // Columns by name: the query's field order is its own.
    int key = -1;
    std::array<int, 9> column;
    column.fill(-1);
    const std::array<const char*, 9> names{"Component", "MolWt", "CritTemp", "CritPress", "CritVol",
                                           "AcentricF", "K1",    "K2",       "K3"};
    for (int c = 0; c < rows.columnCount(); ++c) {
        const std::string n = rows.columnName(c);
        if (detail::sameName(n, detail::kKeyColumn)) key = c;
        for (std::size_t f = 0; f < names.size(); ++f)
            if (column[f] < 0 && detail::sameName(n, names[f])) column[f] = c;
    }

    std::vector<ComponentRow> out;
    while (rows.step()) {
        std::array<FieldValue, 9> v;
        FieldValue cas;
        for (std::size_t f = 0; f < names.size(); ++f)
            if (column[f] >= 0) v[f] = rows.column(column[f]);
        if (key >= 0 && !rows.columnIsNull(key)) {
            // The fields the query does not show, from the record itself.
            detail::Stmt rec(db.handle(),
                             hasCas ? "SELECT MolWt, CritVol, CAS FROM tblComps WHERE rowid = ?1"
                                    : "SELECT MolWt, CritVol, NULL FROM tblComps WHERE rowid = ?1",
                             ctx);
            rec.bindInt64(1, rows.columnInt64(key));
            if (rec.step()) {
                if (column[1] < 0) v[1] = rec.column(0);
                if (column[4] < 0) v[4] = rec.column(1);
                cas = rec.column(2);
            }
        }
        out.push_back({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], cas});
    }
    return out;
}

std::vector<NamedComponent> listedComponents(const std::vector<ComponentRow>& rows) {
    std::vector<NamedComponent> out;
    for (const ComponentRow& r : rows) {
        std::string name = componentName(r.Component);
        if (name.empty()) break;
        const auto* cas = std::get_if<std::string>(&r.CAS);
        out.push_back({std::move(name), cas ? *cas : std::string()});
    }
    return out;
}

}  // namespace zolvant::db
