#include "shell/load_window.h"

#include <exception>

#include "platform/unhandled_error.h"

namespace farlous {

std::optional<int> LoadWindow(frmTip& form, Platform& platform) {
    try {
        form.Form_Load();
    } catch (...) {
        platform.ReportUnhandledError(DescribeUnhandledError(std::current_exception()));
        return kUnhandledErrorExitStatus;
    }
    if (!form.IsLoaded()) return 0;
    return std::nullopt;
}

}  // namespace farlous
