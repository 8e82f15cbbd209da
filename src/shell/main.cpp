#include <QApplication>
#include <QIcon>

#include "platform/qt_platform.h"
#include "platform/unhandled_error.h"
#include "shell/program_record.h"
#include "window/frmTip.h"

// The window is the whole program: it loads, and the run lasts as long as it stays open.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QIcon icon;
    for (const char* image : farlous::kProgramIconImages) icon.addFile(image);
    QApplication::setWindowIcon(icon);
    farlous::QtPlatform platform(farlous::kProgramTitle);
    farlous::frmTip window(platform);
    try {
        window.Form_Load();
    } catch (...) {
        platform.ReportUnhandledError(farlous::DescribeUnhandledError(std::current_exception()));
        return farlous::kUnhandledErrorExitStatus;
    }
    if (!window.IsLoaded()) return 0;
    window.show();
    return QApplication::exec();
}
