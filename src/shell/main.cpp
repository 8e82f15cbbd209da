#include <QApplication>
#include <QIcon>

#include "platform/qt_platform.h"
#include "shell/load_window.h"
#include "shell/program_record.h"
#include "window/qt/tip_window.h"

// The window is the whole program: it loads, and the run lasts as long as it stays open.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QIcon icon;
    for (const char* image : farlous::kProgramIconImages) icon.addFile(image);
    QApplication::setWindowIcon(icon);
    farlous::QtPlatform platform(farlous::kProgramTitle);
    farlous::QtTipWindow window(platform);
    if (const auto exitStatus = farlous::LoadWindow(window.Form(), platform)) return *exitStatus;
    window.show();
    return QApplication::exec();
}
