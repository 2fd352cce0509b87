// The isotherm picture: drawn into a fixed-size image, each grid root's
// marker lies on top at its mapped pixel with the background a few pixels
// away; the SVG holds the title, the axis titles and one curve path per
// shown equation; hidden equations and the saturation choice change what
// is drawn.

#include <QBuffer>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QXmlStreamReader>
#include <QtTest>

#include "chart/chart_export.h"
#include "chart/isotherm_chart.h"
#include "solver/case.h"
#include "solver/isotherm.h"

using namespace zolvant;

namespace {

IsothermModel butaneModel(const char* celsius, const char* pressure) {
    CaseComponent cc;
    cc.constants = {425.12, 37.96, 0.2, 0.03443, 0.6767, 0.461};
    return isothermModel(solvePure(cc, celsius, pressure, "n-Butane").solved, 0);
}

plot::IsothermView only(int block) {
    plot::IsothermView v;
    v.shown.fill(false);
    v.shown[static_cast<std::size_t>(block)] = true;
    return v;
}

// Stroke colour of each path drawn with the curves' pen width.
QMap<QString, int> curvePaths(const QByteArray& svg, QStringList& texts, QString& title) {
    QMap<QString, int> paths;
    QXmlStreamReader xml(svg);
    QList<QXmlStreamAttributes> groups;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QStringLiteral("g")) groups.push_back(xml.attributes());
            else if (xml.name() == QStringLiteral("title")) title = xml.readElementText();
            else if (xml.name() == QStringLiteral("text")) texts << xml.readElementText();
            else if (xml.name() == QStringLiteral("path") && !groups.isEmpty() &&
                     groups.back().value(QStringLiteral("stroke-width")) == QStringLiteral("1.8"))
                ++paths[groups.back().value(QStringLiteral("stroke")).toString()];
        } else if (xml.isEndElement() && xml.name() == QStringLiteral("g")) {
            groups.pop_back();
        }
    }
    if (xml.hasError()) qWarning() << xml.errorString();
    return paths;
}

}  // namespace

class tst_isotherm_chart : public QObject {
    Q_OBJECT
private slots:
    void gridRootMarkersLieOnTopAtTheirPixels_data();
    void gridRootMarkersLieOnTopAtTheirPixels();
    void svgHoldsTitleAxesAndOnePathPerShownEquation();
    void aCurveThatCannotBeDrawnSaysWhy();
};

void tst_isotherm_chart::gridRootMarkersLieOnTopAtTheirPixels_data() {
    QTest::addColumn<int>("block");
    for (int e = 0; e < kBlocks; ++e) QTest::newRow(blockName(e)) << e;
}

void tst_isotherm_chart::gridRootMarkersLieOnTopAtTheirPixels() {
    QFETCH(int, block);
    const IsothermModel m = butaneModel("26.85", "1");
    const plot::Chart chart = isothermChart(m, only(block));
    const QSize size(960, 600);
    const QImage image = plot::chartImage(chart, size);
    const plot::ChartLayout l = plot::layoutChart(chart, QSizeF(size));
    const IsothermCurve& c = m.curves[static_cast<std::size_t>(block)];
    const QColor colour = plot::equationStyle(block).colour;
    int checked = 0;
    for (const auto& root : {c.liquid, c.vapour}) {
        QVERIFY(root && root->converged());
        const QPoint at(qRound(l.x.toPixel(root->value)), qRound(l.y.toPixel(m.P)));
        QVERIFY(l.plot.contains(at));
        // The marker is drawn over the curve, the state line and the ring of the cubic's root.
        QCOMPARE(image.pixelColor(at), colour);
        for (const QPoint off : {QPoint(11, -11), QPoint(-11, -11)}) {
            const QColor bg = image.pixelColor(at + off);
            QVERIFY2(bg.red() > 200 && bg.green() > 200 && bg.blue() > 200,
                     qPrintable(QStringLiteral("%1 at offset %2,%3").arg(bg.name()).arg(off.x()).arg(off.y())));
        }
        ++checked;
    }
    QCOMPARE(checked, 2);
}

void tst_isotherm_chart::svgHoldsTitleAxesAndOnePathPerShownEquation() {
    const IsothermModel m = butaneModel("26.85", "1");
    plot::IsothermView view;
    view.shown[1] = false;  // Redlich-Kwong hidden
    view.saturation = false;
    const plot::Chart chart = isothermChart(m, view);
    QStringList texts;
    QString title;
    const QMap<QString, int> paths = curvePaths(plot::chartSvg(chart, QSize(960, 600)), texts, title);
    QCOMPARE(title, QStringLiteral("Isotherms of n-Butane at 300 K, 1 bar"));
    QVERIFY(texts.contains(title));
    QVERIFY(texts.contains(QStringLiteral("Molar volume V (cm\u00b3/mol)")));
    QVERIFY(texts.contains(QStringLiteral("Pressure P (bar)")));
    QVERIFY(texts.contains(QStringLiteral("1000")));  // a decade label
    QMap<QString, int> expected;
    for (int e = 0; e < kBlocks; ++e)
        if (view.shown[static_cast<std::size_t>(e)]) expected[plot::equationStyle(e).colour.name()] = 1;
    QCOMPARE(paths, expected);
    QVERIFY(!texts.contains(QStringLiteral("Redlich-Kwong")));
    QVERIFY(!texts.contains(QStringLiteral("Saturation line")));

    // With the saturation lines: each equation's line and its Psat note.
    const plot::Chart withSat = isothermChart(m, only(2));
    texts.clear();
    curvePaths(plot::chartSvg(withSat, QSize(960, 600)), texts, title);
    QVERIFY(texts.contains(QStringLiteral("Saturation line")));
    bool note = false;
    for (const QString& t : texts) note = note || t.startsWith(QStringLiteral("Peng-Robinson: Psat 2.571"));  // the note wraps
    QVERIFY2(note, qPrintable(texts.join(QLatin1Char('|'))));
}

void tst_isotherm_chart::aCurveThatCannotBeDrawnSaysWhy() {
    // At 50 bar the vapour iteration of n-butane falls below b: no vapour
    // marker, and the note names how the root ended.
    const IsothermModel m = butaneModel("26.85", "50");
    const plot::Chart chart = isothermChart(m, only(0));
    bool vapourMarker = false;
    for (const plot::Marker& mk : chart.markers) vapourMarker = vapourMarker || mk.shape == plot::MarkerShape::Circle;
    const auto& v = m.curves[0].vapour;
    QVERIFY(v);
    if (v->converged()) QSKIP("the vapour root converged at this state");
    QVERIFY(!vapourMarker);
    bool note = false;
    for (const QString& n : chart.notes) note = note || (n.startsWith(QStringLiteral("Van der Waals: ")) && n.contains(QStringLiteral("vapour NA (")));
    QVERIFY(note);
}

QTEST_MAIN(tst_isotherm_chart)
#include "tst_isotherm_chart.moc"
