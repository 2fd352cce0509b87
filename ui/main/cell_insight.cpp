#include "ui/main/cell_insight.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <string>

#include "report/mixture_insight.h"
#include "ui/main/frmZolvMain.h"
#include "ui/main/main_layout.h"

namespace zolvant::ui {

namespace {

const QColor kStableFrame(0, 128, 64);
const Column kColumns[3] = {Column::Liquid, Column::Vapour, Column::Z};

// Rich text of a set width, so that the tooltip wraps its sentences into a
// readable block; each line of the plain text starts a line of its own.
QString wrappedTip(const QString& plain) {
    return QStringLiteral("<table width=\"440\"><tr><td>") +
           plain.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")) +
           QStringLiteral("</td></tr></table>");
}

}  // namespace

CellInsight::CellInsight(frmZolvMain* window, const MainControls& controls)
    : QObject(window), window_(window), controls_(controls) {
    for (int b = 0; b < kBlocks; ++b)
        for (Column c : kColumns)
            for (int row = 0; row <= kMixtureRow; ++row) {
                QLineEdit* box = cell(b, c, row);
                cells_[box] = Where{b, c, row};
                box->installEventFilter(this);
                connect(box, &QLineEdit::textChanged, this, &CellInsight::repaintCueLater);
            }
}

QLineEdit* CellInsight::cell(int block, Column column, int row) const {
    return window_->resultColumn(block, column)[static_cast<std::size_t>(row)];
}

void CellInsight::rootDone(int block, int row, Phase phase, const RootOutcome& root) {
    if (block == 0 && row == 0 && phase == Phase::Vapour) {
        // A new Solve: the window's state is the one being solved.
        solved_ = SolvedCase{};
        solved_.state = window_->mixture();
        for (std::size_t k = 0; k < 4; ++k) {
            solved_.fractions[k] = controls_.txtCmpMF[k]->text().toStdString();
            solved_.names[k] = controls_.lblComp[k]->text().toStdString();
        }
        stable_ = {};
        oneFluid_.solved(solved_.state, solved_.fractions, solved_.names, window_->database());
    }
    solved_.roots.record(block, row, phase, root);
    repaintCueLater();
}

void CellInsight::repaintCueLater() {
    // One repaint of the window for a whole Solve or Clear, after it.
    if (repaintPending_) return;
    repaintPending_ = true;
    QTimer::singleShot(0, this, [this] {
        repaintPending_ = false;
        describeMixtureTags();
        window_->update();
    });
}

QString CellInsight::toolTipFor(int block, Column column, int row) const {
    if (block < 0 || block >= kBlocks || row < 0 || row > kMixtureRow) return {};
    const QLineEdit* box = cell(block, column, row);
    if (box->isHidden()) return {};
    return QString::fromStdString(cellInsight(solved_, block, column, row, box->text().toStdString()));
}

QString CellInsight::shownToolTip(int block, Column column, int row) const {
    const QString tip = toolTipFor(block, column, row);
    if (tip.isEmpty() || row != kMixtureRow) return tip;
    const QString more = oneFluidToolTip(block);
    return more.isEmpty() ? tip : tip + QStringLiteral("\n\n") + more;
}

QString CellInsight::oneFluidToolTip(int block) const {
    const MixtureReport* flash = oneFluid_.flash(block);
    if (!flash || toolTipFor(block, Column::Z, kMixtureRow).isEmpty()) return {};
    return QString::fromStdString(
        report::oneFluidInsight(*flash, oneFluid_.saturation(block), oneFluid_.kijFromDatabase(block)));
}

QString CellInsight::mixtureTag(int block) const {
    const MixtureReport* flash = oneFluid_.flash(block);
    if (!flash) return {};
    const QLineEdit* z = cell(block, Column::Z, kMixtureRow);
    if (z->isHidden() || z->text().isEmpty()) return {};
    return QString::fromStdString(report::oneFluidTag(*flash));
}

void CellInsight::describeMixtureTags() {
    // The tag is painted, not a widget: its text reaches assistive
    // technology as the description of the mixture Z cell beside it.
    for (int b = 0; b < kBlocks; ++b) {
        const QString tag = mixtureTag(b);
        QLineEdit* z = cell(b, Column::Z, kMixtureRow);
        const QString text = tag.isEmpty() ? QString()
                                           : QStringLiteral("One-fluid phase state by %1: %2")
                                                 .arg(QString::fromLatin1(blockName(b)), tag);
        if (z->accessibleDescription() != text) z->setAccessibleDescription(text);
    }
}

std::optional<StablePhase> CellInsight::cueFor(int block, int row) const {
    if (block < 0 || block >= kBlocks || row < 0 || row >= kMixtureRow || row >= solved_.state.numComps) return std::nullopt;
    // Only beside a row that shows its results.
    const QLineEdit* vapour = cell(block, Column::Vapour, row);
    if (vapour->isHidden() || vapour->text().isEmpty()) return std::nullopt;
    auto& slot = stable_[static_cast<std::size_t>(block)][static_cast<std::size_t>(row)];
    if (!slot) slot = phaseView(block, solved_.state, row).stable;
    return *slot;
}

bool CellInsight::eventFilter(QObject* watched, QEvent* event) {
    // The event first: a box being destroyed still sends events here, and
    // is no longer a QLineEdit then. Only the two events asked for reach a
    // box whole, and even those are cast by their meta-object.
    if (event->type() != QEvent::ToolTip && event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto it = cells_.find(watched);
    if (it == cells_.end()) return QObject::eventFilter(watched, event);
    const Where& w = it->second;
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box) return QObject::eventFilter(watched, event);
    QPoint at;
    if (event->type() == QEvent::ToolTip) {
        at = static_cast<QHelpEvent*>(event)->globalPos();
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::ControlModifier) return false;
        at = box->mapToGlobal(QPoint(box->width() / 2, box->height()));
    } else {
        return false;
    }
    const QString tip = shownToolTip(w.block, w.column, w.row);
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(at, wrappedTip(tip), box);
    }
    return true;
}

QFont CellInsight::tagFont() const {
    QFont small = window_->font();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    small.setBold(true);
    return small;
}

QRect CellInsight::tagRect(int block, int row, const QString& tag) const {
    // Right of the Z box, as wide as its letters.
    const QLineEdit* zBox = cell(block, Column::Z, row);
    const QRect z(zBox->mapTo(window_, QPoint(0, 0)), zBox->size());
    const int width = QFontMetrics(tagFont()).horizontalAdvance(tag) + 6;
    return QRect(z.right() + 5, z.center().y() - 7, width, 14);
}

QString CellInsight::tagToolTip(int block, int row) const {
    const auto stable = cueFor(block, row);
    if (!stable) return {};
    const std::string& name = solved_.names[static_cast<std::size_t>(row)];
    const std::string subject = (name.empty() ? "Component " + std::to_string(row + 1) : name) + " alone";
    return QString::fromStdString(stablePhaseTagExplanation(*stable, subject, blockName(block)));
}

QString CellInsight::tagToolTipAt(const QPoint& pos) const {
    for (int b = 0; b < kBlocks; ++b)
        for (int row = 0; row < kMixtureRow; ++row) {
            const auto stable = cueFor(b, row);
            if (stable && tagRect(b, row, QString::fromLatin1(stablePhaseTag(*stable))).contains(pos))
                return tagToolTip(b, row);
        }
    for (int b = 0; b < kBlocks; ++b) {
        const QString tag = mixtureTag(b);
        if (!tag.isEmpty() && tagRect(b, kMixtureRow, tag).contains(pos)) return oneFluidToolTip(b);
    }
    return {};
}

bool CellInsight::showTagToolTip(QEvent* event) const {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = tagToolTipAt(help->pos());
    if (tip.isEmpty()) return false;
    QToolTip::showText(help->globalPos(), wrappedTip(tip), window_);
    return true;
}

void CellInsight::paintCue(QPainter& p) const {
    p.save();
    p.setFont(tagFont());
    for (int b = 0; b < kBlocks; ++b) {
        for (int row = 0; row < kMixtureRow; ++row) {
            const auto stable = cueFor(b, row);
            if (!stable) continue;
            auto rectOf = [&](Column c) {
                const QLineEdit* box = window_->resultColumn(b, c)[static_cast<std::size_t>(row)];
                return QRect(box->mapTo(window_, QPoint(0, 0)), box->size());
            };
            // A frame just outside the box, so that the box itself is not
            // painted over: two pixels at the sides, one above and below
            // (the rows are three pixels apart).
            auto frame = [&](Column c) {
                const QRect r = rectOf(c);
                p.fillRect(r.left() - 2, r.top() - 1, r.width() + 4, 1, kStableFrame);
                p.fillRect(r.left() - 2, r.bottom() + 1, r.width() + 4, 1, kStableFrame);
                p.fillRect(r.left() - 2, r.top(), 2, r.height(), kStableFrame);
                p.fillRect(r.right() + 1, r.top(), 2, r.height(), kStableFrame);
            };
            const QString tag = QString::fromLatin1(stablePhaseTag(*stable));
            QColor colour = kStableFrame;
            switch (*stable) {
            case StablePhase::Liquid: frame(Column::Liquid); break;
            case StablePhase::Vapour: frame(Column::Vapour); break;
            case StablePhase::Saturated:
                frame(Column::Liquid);
                frame(Column::Vapour);
                break;
            case StablePhase::Supercritical: colour = QColor(96, 96, 96); break;
            }
            // The tag: white letters on the cue's colour, right of the Z box.
            const QRect tagRect = this->tagRect(b, row, tag);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawRoundedRect(tagRect, 3, 3);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(Qt::white);
            p.drawText(tagRect, Qt::AlignCenter, tag);
        }
    }
    // The mixture's own tag, the one-fluid phase state, in the same look;
    // no frame, since the grid's mixture cells are averages, not its phases.
    for (int b = 0; b < kBlocks; ++b) {
        const QString tag = mixtureTag(b);
        if (tag.isEmpty()) continue;
        const QRect r = tagRect(b, kMixtureRow, tag);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(kStableFrame);
        p.drawRoundedRect(r, 3, 3);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::white);
        p.drawText(r, Qt::AlignCenter, tag);
    }
    p.restore();
}

}  // namespace zolvant::ui
