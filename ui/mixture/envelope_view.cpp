#include "ui/mixture/envelope_view.h"

#include <algorithm>
#include <cmath>

#include "chart/isotherm_chart.h"
#include "solver/text.h"

namespace zolvant::ui {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

plot::Chart phaseEnvelopeChart(const std::vector<MixtureReport>& reports, const std::array<bool, kBlocks>& shown) {
    plot::Chart c;
    c.x = {QStringLiteral("Temperature (\u00b0C)"), plot::Scale::Linear, 0, 0};
    c.y = {QStringLiteral("Pressure P (bar)"), plot::Scale::Linear, 0, 0};
    if (reports.empty()) return c;
    const MixtureReport& first = reports.front();
    const double stateT = first.T - kKelvinOffset, stateP = first.P;
    c.title = QStringLiteral("Phase envelopes at the solved composition; state %1 \u00b0C, %2 bar")
                  .arg(qs(formatDigits(stateT, 6)), qs(formatDigits(stateP, 6)));
    double tLow = stateT, tHigh = stateT, pHigh = stateP;
    std::vector<plot::Marker> critical;
    for (const MixtureReport& r : reports) {
        if (r.block < 0 || r.block >= kBlocks || !shown[static_cast<std::size_t>(r.block)]) continue;
        const plot::LineStyle style = plot::equationStyle(r.block);
        plot::Series s;
        s.name = qs(r.equation);
        s.style = style;
        for (const EnvelopePoint& p : r.envelope.points) {
            s.points.push_back({p.T - kKelvinOffset, p.P});
            tLow = std::min(tLow, p.T - kKelvinOffset);
            tHigh = std::max(tHigh, p.T - kKelvinOffset);
            pHigh = std::max(pHigh, p.P);
        }
        if (r.envelope.critical)
            critical.push_back({r.envelope.critical->T - kKelvinOffset, r.envelope.critical->P, plot::MarkerShape::Circle,
                                style.colour, 9.0});
        if (s.points.empty()) {
            QString why = qs(r.why);
            if (why.isEmpty() && !r.envelope.notes.empty()) why = qs(r.envelope.notes.front());
            c.notes.push_back(s.name + QStringLiteral(": no envelope") + (why.isEmpty() ? QString() : QStringLiteral(": ") + why));
        }
        c.legend.push_back({s.name, style, std::nullopt});
        c.series.push_back(std::move(s));
    }
    const double span = std::max(tHigh - tLow, 10.0);
    c.x.low = tLow - 0.05 * span;
    c.x.high = tHigh + 0.05 * span;
    c.y.low = 0.0;
    c.y.high = pHigh * 1.08;
    c.markers = critical;
    const plot::Marker state{stateT, stateP, plot::MarkerShape::Diamond, Qt::black, 12.0};
    c.markers.push_back(state);
    c.legend.push_back({QStringLiteral("Critical point"), std::nullopt,
                        plot::Marker{0, 0, plot::MarkerShape::Circle, QColor(150, 150, 150), 9.0}});
    c.legend.push_back({QStringLiteral("Solved state"), std::nullopt, state});
    if (c.series.empty()) c.emptyText = QStringLiteral("No equation is shown: tick one above.");
    return c;
}

}  // namespace zolvant::ui
