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

namespace zolvant::report {

// The six constants of a named component (Tc, Pc, ω, K1, K2, K3; nullopt
// for a Null field), or nullopt when no component has that name.
using ComponentConstants = zolvant::ComponentConstants;
using ComponentLookup = std::function<std::optional<ComponentConstants>(const QString& name)>;

// Thrown by a lookup that cannot answer at all (its database does not open):
// the line is then not a case, and the message says why.
struct LookupFailure {
    QString message;
};

struct Case {
    CaseInput input;
    std::array<QString, 4> names;  // component names where the line gave one
};

// Parses one JSON line. A component may carry "name": its constants then
// come from `lookup` (constants given beside the name take precedence);
// without a lookup a name is an error, as is a name the lookup does not know
// or a LookupFailure it throws. Returns the case or what is wrong.
// Plain lines take the fast reader (case_json.h); the rest, and every
// error, the QJson reader.
std::variant<Case, QString> parseCase(const QByteArray& line, const ComponentLookup& lookup = {});

// The QJson reader alone: the same answer for every line.
std::variant<Case, QString> parseCaseByQJson(const QByteArray& line, const ComponentLookup& lookup = {});

}  // namespace zolvant::report
