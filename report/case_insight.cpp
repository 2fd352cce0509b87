#include "report/case_insight.h"

#include <QJsonObject>

#include <algorithm>
#include <cmath>

#include "solver/phase.h"
#include "solver/text.h"

namespace zolvant::report {
namespace {

int rowsInUse(const CaseReport& r) { return r.outcome.solved ? std::clamp<int>(r.outcome.state.numComps, 0, 4) : 0; }

QJsonValue number(double v) { return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null); }
QJsonValue number(const std::optional<double>& v) { return v ? number(*v) : QJsonValue(QJsonValue::Null); }

QString digits(double v, int n) { return QString::fromStdString(formatDigits(v, n)); }

// A root that was never reported (cannot happen for a row in use) reads as undefined.
RootOutcome outcomeOf(const CaseReport& r, int block, int row, Phase phase) {
    return r.grid.roots().outcome(block, row, phase).value_or(RootOutcome{});
}

}  // namespace

QJsonArray insightArray(const CaseReport& r, int block) {
    QJsonArray rows;
    for (int k = 0; k < rowsInUse(r); ++k) {
        const PhaseView v = phaseView(block, r.outcome.state, k);
        QJsonArray roots;
        for (double root : v.roots) roots.append(root);
        const RootOutcome vap = outcomeOf(r, block, k, Phase::Vapour);
        const RootOutcome liq = outcomeOf(r, block, k, Phase::Liquid);
        QJsonObject o{
            {QStringLiteral("Tr"), number(v.Tr)},
            {QStringLiteral("Pr"), number(v.Pr)},
            {QStringLiteral("Psat"), number(v.saturation.pressure)},
            {QStringLiteral("stable"), v.stable ? QJsonValue(QString::fromLatin1(stablePhaseText(*v.stable)))
                                                : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("roots"), roots},
            {QStringLiteral("lnPhiLiquid"), number(v.lnPhiLiquid)},
            {QStringLiteral("lnPhiVapour"), number(v.lnPhiVapour)},
            {QStringLiteral("vapourSteps"), vap.steps},
            {QStringLiteral("vapourEnd"), QString::fromLatin1(rootEndText(vap.end))},
            {QStringLiteral("liquidSteps"), liq.end == RootEnd::AboveTc ? QJsonValue(QJsonValue::Null) : QJsonValue(liq.steps)},
            {QStringLiteral("liquidEnd"), QString::fromLatin1(rootEndText(liq.end))},
        };
        rows.append(o);
    }
    return rows;
}

QStringList insightLines(const CaseReport& r, int block) {
    QStringList lines;
    for (int k = 0; k < rowsInUse(r); ++k) {
        const PhaseView v = phaseView(block, r.outcome.state, k);
        QString first = QStringLiteral("    %1: Tr %2, Pr %3").arg(rowCaption(r, k), digits(v.Tr, 4), digits(v.Pr, 4));
        if (v.saturation.pressure)
            first += QStringLiteral(", Psat %1 bar").arg(digits(*v.saturation.pressure, 7));
        else
            first += QStringLiteral(", no Psat (%1)").arg(QString::fromStdString(v.saturation.none));
        first += QStringLiteral(", stable: %1").arg(v.stable ? QString::fromLatin1(stablePhaseText(*v.stable))
                                                            : QStringLiteral("undefined"));
        lines << first;

        QStringList roots;
        for (double root : v.roots) roots << digits(root, 7);
        QString second = QStringLiteral("      roots %1").arg(roots.isEmpty() ? QStringLiteral("none") : roots.join(QStringLiteral(", ")));
        if (!roots.isEmpty()) second += QStringLiteral(" cm3/mol");
        if (v.lnPhiLiquid && v.lnPhiVapour)
            second += QStringLiteral("; ln phi %1 (liquid), %2 (vapour)").arg(digits(*v.lnPhiLiquid, 5), digits(*v.lnPhiVapour, 5));
        auto ended = [&](const char* phase, const RootOutcome& o) {
            if (o.end == RootEnd::AboveTc) return QStringLiteral("%1 not computed (above Tc)").arg(QLatin1String(phase));
            return QStringLiteral("%1 %2 at step %3").arg(QLatin1String(phase), QLatin1String(rootEndText(o.end))).arg(o.steps);
        };
        second += QStringLiteral("; %1, %2").arg(ended("vapour", outcomeOf(r, block, k, Phase::Vapour)),
                                                 ended("liquid", outcomeOf(r, block, k, Phase::Liquid)));
        lines << second;
    }
    return lines;
}

}  // namespace zolvant::report
