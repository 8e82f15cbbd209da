#include "shell/start_decision.h"

#include <exception>

#include "platform/unhandled_error.h"

namespace farlous {

StartDecision DecideStart(Platform& platform) {
    try {
        const std::string showAtStartup =
            platform.GetSetting(platform.ExeName(), "Options", "Show Tips at Startup", "1");
        return {platform.TextToNumber(showAtStartup) != 0, {}};
    } catch (...) {
        return {false, DescribeUnhandledError(std::current_exception())};
    }
}

}  // namespace farlous
