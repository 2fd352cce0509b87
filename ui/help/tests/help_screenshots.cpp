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

// The whole document as the box lays it out, one tall picture.
bool saveFullText(QTextBrowser* box, const QString& path) {
    QTextDocument* doc = box->document();
    const QSize size = doc->size().toSize();
    QImage img(size, QImage::Format_RGB32);
    img.fill(box->palette().color(QPalette::Base));
    QPainter p(&img);
    doc->drawContents(&p);
    p.end();
    return img.save(path);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath());
    bool ok = true;

    frmZolvInstruct* instruct = showInstructions();
    ok &= save(instruct, out.filePath(QStringLiteral("help_frmZolvInstruct.png")));
    ok &= saveFullText(instruct->RichTextBox1, out.filePath(QStringLiteral("help_instructions_full.png")));

    frmInfoEOS* info = showInformation();
    ok &= save(info, out.filePath(QStringLiteral("help_frmInfoEOS.png")));
    ok &= saveFullText(info->RichTextBox1, out.filePath(QStringLiteral("help_information_full.png")));
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
