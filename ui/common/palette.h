#pragma once
// The windows whose looks are fixed (the main form over its picture, the
// editor, the help and figure windows) keep the light palette they were
// designed with, whatever the desktop theme: under a dark theme their texts
// would otherwise turn light on their own light backgrounds. Message boxes,
// dialogs, menus and the menu bar follow the desktop theme.

class QPalette;

namespace zolvant::ui {

// The light palette the windows were designed with.
const QPalette& designedPalette();

// From now on each of those windows takes the designed palette for every
// colour it does not set itself, at its first event: before its constructor
// reads a colour or makes its controls. Idempotent.
void keepDesignedLooks();

}  // namespace zolvant::ui
