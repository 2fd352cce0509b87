#pragma once
// The three figure windows: a bitmap at its natural size over an olive
// background, with a caption underneath.

#include <QWidget>

class QLabel;

namespace zolvant::ui {

class frmFig1 : public QWidget {
    Q_OBJECT
public:
    explicit frmFig1(QWidget* parent = nullptr);
    QLabel* const Image1;
    QLabel* const Label1;
};

class frmFig2 : public QWidget {
    Q_OBJECT
public:
    explicit frmFig2(QWidget* parent = nullptr);
    QLabel* const Image1;
    QLabel* const Label1;
};

class frmFig3 : public QWidget {
    Q_OBJECT
public:
    explicit frmFig3(QWidget* parent = nullptr);
    QLabel* const Image1;
    QLabel* const Label1;
};

}  // namespace zolvant::ui
