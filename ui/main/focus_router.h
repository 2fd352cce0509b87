#pragma once
// Turns Qt's focus events of one window into the window's got-focus and
// lost-focus handlers, in the order the user caused them.
//
// Qt's raw events do not map one to one onto "this control lost the focus,
// that one gained it": a handler that moves the focus back produces events
// for a control that never had it, a modal box or a drop-down list
// deactivates the window, and a mouse press still reaches a button after a
// check sent the focus elsewhere. The router keeps a logical owner (the
// control that was last entered) and dispatches:
//  - lost-focus only for the owner, and never for a window deactivation, a
//    drop-down list, or focus that went to another window;
//  - got-focus only when the control still has the window's focus when its
//    turn comes;
//  - synchronously inside the Qt event, so a lost-focus check always runs
//    before the next control's got-focus and before a click is delivered;
//  - never nested: events raised while a handler runs are queued and run
//    after it returns;
//  - and it swallows the mouse press whose focus change a handler undid, so
//    a refused check cannot be clicked past.
// A button pressed from the keyboard (Enter in a box, a button's Alt key)
// takes the same way as a click: the focus moves to the button first, the
// control left runs its lost-focus check, and only a button that still has
// the focus afterwards is clicked.

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <initializer_list>
#include <unordered_map>
#include <vector>

class QAbstractButton;
class QWidget;

namespace zolvant::ui {

class FocusRouter : public QObject {
public:
    // Watches the focus inside `form`; owned by it.
    explicit FocusRouter(QWidget* form);
    ~FocusRouter() override;

    // Handlers for one control of the form. Controls without handlers still
    // take part in the ownership (focus passing through a button ends the
    // previous control's ownership).
    void watch(QWidget* w, std::function<void()> gotFocus, std::function<void()> lostFocus);

    // Enter (or the keypad's Enter) in a control with handlers presses
    // `button`. An open drop-down list keeps its Enter: it picks the item.
    void pressOnEnter(QAbstractButton* button) { enterButton_ = button; }

    // Each button's Alt key presses it the way a click does, instead of
    // Qt's delayed click that would follow even a refused check.
    void pressOnMnemonic(std::initializer_list<QAbstractButton*> buttons);

    // The focus moves to `button` as a click would move it; the button is
    // clicked when the check of the control left let it keep the focus.
    void press(QAbstractButton* button);

    // While closing, no handler runs at all.
    void setClosing(bool closing) { closing_ = closing; }

    QWidget* owner() const { return owner_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Pending {
        bool gotFocus;
        QPointer<QWidget> widget;
    };
    struct Handlers {
        std::function<void()> gotFocus;
        std::function<void()> lostFocus;
    };

    bool inForm(const QWidget* w) const;
    bool pressByKey(QObject* watched, QEvent* event);
    void drain();
    void runLost(QWidget* w);
    void runGot(QWidget* w);

    QWidget* form_;
    QPointer<QWidget> owner_;
    std::deque<Pending> queue_;
    std::unordered_map<const QWidget*, Handlers> handlers_;
    QPointer<QAbstractButton> enterButton_;
    std::vector<QPointer<QAbstractButton>> mnemonicButtons_;
    bool busy_ = false;
    bool closing_ = false;
    bool mouseMovedFocus_ = false;
};

}  // namespace zolvant::ui
