// Shows every help window and saves it as a PNG, plus each help text drawn
// in full at its box's width, for checking the looks by eye:
//   xvfb-run -a -s "-screen 0 1280x1024x24" help_screenshots /tmp

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTest>

#include "ui/help/frmFig.h"
#include "ui/help/frmInfoEOS.h"
#include "ui/help/frmZolvInstruct.h"
#include "ui/help/help_windows.h"

using namespace zolvant::ui;

namespace {

bool save(QWidget* w, const QString& path) {
    if (!QTest::qWaitForWindowExposed(w)) return false;
    QApplication::processEvents();
    return w->grab().save(path);
}

// The whole document as the box lays it out, cut into pages of 600 pixels
// (<stem>_1.png, <stem>_2.png, ...) so that every line can be read.
bool saveFullText(QTextBrowser* box, const QString& stem) {
    QTextDocument* doc = box->document();
    const QSize size = doc->size().toSize();
    const int pageHeight = 600;
    bool ok = true;
    for (int top = 0, page = 1; top < size.height(); top += pageHeight, ++page) {
        QImage img(size.width(), pageHeight, QImage::Format_RGB32);
        img.fill(box->palette().color(QPalette::Base));
        QPainter p(&img);
        p.translate(0, -top);
        doc->drawContents(&p, QRectF(0, top, size.width(), pageHeight));
        p.end();
        ok &= img.save(QStringLiteral("%1_%2.png").arg(stem).arg(page));
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath());
    bool ok = true;

    frmZolvInstruct* instruct = showInstructions();
    ok &= save(instruct, out.filePath(QStringLiteral("help_frmZolvInstruct.png")));
    ok &= saveFullText(instruct->RichTextBox1, out.filePath(QStringLiteral("help_instructions_text")));

    frmInfoEOS* info = showInformation();
    ok &= save(info, out.filePath(QStringLiteral("help_frmInfoEOS.png")));
    ok &= saveFullText(info->RichTextBox1, out.filePath(QStringLiteral("help_information_text")));
    QScrollBar* bar = info->RichTextBox1->verticalScrollBar();
    bar->setValue(bar->maximum());
    ok &= save(info, out.filePath(QStringLiteral("help_frmInfoEOS_end.png")));

    info->cmdFig1_Click();
    info->cmdFig2_Click();
    info->cmdFig3_Click();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<frmFig1*>(w) || qobject_cast<frmFig2*>(w) || qobject_cast<frmFig3*>(w))
            ok &= save(w, out.filePath(QStringLiteral("help_%1.png").arg(w->objectName())));
    }
    closeHelpWindows();
    return ok ? 0 : 1;
}
