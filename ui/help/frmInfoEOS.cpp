#include "ui/help/frmInfoEOS.h"

#include <QPushButton>
#include <QTextBrowser>

#include "ui/common/layout.h"
#include "ui/help/help_resources.h"
#include "ui/help/help_windows.h"

namespace zolvant::ui {

frmInfoEOS::frmInfoEOS(QWidget* parent)
    : QWidget(parent),
      RichTextBox1(new QTextBrowser(this)),
      cmdFig1(new QPushButton(QStringLiteral("Figure 1"), this)),
      cmdFig2(new QPushButton(QStringLiteral("Figure 2"), this)),
      cmdFig3(new QPushButton(QStringLiteral("Figure 3"), this)) {
    initHelpResources();
    setObjectName(QStringLiteral("frmInfoEOS"));
    setWindowTitle(QStringLiteral("Equations of State"));
    fixClientTwips(this, 9036, 6948);
    setFont(fontMsSansSerif());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(pal);
    setAutoFillBackground(true);

    // The box keeps the palette's Base colour: the system colour of a text
    // box's background.
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    placeTwips(RichTextBox1, 120, 120, 7692, 6732);
    RichTextBox1->setFont(fontArial(10));
    RichTextBox1->document()->setDefaultFont(fontArial(10));
    RichTextBox1->setTabChangesFocus(true);
    RichTextBox1->setHtml(readHelpText(QStringLiteral(":/help/information.html")));

    cmdFig1->setObjectName(QStringLiteral("cmdFig1"));
    cmdFig2->setObjectName(QStringLiteral("cmdFig2"));
    cmdFig3->setObjectName(QStringLiteral("cmdFig3"));
    placeTwips(cmdFig1, 7920, 240, 1092, 492);
    placeTwips(cmdFig2, 7920, 960, 1092, 492);
    placeTwips(cmdFig3, 7920, 1680, 1092, 492);
    setTabOrder(RichTextBox1, cmdFig1);
    setTabOrder(cmdFig1, cmdFig2);
    setTabOrder(cmdFig2, cmdFig3);

    connect(cmdFig1, &QPushButton::clicked, this, &frmInfoEOS::cmdFig1_Click);
    connect(cmdFig2, &QPushButton::clicked, this, &frmInfoEOS::cmdFig2_Click);
    connect(cmdFig3, &QPushButton::clicked, this, &frmInfoEOS::cmdFig3_Click);
}

void frmInfoEOS::cmdFig1_Click() { showFigure1(); }
void frmInfoEOS::cmdFig2_Click() { showFigure2(); }
void frmInfoEOS::cmdFig3_Click() { showFigure3(); }

}  // namespace zolvant::ui
