#pragma once
// The help texts (and, when they are part of the build, the figure bitmaps)
// live in static libraries, whose resources must be registered by hand.

#include <QString>

namespace zolvant::ui {

// Registers the resources once; every help window calls it before loading.
void initHelpResources();

// The text of a resource file read as UTF-8; empty when it is missing.
QString readHelpText(const QString& resourcePath);

}  // namespace zolvant::ui
