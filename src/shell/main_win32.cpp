#include <windows.h>

#include <exception>

#include "platform/unhandled_error.h"
#include "platform/win32_platform.h"
#include "shell/load_window.h"
#include "shell/program_record.h"
#include "window/win32/win32_tip_window.h"

// The window is the whole program: it loads, and the run lasts as long as it stays open.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    farlous::Win32Platform platform(farlous::kProgramTitle);
    try {
        farlous::Win32TipWindow window(platform, instance);
        platform.SetMessageOwner(window.Handle());
        if (const auto exitStatus = farlous::LoadWindow(window.Form(), platform)) {
            return *exitStatus;
        }
        window.Show(showCommand);
        return window.RunMessageLoop();
    } catch (...) {
        // The window could not be made (the system out of handles, say).
        platform.ReportUnhandledError(farlous::DescribeUnhandledError(std::current_exception()));
        return farlous::kUnhandledErrorExitStatus;
    }
}
