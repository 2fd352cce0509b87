#pragma once
// The instructions window: how to use the program, in one scrolling text.

#include <QWidget>

class QTextBrowser;

namespace zolvant::ui {

class frmZolvInstruct : public QWidget {
    Q_OBJECT
public:
    explicit frmZolvInstruct(QWidget* parent = nullptr);

    QTextBrowser* const RichTextBox1;
};

}  // namespace zolvant::ui
