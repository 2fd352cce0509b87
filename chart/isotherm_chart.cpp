#include "chart/isotherm_chart.h"

#include <algorithm>
#include <cmath>

#include "chart/chart_export.h"
#include "solver/text.h"

namespace zolvant::plot {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
QString volumeText(double v) { return qs(formatDigits(v, 5)); }

// How a grid root that shows no volume ended, for the notes.
QString missing(const std::optional<RootOutcome>& r, const char* phase) {
    if (!r) return {};
    if (r->converged()) return {};
    const QString what = QString::fromLatin1(phase);
    if (r->end == RootEnd::AboveTc) return what + QStringLiteral(" NA - Tc (above the critical temperature)");
    QString s = what + QStringLiteral(" NA (") + QString::fromLatin1(rootEndText(r->end));
    // A step limit's step is the one past the limit, whose result is discarded.
    if (r->steps > 0 && r->end != RootEnd::StepLimit) s += QStringLiteral(" at step %1").arg(r->steps);
    return s + QLatin1Char(')');
}

}  // namespace

plot::LineStyle equationStyle(int block) {
    using plot::Dash;
    // Okabe–Ito colours; the patterns alone tell the six apart in grey.
    static const struct {
        QRgb rgb;
        Dash dash;
    } kStyles[kBlocks] = {
        {qRgb(0, 0, 0), Dash::Solid},          {qRgb(230, 159, 0), Dash::Dashed},
        {qRgb(0, 114, 178), Dash::DashDot},    {qRgb(0, 158, 115), Dash::Dotted},
        {qRgb(213, 94, 0), Dash::LongDash},    {qRgb(204, 121, 167), Dash::DashDotDot},
    };
    const auto& s = kStyles[std::clamp(block, 0, kBlocks - 1)];
    return {QColor(s.rgb), s.dash, 1.8};
}

plot::Chart isothermChart(const IsothermModel& model, const IsothermView& view) {
    plot::Chart c;
    c.title = QStringLiteral("Isotherms of %1 at %2 K, %3 bar")
                  .arg(qs(model.component), qs(formatGeneral(static_cast<float>(model.T))),
                       qs(formatGeneral(static_cast<float>(model.P))));
    c.x = {QStringLiteral("Molar volume V (cm\u00b3/mol)"), plot::Scale::Log, 0, 0};
    c.y = {QStringLiteral("Pressure P (bar)"), plot::Scale::Linear, 0, 0};

    // Only what is shown sets the ranges.
    IsothermModel shownModel;
    shownModel.P = model.P;
    double vLow = INFINITY, vHigh = 0;
    for (const IsothermCurve& curve : model.curves) {
        const bool shown = view.shown[static_cast<std::size_t>(curve.block)] && curve.defined;
        if (!shown) continue;
        IsothermCurve& copy = shownModel.curves[static_cast<std::size_t>(curve.block)];
        copy.defined = true;
        copy.loop = curve.loop;
        if (view.saturation) copy.saturation = curve.saturation;
        vLow = std::min(vLow, curveStart(curve.parameters));
        vHigh = std::max(vHigh, curveEnd(curve.parameters));
    }
    if (!(vHigh > vLow)) {
        c.emptyText = QStringLiteral("No equation to draw: every shown equation is undefined here, or none is shown.");
        return c;
    }
    const PressureWindow window = isothermPressureWindow(shownModel);
    c.x.low = vLow;
    c.x.high = vHigh;
    c.y.low = window.low;
    c.y.high = window.high;

    std::vector<plot::Marker> realRoots, gridRoots, satMarkers;
    for (const IsothermCurve& curve : model.curves) {
        const std::size_t e = static_cast<std::size_t>(curve.block);
        if (!view.shown[e]) continue;
        const QString name = qs(curve.name);
        const plot::LineStyle style = equationStyle(curve.block);
        if (!curve.defined) {
            c.notes.push_back(name + QStringLiteral(": ") + qs(curve.note));
            continue;
        }
        plot::Series s;
        s.name = name;
        s.style = style;
        s.points.reserve(curve.points.size());
        for (const CurvePoint& p : curve.points) s.points.push_back({p.V, p.P});
        c.series.push_back(std::move(s));
        c.legend.push_back({name, style, std::nullopt});

        if (view.saturation && curve.saturation.pressure && curve.saturationLiquid && curve.saturationVapour) {
            const double ps = *curve.saturation.pressure;
            plot::Series sat;
            sat.name = name + QStringLiteral(" saturation");
            sat.style = {style.colour, plot::Dash::ShortDash, 1.2};
            sat.points = {{*curve.saturationLiquid, ps}, {*curve.saturationVapour, ps}};
            sat.inLegend = false;
            c.series.push_back(std::move(sat));
            for (double v : {*curve.saturationLiquid, *curve.saturationVapour})
                satMarkers.push_back({v, ps, plot::MarkerShape::Diamond, style.colour, 7.0});
            c.notes.push_back(name + QStringLiteral(": Psat %1 bar, V %2 and %3")
                                         .arg(qs(formatDigits(ps, 4)), volumeText(*curve.saturationLiquid),
                                              volumeText(*curve.saturationVapour)));
        }
        for (double v : curve.roots) realRoots.push_back({v, model.P, plot::MarkerShape::Ring, Qt::black, 14.0});
        if (curve.liquid && curve.liquid->converged())
            gridRoots.push_back({curve.liquid->value, model.P, plot::MarkerShape::Square, style.colour, kRootMarkerSize});
        if (curve.vapour && curve.vapour->converged())
            gridRoots.push_back({curve.vapour->value, model.P, plot::MarkerShape::Circle, style.colour, kRootMarkerSize});
        QStringList na;
        for (const QString& m : {missing(curve.liquid, "liquid"), missing(curve.vapour, "vapour")})
            if (!m.isEmpty()) na << m;
        if (!na.isEmpty()) c.notes.push_back(name + QStringLiteral(": ") + na.join(QStringLiteral("; ")));
    }
    // The grid's roots last: on top of the curves, the lines and the rings.
    c.markers = satMarkers;
    c.markers.insert(c.markers.end(), realRoots.begin(), realRoots.end());
    c.markers.insert(c.markers.end(), gridRoots.begin(), gridRoots.end());

    const plot::LineStyle stateStyle{QColor(80, 80, 80), plot::Dash::Solid, 1.2};
    c.lines.push_back({model.P, stateStyle, QStringLiteral("P = %1 bar").arg(qs(formatGeneral(static_cast<float>(model.P))))});

    const QColor grey(150, 150, 150);
    c.legend.push_back({QStringLiteral("State pressure"), stateStyle, std::nullopt});
    c.legend.push_back({QStringLiteral("Grid's liquid root"), std::nullopt,
                        plot::Marker{0, 0, plot::MarkerShape::Square, grey, kRootMarkerSize}});
    c.legend.push_back({QStringLiteral("Grid's vapour root"), std::nullopt,
                        plot::Marker{0, 0, plot::MarkerShape::Circle, grey, kRootMarkerSize}});
    c.legend.push_back({QStringLiteral("Real root of the cubic"), std::nullopt,
                        plot::Marker{0, 0, plot::MarkerShape::Ring, Qt::black, 14.0}});
    if (view.saturation)
        c.legend.push_back({QStringLiteral("Saturation line"), plot::LineStyle{grey, plot::Dash::ShortDash, 1.2},
                            plot::Marker{0, 0, plot::MarkerShape::Diamond, grey, 7.0}});
    return c;
}

QString writeIsothermPicture(const IsothermModel& model, const QString& path) {
    return plot::writeChartFile(isothermChart(model), path, QSize(kIsothermPictureWidth, kIsothermPictureHeight));
}

}  // namespace zolvant::plot
