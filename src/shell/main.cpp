#include <QApplication>
#include <QIcon>

#include "platform/qt_platform.h"
#include "platform/session_services.h"
#include "platform/standard_streams.h"
#include "platform/unhandled_error.h"
#include "shell/load_window.h"
#include "shell/program_record.h"
#include "shell/start_decision.h"
#include "shell/toolkit_application.h"
#include "window/qt/tip_window.h"

// The window is the whole program: it loads, and the run lasts as long as it stays open.
int main(int argc, char* argv[]) {
#ifdef __linux__
    if (!farlous::OpenMissingStandardStreams()) return farlous::kUnhandledErrorExitStatus;
    farlous::KeepToolkitFromStartingSessionServices();
#endif
    farlous::QtPlatform platform(farlous::kProgramTitle);
    const farlous::StartDecision start = farlous::DecideStart(platform);
    if (!start.showWindow && start.error.empty()) return 0;
    const auto application =
        farlous::StartToolkit(argc > 0 ? argv[0] : nullptr, farlous::kProgramTitle, start.error);
    if (!start.error.empty()) {
        platform.ReportUnhandledError(start.error);
        return farlous::kUnhandledErrorExitStatus;
    }
    QIcon icon;
    for (const char* image : farlous::kProgramIconImages) icon.addFile(image);
    QApplication::setWindowIcon(icon);
    farlous::QtTipWindow window(platform);
    if (const auto exitStatus = farlous::LoadWindow(window.Form(), platform)) return *exitStatus;
    window.show();
    return QApplication::exec();
}
