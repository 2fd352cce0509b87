#include "chart/envelope_chart.h"

#include <algorithm>
#include <cmath>

#include "chart/chart_export.h"
#include "chart/isotherm_chart.h"
#include "solver/text.h"

namespace zolvant::plot {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

constexpr double kCriticalSize = 11.0, kExtremeSize = 8.0;

}  // namespace

Chart envelopeChart(const std::vector<MixtureReport>& reports, const QString& mixture) {
    Chart c;
    c.title = QStringLiteral("Phase envelopes of %1").arg(mixture);
    c.x = {QStringLiteral("Temperature T (K)"), Scale::Linear, 0, 0};
    c.y = {QStringLiteral("Pressure P (bar)"), Scale::Linear, 0, 0};
    double tLow = INFINITY, tHigh = -INFINITY, pHigh = 0;
    std::vector<Marker> extremes, criticals;
    for (const MixtureReport& r : reports) {
        const QString name = qs(r.equation);
        if (!r.ok) {
            c.notes.push_back(name + QStringLiteral(": ") + qs(r.why));
            continue;
        }
        const LineStyle style = equationStyle(r.block);
        Series s;
        s.name = name;
        s.style = style;
        for (const EnvelopePoint& p : r.envelope.points) {
            if (!std::isfinite(p.T) || !std::isfinite(p.P)) continue;
            s.points.push_back({p.T, p.P});
            tLow = std::min(tLow, p.T);
            tHigh = std::max(tHigh, p.T);
            pHigh = std::max(pHigh, p.P);
        }
        if (s.points.empty()) {
            c.notes.push_back(name + QStringLiteral(": no envelope traced"));
        } else {
            c.series.push_back(std::move(s));
            c.legend.push_back({name, style, std::nullopt});
        }
        if (r.envelope.cricondenbar)
            extremes.push_back({r.envelope.cricondenbar->T, r.envelope.cricondenbar->P, MarkerShape::Square, style.colour,
                                kExtremeSize});
        if (r.envelope.cricondentherm)
            extremes.push_back({r.envelope.cricondentherm->T, r.envelope.cricondentherm->P, MarkerShape::Diamond,
                                style.colour, kExtremeSize});
        if (r.envelope.critical) {
            criticals.push_back({r.envelope.critical->T, r.envelope.critical->P, MarkerShape::Circle, style.colour,
                                 kCriticalSize});
            c.notes.push_back(name + QStringLiteral(": critical point %1 K, %2 bar")
                                         .arg(qs(formatDigits(r.envelope.critical->T, 5)),
                                              qs(formatDigits(r.envelope.critical->P, 5))));
        }
        for (const std::string& n : r.envelope.notes) c.notes.push_back(name + QStringLiteral(": ") + qs(n));
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
    return c;
}

QString writeEnvelopePicture(const std::vector<MixtureReport>& reports, const QString& mixture, const QString& path) {
    return writeChartFile(envelopeChart(reports, mixture), path, QSize(kEnvelopePictureWidth, kEnvelopePictureHeight));
}

}  // namespace zolvant::plot
