#include "report/case_echo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "report/csv.h"

namespace zolvant::report {
namespace {

constexpr int kEchoComponents = 4;

QJsonValue text(const std::optional<std::string>& t) {
    return t ? QJsonValue(QString::fromStdString(*t)) : QJsonValue(QJsonValue::Null);
}

}  // namespace

std::string echoCsvHeaderFields() {
    std::string out;
    for (const char* field : {"Temperature (C)", "Pressure (bar)"}) {
        out += ',';
        appendCsvField(out, field);
    }
    for (int k = 1; k <= kEchoComponents; ++k) {
        out += ",Component " + std::to_string(k);
        out += ",Fraction " + std::to_string(k);
    }
    return out;
}

void appendEchoCsvFields(std::string& out, const CaseReport& r) {
    if (r.inputError) {
        out += std::string(2 + 2 * kEchoComponents, ',');
        return;
    }
    const CaseInput& in = r.parsed.input;
    for (const std::optional<std::string>& t : {in.temperature, in.pressure}) {
        out += ',';
        appendCsvField(out, t.value_or(std::string()));
    }
    for (int k = 0; k < kEchoComponents; ++k) {
        const auto i = static_cast<std::size_t>(k);
        out += ',';
        if (i < in.components.size()) appendCsvField(out, r.parsed.names[i].toStdString());
        out += ',';
        if (i < in.components.size()) appendCsvField(out, in.components[i].fraction.value_or(std::string()));
    }
}

void addEchoJson(std::string& line, const CaseReport& r) {
    QJsonValue input = QJsonValue::Null;
    if (!r.inputError) {
        const CaseInput& in = r.parsed.input;
        QJsonArray components;
        for (std::size_t k = 0; k < in.components.size() && k < kEchoComponents; ++k) {
            const QString& name = r.parsed.names[k];
            components.append(QJsonObject{
                {QStringLiteral("name"), name.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(name)},
                {QStringLiteral("fraction"), text(in.components[k].fraction)}});
        }
        input = QJsonObject{{QStringLiteral("temperature"), text(in.temperature)},
                            {QStringLiteral("pressure"), text(in.pressure)},
                            {QStringLiteral("components"), components}};
    }
    const QByteArray value = input.isObject() ? QJsonDocument(input.toObject()).toJson(QJsonDocument::Compact)
                                              : QByteArray("null");
    std::string end;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        end.insert(end.begin(), line.back());
        line.pop_back();
    }
    if (line.empty() || line.back() != '}') return;  // not an object: left as it is
    line.pop_back();
    line += ",\"input\":";
    line += value.toStdString();
    line += '}';
    line += end;
}

}  // namespace zolvant::report
