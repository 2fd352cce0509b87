#pragma once
// Reading components the way the main window does: the constants of the
// chosen record, and a component found by name.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "db/component_match.h"
#include "db/database.h"

namespace zolvant::db {

// The six constants of a component as stored, indexed like the properties
// of the mixture state: Tc, Pc, omega, K1, K2, K3; nullopt where the field is
// Null. What a missing value stands for is the mixture entry's to decide.
using ComponentConstants = std::array<std::optional<double>, 6>;

// The fields they come from, in that order.
inline constexpr std::array<const char*, 6> kConstantFields{"CritTemp", "CritPress", "AcentricF", "K1", "K2", "K3"};

// The constants of the current record of rs, exactly as stored. Throws
// DbError without a current record or when a field holds text (a file whose
// tblComps is not STRICT can hold one): every reader refuses it alike.
ComponentConstants loadConstants(const Recordset& rs);

// The name a component box lists for a record's Component field: a text as
// it is, a number (a table that is not STRICT can hold one) in its shortest
// form that reads back exactly, and "" for Null, which ends the list.
std::string componentName(const FieldValue& component);

// Finds a component by exact (case-sensitive) name as a component box does:
// re-runs the query, walks it from the first row until a Null or empty name
// or the end (names as componentName gives them), and with duplicate names takes the last. The recordset is left
// on the record loaded. nullopt: no such name.
std::optional<ComponentConstants> findComponentConstants(Recordset& rstComps, const std::string& name);

// The same on the qryCritCos of the database file at path (throws DbError
// when it does not open).
std::optional<ComponentConstants> findComponentConstants(const std::string& path, const std::string& name);

// One row of qryCritCos with all nine fields of its record and its CAS
// number (MolWt, CritVol and CAS read from tblComps; Null when the query does
// not identify its records, and CAS Null in a database without that column).
struct ComponentRow {
    FieldValue Component, MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3, CAS;
};

// Every row of qryCritCos of the database file at path, or of an open
// database, in the query's order.
std::vector<ComponentRow> listComponents(const std::string& path);
std::vector<ComponentRow> listComponents(const Database& db);

// The names a component box lists for these rows (up to the first Null or
// empty name, which ends the list), with their CAS numbers, for matching.
std::vector<NamedComponent> listedComponents(const std::vector<ComponentRow>& rows);

}  // namespace zolvant::db
