// The labels' mark-up and the generator's way out when a label is wrong: a
// message naming the picture and the label, a failed exit, and no file of
// that picture, instead of a build that never ends.

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

#include "tools/pictures/drawing.h"
#include "tools/pictures/generator.h"
#include "tools/pictures/markup.h"

using namespace zolvant::drawing;

Q_DECLARE_METATYPE(std::vector<Piece>)

namespace {

QImage goodPicture()
{
    QImage img = newCanvas(40, 20, kWhite);
    QPainter painter(&img);
    drawMarkup(painter, {2, 15}, QStringLiteral("*P*_c"), makeFont(kSerif, 12));
    return img;
}

QImage pictureWithAnUnclosedGroup()
{
    QImage img = newCanvas(40, 20, kWhite);
    QPainter painter(&img);
    drawMarkup(painter, {2, 15}, QStringLiteral("*P*_r^{sat"), makeFont(kSerif, 12));
    return img;
}

QStringList entries(const QDir &dir)
{
    return dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

}  // namespace

class TestDrawPictures : public QObject
{
    Q_OBJECT

private slots:
    void piecesOfALabel_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<std::vector<Piece>>("pieces");
        QTest::newRow("italic and a subscript")
            << "*P*_c" << std::vector<Piece>{{"P", true, 0}, {"c", false, -1}};
        QTest::newRow("groups in braces")
            << "log_{10}*P*_r^{sat}"
            << std::vector<Piece>{{"log", false, 0}, {"10", false, -1}, {"P", true, 0}, {"r", false, -1},
                                  {"sat", false, 1}};
        QTest::newRow("a script sign at the end is text")
            << "a_" << std::vector<Piece>{{"a_", false, 0}};
        QTest::newRow("braces without a script sign are text")
            << "{x}" << std::vector<Piece>{{"{x}", false, 0}};
    }
    void piecesOfALabel()
    {
        QFETCH(QString, markup);
        QFETCH(std::vector<Piece>, pieces);
        QVERIFY(parseMarkup(markup) == pieces);
    }

    void unclosedGroupIsRefusedWithItsPlace_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("message");
        QTest::newRow("subscript") << "*P*_{r" << "label \"*P*_{r\": the '{' at character 5 is never closed";
        QTest::newRow("superscript at the start") << "^{" << "label \"^{\": the '{' at character 2 is never closed";
        QTest::newRow("after a closed group")
            << "a_{b}c^{d" << "label \"a_{b}c^{d\": the '{' at character 8 is never closed";
    }
    void unclosedGroupIsRefusedWithItsPlace()
    {
        QFETCH(QString, markup);
        QFETCH(QString, message);
        try {
            parseMarkup(markup);
            QFAIL("no error");
        } catch (const MarkupError &e) {
            QCOMPARE(QString::fromStdString(e.what()), message);
        }
    }

    // The pictures before the bad one are written; the bad one fails the
    // run with the reason, and leaves no file behind, not even a temporary.
    void badLabelFailsTheRunWithAMessage()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QDir dir(tmp.path());
        const Picture pictures[] = {{"good", goodPicture}, {"bad", pictureWithAnUnclosedGroup}, {"after", goodPicture}};
        QString said;
        QTextStream err(&said);
        QCOMPARE(drawPictures(pictures, dir, true, err), 1);
        err.flush();
        QCOMPARE(said, QStringLiteral("zolvant-draw-pictures: cannot draw bad: label \"*P*_r^{sat\": the '{' at "
                                      "character 7 is never closed\n"));
        QCOMPARE(entries(dir), (QStringList{"good.bmp", "good.png"}));
    }

    void goodPicturesAreAllWritten()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QDir dir(tmp.path());
        const Picture pictures[] = {{"one", goodPicture}, {"two", goodPicture}};
        QString said;
        QTextStream err(&said);
        QCOMPARE(drawPictures(pictures, dir, false, err), 0);
        QCOMPARE(said, QString());
        QCOMPARE(entries(dir), (QStringList{"one.bmp", "two.bmp"}));
        QCOMPARE(QImage(dir.filePath("one.bmp")).size(), QSize(40, 20));
    }
};

QTEST_MAIN(TestDrawPictures)
#include "tst_draw_pictures.moc"
