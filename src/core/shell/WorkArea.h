#pragma once

#include "shell/Settings.h"

#include <QList>
#include <QRect>

namespace tarmelo::shell {

// The remembered options the work-area reset returns to their defaults: log-in, renaming options and the tips.
// Upload option, automatic numbers, recent files, the last update and the geometry keys stay.
void resetRememberedOptions(Settings& settings);

// The window rectangle moved, and shrunk where it is larger, into the available area of the screen it overlaps most
// (the first screen when it overlaps none), so that a geometry from a larger or a removed screen never puts the
// window's menus out of reach. `frame` is the room the window manager's title bar and borders take around it.
QRect fitOntoScreens(QRect window, const QList<QRect>& available, QMargins frame = {});

} // namespace tarmelo::shell
