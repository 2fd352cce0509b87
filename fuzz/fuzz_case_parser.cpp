// A line of `zolvant-cli solve` input, whatever it holds: it becomes a case
// or an "Input ERROR", nothing else; the answer is one line of valid JSON
// whose cells are all texts a cell may show.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>

#include "fuzz/cell_checks.h"
#include "report/case_parser.h"
#include "report/case_report.h"

using namespace zolvant;
using namespace zolvant::fuzz;

namespace {

// Two known names, one with Null fields, so that a case by name is reachable.
std::optional<zolvant::report::ComponentConstants> lookup(const QString& name) {
    if (name == QStringLiteral("Methane")) return zolvant::report::ComponentConstants{190.56, 45.99, 0.011, -0.00159, std::nullopt, std::nullopt};
    if (name == QStringLiteral("n-Butane")) return zolvant::report::ComponentConstants{425.12, 37.96, 0.2, 0.03443, 0.5, 0.461};
    return std::nullopt;
}

void checkAnswer(const QByteArray& answer, const QByteArray& line, bool parsed) {
    const std::string where = show(std::string_view(line.constData(), static_cast<std::size_t>(line.size()))) +
                              " answered " + answer.toStdString();
    FUZZ_CHECK(!answer.contains('\n') && !answer.contains('\r'), where);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(answer, &error);
    FUZZ_CHECK(error.error == QJsonParseError::NoError && doc.isObject(), where);
    const QJsonObject o = doc.object();
    FUZZ_CHECK(o.value("ok").isBool(), where);
    if (!o.value("ok").toBool()) {
        const QJsonObject e = o.value("error").toObject();
        const QString title = e.value("title").toString();
        const QString message = e.value("message").toString();
        FUZZ_CHECK(!message.isEmpty(), where);
        if (parsed) {
            FUZZ_CHECK(title == "Mixture ERROR" || title == "Pressure ERROR" || title == "Temperature ERROR", where);
        } else {
            FUZZ_CHECK(title == "Input ERROR" && message.startsWith("line 7: ") && message.size() > 8, where);
        }
        return;
    }
    FUZZ_CHECK(parsed, where);
    const double n = o.value("numComps").toDouble(-1);
    FUZZ_CHECK(n >= 1 && n <= 4, where);
    const QJsonArray blocks = o.value("blocks").toArray();
    FUZZ_CHECK(blocks.size() == kBlocks, where);
    for (const QJsonValue& b : blocks) {
        const QJsonObject block = b.toObject();
        const std::pair<const char*, Column> columns[] = {
            {"liquid", Column::Liquid}, {"vapour", Column::Vapour}, {"Z", Column::Z}};
        for (const auto& [key, column] : columns) {
            const QJsonArray cells = block.value(key).toArray();
            FUZZ_CHECK(cells.size() == 5, where);
            for (int row = 0; row < 5; ++row) {
                FUZZ_CHECK(cells[row].isString(), where);
                FUZZ_CHECK(isAllowedCell(cells[row].toString().toStdString(), column, row), where);
            }
        }
        const QJsonArray marks = block.value("mark").toArray();
        FUZZ_CHECK(marks.size() == 4, where);
        for (const QJsonValue& m : marks)
            FUZZ_CHECK(m.isNull() || m.toString() == "window" || m.toDouble() == 10526944 || m.toDouble() == 11579632, where);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray line(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Without a lookup (constants only) and with one (names allowed).
    for (const zolvant::report::ComponentLookup& l : {zolvant::report::ComponentLookup{}, zolvant::report::ComponentLookup{lookup}}) {
        const zolvant::report::CaseReport report = zolvant::report::evaluateLine(line, QStringLiteral("line 7"), l);
        if (report.inputError)
            FUZZ_CHECK(!report.inputError->isEmpty(), "empty input error");
        else
            FUZZ_CHECK(report.parsed.input.components.size() <= 4, "more than four components");
        checkAnswer(zolvant::report::toJsonLine(report), line, !report.inputError);
        (void)zolvant::report::toTable(report);
    }
    return 0;
}
