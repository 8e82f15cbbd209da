#include "shell/start_decision.h"

#include <exception>

#include "platform/unhandled_error.h"
#include "window/frmTip.h"

namespace farlous {

StartDecision DecideStart(Platform& platform) {
    try {
        return {ShowTipsAtStartup(platform), {}};
    } catch (...) {
        return {false, DescribeUnhandledError(std::current_exception())};
    }
}

}  // namespace farlous
