#pragma once
// The information window: phase behaviour and the equations of state, with
// buttons that open the three figures the text refers to.

#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace zolvant::ui {

class frmInfoEOS : public QWidget {
    Q_OBJECT
public:
    explicit frmInfoEOS(QWidget* parent = nullptr);

    QTextBrowser* const RichTextBox1;
    QPushButton* const cmdFig1;
    QPushButton* const cmdFig2;
    QPushButton* const cmdFig3;

    // The figure windows have no owner: they outlive this window.
    void cmdFig1_Click();
    void cmdFig2_Click();
    void cmdFig3_Click();
};

}  // namespace zolvant::ui
