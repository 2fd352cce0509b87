#pragma once
// Components given by name in `zolvant-cli solve`, found in the component
// database as the calculator window finds them. The database is opened only
// when the first name is asked for, and then once for the whole run.

#include <QString>

#include <functional>
#include <array>
#include <map>
#include <string>
#include <memory>
#include <optional>
#include <vector>

#include "report/case_parser.h"
#include "db/component_match.h"
#include "db/lookup.h"

namespace zolvant::db {
class Database;
class Recordset;
}  // namespace zolvant::db

namespace zolvant::cli {

using report::ComponentLookup;
using report::LookupFailure;

class DatabaseComponents {
public:
    // path is asked for once, when the database is first needed.
    explicit DatabaseComponents(std::function<QString()> path);
    ~DatabaseComponents();
    DatabaseComponents(const DatabaseComponents&) = delete;
    DatabaseComponents& operator=(const DatabaseComponents&) = delete;

    // The constants the window loads for that name, as stored (the last of
    // equal names); a name spelled otherwise (case aside) is that component
    // when exactly one spelling matches; nullopt when no component has it. Throws LookupFailure naming the path and the
    // engine's description when the database does not open; a database that
    // failed to open is not tried again.
    std::optional<ComponentConstants> find(const QString& name);

    // For a name find() did not find: "; did you mean A, B?" with up to
    // three close names of the database, or "" when none is close.
    QString suggestionsFor(const QString& name);

    // The MolWt (g/mol) of the component find() gives for that name;
    // nullopt when the field is Null or not a positive number, or no
    // component has the name. Throws LookupFailure as find() does.
    std::optional<double> molarMass(const QString& name);

    // The kij matrices (one per equation block) of the rows' names, a name
    // "" being a row of zeros. Throws LookupFailure as find() does.
    std::array<std::array<std::array<double, 4>, 4>, 6> kijMatrices(const std::vector<std::string>& names);

    // find() as the case parser's lookup, an unknown name being a
    // LookupFailure that names the database; valid while this object lives.
    ComponentLookup lookup();

private:
    std::function<QString()> pathOf_;
    bool opened_ = false;
    QString path_;
    std::optional<QString> openFailure_;
    std::unique_ptr<db::Database> database_;
    std::unique_ptr<db::Recordset> components_;
    std::map<QString, std::optional<ComponentConstants>> found_;
    const std::vector<db::NamedComponent>& listed();
    std::optional<std::vector<db::ComponentRow>> rows_;
    std::optional<std::vector<db::NamedComponent>> listed_;  // read when first needed  // each name is looked up once a run
};

}  // namespace zolvant::cli
