#include "platform/linux/toolkit.h"

#include <sys/resource.h>

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <cstdlib>
#include <iostream>

#include "platform/errors.h"
#include "platform/platform.h"

namespace farlous {

namespace {

// Qt's command line: the program's name alone, so that options such as -title or -geometry
// change nothing. Qt keeps pointers to it for the whole run.
char gName[] = "FARLOUS";
char* gArguments[] = {gName, nullptr};
int gArgumentCount = 1;
bool gReportNoDisplay = true;

// Ends a run that cannot show its window, with the French `report` on standard error unless the
// run is already reporting an error.
[[noreturn]] void EndRun(const std::string& report) {
    if (gReportNoDisplay) std::cerr << kProgramTitle << " : " << report << std::endl;
    std::_Exit(kUnhandledErrorExitStatus);
}

// Qt speaks English, which the user is not given. A display it cannot open is its fatal error; a
// broken X connection (the server gone, the window killed from outside) it ends the run for itself.
void OnToolkitMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg || text.startsWith("The X11 connection broke")) {
        EndRun(errors::NoDisplay());
    }
}

// Short of these limits, Qt and the libraries under it crash, or wait for ever on a thread they
// could not start, before they can tell: the limits are read before they start. The run needs
// about 110 MB of address space, 128 KiB of stack and 10 files; each limit leaves room to spare.
void CheckResourceLimits() {
    const auto below = [](auto resource, rlim_t needed) {
        rlimit limit{};
        return ::getrlimit(resource, &limit) == 0 && limit.rlim_cur < needed;
    };
    if (below(RLIMIT_AS, 256 << 20) || below(RLIMIT_STACK, 1 << 20)) EndRun(errors::OutOfMemory());
    if (below(RLIMIT_NOFILE, 64)) EndRun(errors::TooFewFiles());
}

}  // namespace

void StartToolkit(bool reportNoDisplay) {
    if (QCoreApplication::instance() != nullptr) return;
    gReportNoDisplay = reportNoDisplay;
    CheckResourceLimits();
    qInstallMessageHandler(OnToolkitMessage);
    new QApplication(gArgumentCount, gArguments);  // NOLINT: lives as long as the run
    // Platforms that show nothing leave a window no one sees, and a run that never ends.
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform.startsWith("minimal")) EndRun(errors::NoDisplay());
    QIcon icon;
    for (const char* image : {":/icon/farlous-16.png", ":/icon/farlous-32.png"}) {
        icon.addFile(image);
    }
    QApplication::setWindowIcon(icon);
}

void ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, kProgramTitle, QString::fromStdString(text),
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    // Some styles put a glyph on dialog buttons; the message shows no picture at all.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.exec();
}

}  // namespace farlous
