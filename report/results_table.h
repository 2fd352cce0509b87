#pragma once
// The result grid taken out of the window: one table holding the inputs of
// the last accepted Solve and the six equation blocks, rendered as
// tab-separated text and HTML for the clipboard and as CSV for a file.
//
// The table has four columns and one header row per section:
//   Component        | Mole Fraction    |                  |
//   <name>           | <fraction text>  |                  |      one per row in use
//   (blank)
//   Temperature (C)  | Temperature (K)  | Pressure (bar)   |
//   <text as typed>  | <tempK>          | <pressBar>       |
//   (blank)
//   <equation>       | Liquid (cm3/mol) | Vapor (cm3/mol)  | Z    six blocks, grid order
//   <row caption>    | <cell text>      | <cell text>      | <cell text>
//   Mixture          | ...                                        when more than one row is in use
// Cell texts are taken as they are shown; nothing is recomputed or
// reformatted here.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace zolvant::report {

// What one accepted Solve was given, taken when both its checks passed.
struct ResultsInputs {
    struct Component {
        QString name;      // as the row is captioned
        QString fraction;  // the fraction box's text
    };
    QList<Component> components;  // the rows in use, in order
    QString temperatureC;         // the temperature box's text
    QString temperatureK;         // tempK, general format
    QString pressureBar;          // pressBar, general format
};

struct ResultsRow {
    QString caption;                 // component name, or "Mixture"
    std::array<QString, 3> cells;    // liquid, vapour, Z
};

struct ResultsBlock {
    QString equation;  // "Van der Waals", ...
    QList<ResultsRow> rows;
};

struct ResultsTable {
    ResultsInputs inputs;
    QList<ResultsBlock> blocks;
};

inline constexpr int kResultsColumns = 4;

// The table as rows of exactly kResultsColumns fields; a blank row (all
// fields empty) separates the sections.
QList<QStringList> resultsRows(const ResultsTable& table);

// Fields joined by tabs, one line per row, LF line ends. A tab or line break
// inside a field (only a component name could hold one) becomes a blank.
QString resultsTabSeparated(const ResultsTable& table);
// A complete HTML document holding the same rows as one <table>.
QString resultsHtml(const ResultsTable& table);
// RFC 4180: fields holding a comma, quote, CR or LF are quoted with quotes
// doubled; CRLF after every record; UTF-8 without byte-order mark.
QByteArray resultsCsv(const ResultsTable& table);

}  // namespace zolvant::report
