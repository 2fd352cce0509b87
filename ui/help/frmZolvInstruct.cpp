#include "ui/help/frmZolvInstruct.h"

#include <QTextBrowser>

#include "ui/common/layout.h"
#include "ui/help/help_resources.h"

namespace zolvant::ui {

frmZolvInstruct::frmZolvInstruct(QWidget* parent)
    : QWidget(parent), RichTextBox1(new QTextBrowser(this)) {
    initHelpResources();
    setObjectName(QStringLiteral("frmZolvInstruct"));
    setWindowTitle(QStringLiteral("Equations of State Instructions"));
    fixClientTwips(this, 7860, 6780);
    setFont(fontMsSansSerif());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(pal);
    setAutoFillBackground(true);

    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    placeTwips(RichTextBox1, 120, 120, 7572, 6492);
    QPalette boxPal = RichTextBox1->palette();
    boxPal.setColor(QPalette::Base, QColor(224, 224, 224));
    RichTextBox1->setPalette(boxPal);
    RichTextBox1->setFont(fontArial(10));
    RichTextBox1->document()->setDefaultFont(fontArial(10));
    RichTextBox1->setTabChangesFocus(true);
    RichTextBox1->setHtml(readHelpText(QStringLiteral(":/help/instructions.html")));
}

}  // namespace zolvant::ui
