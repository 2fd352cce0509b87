#include "report/results_table.h"

#include "report/csv.h"

namespace zolvant::report {

namespace {

struct Line {
    QStringList fields;
    bool header = false;
};

QList<Line> lines(const ResultsTable& t) {
    QList<Line> out;
    const auto add = [&out](QStringList fields, bool header) {
        while (fields.size() < kResultsColumns) fields << QString();
        out.push_back({fields, header});
    };
    add({QStringLiteral("Component"), QStringLiteral("Mole Fraction")}, true);
    for (const ResultsInputs::Component& c : t.inputs.components) add({c.name, c.fraction}, false);
    add({}, false);
    add({QStringLiteral("Temperature (C)"), QStringLiteral("Temperature (K)"), QStringLiteral("Pressure (bar)")}, true);
    add({t.inputs.temperatureC, t.inputs.temperatureK, t.inputs.pressureBar}, false);
    for (const ResultsBlock& b : t.blocks) {
        add({}, false);
        add({b.equation, QStringLiteral("Liquid (cm3/mol)"), QStringLiteral("Vapor (cm3/mol)"), QStringLiteral("Z")},
            true);
        for (const ResultsRow& r : b.rows) add({r.caption, r.cells[0], r.cells[1], r.cells[2]}, false);
    }
    return out;
}

}  // namespace

QList<QStringList> resultsRows(const ResultsTable& table) {
    QList<QStringList> out;
    for (const Line& l : lines(table)) out << l.fields;
    return out;
}

QString resultsTabSeparated(const ResultsTable& table) {
    QString out;
    for (const Line& l : lines(table)) {
        QStringList fields;
        for (QString f : l.fields) {
            f.replace(QLatin1String("\r\n"), QLatin1String(" "));
            for (QChar& ch : f)
                if (ch == QLatin1Char('\t') || ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) ch = QLatin1Char(' ');
            fields << f;
        }
        out += fields.join(QLatin1Char('\t'));
        out += QLatin1Char('\n');
    }
    return out;
}

QString resultsHtml(const ResultsTable& table) {
    QString out = QStringLiteral(
        "<html><head><meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\"></head><body>\n"
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">\n");
    for (const Line& l : lines(table)) {
        const QString cell = l.header ? QStringLiteral("th") : QStringLiteral("td");
        out += QLatin1String("<tr>");
        for (const QString& f : l.fields) out += QStringLiteral("<%1>%2</%1>").arg(cell, f.toHtmlEscaped());
        out += QLatin1String("</tr>\n");
    }
    out += QLatin1String("</table>\n</body></html>\n");
    return out;
}

QByteArray resultsCsv(const ResultsTable& table) {
    QString out;
    for (const Line& l : lines(table)) out += csvRecord(l.fields);
    return out.toUtf8();
}

}  // namespace zolvant::report
