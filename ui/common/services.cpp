#include "ui/common/services.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace zolvant::ui {
namespace {

class QtServices final : public UiServices {
public:
    void message(QWidget* parent, const QString& text, const QString& title) override {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
        box.exec();
        // Without a window manager nothing re-activates the parent after a
        // modal box; with one this is harmless.
        if (parent) parent->window()->activateWindow();
    }
    bool question(QWidget* parent, const QString& text, const QString& title) override {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::Yes);
        const bool yes = box.exec() == QMessageBox::Yes;
        if (parent) parent->window()->activateWindow();
        return yes;
    }
    QString openFileName(QWidget* parent, const QString& startFolder, const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, QString(), startFolder, filter);
    }
    QString saveFileName(QWidget* parent, const QString& suggested, const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, QString(), suggested, filter);
    }
    void beep() override { QApplication::beep(); }
    void notice(QWidget* parent, const QString& text, const QString& title) override {
        auto* box = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        // Once the event loop runs, over the window rather than before it.
        QTimer::singleShot(0, box, [box] { box->show(); });
    }
};

QtServices& qtServices() {
    static QtServices s;
    return s;
}

UiServices* installed = nullptr;

}  // namespace

UiServices& services() { return installed ? *installed : qtServices(); }
void setServices(UiServices* s) { installed = s; }

}  // namespace zolvant::ui
