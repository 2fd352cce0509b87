#pragma once
// The database's dialogs (the start-up opening's and the Access import's),
// shown through the window's services over a parent window, so that tests
// answer them through the recording services.

#include <QString>

#include "db/startup.h"

class QWidget;

namespace zolvant::ui {

class WindowDialogs final : public db::StartupDialogs {
public:
    explicit WindowDialogs(QWidget* window) : window_(window) {}
    void message(const std::string& text, const std::string& title) override;
    std::optional<std::string> openFileName(const std::string& startFolder) override;
    bool question(const std::string& text, const std::string& title) override;
    std::optional<std::string> saveFileName(const std::string& suggested, const std::string& filter) override;

private:
    QWidget* window_;
};

}  // namespace zolvant::ui
