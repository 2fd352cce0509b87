#include "cli/database_components.h"

#include "cli/command_support.h"
#include "db/database.h"
#include "db/lookup.h"

namespace zolvant::cli {

DatabaseComponents::DatabaseComponents(std::function<QString()> path) : pathOf_(std::move(path)) {}

DatabaseComponents::~DatabaseComponents() = default;

std::optional<ComponentConstants> DatabaseComponents::find(const QString& name) {
    if (!opened_) {
        opened_ = true;
        path_ = pathOf_();
        try {
            database_ = db::Database::OpenDatabase(toFileName(path_));
            components_ = database_->OpenRecordset("qryCritCos");
        } catch (const db::DbError& e) {
            components_.reset();
            database_.reset();
            openFailure_ = QStringLiteral("the component database '%1' does not open: %2")
                               .arg(path_, QString::fromStdString(e.description()));
        }
    }
    if (openFailure_) throw LookupFailure{QStringLiteral("cannot look up \"%1\": %2").arg(name, *openFailure_)};

    if (const auto known = found_.find(name); known != found_.end()) return known->second;
    std::optional<ComponentConstants> result;
    try {
        result = db::findComponentConstants(*components_, name.toStdString());
    } catch (const db::DbError& e) {
        throw LookupFailure{QStringLiteral("cannot look up \"%1\" in the component database '%2': %3")
                                .arg(name, path_, QString::fromStdString(e.description()))};
    }
    found_.emplace(name, result);
    return result;
}

ComponentLookup DatabaseComponents::lookup() {
    return [this](const QString& name) {
        std::optional<ComponentConstants> found = find(name);
        // Say where it was looked for: the setting may name another file than expected.
        if (!found)
            throw LookupFailure{
                QStringLiteral("no component named \"%1\" in the component database '%2'").arg(name, path_)};
        return found;
    };
}

}  // namespace zolvant::cli
