#pragma once

#include <optional>

#include "platform/platform.h"
#include "window/frmTip.h"

namespace farlous {

// Loads the window as the run's start: the exit status when the run ends there (the window
// unloaded itself, or an error was reported), nothing when the window is to be shown.
std::optional<int> LoadWindow(frmTip& form, Platform& platform);

}  // namespace farlous
