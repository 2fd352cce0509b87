#include "cli/database_components.h"

#include <cmath>
#include <variant>

#include "cli/command_support.h"
#include "db/kij.h"
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
        if (!result) {
            // Case aside, when that names one component.
            const db::ComponentMatch m = db::matchComponentName(listed(), name.toStdString());
            if (m.kind == db::ComponentMatch::Exact)
                result = db::findComponentConstants(*components_, listed()[static_cast<std::size_t>(m.index)].name);
        }
    } catch (const db::DbError& e) {
        throw LookupFailure{QStringLiteral("cannot look up \"%1\" in the component database '%2': %3")
                                .arg(name, path_, QString::fromStdString(e.description()))};
    }
    found_.emplace(name, result);
    return result;
}

QString DatabaseComponents::suggestionsFor(const QString& name) {
    if (!database_) return {};
    try {
        listed();
    } catch (const db::DbError&) {
        return {};  // the lookup's own message stands
    }
    QStringList close;
    for (const std::string& s : db::suggestComponentNames(*listed_, name.toStdString()))
        close << QString::fromStdString(s);
    return close.isEmpty() ? QString() : QStringLiteral("; did you mean %1?").arg(close.join(QStringLiteral(", ")));
}

const std::vector<db::NamedComponent>& DatabaseComponents::listed() {
    if (!rows_) rows_ = db::listComponents(*database_);
    if (!listed_) listed_ = db::listedComponents(*rows_);
    return *listed_;
}

std::optional<double> DatabaseComponents::molarMass(const QString& name) {
    if (!find(name)) return std::nullopt;  // opens the database, or throws why it does not open
    try {
        const db::ComponentMatch m = db::matchComponentName(listed(), name.toStdString());
        if (m.kind != db::ComponentMatch::Exact) return std::nullopt;
        const db::FieldValue& v = (*rows_)[static_cast<std::size_t>(m.index)].MolWt;
        if (const double* d = std::get_if<double>(&v); d && *d > 0 && std::isfinite(*d)) return *d;
        return std::nullopt;
    } catch (const db::DbError& e) {
        throw LookupFailure{QStringLiteral("cannot look up \"%1\" in the component database '%2': %3")
                                .arg(name, path_, QString::fromStdString(e.description()))};
    }
}

std::array<std::array<std::array<double, 4>, 4>, 6> DatabaseComponents::kijMatrices(
    const std::vector<std::string>& names) {
    for (const std::string& n : names)
        if (!n.empty()) {
            find(QString::fromStdString(n));  // opens the database, or throws why it does not open
            break;
        }
    if (!database_) return {};
    try {
        return db::kijMatrices(*database_, names);
    } catch (const db::DbError& e) {
        throw LookupFailure{QStringLiteral("cannot read the interaction parameters of the component database '%1': %2")
                                .arg(path_, QString::fromStdString(e.description()))};
    }
}

ComponentLookup DatabaseComponents::lookup() {
    return [this](const QString& name) {
        std::optional<ComponentConstants> found = find(name);
        // Say where it was looked for: the setting may name another file than expected.
        if (!found)
            throw LookupFailure{
                QStringLiteral("no component named \"%1\" in the component database '%2'").arg(name, path_) +
                suggestionsFor(name)};
        return found;
    };
}

}  // namespace zolvant::cli
