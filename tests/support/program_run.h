#pragma once

// Runs of the built program, watched from outside on the X server the test runs against (see
// with_x_server.sh). Each run gets its own copy of the executable, its own folders (settings, home,
// runtime, temporary files) and an environment of its own: nothing of the test's (its Qt platform,
// a session bus) reaches the program. Every wait is bounded: a run that hangs fails, and is killed.
#include <linux/capability.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <functional>
#include <optional>

// Last: Xlib's macros (Bool, Status, CursorShape...) break the Qt headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace farlous::testing {

// Every wait for the program ends within this, so that a run that hangs fails in seconds.
inline constexpr std::chrono::seconds kWait{10};

// One connection for the whole test, or nullptr without a server: the server never loses its last
// client (it would reset under the next run's feet), and every run's windows are seen on it.
// Without a window manager, every top-level window is a child of the root.
inline Display* X() {
    static Display* const display = [] {
        Display* opened = XOpenDisplay(nullptr);
        if (opened) XSelectInput(opened, DefaultRootWindow(opened), SubstructureNotifyMask);
        // A window that vanished before we looked at it fails the case, not the whole test.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        return opened;
    }();
    return display;
}

inline std::string Name(Window window) {
    char* name = nullptr;
    XFetchName(X(), window, &name);
    const std::string text = name ? name : "";
    XFree(name);
    return text;
}

// What the screen shows, without the padding byte of X's pixels.
inline QImage Grab(const QRect& area) {
    XImage* shot = XGetImage(X(), DefaultRootWindow(X()), area.x(), area.y(), area.width(),
                             area.height(), AllPlanes, ZPixmap);
    if (!shot) return {};
    const QImage image = QImage(reinterpret_cast<const uchar*>(shot->data), shot->width,
                                shot->height, shot->bytes_per_line, QImage::Format_RGB32)
                             .convertToFormat(QImage::Format_RGB888);
    XDestroyImage(shot);
    return image;
}

inline bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Names, sizes and times of what a folder holds and of the folder itself, so that a file that
// was written then removed again still shows.
inline QStringList Listing(const QString& folder) {
    QStringList lines{QFileInfo(folder).lastModified().toString(Qt::ISODateWithMs)};
    for (const QFileInfo& info :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        lines << info.fileName() + ' ' + QString::number(info.size()) + ' ' +
                     info.lastModified().toString(Qt::ISODateWithMs);
    }
    return lines;
}

// What a run is allowed: a small address space, so that no file can take the machine's memory,
// and, even as root, no reading of files that deny it.
inline void LikeAnyUser() {
    const rlimit limit{rlim_t{2} << 30, rlim_t{2} << 30};
    setrlimit(RLIMIT_AS, &limit);
    prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
}

// Whether the tip window gets painted in time: its logo, drawn in the same pass as the rest,
// shows as the logo's file has it.
inline bool Painted(Window window) {
    static const QImage logo =
        QImage(FARLOUS_LOGO).copy(0, 0, 351, 140).convertToFormat(QImage::Format_RGB888);
    XWindowAttributes at{};
    XGetWindowAttributes(X(), window, &at);
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (Grab(QRect(at.x + 265, at.y + 9, 351, 140)) != logo) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QThread::msleep(50);
    }
    return true;
}

// One run in folders of its own. Qt creates hidden helper windows even in runs that show
// nothing: only mapping counts.
class ProgramRun {
public:
    QTemporaryDir program, config, runtime, home, tmp;
    QProcess process;
    // What the run gets, which `prepare` may change: the environment, the program's copy started
    // without arguments, and a last step in the child before the program replaces it.
    QProcessEnvironment env;
    QString command;
    QStringList arguments;
    std::function<void()> inChild;

    // `setting`, if any, is stored for a program named `exeName`; `prepare` fills the program's
    // folder.
    bool start(const QString& exeName, const char* setting,
               const std::function<bool(const QString& folder)>& prepare) {
        command = program.filePath(exeName);
        for (const char* name : {"DISPLAY", "XAUTHORITY"}) {
            if (qEnvironmentVariableIsSet(name)) env.insert(name, qEnvironmentVariable(name));
        }
        env.insert("HOME", home.path());
        env.insert("TMPDIR", tmp.path());
        // A settings folder that is not there, unless a setting was stored.
        env.insert("XDG_CONFIG_HOME", setting ? config.path() : config.filePath("absent"));
        env.insert("XDG_RUNTIME_DIR", runtime.path());  // mkdtemp made it 0700, as Qt wants
        if (!X() || !QFile::copy(FARLOUS_EXE, command) || !prepare(program.path()) ||
            (setting && !Write(config.filePath(exeName + ".conf"),
                               QByteArray("[Options]\nShow Tips at Startup=") + setting))) {
            return false;
        }
        before_ = Snapshot();
        // Every run starts alike: the pointer in a corner, the focus following it, and what was
        // mapped before is not this run's.
        XWarpPointer(X(), None, DefaultRootWindow(X()), 0, 0, 0, 0, 0, 0);
        XSetInputFocus(X(), PointerRoot, RevertToPointerRoot, CurrentTime);
        XSync(X(), True);
        process.setProcessEnvironment(env);
        process.setChildProcessModifier([this] {
            LikeAnyUser();
            if (inChild) inChild();
        });
        process.start(command, arguments);
        return process.waitForStarted(kWait.count() * 1000);
    }
    // The next top-level window mapped, if one comes within `wait`.
    std::optional<Window> nextWindow(std::chrono::milliseconds wait = kWait) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        XSync(X(), False);
        Window window;
        while (!TakeEvents(window)) {
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
            pollfd fd{ConnectionNumber(X()), POLLIN, 0};
            poll(&fd, 1, 50);
        }
        return window;
    }
    void pressKey(Window window, KeySym key) {
        XSetInputFocus(X(), window, RevertToPointerRoot, CurrentTime);
        XTestFakeKeyEvent(X(), XKeysymToKeycode(X(), key), True, CurrentTime);
        XTestFakeKeyEvent(X(), XKeysymToKeycode(X(), key), False, CurrentTime);
        XSync(X(), False);
    }
    // The exit code of a normal end, or -1: a window still up keeps the run from ending.
    int end() {
        const bool ended = process.waitForFinished(kWait.count() * 1000) &&
                           process.exitStatus() == QProcess::NormalExit;
        return ended ? process.exitCode() : -1;
    }
    // Nothing written in the run's folders, and no settings folder made where none was there.
    bool unchanged() const {
        return Snapshot() == before_ && !QFileInfo::exists(config.filePath("absent"));
    }

private:
    QStringList Snapshot() const {
        QStringList lines;
        for (const QTemporaryDir* folder : {&program, &config, &runtime, &home, &tmp})
            lines += Listing(folder->path());
        return lines;
    }
    // Reads the events at hand up to the next top-level window mapped, which goes in `window`.
    bool TakeEvents(Window& window) {
        while (XPending(X()) > 0) {
            XEvent event;
            XNextEvent(X(), &event);
            if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(X())) {
                window = event.xmap.window;
                return true;
            }
        }
        return false;
    }

    QStringList before_;
};

}  // namespace farlous::testing
