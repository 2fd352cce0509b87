#include "chart/envelope_chart.h"

#include <algorithm>
#include <cmath>

#include "chart/chart_export.h"
#include "chart/isotherm_chart.h"
#include "solver/text.h"

namespace zolvant::plot {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

constexpr double kCriticalSize = 11.0, kExtremeSize = 8.0, kStateSize = 12.0;

}  // namespace

QString envelopeTitle(const QString& mixture) { return QStringLiteral("Phase envelopes of %1").arg(mixture); }

Chart envelopeChart(const std::vector<MixtureReport>& reports, const QString& title, const EnvelopeChartOptions& options) {
    const double offset = options.celsius ? kKelvinOffset : 0.0;
    const QString unit = options.celsius ? QStringLiteral("\u00b0C") : QStringLiteral("K");
    Chart c;
    c.title = title;
    c.x = {options.celsius ? QStringLiteral("Temperature (\u00b0C)") : QStringLiteral("Temperature T (K)"), Scale::Linear,
           0, 0};
    c.y = {QStringLiteral("Pressure P (bar)"), Scale::Linear, 0, 0};
    double tLow = INFINITY, tHigh = -INFINITY, pHigh = 0;
    if (options.state) {
        tLow = tHigh = options.state->T - offset;
        pHigh = options.state->P;
    }
    std::vector<Marker> extremes, criticals;
    bool anyShown = false;
    for (const MixtureReport& r : reports) {
        if (r.block < 0 || r.block >= kBlocks || !options.shown[static_cast<std::size_t>(r.block)]) continue;
        anyShown = true;
        const QString name = qs(r.equation);
        const LineStyle style = equationStyle(r.block);
        Series s;
        s.name = name;
        s.style = style;
        for (const EnvelopePoint& p : r.envelope.points) {
            if (!std::isfinite(p.T) || !std::isfinite(p.P)) continue;
            s.points.push_back({p.T - offset, p.P});
            tLow = std::min(tLow, p.T - offset);
            tHigh = std::max(tHigh, p.T - offset);
            pHigh = std::max(pHigh, p.P);
        }
        if (!r.ok)
            c.notes.push_back(name + QStringLiteral(": ") + qs(r.why));
        else if (s.points.empty())
            c.notes.push_back(name + QStringLiteral(": no envelope traced"));
        c.legend.push_back({name, style, std::nullopt});
        c.series.push_back(std::move(s));
        if (r.envelope.cricondenbar)
            extremes.push_back({r.envelope.cricondenbar->T - offset, r.envelope.cricondenbar->P, MarkerShape::Square,
                                style.colour, kExtremeSize});
        if (r.envelope.cricondentherm)
            extremes.push_back({r.envelope.cricondentherm->T - offset, r.envelope.cricondentherm->P, MarkerShape::Diamond,
                                style.colour, kExtremeSize});
        if (r.envelope.critical) {
            criticals.push_back({r.envelope.critical->T - offset, r.envelope.critical->P, MarkerShape::Circle,
                                 style.colour, kCriticalSize});
            c.notes.push_back(name + QStringLiteral(": critical point %1 %2, %3 bar")
                                         .arg(qs(formatDigits(r.envelope.critical->T - offset, 5)), unit,
                                              qs(formatDigits(r.envelope.critical->P, 5))));
        }
        for (const std::string& n : r.envelope.notes) c.notes.push_back(name + QStringLiteral(": ") + qs(n));
    }
    if (!anyShown && !reports.empty()) {
        c.emptyText = QStringLiteral("No equation is shown: tick one above.");
        return c;
    }
    if (!(tHigh > tLow) || !(pHigh > 0)) {
        c.emptyText = QStringLiteral("No envelope to draw: no equation traced one for this mixture.");
        return c;
    }
    const double margin = (tHigh - tLow) * 0.05;
    c.x.low = tLow - margin;
    c.x.high = tHigh + margin;
    c.y.low = 0;
    c.y.high = pHigh * 1.08;
    c.markers = extremes;
    c.markers.insert(c.markers.end(), criticals.begin(), criticals.end());

    const QColor grey(150, 150, 150);
    c.legend.push_back({QStringLiteral("Critical point"), std::nullopt,
                        Marker{0, 0, MarkerShape::Circle, grey, kCriticalSize}});
    c.legend.push_back({QStringLiteral("Cricondenbar"), std::nullopt, Marker{0, 0, MarkerShape::Square, grey, kExtremeSize}});
    c.legend.push_back({QStringLiteral("Cricondentherm"), std::nullopt,
                        Marker{0, 0, MarkerShape::Diamond, grey, kExtremeSize}});
    if (options.state) {
        // Drawn last, on top; a filled black diamond larger than the cricondentherms'.
        const Marker state{options.state->T - offset, options.state->P, MarkerShape::Diamond, Qt::black, kStateSize};
        c.markers.push_back(state);
        c.legend.push_back({QStringLiteral("Solved state"), std::nullopt, state});
    }
    return c;
}

QString writeEnvelopePicture(const std::vector<MixtureReport>& reports, const QString& mixture, const QString& path) {
    return writeChartFile(envelopeChart(reports, envelopeTitle(mixture)), path,
                          QSize(kEnvelopePictureWidth, kEnvelopePictureHeight));
}

}  // namespace zolvant::plot
