#include <exception>

#include "platform/errors.h"
#include "platform/platform.h"
#include "window/frmTip.h"
#include "window/tip_window.h"

// The window is the whole program: it loads, and the run lasts as long as it stays loaded. The
// setting is read, the clock seeds the draws and the jokes are read before anything needs a
// display, so that a run told not to show ends at once, display or not.
int main() {
    const auto platform = farlous::SystemPlatform();
    farlous::frmTip form(*platform);
    try {
        form.Form_Load();
        if (!form.IsLoaded()) return form.ExitStatus();
        return farlous::RunWindow(form);
    } catch (...) {
        platform->ReportUnhandledError(farlous::DescribeUnhandledError(std::current_exception()));
        return farlous::kUnhandledErrorExitStatus;
    }
}
