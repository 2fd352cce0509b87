#include "ui/main/main_layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "ui/common/layout.h"

namespace zolvant::ui {

namespace {

// Geometry of the grid, in twips.
struct EquationLayout {
    const char* caption;
    const char* suffix;
    int headingLeft, headingWidth;
    int liquidLeft, vapourLeft, zLeft;
};
constexpr EquationLayout kEquations[kBlocks] = {
    {"Van der Waals", "VDW", 1560, 2292, 1560, 2280, 3120},
    {"Redlich-Kwong", "RK", 4320, 2292, 4320, 5040, 5880},
    {"Peng-Robinson", "PR", 7200, 1812, 6960, 7680, 8520},
    {"Soave-Redlich-Kwong", "SRK", 1560, 2292, 1560, 2280, 3120},
    {"PR-Stryjek-Vera 1", "PRSV1", 4320, 2292, 4320, 5040, 5880},
    {"PR-Stryjek-Vera 2", "PRSV2", 6960, 2292, 6960, 7680, 8520},
};
struct BandLayout {
    int headingTop;
    int columnHeadingTop;
    int rowTops[5];
};
constexpr BandLayout kBands[2] = {
    {2520, 2760, {3000, 3324, 3636, 3960, 4284}},
    {4800, 5040, {5280, 5604, 5916, 6240, 6564}},
};
constexpr int kCellHeight = 288;
constexpr int kLabelHeight = 252;
constexpr int kLiquidWidth = 660;
constexpr int kVapourWidth = 720;
constexpr int kZWidth = 720;

const char* const kColumnWords[3] = {"Liquid", "Vapor", "Z"};
const char* const kColumnPrefixes[3] = {"txtLiq", "txtVap", "txtZ"};

QString rowWord(int row) {
    return row == kMixtureRow ? QStringLiteral("Mixture") : QStringLiteral("Component %1").arg(row + 1);
}

QFont withLook(QFont f, bool bold, bool underline) {
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

// The "3" of "cm3" sits in the two blanks after "cm" as its exponent. Where
// that gap falls depends on the font's metrics, so it is measured.
void placeExponent(QLabel* Label16, QLabel* Label11) {
    const QString caption = Label16->text();
    const int gapAt = static_cast<int>(caption.indexOf(QStringLiteral("cm  "))) + 2;
    const QFontMetrics big(Label16->font());
    const QFontMetrics small(Label11->font());
    const int textLeft = Label16->x() + (Label16->width() - big.horizontalAdvance(caption)) / 2;
    const int gapLeft = textLeft + big.horizontalAdvance(caption.left(gapAt));
    const int gapWidth = big.horizontalAdvance(QStringLiteral("  "));
    const int left = gapLeft + (gapWidth - small.horizontalAdvance(Label11->text())) / 2;
    Label11->move(left, Label11->y());
}

}  // namespace

QColor mainBackground() { return QColor(200, 252, 224); }

MainControls createMainControls(QWidget* form) {
    MainControls c;
    const QFont base = form->font();
    const QFont bold = withLook(base, true, false);
    const QFont boldUnderlined = withLook(base, true, true);
    const QFont arialBold = fontArial(9, true);
    const QFont arialBoldUnderlined = withLook(arialBold, true, true);

    const auto label = [form](const char* name, const QString& caption, int l, int t, int w, int h,
                              const QFont& f, Qt::Alignment align) {
        auto* lbl = new QLabel(caption, form);
        lbl->setObjectName(QString::fromLatin1(name));
        lbl->setFont(f);
        lbl->setAlignment(align);
        placeTwips(lbl, l, t, w, h);
        return lbl;
    };
    const auto button = [form](const char* name, const QString& caption, int l, int t, int w, int h) {
        auto* b = new QPushButton(caption, form);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        placeTwips(b, l, t, w, h);
        return b;
    };
    const auto textBox = [form](const QString& name, int l, int t, int w, int h) {
        auto* box = new QLineEdit(form);
        box->setObjectName(name);
        placeTwips(box, l, t, w, h);
        return box;
    };
    const Qt::Alignment topLeft = Qt::AlignLeft | Qt::AlignTop;
    const Qt::Alignment topCentre = Qt::AlignHCenter | Qt::AlignTop;
    const Qt::Alignment middleLeft = Qt::AlignLeft | Qt::AlignVCenter;

    // Input section. The captions carry Alt keys (the "&" letters); the
    // menu bar's File, Edit, View and Help hold F, E, V and H.
    c.Label6 = label("Label6", QStringLiteral("&Component"), 360, 360, 2172, 252, boldUnderlined, topLeft);
    c.Label7 = label("Label7", QStringLiteral("&Mole Fraction"), 2640, 120, 732, 492, boldUnderlined, topCentre);
    c.Label7->setWordWrap(true);
    c.cmdClrComp = button("cmdClrComp", QStringLiteral("Clea&r"), 1560, 240, 972, 372);
    c.cmdCompList = button("cmdCompList", QStringLiteral("Component &List"), 3480, 120, 1092, 492);
    for (int i = 0; i < 4; ++i) {
        const int top = 720 + 360 * i;
        auto* chk = new QCheckBox(QStringLiteral(">CT"), form);
        chk->setObjectName(QStringLiteral("chkCritT_%1").arg(i));
        placeTwips(chk, 240, top, 252, 252);
        // Only the box shows: the caption would not fit beside it, and a
        // clipped sliver of it is painted in no colour at all.
        QPalette pal = chk->palette();
        pal.setColor(QPalette::Window, mainBackground());
        pal.setColor(QPalette::Button, mainBackground());
        pal.setColor(QPalette::WindowText, Qt::transparent);
        chk->setPalette(pal);
        chk->setBackgroundRole(QPalette::Window);
        chk->setAutoFillBackground(true);
        chk->setAccessibleName(QStringLiteral("Above critical temperature, Component %1").arg(i + 1));
        // Rich text of a set width: the sentences wrap into a block.
        chk->setToolTip(QStringLiteral(
            "<table width=\"360\"><tr><td>&gt;CT, above the critical temperature: ticked when this row's "
            "component is at or above its critical temperature Tc at the last accepted temperature, so it has no "
            "liquid (its liquid cells read \"NA - Tc\"). It is set each time the temperature box is left with an "
            "accepted temperature; after changing the mixture, enter and leave the temperature box again."
            "</td></tr></table>"));
        c.chkCritT[i] = chk;

        auto* cmb = new QComboBox(form);
        cmb->setObjectName(QStringLiteral("cmbComp_%1").arg(i));
        cmb->setEditable(true);
        cmb->setInsertPolicy(QComboBox::NoInsert);
        // Qt's own completion and matching stay off: what a typed text finds
        // is the window's (ui/main/component_finder.h), with the names
        // matched as every program matches them.
        cmb->setCompleter(nullptr);
        QObject::disconnect(cmb->lineEdit(), SIGNAL(editingFinished()), cmb, nullptr);
        // Typing over a chosen name gives up the choice, so the box never
        // shows one name while holding another.
        QObject::connect(cmb->lineEdit(), &QLineEdit::textEdited, cmb, [cmb](const QString& typed) {
            if (cmb->currentIndex() < 0) return;
            const int caret = cmb->lineEdit()->cursorPosition();
            cmb->setCurrentIndex(-1);
            cmb->lineEdit()->setText(typed);
            cmb->lineEdit()->setCursorPosition(caret);
        });
        cmb->setMaxVisibleItems(20);
        placeTwips(cmb, 600, top, 1932, 288);
        cmb->setAccessibleName(QStringLiteral("Component name, Component %1").arg(i + 1));
        c.cmbComp[i] = cmb;

        auto* mf = textBox(QStringLiteral("txtCmpMF_%1").arg(i), 2640, top, 640, 288);
        mf->setAccessibleName(QStringLiteral("Mole fraction, Component %1").arg(i + 1));
        c.txtCmpMF[i] = mf;
    }

    // Conditions of state and the buttons.
    c.Label1 = label("Label1", QStringLiteral("Conditions of State"), 3840, 720, 2172, 252, arialBoldUnderlined,
                     topLeft);
    c.Label3 = label("Label3", QStringLiteral("&Temperature  (C)"), 3840, 1080, 1452, 252, arialBold, middleLeft);
    c.txtTemp = textBox(QStringLiteral("txtTemp"), 5400, 1080, 732, 288);
    c.txtTemp->setAccessibleName(QStringLiteral("Temperature (C)"));
    c.Label4 = label("Label4", QStringLiteral("&Pressure  (bar)"), 3840, 1440, 1452, 252, arialBold, middleLeft);
    c.txtPress = textBox(QStringLiteral("txtPress"), 5400, 1440, 732, 288);
    c.txtPress->setAccessibleName(QStringLiteral("Pressure (bar)"));
    {
        QPalette pal = c.txtTemp->palette();
        pal.setColor(QPalette::Base, QColor(255, 192, 192));
        c.txtTemp->setPalette(pal);
        pal = c.txtPress->palette();
        pal.setColor(QPalette::Base, QColor(192, 255, 255));
        c.txtPress->setPalette(pal);
    }
    // Each label's Alt key takes the focus to its box (the first row's for
    // the column headings), and assistive technology names the key on the box.
    c.Label6->setBuddy(c.cmbComp[0]);
    c.Label7->setBuddy(c.txtCmpMF[0]);
    c.Label3->setBuddy(c.txtTemp);
    c.Label4->setBuddy(c.txtPress);
    c.cmdSolve = button("cmdSolve", QStringLiteral("&Solve"), 6360, 1080, 1092, 612);
    c.cmdSolve->setFont(fontArialBlack(9));
    c.cmdDataForm = button("cmdDataForm", QStringLiteral("&Information"), 8160, 240, 1092, 612);
    c.cmdInstruct = button("cmdInstruct", QStringLiteral("I&nstructions"), 8160, 1080, 1092, 612);

    c.lblMsg = label("lblMsg", QString(), 240, 2160, 3012, 372, base, topLeft);
    c.lblMsg->setWordWrap(true);
    c.Label16 = label("Label16", QStringLiteral("Molar Volumes (cm  /mol)"), 3600, 2160, 3012, 252,
                      withLook(fontMsSansSerif(9.6), true, true), topCentre);
    c.Label11 = label("Label11", QStringLiteral("3"), 5520, 2160, 132, 252, bold, topLeft);
    placeExponent(c.Label16, c.Label11);

    // The result grid.
    for (int e = 0; e < kBlocks; ++e) {
        const EquationLayout& eq = kEquations[e];
        const BandLayout& band = kBands[e < 3 ? 0 : 1];
        c.lblEOS[e] = label("lblEOS", QString::fromLatin1(eq.caption), eq.headingLeft, band.headingTop,
                            eq.headingWidth, kLabelHeight, boldUnderlined, topCentre);
        c.lblEOS[e]->setObjectName(QStringLiteral("lblEOS_%1").arg(e));

        const int lefts[3] = {eq.liquidLeft, eq.vapourLeft, eq.zLeft};
        const int widths[3] = {kLiquidWidth, kVapourWidth, kZWidth};
        // Column headings are centred over their columns.
        c.lblLiq[e] = label("lblLiq", QStringLiteral("Liquid"), lefts[0] + (widths[0] - 612) / 2,
                            band.columnHeadingTop, 612, kLabelHeight, bold, topCentre);
        c.lblVap[e] = label("lblVap", QStringLiteral("Vapor"), lefts[1] + (widths[1] - 612) / 2,
                            band.columnHeadingTop, 612, kLabelHeight, bold, topCentre);
        c.lblZ[e] = label("lblZ", QStringLiteral("Z"), lefts[2] + (widths[2] - 732) / 2, band.columnHeadingTop, 732,
                          kLabelHeight, arialBold, topCentre);
        c.lblLiq[e]->setObjectName(QStringLiteral("lblLiq_%1").arg(e));
        c.lblVap[e]->setObjectName(QStringLiteral("lblVap_%1").arg(e));
        c.lblZ[e]->setObjectName(QStringLiteral("lblZ_%1").arg(e));

        for (int col = 0; col < 3; ++col) {
            MainControls::Cells& column = c.cells[static_cast<std::size_t>(e)][static_cast<std::size_t>(col)];
            for (int row = 0; row < 5; ++row) {
                auto* cell = textBox(QStringLiteral("%1%2_%3")
                                         .arg(QLatin1String(kColumnPrefixes[col]), QLatin1String(eq.suffix))
                                         .arg(row),
                                     lefts[col], band.rowTops[row], widths[col], kCellHeight);
                cell->setReadOnly(true);
                if (row == kMixtureRow) cell->setFont(bold);
                cell->setAccessibleName(QStringLiteral("%1, %2, %3")
                                            .arg(QLatin1String(eq.caption), QLatin1String(kColumnWords[col]),
                                                 rowWord(row)));
                column[static_cast<std::size_t>(row)] = cell;
            }
        }
    }

    // Row labels of both bands, level with their rows.
    for (int k = 0; k < 8; ++k) {
        const BandLayout& band = kBands[k < 4 ? 0 : 1];
        c.lblComp[k] = label("lblComp", QStringLiteral("Component %1").arg(k % 4 + 1), 240, band.rowTops[k % 4], 1332,
                             kCellHeight, bold, middleLeft);
        c.lblComp[k]->setObjectName(QStringLiteral("lblComp_%1").arg(k));
    }
    for (int b = 0; b < 2; ++b) {
        c.lblMix[b] = label("lblMix", QStringLiteral("Mixture"), 720, kBands[b].rowTops[kMixtureRow], 972, kCellHeight,
                            boldUnderlined, middleLeft);
        c.lblMix[b]->setObjectName(QStringLiteral("lblMix_%1").arg(b));
    }
    return c;
}

void arrangeTabOrder(const MainControls& c) {
    std::vector<QWidget*> order;
    for (int i = 0; i < 4; ++i) {
        order.push_back(c.cmbComp[i]);
        order.push_back(c.txtCmpMF[i]);
    }
    for (QWidget* w : {static_cast<QWidget*>(c.txtTemp), static_cast<QWidget*>(c.txtPress),
                       static_cast<QWidget*>(c.cmdSolve), static_cast<QWidget*>(c.cmdDataForm),
                       static_cast<QWidget*>(c.cmdCompList), static_cast<QWidget*>(c.cmdClrComp)})
        order.push_back(w);
    for (const auto& block : c.cells)
        for (const MainControls::Cells& column : block)
            for (QLineEdit* cell : column) order.push_back(cell);
    for (QCheckBox* chk : c.chkCritT) order.push_back(chk);
    order.push_back(c.cmdInstruct);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace zolvant::ui
