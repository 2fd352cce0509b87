#pragma once
// One line of `zolvant-cli solve` input turned into a case. Kept apart from
// the command so that it can be fuzzed and reused by later commands.

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <variant>

#include "solver/case.h"

namespace zolvant::cli {

// The six constants of a named component (Tc, Pc, ω, K1, K2, K3; nullopt
// for a Null field), or nullopt when no component has that name.
using ComponentConstants = std::array<std::optional<double>, 6>;
using ComponentLookup = std::function<std::optional<ComponentConstants>(const QString& name)>;

struct Case {
    CaseInput input;
    std::array<QString, 4> names;  // component names where the line gave one
};

// Parses one JSON line. A component may carry "name": its constants then
// come from `lookup` (constants given beside the name take precedence);
// without a lookup a name is an error. Returns the case or what is wrong.
std::variant<Case, QString> parseCase(const QByteArray& line, const ComponentLookup& lookup = {});

}  // namespace zolvant::cli
