#pragma once
// Finds the open component editor's controls by name and reads what it
// shows. Shared by the editor's test programs.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <array>

#include "ui/editor/editor_window.h"
#include "ui/editor/frmCritConst2.h"

// The nine boxes, in field order.
inline constexpr std::array<const char*, 9> kBoxes = {"txtCompound", "txtMW",  "txtTcrit", "txtPcrit", "txtVcrit",
                                                      "txtAcent",    "txtK1",  "txtK2",    "TxtK3"};

class EditorDriver {
protected:
    static zolvant::ui::frmCritConst2* editor() { return zolvant::ui::currentComponentEditor(); }

    template <typename T>
    static T* child(const char* name) {
        T* w = editor() ? editor()->findChild<T*>(QString::fromLatin1(name)) : nullptr;
        if (!w) qFatal("no control %s", name);
        return w;
    }
    static QLineEdit* box(const char* name) { return child<QLineEdit>(name); }
    static QPushButton* button(const char* name) { return child<QPushButton>(name); }
    static QString status() { return child<QLabel>("lblStatus")->text(); }

    // The texts of the nine boxes, in field order.
    static QStringList shown() {
        QStringList r;
        for (const char* b : kBoxes) r << box(b)->text();
        return r;
    }
};
