#include "ui/main/focus_router.h"

#include <QApplication>
#include <QAbstractButton>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QShortcutEvent>
#include <QWidget>

namespace zolvant::ui {

FocusRouter::FocusRouter(QWidget* form) : QObject(form), form_(form) {
    qApp->installEventFilter(this);
}

FocusRouter::~FocusRouter() {
    if (qApp) qApp->removeEventFilter(this);
}

void FocusRouter::watch(QWidget* w, std::function<void()> gotFocus, std::function<void()> lostFocus) {
    handlers_[w] = Handlers{std::move(gotFocus), std::move(lostFocus)};
}

void FocusRouter::pressOnMnemonic(std::initializer_list<QAbstractButton*> buttons) {
    for (QAbstractButton* b : buttons) mnemonicButtons_.emplace_back(b);
}

void FocusRouter::press(QAbstractButton* button) {
    if (closing_ || !button || !button->isVisible() || !button->isEnabled()) return;
    // Synchronous, as for a click: the lost-focus check has run when
    // setFocus returns, and a refusal has sent the focus back already.
    button->setFocus(Qt::OtherFocusReason);
    if (form_->focusWidget() == button) button->click();
}

bool FocusRouter::pressByKey(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (mods != Qt::NoModifier && mods != Qt::KeypadModifier) return false;
        // Only the boxes: a drop-down list's view is no watched control, so
        // an open list keeps its Enter.
        if (!enterButton_ || !watched->isWidgetType() || !handlers_.count(static_cast<QWidget*>(watched)))
            return false;
        press(enterButton_);
        return true;
    }
    // A Shortcut event: the Alt key of a button.
    for (const QPointer<QAbstractButton>& b : mnemonicButtons_) {
        if (b != watched) continue;
        // Ambiguous keys are left to Qt, which only moves the focus then.
        if (static_cast<QShortcutEvent*>(event)->isAmbiguous()) return false;
        press(b);
        return true;
    }
    return false;
}

bool FocusRouter::inForm(const QWidget* w) const {
    // The form may sit inside a window with a menu bar: only its own
    // controls count.
    return w && w != form_ && form_->isAncestorOf(w);
}

bool FocusRouter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::Shortcut)
        return !closing_ && !busy_ && pressByKey(watched, event);
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        if (closing_ || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (!inForm(w)) return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::MouseFocusReason) mouseMovedFocus_ = true;
        // A window (de)activation, a drop-down list or a menu opening or
        // closing, or the menu bar taking the keys for a moment (Alt) is no
        // move between controls.
        const bool transient = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
                               reason == Qt::MenuBarFocusReason;
        const bool gotFocus = type == QEvent::FocusIn;
        if (gotFocus) {
            if (transient && w == owner_) return false;
        } else {
            if (transient || w != owner_) return false;
            // Focus that went into another window (a drop-down list's first
            // opening reports itself that way) leaves the owner in place.
            const QWidget* now = QApplication::focusWidget();
            if (now && now->window() != form_->window()) return false;
        }
        queue_.push_back({gotFocus, w});
        if (!busy_) drain();
        return false;
    }
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        if (!watched->isWidgetType()) return false;
        const bool check = mouseMovedFocus_;
        mouseMovedFocus_ = false;
        auto* w = static_cast<QWidget*>(watched);
        if (!check || closing_ || !inForm(w)) return false;
        // The press moved the focus, and a handler sent it elsewhere: the
        // press must not reach the control (a button would still be clicked,
        // a combo box would still open its list).
        const QWidget* focus = form_->focusWidget();
        if (focus && (focus == w || focus->isAncestorOf(w))) return false;
        return true;
    }
    return false;
}

void FocusRouter::drain() {
    busy_ = true;
    while (!queue_.empty() && !closing_) {
        const Pending p = queue_.front();
        queue_.pop_front();
        QWidget* w = p.widget;
        if (!w) continue;
        if (p.gotFocus) {
            // A later move (a handler's own setFocus) overtook this one.
            if (form_->focusWidget() != w) continue;
            // The owner may have lost the focus while the window was
            // inactive (a focus move made behind a modal box): it is left
            // now, before the new control is entered.
            if (owner_ && owner_ != w) runLost(owner_);
            owner_ = w;
            runGot(w);
        } else {
            if (owner_ != w) continue;
            runLost(w);
        }
    }
    if (closing_) queue_.clear();
    busy_ = false;
}

void FocusRouter::runLost(QWidget* w) {
    owner_ = nullptr;
    auto it = handlers_.find(w);
    if (it != handlers_.end() && it->second.lostFocus) it->second.lostFocus();
}

void FocusRouter::runGot(QWidget* w) {
    auto it = handlers_.find(w);
    if (it != handlers_.end() && it->second.gotFocus) it->second.gotFocus();
}

}  // namespace zolvant::ui
