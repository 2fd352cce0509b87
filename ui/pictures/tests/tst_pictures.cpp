// The embedded pictures: present at their paths, of the sizes the windows are
// laid out for, stored as uncompressed 24-bit bitmaps, and a background pale
// enough for black labels over it.

#include "ui/pictures/pictures.h"

#include <QColor>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QtEndian>
#include <QtTest>

namespace {

quint32 u32(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

qint32 i32(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

quint16 u16(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

}  // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { zolvant_init_pictures(); }

    void storedAsUncompressed24BitBitmap_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("T-P phase diagram") << QStringLiteral(":/pictures/fig1.bmp") << 653 << 543;
        QTest::newRow("V-P phase diagram") << QStringLiteral(":/pictures/fig2.bmp") << 643 << 458;
        QTest::newRow("vapour-pressure curve") << QStringLiteral(":/pictures/fig3.bmp") << 498 << 468;
        QTest::newRow("main window background") << QStringLiteral(":/pictures/background.bmp") << 800 << 600;
    }

    void storedAsUncompressed24BitBitmap()
    {
        QFETCH(QString, path);
        QFETCH(int, width);
        QFETCH(int, height);

        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.size() >= 54);
        QCOMPARE(bytes.left(2), QByteArray("BM"));
        QCOMPARE(u32(bytes, 2), quint32(bytes.size()));  // file size
        QCOMPARE(u32(bytes, 14), 40u);                   // BITMAPINFOHEADER
        QCOMPARE(i32(bytes, 18), width);
        QCOMPARE(std::abs(i32(bytes, 22)), height);
        QCOMPARE(u16(bytes, 26), quint16(1));   // planes
        QCOMPARE(u16(bytes, 28), quint16(24));  // bits per pixel
        QCOMPARE(u32(bytes, 30), 0u);           // BI_RGB: no compression
        const int rowBytes = (width * 3 + 3) / 4 * 4;
        QCOMPARE(qint64(bytes.size()) - qint64(u32(bytes, 10)), qint64(rowBytes) * height);

        const QImage image(path);
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(width, height));
    }

    // Bold black labels and white boxes lie over the whole background: its
    // ground must be a pale green and no stroke on it may be dark.
    void backgroundIsPaleGreen()
    {
        const QImage image = QImage(QStringLiteral(":/pictures/background.bmp")).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!image.isNull());
        QHash<QRgb, int> counts;
        int darkest = 255;
        for (int y = 0; y < image.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                ++counts[line[x]];
                darkest = std::min(darkest, QColor(line[x]).lightness());
            }
        }
        QVERIFY2(darkest >= 170, qPrintable(QStringLiteral("darkest lightness %1").arg(darkest)));
        QRgb ground = 0;
        int most = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            if (it.value() > most) {
                most = it.value();
                ground = it.key();
            }
        }
        const QColor g(ground);
        QVERIFY(g.lightness() >= 220);
        QVERIFY(g.green() > g.red() && g.green() > g.blue());
        // A drawing, not a blank sheet.
        QVERIFY(counts.size() > 50);
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
