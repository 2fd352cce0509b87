#include "ui/common/layout.h"

#include <QWidget>

namespace zolvant::ui {

void placeTwips(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twipsRect(left, top, width, height));
}

void fixClientTwips(QWidget* w, int width, int height) {
    w->setFixedSize(twips(width), twips(height));
}

namespace {
QFont makeFont(const QString& family, double points, bool bold) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setStyleHint(QFont::SansSerif);
    return f;
}
}  // namespace

QFont fontMsSansSerif(double points, bool bold) {
    QFont f = makeFont(QStringLiteral("Liberation Sans"), points, bold);
    f.setStyleHint(QFont::SansSerif);
    return f;
}
QFont fontArial(double points, bool bold) { return makeFont(QStringLiteral("Liberation Sans"), points, bold); }
QFont fontArialBlack(double points) {
    QFont f = makeFont(QStringLiteral("Liberation Sans"), points, true);
    f.setWeight(QFont::Black);
    return f;
}
QFont fontCourierNew(double points, bool bold) {
    QFont f = makeFont(QStringLiteral("Liberation Mono"), points, bold);
    f.setStyleHint(QFont::Monospace);
    return f;
}

}  // namespace zolvant::ui
