#include "ui/main/results_commands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "ui/common/services.h"
#include "ui/plot/save_as.h"

namespace zolvant::ui {

ResultsCommands::ResultsCommands(QWidget* form, std::function<ResultsTable()> read)
    : QObject(form), form_(form), read_(std::move(read)) {
    copy_ = new QAction(QStringLiteral("Copy Results"), form);
    copy_->setObjectName(QStringLiteral("actCopyResults"));
    copy_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copy_->setShortcutContext(Qt::WindowShortcut);
    connect(copy_, &QAction::triggered, this, [this] { copyResults(); });

    save_ = new QAction(QStringLiteral("Save Results As\u2026"), form);
    save_->setObjectName(QStringLiteral("actSaveResultsAs"));
    save_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save_->setShortcutContext(Qt::WindowShortcut);
    connect(save_, &QAction::triggered, this, [this] { saveResultsAs(); });

    form->addAction(copy_);
    form->addAction(save_);
    setAvailable(false);
    qApp->installEventFilter(this);
}

ResultsCommands::~ResultsCommands() {
    if (qApp) qApp->removeEventFilter(this);
}

void ResultsCommands::attachCells(const QList<QLineEdit*>& cells) {
    for (QLineEdit* cell : cells) {
        cells_.insert(cell);
        cell->installEventFilter(this);
    }
}

void ResultsCommands::setAvailable(bool available) {
    available_ = available;
    copy_->setEnabled(available);
    save_->setEnabled(available);
}

void ResultsCommands::addEntries(QMenu* menu) {
    menu->addAction(copy_);
    menu->addAction(save_);
}

bool ResultsCommands::showBackgroundMenu(QContextMenuEvent* event) {
    const QWidget* child = form_->childAt(event->pos());
    if (child && !qobject_cast<const QLabel*>(child)) return false;
    QMenu menu(form_);
    addEntries(&menu);
    menu.exec(event->globalPos());
    return true;
}

bool ResultsCommands::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watched->isWindowType() && watched == form_->window()->windowHandle()) keepFocusOnRightPress(event);
        return false;
    case QEvent::ContextMenu: {
        if (!isCell(watched)) return false;
        auto* cell = static_cast<QLineEdit*>(watched);
        const std::unique_ptr<QMenu> menu(cell->createStandardContextMenu());
        menu->addSeparator();
        if (cellEntries_) cellEntries_(menu.get(), cell);
        for (const auto& more : moreEntries_) more(menu.get(), cell);
        addEntries(menu.get());
        menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    default:
        return false;
    }
}

// A press gives the focus to the control under the mouse whatever the
// button, before any widget sees the press; the box that is left would then
// run its check. A right click on a result box only opens its menu, so the
// box must not take the focus: for the length of the press it takes focus
// from the Tab key only. The press reaches the window before the box, which
// is where this is caught.
void ResultsCommands::keepFocusOnRightPress(QEvent* event) {
    const auto* press = static_cast<QMouseEvent*>(event);
    if (press->button() != Qt::RightButton) return;
    // The press comes in the coordinates of the window, which may hold the
    // form below a menu bar.
    QWidget* target = form_->childAt(form_->mapFrom(form_->window(), press->position().toPoint()));
    if (!target || !isCell(target) || target->hasFocus()) return;
    const Qt::FocusPolicy policy = target->focusPolicy();
    if (!(policy & Qt::ClickFocus)) return;
    target->setFocusPolicy(Qt::TabFocus);
    QTimer::singleShot(0, target, [target, policy] { target->setFocusPolicy(policy); });
}

void ResultsCommands::copyResults() {
    if (!available_) return;
    const ResultsTable table = read_();
    auto* mime = new QMimeData;
    mime->setText(report::resultsTabSeparated(table));
    mime->setHtml(report::resultsHtml(table));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void ResultsCommands::saveResultsAs() {
    if (!available_) return;
    const ResultsTable table = read_();
    saveBytesAs(form_, QStringLiteral("zolvant-results.csv"), QStringLiteral("CSV files (*.csv)"), QStringLiteral("results"),
                [&table] { return report::resultsCsv(table); });
}

}  // namespace zolvant::ui
