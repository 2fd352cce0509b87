#include "chart/chart_export.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include "report/whole_file.h"

namespace zolvant::plot {

QImage chartImage(const Chart& chart, QSize size, double scale) {
    QImage image(QSize(qRound(size.width() * scale), qRound(size.height() * scale)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    renderChart(p, chart, QSizeF(size));
    p.end();
    return image;
}

QByteArray chartSvg(const Chart& chart, QSize size) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(chart.title);
    // One user unit per logical pixel whatever the screen: fonts keep their pixel sizes.
    svg.setResolution(96);
    QPainter p(&svg);
    renderChart(p, chart, QSizeF(size));
    p.end();
    return buffer.data();
}

QString writeChartFile(const Chart& chart, const QString& path, QSize size, double scale) {
    QByteArray bytes;
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        bytes = chartSvg(chart, size);
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!chartImage(chart, size, scale).save(&buffer, "PNG")) return QStringLiteral("the PNG image could not be made");
    }
    return report::writeWholeFile(path, bytes);
}

}  // namespace zolvant::plot
