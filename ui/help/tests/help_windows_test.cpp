// The help windows: what the user sees (captions, sizes, colours, controls,
// texts that scroll) and how the windows live (one of each, modeless,
// independent of each other).

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextLayout>
#include <QTest>

#include "ui/help/frmFig.h"
#include "ui/help/frmInfoEOS.h"
#include "ui/help/frmZolvInstruct.h"
#include "ui/help/help_windows.h"

using namespace zolvant::ui;

namespace {

enum Window { Instructions, Information, Figure1, Figure2, Figure3 };

QWidget* openWindow(int which) {
    switch (which) {
    case Instructions: return showInstructions();
    case Information: return showInformation();
    case Figure1: return showFigure1();
    case Figure2: return showFigure2();
    case Figure3: return showFigure3();
    }
    return nullptr;
}

// Shown top-level windows of type W (a closed window may linger, hidden,
// until its deferred deletion runs).
template <typename W>
QList<W*> shownWindows() {
    QList<W*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* typed = qobject_cast<W*>(w); typed && typed->isVisible()) found << typed;
    return found;
}

void runDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

class HelpWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();

    void windowFrame_data();
    void windowFrame();
    void controlGeometry_data();
    void controlGeometry();
    void figureImage_data();
    void figureImage();
    void figureLabel_data();
    void figureLabel();
    void textsScroll_data();
    void textsScroll();
    void textsUseOneFontAndResolveTheirLinks_data();
    void textsUseOneFontAndResolveTheirLinks();

    void figureTwoPressedTwiceGivesOneWindow();
    void instructionsAskedTwiceGiveOneWindowAndReopenAfterClose();
    void closingOneWindowLeavesTheOthers();
    void informationStaysUsableBesideAnotherWindow();
};

void HelpWindowsTest::cleanup() {
    closeHelpWindows();
    runDeferredDeletes();
    QVERIFY(shownWindows<QWidget>().isEmpty());
}

void HelpWindowsTest::windowFrame_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QColor>("background");
    const QColor grey(128, 128, 128), olive(128, 128, 0);
    QTest::newRow("instructions") << int(Instructions) << "Equations of State Instructions" << QSize(655, 565) << grey;
    QTest::newRow("information") << int(Information) << "Equations of State" << QSize(753, 579) << grey;
    QTest::newRow("figure 1") << int(Figure1) << "Figure 1 -> T-P Phase Diagram" << QSize(672, 586) << olive;
    // Two blanks after the arrow in this one.
    QTest::newRow("figure 2") << int(Figure2) << "Figure 2 ->  V-P Phase Diagram" << QSize(662, 503) << olive;
    QTest::newRow("figure 3") << int(Figure3) << "Figure 3 -> T-P Vapor Pressure Curve" << QSize(515, 556) << olive;
}

void HelpWindowsTest::windowFrame() {
    QFETCH(int, which);
    QFETCH(QString, caption);
    QFETCH(QSize, client);
    QFETCH(QColor, background);
    QWidget* w = openWindow(which);
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(w->size(), client);
    QCOMPARE(w->minimumSize(), client);
    QCOMPARE(w->maximumSize(), client);
    QVERIFY(w->autoFillBackground());
    QCOMPARE(w->palette().color(QPalette::Window), background);
    // Modeless, ownerless, gone when closed.
    QVERIFY(w->isWindow());
    QCOMPARE(w->parentWidget(), nullptr);
    QCOMPARE(w->windowModality(), Qt::NonModal);
    QVERIFY(w->testAttribute(Qt::WA_DeleteOnClose));
}

void HelpWindowsTest::controlGeometry_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("instructions text") << int(Instructions) << "RichTextBox1" << QRect(10, 10, 631, 541);
    QTest::newRow("information text") << int(Information) << "RichTextBox1" << QRect(10, 10, 641, 561);
    QTest::newRow("Figure 1 button") << int(Information) << "cmdFig1" << QRect(660, 20, 91, 41);
    QTest::newRow("Figure 2 button") << int(Information) << "cmdFig2" << QRect(660, 80, 91, 41);
    QTest::newRow("Figure 3 button") << int(Information) << "cmdFig3" << QRect(660, 140, 91, 41);
    QTest::newRow("figure 1 image") << int(Figure1) << "Image1" << QRect(10, 10, 653, 543);
    QTest::newRow("figure 1 label") << int(Figure1) << "Label1" << QRect(80, 560, 491, 21);
    QTest::newRow("figure 2 image") << int(Figure2) << "Image1" << QRect(10, 10, 643, 458);
    QTest::newRow("figure 2 label") << int(Figure2) << "Label1" << QRect(100, 480, 461, 21);
    QTest::newRow("figure 3 image") << int(Figure3) << "Image1" << QRect(10, 10, 498, 468);
    QTest::newRow("figure 3 label") << int(Figure3) << "Label1" << QRect(40, 490, 441, 61);
}

void HelpWindowsTest::controlGeometry() {
    QFETCH(int, which);
    QFETCH(QString, control);
    QFETCH(QRect, geometry);
    QWidget* w = openWindow(which);
    auto* c = w->findChild<QWidget*>(control);
    QVERIFY(c);
    QCOMPARE(c->geometry(), geometry);
    QVERIFY(c->isVisible());
    QVERIFY(w->rect().contains(c->geometry()));
}

void HelpWindowsTest::figureImage_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QSize>("size");
    QTest::newRow("figure 1") << int(Figure1) << ":/pictures/fig1.bmp" << QSize(653, 543);
    QTest::newRow("figure 2") << int(Figure2) << ":/pictures/fig2.bmp" << QSize(643, 458);
    QTest::newRow("figure 3") << int(Figure3) << ":/pictures/fig3.bmp" << QSize(498, 468);
}

void HelpWindowsTest::figureImage() {
    QFETCH(int, which);
    QFETCH(QString, resource);
    QFETCH(QSize, size);
    QWidget* w = openWindow(which);
    auto* image = w->findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(image);
    QCOMPARE(image->size(), size);
    QVERIFY(!image->hasScaledContents());
    // The bitmaps come from their own library; when it is built in, each
    // must be a bitmap of exactly the box's size, shown unscaled.
    if (QFile::exists(resource)) {
        QImageReader reader(resource);
        QCOMPARE(reader.format(), QByteArray("bmp"));
        QCOMPARE(reader.size(), size);
        QCOMPARE(image->pixmap().size(), size);
    } else {
        QVERIFY(image->pixmap().isNull());
    }
}

void HelpWindowsTest::figureLabel_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("figure 1") << int(Figure1) << "T-P diagram for typical Component (not Water)" << 1;
    QTest::newRow("figure 2") << int(Figure2) << "V-P diagram for a pure fluid." << 1;
    QTest::newRow("figure 3") << int(Figure3)
                              << QString::fromUtf8("T-P diagram showing the vapor-\u00ADpressure curve for a pure "
                                                   "substance and constant-volume lines in the single-phase regions.")
                              << 3;
}

void HelpWindowsTest::figureLabel() {
    QFETCH(int, which);
    QFETCH(QString, text);
    QFETCH(int, lines);
    QWidget* w = openWindow(which);
    auto* label = w->findChild<QLabel*>(QStringLiteral("Label1"));
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("Liberation Mono"));
    QVERIFY(label->font().bold());
    QCOMPARE(label->font().pointSizeF(), 9.0);
    QVERIFY(label->alignment() & Qt::AlignHCenter);
    QVERIFY(label->wordWrap());
    QVERIFY(!label->autoFillBackground());
    // The whole caption fits its box, on the number of lines the box allows.
    const QFontMetrics fm(label->font());
    const QRect needed = fm.boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap | Qt::AlignHCenter, text);
    QVERIFY2(needed.width() <= label->width(), qPrintable(QString::number(needed.width())));
    QVERIFY2(needed.height() <= label->height(), qPrintable(QString::number(needed.height())));
    QCOMPARE(needed.height() / fm.lineSpacing(), lines);

    // Qt draws a soft hyphen as "-" where a line breaks after it, which would
    // show "vapor--": no line may end there.
    QTextLayout layout(text, label->font());
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label->width());
        const int end = line.textStart() + line.textLength();
        QVERIFY2(end == 0 || text.at(end - 1) != QChar::SoftHyphen, qPrintable(text.left(end)));
    }
    layout.endLayout();
    QCOMPARE(layout.lineCount(), lines);
}

void HelpWindowsTest::textsScroll_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<QColor>("base");
    QTest::newRow("instructions") << int(Instructions) << QColor(224, 224, 224);
    QTest::newRow("information") << int(Information) << QApplication::palette().color(QPalette::Base);
}

void HelpWindowsTest::textsScroll() {
    QFETCH(int, which);
    QFETCH(QColor, base);
    QWidget* w = openWindow(which);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    auto* box = w->findChild<QTextBrowser*>(QStringLiteral("RichTextBox1"));
    QVERIFY(box);
    QVERIFY(box->isReadOnly());
    QCOMPARE(box->palette().color(QPalette::Base), base);
    // Longer than the box: the user scrolls to read it all.
    QScrollBar* bar = box->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QVERIFY(box->document()->size().height() > box->viewport()->height());
    QCOMPARE(bar->value(), 0);
    for (int presses = 0; presses < 100 && bar->value() < bar->maximum(); ++presses) {
        const int before = bar->value();
        QTest::keyClick(box, Qt::Key_PageDown);
        QVERIFY(bar->value() > before);
    }
    QCOMPARE(bar->value(), bar->maximum());
}

void HelpWindowsTest::textsUseOneFontAndResolveTheirLinks_data() {
    QTest::addColumn<int>("which");
    QTest::newRow("instructions") << int(Instructions);
    QTest::newRow("information") << int(Information);
}

// Every run of text is set in the 10-point face that stands for Arial, Greek
// letters and formulas included, and every link inside a text leads to an
// anchor of that text (the information text's footnote mark).
void HelpWindowsTest::textsUseOneFontAndResolveTheirLinks() {
    QFETCH(int, which);
    QWidget* w = openWindow(which);
    auto* box = w->findChild<QTextBrowser*>(QStringLiteral("RichTextBox1"));
    QVERIFY(box);
    const QTextDocument* doc = box->document();
    QSet<QString> anchors, links;
    int fragments = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            ++fragments;
            const QTextCharFormat fmt = frag.charFormat();
            const QFont font = fmt.font().resolve(doc->defaultFont());
            QVERIFY2(QFontInfo(font).family() == QStringLiteral("Liberation Sans"), qPrintable(frag.text()));
            QVERIFY2(font.pointSizeF() == 10.0, qPrintable(frag.text()));
            for (const QString& a : fmt.anchorNames()) anchors << a;
            if (fmt.isAnchor() && !fmt.anchorHref().isEmpty()) links << fmt.anchorHref();
        }
    }
    QVERIFY(fragments > 10);
    QCOMPARE(links.isEmpty(), which == Instructions);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QScrollBar* bar = box->verticalScrollBar();
    for (const QString& l : std::as_const(links)) {
        QVERIFY2(l.startsWith(QLatin1Char('#')), qPrintable(l));
        QVERIFY2(anchors.contains(l.mid(1)), qPrintable(l));
        // Following it scrolls within the same text.
        bar->setValue(0);
        const QString before = doc->toPlainText();
        box->setSource(QUrl(l));
        QVERIFY2(bar->value() > 0, qPrintable(l));
        QCOMPARE(box->document()->toPlainText(), before);
    }
}

void HelpWindowsTest::figureTwoPressedTwiceGivesOneWindow() {
    frmInfoEOS* info = showInformation();
    QVERIFY(QTest::qWaitForWindowExposed(info));
    QCOMPARE(info->cmdFig2->text(), QStringLiteral("Figure 2"));
    QTest::mouseClick(info->cmdFig2, Qt::LeftButton);
    QCOMPARE(shownWindows<frmFig2>().size(), 1);
    frmFig2* first = shownWindows<frmFig2>().first();
    QTest::mouseClick(info->cmdFig2, Qt::LeftButton);
    QCOMPARE(shownWindows<frmFig2>().size(), 1);
    QCOMPARE(shownWindows<frmFig2>().first(), first);
    QCOMPARE(first->parentWidget(), nullptr);
    // The other buttons open their own figures; Tab walks the text and the
    // buttons 1, 2, 3.
    QCOMPARE(info->cmdFig1->text(), QStringLiteral("Figure 1"));
    QCOMPARE(info->cmdFig3->text(), QStringLiteral("Figure 3"));
    QTest::mouseClick(info->cmdFig1, Qt::LeftButton);
    QTest::mouseClick(info->cmdFig3, Qt::LeftButton);
    QCOMPARE(shownWindows<frmFig1>().size(), 1);
    QCOMPARE(shownWindows<frmFig3>().size(), 1);
    info->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(info));
    info->RichTextBox1->setFocus();
    // Inside the text, Tab first visits its links (the footnote mark).
    for (int presses = 0; presses < 10 && QApplication::focusWidget() == info->RichTextBox1; ++presses)
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), info->cmdFig1);
    for (QWidget* next : {info->cmdFig2, info->cmdFig3}) {
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void HelpWindowsTest::instructionsAskedTwiceGiveOneWindowAndReopenAfterClose() {
    QPointer<frmZolvInstruct> first = showInstructions();
    QCOMPARE(showInstructions(), first.data());
    QCOMPARE(shownWindows<frmZolvInstruct>().size(), 1);
    QCOMPARE(shownWindows<frmInfoEOS>().size(), 0);
    first->close();
    runDeferredDeletes();
    QVERIFY(first.isNull());
    frmZolvInstruct* again = showInstructions();
    QVERIFY(again && again->isVisible());
    QCOMPARE(shownWindows<frmZolvInstruct>().size(), 1);
}

void HelpWindowsTest::closingOneWindowLeavesTheOthers() {
    showInstructions();
    QPointer<frmInfoEOS> info = showInformation();
    info->cmdFig1_Click();
    info->cmdFig2_Click();
    info->cmdFig3_Click();
    QPointer<frmFig1> fig1 = shownWindows<frmFig1>().value(0);
    QVERIFY(fig1);

    info->close();
    runDeferredDeletes();
    QVERIFY(info.isNull());
    QCOMPARE(shownWindows<frmZolvInstruct>().size(), 1);
    QCOMPARE(shownWindows<frmFig1>().size(), 1);
    QCOMPARE(shownWindows<frmFig2>().size(), 1);
    QCOMPARE(shownWindows<frmFig3>().size(), 1);

    shownWindows<frmFig2>().first()->close();
    runDeferredDeletes();
    QCOMPARE(shownWindows<frmFig2>().size(), 0);
    QCOMPARE(shownWindows<frmFig1>().size(), 1);
    QCOMPARE(shownWindows<frmFig3>().size(), 1);
    QCOMPARE(shownWindows<frmZolvInstruct>().size(), 1);

    // A new information window still finds the figure left open.
    info = showInformation();
    QTest::mouseClick(info->cmdFig1, Qt::LeftButton);
    QCOMPARE(shownWindows<frmFig1>().size(), 1);
    QCOMPARE(shownWindows<frmFig1>().first(), fig1.data());
}

// The main window is not part of this library: a stand-in with a text box
// plays it, to show that nothing here blocks input to other windows.
void HelpWindowsTest::informationStaysUsableBesideAnotherWindow() {
    QWidget main;
    auto* edit = new QLineEdit(&main);
    main.show();
    frmInfoEOS* info = showInformation();
    QVERIFY(QTest::qWaitForWindowExposed(info));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    edit->setFocus();
    QTest::keyClicks(static_cast<QWidget*>(nullptr), QStringLiteral("0.25"));
    QCOMPARE(edit->text(), QStringLiteral("0.25"));
    QVERIFY(info->isVisible());

    QTest::mouseClick(info->cmdFig3, Qt::LeftButton);
    QCOMPARE(shownWindows<frmFig3>().size(), 1);
    QVERIFY(info->isVisible());
    QVERIFY(main.isVisible());
}

QTEST_MAIN(HelpWindowsTest)
#include "help_windows_test.moc"
