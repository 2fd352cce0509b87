// Run by the build: draws the application icon's PNGs from its SVG, one per
// size, into <hicolor folder>/<n>x<n>/apps/<id>.png.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fputs("usage: zolvant_make_icons ICON.svg HICOLOR-FOLDER ID SIZE...\n", stderr);
        return 2;
    }
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "zolvant_make_icons: %s is not a readable SVG\n", argv[1]);
        return 1;
    }
    const QString hicolor = QString::fromLocal8Bit(argv[2]);
    const QString id = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const int n = QString::fromLocal8Bit(argv[i]).toInt();
        if (n <= 0) {
            std::fprintf(stderr, "zolvant_make_icons: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(n, n, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            svg.render(&p, QRectF(0, 0, n, n));
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(hicolor).arg(n);
        const QString file = QStringLiteral("%1/%2.png").arg(folder, id);
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "zolvant_make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
