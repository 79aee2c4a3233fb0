#pragma once

#include "shell/Settings.h"

namespace tarmelo::shell {

// The remembered options the work-area reset returns to their defaults: log-in, renaming options and the tips.
// Upload option, automatic numbers, recent files, the last update and the geometry keys stay.
void resetRememberedOptions(Settings& settings);

} // namespace tarmelo::shell
