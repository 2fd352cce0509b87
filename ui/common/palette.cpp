#include "ui/common/palette.h"

#include <QApplication>
#include <QHash>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>
#include <cstring>
#include <memory>

namespace zolvant::ui {

namespace {

// The windows by class name: ui/common knows none of their types.
const char* const kDesigned[] = {
    "zolvant::ui::frmZolvMain",     "zolvant::ui::frmCritConst2", "zolvant::ui::frmZolvInstruct",
    "zolvant::ui::frmInfoEOS",      "zolvant::ui::frmFig1",       "zolvant::ui::frmFig2",
    "zolvant::ui::frmFig3",
};
const char* const kApplied = "zolvantDesignedPalette";

bool isDesigned(const QMetaObject* meta) {
    static QHash<const QMetaObject*, bool> known;
    const auto it = known.constFind(meta);
    if (it != known.constEnd()) return *it;
    bool designed = false;
    for (const QMetaObject* m = meta; m && !designed; m = m->superClass())
        for (const char* name : kDesigned) designed = designed || std::strcmp(m->className(), name) == 0;
    known.insert(meta, designed);
    return designed;
}

class DesignedLooks final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Only widgets: inside the window's own constructor its first event
        // (a title or font set) comes before any control is made.
        if (!watched->isWidgetType() || event->type() == QEvent::DynamicPropertyChange) return false;
        if (!isDesigned(watched->metaObject()) || watched->property(kApplied).isValid()) return false;
        watched->setProperty(kApplied, true);
        auto* w = static_cast<QWidget*>(watched);
        // What the window set itself stays; every other colour is the
        // designed one.
        w->setPalette(w->palette().resolve(designedPalette()));
        return false;
    }
};

}  // namespace

const QPalette& designedPalette() {
    static const QPalette palette = [] {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        return fusion ? fusion->standardPalette() : QPalette(QColor(239, 239, 239));
    }();
    return palette;
}

void keepDesignedLooks() {
    static DesignedLooks* filter = nullptr;
    if (filter || !qApp) return;
    filter = new DesignedLooks(qApp);
    qApp->installEventFilter(filter);
}

}  // namespace zolvant::ui
