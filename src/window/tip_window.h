#pragma once

#include "window/frmTip.h"

namespace farlous {

// Shows the window `form` as designed, with the toolkit of the system, and routes its events to
// `form` until it is unloaded: the run's exit status.
int RunWindow(frmTip& form);

}  // namespace farlous
