#include "report/case_parser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QStringList>

#include <cmath>

#include "report/case_json.h"
#include "solver/text.h"

namespace zolvant::report {
namespace {

// Keys of a component, in the order of the constants.
const char* const kConstantKeys[6] = {"Tc", "Pc", "omega", "K1", "K2", "K3"};

struct Failure {
    QString message;
};

QString quoted(const QString& key) { return QLatin1Char('"') + key + QLatin1Char('"'); }

void rejectUnknownKeys(const QJsonObject& o, const QStringList& allowed, const QString& where) {
    for (auto it = o.begin(); it != o.end(); ++it)
        if (!allowed.contains(it.key()))
            throw Failure{where + QStringLiteral("unknown key ") + quoted(it.key()) + QStringLiteral(" (expected ") +
                          allowed.join(QStringLiteral(", ")) + QLatin1Char(')')};
}

// A box's text: a JSON string as it is, a number as the shortest text that
// reads back to it; null or absent when the box is not typed into.
std::optional<std::string> boxText(const QJsonObject& o, const QString& key, const QString& where) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull()) return std::nullopt;
    if (v.isString()) return v.toString().toStdString();
    if (v.isDouble()) return shortestText(v.toDouble());
    throw Failure{where + quoted(key) + QStringLiteral(" must be a text, a number or null")};
}

std::optional<double> constant(const QJsonObject& o, const QString& key, const QString& where) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull()) return std::nullopt;
    if (v.isDouble()) return v.toDouble();
    throw Failure{where + quoted(key) + QStringLiteral(" must be a number or null")};
}

Case parse(const QByteArray& line, const ComponentLookup& lookup) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError)
        throw Failure{QStringLiteral("not valid JSON: %1 at character %2").arg(error.errorString()).arg(error.offset + 1)};
    if (!doc.isObject()) throw Failure{QStringLiteral("a case must be a JSON object")};
    const QJsonObject root = doc.object();
    rejectUnknownKeys(root, {QStringLiteral("temperature"), QStringLiteral("pressure"), QStringLiteral("components")},
                      QString());

    Case c;
    c.input.temperature = boxText(root, QStringLiteral("temperature"), QString());
    c.input.pressure = boxText(root, QStringLiteral("pressure"), QString());

    const QJsonValue comps = root.value(QStringLiteral("components"));
    if (comps.isUndefined()) throw Failure{QStringLiteral("missing \"components\"")};
    if (!comps.isArray()) throw Failure{QStringLiteral("\"components\" must be an array")};
    const QJsonArray list = comps.toArray();
    if (list.size() > 4)
        throw Failure{QStringLiteral("\"components\" holds %1 components; at most 4 are allowed").arg(list.size())};

    QStringList componentKeys{QStringLiteral("name"), QStringLiteral("fraction")};
    for (const char* k : kConstantKeys) componentKeys << QString::fromLatin1(k);

    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString where = QStringLiteral("component %1: ").arg(i + 1);
        if (!list[i].isObject()) throw Failure{where + QStringLiteral("must be a JSON object")};
        const QJsonObject o = list[i].toObject();
        rejectUnknownKeys(o, componentKeys, where);

        CaseComponent component;
        const QJsonValue name = o.value(QStringLiteral("name"));
        if (!name.isUndefined() && !name.isNull()) {
            if (!name.isString()) throw Failure{where + QStringLiteral("\"name\" must be a text")};
            if (!lookup) throw Failure{where + QStringLiteral("components are given by their constants here, not by \"name\"")};
            std::optional<ComponentConstants> found;
            try {
                found = lookup(name.toString());
            } catch (const LookupFailure& f) {
                throw Failure{where + f.message};
            }
            if (!found) throw Failure{where + QStringLiteral("no component named ") + quoted(name.toString())};
            component.constants = *found;
            c.names[static_cast<std::size_t>(i)] = name.toString();
        }
        for (std::size_t p = 0; p < 6; ++p) {
            const QString key = QString::fromLatin1(kConstantKeys[p]);
            if (o.contains(key)) component.constants[p] = constant(o, key, where);
        }
        component.fraction = boxText(o, QStringLiteral("fraction"), where);
        c.input.components.push_back(std::move(component));
    }
    return c;
}

}  // namespace

std::variant<Case, QString> parseCase(const QByteArray& line, const ComponentLookup& lookup) {
    if (std::optional<Case> plain = readPlainCase(line, lookup)) return std::move(*plain);
    return parseCaseByQJson(line, lookup);
}

std::variant<Case, QString> parseCaseByQJson(const QByteArray& line, const ComponentLookup& lookup) {
    try {
        return parse(line, lookup);
    } catch (const Failure& f) {
        return f.message;
    }
}

}  // namespace zolvant::report
