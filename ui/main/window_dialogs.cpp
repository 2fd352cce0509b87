#include "ui/main/window_dialogs.h"

#include "ui/common/services.h"

namespace zolvant::ui {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

std::optional<std::string> chosenName(const QString& chosen) {
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

}  // namespace

void WindowDialogs::message(const std::string& text, const std::string& title) {
    services().message(window_, qs(text), qs(title));
}

std::optional<std::string> WindowDialogs::openFileName(const std::string& startFolder) {
    return chosenName(services().openFileName(window_, qs(startFolder), QString()));
}

bool WindowDialogs::question(const std::string& text, const std::string& title) {
    return services().question(window_, qs(text), qs(title));
}

std::optional<std::string> WindowDialogs::saveFileName(const std::string& suggested, const std::string& filter) {
    return chosenName(services().saveFileName(window_, qs(suggested), qs(filter)));
}

}  // namespace zolvant::ui
