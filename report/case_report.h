#pragma once
// What one input line of `zolvant-cli solve` gives: the filled grid or the
// refusal, and its two renderings (a JSON line, a table for a terminal).

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <string>

#include "report/case_parser.h"
#include "solver/case.h"
#include "solver/grid.h"
#include "solver/phase.h"

namespace zolvant::report {

// The grid as a table of texts and marks; cells never written stay "".
class GridTexts : public ResultGrid {
public:
    void setCellText(int block, Column column, int row, const std::string& text) override;
    void setCellMark(int block, int row, Mark mark) override;
    void rootDone(int block, int row, Phase phase, const RootOutcome& root) override;

    const std::string& text(int block, Column column, int row) const;
    std::optional<Mark> mark(int block, int row) const;
    const RootLog& roots() const { return roots_; }

private:
    RootLog roots_;
    std::array<std::array<std::array<std::string, 5>, 3>, kBlocks> texts_{};
    std::array<std::array<std::optional<Mark>, 4>, kBlocks> marks_{};
};

struct CaseReport {
    QString where;                  // "line 3", "cases.jsonl, line 3"; "" for the one case of the command line
    std::optional<QString> inputError;  // the line is not a case
    Case parsed;
    CaseOutcome outcome;
    GridTexts grid;
};

// Parses and runs one line exactly as the main window would run the case.
CaseReport evaluateLine(const QByteArray& line, const QString& where, const ComponentLookup& lookup = {});

// The Input ERROR's message: what is wrong, after where it is.
QString inputErrorMessage(const CaseReport& report);

// {"ok": true, "numComps": n, "blocks": [...]} or {"ok": false, "error": {...}}, without newline.
// Written straight into a buffer (case_json.h), except with `insight`, for
// a text that is not ASCII or for a line that was not a case: by QJson.
// With `insight`, each block also holds the key "insight" (cli/case_insight.h).
QByteArray toJsonLine(const CaseReport& report, bool insight = false);

// The QJson writer alone: the same bytes for every report.
QByteArray toJsonLineByQJson(const CaseReport& report, bool insight = false);

// The grid as a person reads it: six blocks with headings, the component
// rows in use and the mixture row; or the refusal. With `insight`, the
// insight lines follow each block.
QString toTable(const CaseReport& report, bool insight = false);

// The same with the six blocks side by side, one line per row (about 160
// columns for the usual texts); with `insight`, each block's insight lines
// follow the table.
QString toWideTable(const CaseReport& report, bool insight = false);

// The caption of component row `row` (0..3) of a solved case: the name the
// case gave it, or "Component N" when it gave none or Solve released the row.
QString rowCaption(const CaseReport& report, int row);

// The mark as the JSON output writes it, as text: "" (no colour set),
// "window", or the colour number.
QString markText(std::optional<Mark> mark);

}  // namespace zolvant::report
