#include "ui/help/frmFig.h"

#include <QLabel>
#include <QPixmap>

#include "ui/common/layout.h"
#include "ui/help/help_resources.h"

namespace zolvant::ui {

namespace {

struct TwipsBox {
    int left, top, width, height;
};

struct FigureLayout {
    const char* name;
    QString caption;
    int clientWidth, clientHeight;
    QString picture;
    TwipsBox image;
    TwipsBox label;
    QString labelText;
};

// Lays out one figure window. The picture is shown at its natural size: the
// image box is exactly the bitmap's size, and nothing scales it.
void buildFigure(QWidget* w, QLabel* image, QLabel* label, const FigureLayout& f) {
    initHelpResources();
    w->setObjectName(QString::fromLatin1(f.name));
    w->setWindowTitle(f.caption);
    fixClientTwips(w, f.clientWidth, f.clientHeight);
    w->setFont(fontMsSansSerif());
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 0));
    w->setPalette(pal);
    w->setAutoFillBackground(true);

    image->setObjectName(QStringLiteral("Image1"));
    placeTwips(image, f.image.left, f.image.top, f.image.width, f.image.height);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image->setScaledContents(false);
    image->setPixmap(QPixmap(f.picture));

    // Transparent over the window background, like every label here.
    label->setObjectName(QStringLiteral("Label1"));
    placeTwips(label, f.label.left, f.label.top, f.label.width, f.label.height);
    label->setFont(fontCourierNew(9, true));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setText(f.labelText);
}

}  // namespace

frmFig1::frmFig1(QWidget* parent) : QWidget(parent), Image1(new QLabel(this)), Label1(new QLabel(this)) {
    buildFigure(this, Image1, Label1,
                {"frmFig1", QStringLiteral("Figure 1 -> T-P Phase Diagram"), 8064, 7032,
                 QStringLiteral(":/pictures/fig1.bmp"), {120, 120, 7836, 6516}, {960, 6720, 5892, 252},
                 QStringLiteral("T-P diagram for typical Component (not Water)")});
}

frmFig2::frmFig2(QWidget* parent) : QWidget(parent), Image1(new QLabel(this)), Label1(new QLabel(this)) {
    buildFigure(this, Image1, Label1,
                {"frmFig2", QStringLiteral("Figure 2 ->  V-P Phase Diagram"), 7944, 6036,
                 QStringLiteral(":/pictures/fig2.bmp"), {120, 120, 7716, 5496}, {1200, 5760, 5532, 252},
                 QStringLiteral("V-P diagram for a pure fluid.")});
}

frmFig3::frmFig3(QWidget* parent) : QWidget(parent), Image1(new QLabel(this)), Label1(new QLabel(this)) {
    // A soft hyphen after "vapor-" lets the line break there without a
    // second hyphen being shown.
    buildFigure(this, Image1, Label1,
                {"frmFig3", QStringLiteral("Figure 3 -> T-P Vapor Pressure Curve"), 6180, 6672,
                 QStringLiteral(":/pictures/fig3.bmp"), {120, 120, 5976, 5616}, {480, 5880, 5292, 732},
                 QStringLiteral("T-P diagram showing the vapor-\u00ADpressure curve for a pure substance and "
                                "constant-volume lines in the single-phase regions.")});
}

}  // namespace zolvant::ui
