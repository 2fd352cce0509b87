#include "ui/common/windows.h"

#include "db/settings.h"

namespace zolvant::ui {

void restoreSize(QWidget* window, const QString& key, QSize fallback) {
    const QSize remembered = db::settings().value(key).toSize();
    window->resize(remembered.isValid() ? remembered : fallback);
}

void rememberSize(const QWidget* window, const QString& key) { db::settings().setValue(key, window->size()); }

}  // namespace zolvant::ui
