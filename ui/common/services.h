#pragma once
// The seam between the windows and everything modal or noisy: message boxes,
// file dialogs and the beep. Production shows real Qt dialogs; tests install
// a recorder so that nothing blocks.

#include <QString>

class QWidget;

namespace zolvant::ui {

class UiServices {
public:
    virtual ~UiServices() = default;
    // A modal box with the text, the title, an OK button only and no icon.
    virtual void message(QWidget* parent, const QString& text, const QString& title) = 0;
    // A modal Yes/No question with the text and the title; true for Yes.
    virtual bool question(QWidget* parent, const QString& text, const QString& title) = 0;
    // A file-open dialog starting in startFolder; empty when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& startFolder, const QString& filter) = 0;
    // A save dialog; empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& suggested, const QString& filter) = 0;
    virtual void beep() = 0;
    // A notice that needs no answer and must not stop the user: Qt shows it
    // in a box that does not block the window. Doubles record it as a message.
    virtual void notice(QWidget* parent, const QString& text, const QString& title) { message(parent, text, title); }
};

// The services in force: the Qt ones unless a test installed its own.
UiServices& services();
// Installs s (not owned); nullptr restores the Qt services.
void setServices(UiServices* s);

// The application's title, used as caption and message-box title.
inline QString appTitle() { return QStringLiteral("Zolvant"); }

}  // namespace zolvant::ui
