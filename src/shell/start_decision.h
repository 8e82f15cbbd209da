#pragma once

#include <string>

#include "platform/platform.h"

namespace farlous {

// What the setting "Show Tips at Startup" makes of a start, read before anything else happens and
// before anything needs the display: with 0 the run ends at once, display or not.
struct StartDecision {
    bool showWindow = true;
    std::string error;  // the French report of a setting that cannot be read or converted
};

// Reads the setting the window's load reads, through the same platform, which keeps what it read
// so that both act on the same text.
StartDecision DecideStart(Platform& platform);

}  // namespace farlous
