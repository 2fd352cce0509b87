#pragma once
// The one "Save…" flow of every window (results, isotherms, sweep): ask for
// the file, write it whole or not at all, and say why in a "Save ERROR" box
// when it cannot be written.
//
// Where the dialog starts: the folder of the last file any window saved in
// this run; before the first save, the user's Documents folder (the home
// folder when there is none).

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>

#include "chart/chart.h"

class QWidget;

namespace zolvant::ui {

// The folder the next Save dialog starts in.
QString saveFolder();

// Asks where to save (starting at saveFolder() with `suggestedName`), then
// writes what `bytes` gives. On failure the box says "The <what> could not
// be saved to <path>" and the reason. Returns the path written, or "" when
// cancelled or nothing was written.
QString saveBytesAs(QWidget* parent, const QString& suggestedName, const QString& filter, const QString& what,
                    const std::function<QByteArray()>& bytes);

// The same for a chart: PNG or SVG by the name's ending (a name without
// either gets ".png"), drawn at `size` times `scale`.
QString saveChartAs(QWidget* parent, const plot::Chart& chart, QSize size, double scale, const QString& suggestedName);

}  // namespace zolvant::ui
