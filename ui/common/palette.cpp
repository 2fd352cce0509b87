#include "ui/common/palette.h"

#include <QApplication>
#include <QHash>
#include <QPalette>
#include <QWidget>
#include <cstring>

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
        // The window's own colours are set after this, over the designed
        // palette.
        w->setPalette(designedPalette());
        return false;
    }
};

}  // namespace

const QPalette& designedPalette() {
    // Fusion's light palette, written out: under a desktop theme Qt's own
    // standard palette is the theme's.
    static const QPalette palette = [] {
        QPalette p(QColor(239, 239, 239));  // derives black texts on white boxes
        const auto all = [&p](QPalette::ColorRole role, QColor c) {
            for (int g = 0; g < QPalette::NColorGroups; ++g) p.setColor(static_cast<QPalette::ColorGroup>(g), role, c);
        };
        all(QPalette::Window, QColor(239, 239, 239));
        all(QPalette::Button, QColor(239, 239, 239));
        all(QPalette::WindowText, Qt::black);
        all(QPalette::Text, Qt::black);
        all(QPalette::ButtonText, Qt::black);
        all(QPalette::Base, Qt::white);
        all(QPalette::AlternateBase, QColor(247, 247, 247));
        all(QPalette::BrightText, Qt::white);
        all(QPalette::Light, Qt::white);
        all(QPalette::Midlight, QColor(202, 202, 202));
        all(QPalette::Mid, QColor(184, 184, 184));
        all(QPalette::Dark, QColor(159, 159, 159));
        all(QPalette::Shadow, QColor(118, 118, 118));
        all(QPalette::Highlight, QColor(48, 140, 198));
        all(QPalette::HighlightedText, Qt::white);
        all(QPalette::ToolTipBase, QColor(255, 255, 220));
        all(QPalette::ToolTipText, Qt::black);
        all(QPalette::Link, QColor(0, 0, 255));
        all(QPalette::LinkVisited, QColor(255, 0, 255));
        all(QPalette::PlaceholderText, QColor(0, 0, 0, 128));
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(QPalette::Disabled, role, QColor(190, 190, 190));
        p.setColor(QPalette::Disabled, QPalette::Base, QColor(239, 239, 239));
        p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
        return p;
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
