#pragma once
// Test double for UiServices: records every box, dialog and beep with the
// widget that had the focus at that moment, and answers at once.

#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <vector>

#include "ui/common/services.h"

namespace zolvant::ui {

class RecordingServices final : public UiServices {
public:
    struct Message {
        QString text;
        QString title;
        QPointer<QWidget> focus;   // QApplication::focusWidget() when the box opened
    };
    std::vector<Message> messages;
    int beeps = 0;
    int openDialogs = 0;
    int saveDialogs = 0;
    QStringList openStartFolders;
    std::deque<QString> openAnswers;  // answers for file-open dialogs, in order; empty = cancel
    std::deque<QString> saveAnswers;
    QStringList saveSuggestions;      // what each save dialog proposed
    QStringList saveFilters;
    std::vector<Message> questions;
    std::deque<bool> questionAnswers;  // answers for questions, in order; none left = No

    void message(QWidget*, const QString& text, const QString& title) override {
        messages.push_back({text, title, QApplication::focusWidget()});
    }
    QString openFileName(QWidget*, const QString& startFolder, const QString&) override {
        ++openDialogs;
        openStartFolders << startFolder;
        if (openAnswers.empty()) return {};
        QString a = openAnswers.front();
        openAnswers.pop_front();
        return a;
    }
    bool question(QWidget*, const QString& text, const QString& title) override {
        questions.push_back({text, title, QApplication::focusWidget()});
        if (questionAnswers.empty()) return false;
        const bool a = questionAnswers.front();
        questionAnswers.pop_front();
        return a;
    }
    QString saveFileName(QWidget*, const QString& suggested, const QString& filter) override {
        ++saveDialogs;
        saveSuggestions << suggested;
        saveFilters << filter;
        if (saveAnswers.empty()) return {};
        QString a = saveAnswers.front();
        saveAnswers.pop_front();
        return a;
    }
    void beep() override { ++beeps; }

    void clear() {
        messages.clear();
        beeps = 0;
        openDialogs = 0;
        saveDialogs = 0;
        openStartFolders.clear();
        saveSuggestions.clear();
        saveFilters.clear();
        questions.clear();
    }
};

// Installs a recorder for the lifetime of the object.
class ScopedRecordingServices {
public:
    ScopedRecordingServices() { setServices(&rec); }
    ~ScopedRecordingServices() { setServices(nullptr); }
    RecordingServices rec;
};

}  // namespace zolvant::ui
