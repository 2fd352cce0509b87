#include "report/sweep_csv.h"

#include "report/case_csv.h"
#include "solver/phase.h"
#include "solver/text.h"

namespace zolvant::report {

std::string sweepCsvHeader(bool insight) {
    std::string s =
        "Point,Temperature (C),Pressure (bar),Equation,Row,Liquid (cm3/mol),Vapor (cm3/mol),Z,Mark,Error,Message";
    if (insight) s += ",Stable,Psat (bar)";
    s += "\r\n";
    return s;
}

void appendSweepPointCsv(std::string& out, std::size_t index, const SweepPointTexts& texts, const CaseReport& r,
                         bool insight) {
    // The record's first three fields: the point's number and texts.
    std::string lead = std::to_string(index + 1);
    lead += ',';
    appendCsvField(lead, texts.temperature);
    lead += ',';
    appendCsvField(lead, texts.pressure);
    lead += ',';
    if (!insight) return appendCsvRecords(out, lead, r);
    appendCsvRecords(out, lead, r, [&r](std::string& text, int block, int row) {
        text += ',';
        if (block < 0 || row == kMixtureRow) {
            text += ',';
            return;
        }
        const PhaseView v = phaseView(block, r.outcome.state, row);
        if (v.stable) text += stablePhaseText(*v.stable);
        text += ',';
        if (v.saturation.pressure) text += shortestText(*v.saturation.pressure);
    });
}

void appendSweepPointCsv(std::string& out, std::size_t index, const SweepPoint& p, const std::array<QString, 4>& names) {
    CaseReport r;
    r.parsed.names = names;
    r.outcome.solved = p.solved;
    r.outcome.title = p.title;
    r.outcome.message = p.message;
    r.outcome.state.numComps = static_cast<std::int16_t>(p.numComps);
    r.outcome.deselected = p.deselected;
    for (int b = 0; b < kBlocks; ++b) {
        for (int row = 0; row <= kMixtureRow; ++row)
            for (const Column c : {Column::Liquid, Column::Vapour, Column::Z})
                if (const std::string_view t = p.text(b, c, row); !t.empty()) r.grid.setCellText(b, c, row, std::string(t));
        for (int row = 0; row < 4; ++row)
            if (const auto m = p.mark(b, row)) r.grid.setCellMark(b, row, *m);
    }
    appendSweepPointCsv(out, index, p.texts, r, false);
}

std::string sweepCsv(const std::vector<SweepPoint>& points, const std::array<QString, 4>& names) {
    std::string out = sweepCsvHeader(false);
    for (std::size_t i = 0; i < points.size(); ++i) appendSweepPointCsv(out, i, points[i], names);
    return out;
}

}  // namespace zolvant::report
