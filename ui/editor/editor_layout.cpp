// The editor's layout: each control's place in twips, caption, font and
// name, created on the window in tab order, and the buttons wired to the
// handlers that frmCritConst2.cpp holds.

#include "ui/editor/frmCritConst2.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <array>

#include "ui/common/layout.h"

namespace zolvant::ui {
namespace {

// Geometry in twips. The client area is 5664 x 4092.
constexpr int kClientWidth = 5664;
constexpr int kClientHeight = 4092;

constexpr int kMargin = 120;
constexpr int kBoxHeight = 300;
constexpr int kRowPitch = 384;

// Name row and molecular-weight row.
constexpr int kNameTop = 120;
constexpr int kNameHeight = 384;
constexpr int kNameBoxLeft = 1584;
constexpr int kMwTop = 600;
constexpr int kMwBoxLeft = 2040;
constexpr int kMwBoxWidth = 1080;

// The two columns.
constexpr int kHeadingTop = 1032;
constexpr int kHeadingHeight = 264;
constexpr int kFirstRowTop = 1344;
constexpr int kAcentTop = kFirstRowTop + 3 * kRowPitch + 84;  // after a gap
constexpr int kLeftLabelWidth = 1440;
constexpr int kLeftBoxLeft = 1584;
constexpr int kValueBoxWidth = 1080;
constexpr int kRightLeft = 2880;
constexpr int kKappaLabelWidth = 576;
constexpr int kRightBoxLeft = 3504;
constexpr int kEquationLeft = 4656;

// Command strip and status strip, full width.
constexpr int kCommandTop = 3144;
constexpr int kCommandHeight = 504;
constexpr int kCommandButtonTop = 72;
constexpr int kCommandButtonWidth = 840;
constexpr int kCommandButtonHeight = 360;
constexpr int kCommandFirstLeft = 96;
constexpr int kCommandPitch = 924;
constexpr int kStatusTop = kCommandTop + kCommandHeight;
constexpr int kStatusHeight = kClientHeight - kStatusTop;
constexpr int kStatusButtonTop = 60;
constexpr int kStatusButtonHeight = 324;
constexpr int kNavButtonWidth = 480;

const QColor kGrey = colourFromNumber(0xC0C0C0);

QFont kappaFont() {
    // A serif face that carries the Greek letters.
    QFont f(QStringLiteral("Liberation Serif"));
    f.setStyleHint(QFont::Serif);
    f.setPointSizeF(9.75);
    return f;
}

// Field names, in the order the numeric boxes are written.
constexpr std::array<const char*, 8> kNumericFields = {
    "MolWt", "CritTemp", "CritPress", "CritVol", "AcentricF", "K1", "K2", "K3"};

}  // namespace

void frmCritConst2::buildLayout() {
    fixClientTwips(this, kClientWidth, kClientHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kGrey);
    pal.setColor(QPalette::Button, kGrey);
    setPalette(pal);
    setAutoFillBackground(true);
    const QFont normal = fontMsSansSerif(8.25);
    setFont(normal);

    auto makeLabel = [this](const QString& name, const QString& text, QWidget* parent = nullptr) {
        auto* l = new QLabel(text, parent ? parent : this);
        l->setObjectName(name);
        return l;
    };
    auto makeBox = [this](const QString& name, QLabel* label) {
        auto* b = new QLineEdit(this);
        b->setObjectName(name);
        label->setBuddy(b);
        b->setAccessibleName(label->text());
        return b;
    };

    // The boxes are created in tab order, the name box first.
    const QFont nameFont = fontMsSansSerif(12, true);
    lblCompound = makeLabel(QStringLiteral("lblCompound"), QStringLiteral("Compound:"));
    lblCompound->setFont(nameFont);
    placeTwips(lblCompound, kMargin, kNameTop, kNameBoxLeft - kMargin - 48, kNameHeight);
    txtCompound = makeBox(QStringLiteral("txtCompound"), lblCompound);
    txtCompound->setFont(nameFont);
    placeTwips(txtCompound, kNameBoxLeft, kNameTop, kClientWidth - kMargin - kNameBoxLeft, kNameHeight);

    lblMW = makeLabel(QStringLiteral("lblMW"), QStringLiteral("Molecular Weight (g / mol)"));
    placeTwips(lblMW, kMargin, kMwTop, kMwBoxLeft - kMargin - 48, kBoxHeight);
    txtMW = makeBox(QStringLiteral("txtMW"), lblMW);
    placeTwips(txtMW, kMwBoxLeft, kMwTop, kMwBoxWidth, kBoxHeight);

    QFont headingFont = normal;
    headingFont.setBold(true);
    headingFont.setUnderline(true);
    lblCritHeading = makeLabel(QStringLiteral("lblCritHeading"), QStringLiteral("Critical Constants"));
    lblCritHeading->setFont(headingFont);
    placeTwips(lblCritHeading, kMargin, kHeadingTop, kRightLeft - kMargin - 120, kHeadingHeight);
    lblPrsvHeading = makeLabel(QStringLiteral("lblPrsvHeading"), QStringLiteral("PRSV Constants"));
    lblPrsvHeading->setFont(headingFont);
    placeTwips(lblPrsvHeading, kRightLeft, kHeadingTop, kClientWidth - kMargin - kRightLeft, kHeadingHeight);

    auto leftRow = [&](QLabel*& label, QLineEdit*& box, const char* labelName, const char* boxName,
                       const QString& text, int top) {
        label = makeLabel(QString::fromLatin1(labelName), text);
        placeTwips(label, kMargin, top, kLeftLabelWidth, kBoxHeight);
        box = makeBox(QString::fromLatin1(boxName), label);
        placeTwips(box, kLeftBoxLeft, top, kValueBoxWidth, kBoxHeight);
    };
    leftRow(lblTcrit, txtTcrit, "lblTcrit", "txtTcrit", QStringLiteral("Temperature (K)"), kFirstRowTop);
    leftRow(lblPcrit, txtPcrit, "lblPcrit", "txtPcrit", QStringLiteral("Pressure (bar)"),
            kFirstRowTop + kRowPitch);
    leftRow(lblVcrit, txtVcrit, "lblVcrit", "txtVcrit", QStringLiteral("Volume (cm3/mol)"),
            kFirstRowTop + 2 * kRowPitch);
    leftRow(lblAcent, txtAcent, "lblAcent", "txtAcent", QStringLiteral("Acentric Factor"), kAcentTop);

    const QFont kappa = kappaFont();
    auto rightRow = [&](QLabel*& label, QLineEdit*& box, QLabel*& equation, const char* labelName,
                        const char* boxName, const char* equationName, const QString& index,
                        const QString& equationText, int top) {
        label = makeLabel(QString::fromLatin1(labelName), QStringLiteral("\u03BA(%1)").arg(index));
        label->setFont(kappa);
        placeTwips(label, kRightLeft, top, kKappaLabelWidth, kBoxHeight);
        box = makeBox(QString::fromLatin1(boxName), label);
        placeTwips(box, kRightBoxLeft, top, kValueBoxWidth, kBoxHeight);
        equation = makeLabel(QString::fromLatin1(equationName), equationText);
        placeTwips(equation, kEquationLeft, top, kClientWidth - kMargin - kEquationLeft + 60, kBoxHeight);
    };
    rightRow(lblK1, txtK1, lblEqK1, "lblK1", "txtK1", "lblEqK1", QStringLiteral("1"),
             QStringLiteral("PRSV1 and 2"), kFirstRowTop);
    rightRow(lblK2, txtK2, lblEqK2, "lblK2", "txtK2", "lblEqK2", QStringLiteral("2"),
             QStringLiteral("PRSV2"), kFirstRowTop + kRowPitch);
    rightRow(lblK3, TxtK3, lblEqK3, "lblK3", "TxtK3", "lblEqK3", QStringLiteral("3"),
             QStringLiteral("PRSV2"), kFirstRowTop + 2 * kRowPitch);

    numericBoxes_ = {{{kNumericFields[0], txtMW, lblMW},
                      {kNumericFields[1], txtTcrit, lblTcrit},
                      {kNumericFields[2], txtPcrit, lblPcrit},
                      {kNumericFields[3], txtVcrit, lblVcrit},
                      {kNumericFields[4], txtAcent, lblAcent},
                      {kNumericFields[5], txtK1, lblK1},
                      {kNumericFields[6], txtK2, lblK2},
                      {kNumericFields[7], TxtK3, lblK3}}};

    auto makeStrip = [this](const QString& name, int top, int height) {
        auto* f = new QFrame(this);
        f->setObjectName(name);
        f->setFrameStyle(QFrame::Panel | QFrame::Raised);
        placeTwips(f, 0, top, kClientWidth, height);
        return f;
    };
    auto makeButton = [](QWidget* parent, const QString& name, const QString& caption) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };

    // Update and Cancel sit in the gaps between Add/Edit/Delete/Close: the
    // two sets are never shown together.
    fraCommands = makeStrip(QStringLiteral("fraCommands"), kCommandTop, kCommandHeight);
    cmdAdd = makeButton(fraCommands, QStringLiteral("cmdAdd"), QStringLiteral("&Add"));
    cmdEdit = makeButton(fraCommands, QStringLiteral("cmdEdit"), QStringLiteral("&Edit"));
    cmdUpdate = makeButton(fraCommands, QStringLiteral("cmdUpdate"), QStringLiteral("&Update"));
    cmdDelete = makeButton(fraCommands, QStringLiteral("cmdDelete"), QStringLiteral("&Delete"));
    cmdCancel = makeButton(fraCommands, QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"));
    cmdClose = makeButton(fraCommands, QStringLiteral("cmdClose"), QStringLiteral("&Close"));
    const std::array<QPushButton*, 6> commandRow = {cmdAdd, cmdEdit, cmdUpdate, cmdDelete, cmdCancel, cmdClose};
    for (int i = 0; i < 6; ++i) {
        placeTwips(commandRow[i], kCommandFirstLeft + i * kCommandPitch, kCommandButtonTop, kCommandButtonWidth,
                   kCommandButtonHeight);
    }

    fraStatus = makeStrip(QStringLiteral("fraStatus"), kStatusTop, kStatusHeight);
    cmdFirst = makeButton(fraStatus, QStringLiteral("cmdFirst"), QStringLiteral("|<<"));
    cmdPrevious = makeButton(fraStatus, QStringLiteral("cmdPrevious"), QStringLiteral("<"));
    cmdNext = makeButton(fraStatus, QStringLiteral("cmdNext"), QStringLiteral(">"));
    cmdLast = makeButton(fraStatus, QStringLiteral("cmdLast"), QStringLiteral(">>|"));
    lblStatus = makeLabel(QStringLiteral("lblStatus"), QString(), fraStatus);
    lblStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblStatus->setIndent(4);
    QPalette white = lblStatus->palette();
    white.setColor(QPalette::Window, Qt::white);
    lblStatus->setPalette(white);
    lblStatus->setAutoFillBackground(true);

    constexpr int navGap = 48;
    constexpr int first = 96;
    constexpr int previous = first + kNavButtonWidth + navGap;
    constexpr int statusLeft = previous + kNavButtonWidth + navGap;
    constexpr int last = kClientWidth - 96 - kNavButtonWidth;
    constexpr int next = last - navGap - kNavButtonWidth;
    placeTwips(cmdFirst, first, kStatusButtonTop, kNavButtonWidth, kStatusButtonHeight);
    placeTwips(cmdPrevious, previous, kStatusButtonTop, kNavButtonWidth, kStatusButtonHeight);
    placeTwips(lblStatus, statusLeft, kStatusButtonTop, next - navGap - statusLeft, kStatusButtonHeight);
    placeTwips(cmdNext, next, kStatusButtonTop, kNavButtonWidth, kStatusButtonHeight);
    placeTwips(cmdLast, last, kStatusButtonTop, kNavButtonWidth, kStatusButtonHeight);

    // Tab order: the boxes, then the commands, then the navigation.
    const std::array<QWidget*, 19> tabOrder = {txtCompound, txtMW,    txtTcrit,  txtPcrit,    txtVcrit,
                                               txtAcent,    txtK1,    txtK2,     TxtK3,       cmdAdd,
                                               cmdEdit,     cmdUpdate, cmdDelete, cmdCancel,  cmdClose,
                                               cmdFirst,    cmdPrevious, cmdNext, cmdLast};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(cmdAdd, &QPushButton::clicked, this, &frmCritConst2::cmdAdd_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmCritConst2::cmdEdit_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmCritConst2::cmdUpdate_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmCritConst2::cmdDelete_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCritConst2::cmdCancel_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmCritConst2::cmdClose_Click);
    connect(cmdFirst, &QPushButton::clicked, this, &frmCritConst2::cmdFirst_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &frmCritConst2::cmdPrevious_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmCritConst2::cmdNext_Click);
    connect(cmdLast, &QPushButton::clicked, this, &frmCritConst2::cmdLast_Click);

    buildFind();
    setBrowseState(true);
    txtCompound->setFocus();
}

}  // namespace zolvant::ui
