#include "ui/help/help_resources.h"

#include <QFile>

#include "ui/pictures/pictures.h"

// Q_INIT_RESOURCE declares a function in the namespace it is used in, so it
// must be called from the global namespace.
static void registerZolvantHelpResources() { Q_INIT_RESOURCE(zolvant_help); }

namespace zolvant::ui {

void initHelpResources() {
    static const bool registered = [] {
        registerZolvantHelpResources();
        zolvant_init_pictures();
        return true;
    }();
    (void)registered;
}

QString readHelpText(const QString& resourcePath) {
    QFile f(resourcePath);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

}  // namespace zolvant::ui
