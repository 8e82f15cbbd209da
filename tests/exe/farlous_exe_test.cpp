// The built program end to end: each run gets its own copy of the executable, its own settings
// folder and the private X server of the test, and is watched from outside through X and inotify.
#include <linux/capability.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

// Last: Xlib's macros (Bool, Status, CursorShape...) break the Qt headers.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

constexpr int kHangMs = 20000;
const QByteArray kCaption = "Glimbo http://www.glimbo.example";
const QByteArray kErrorTitle = "Zinoquet";

// A window that vanished before we looked at it must fail the case, not abort the whole test.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

struct MappedWindow {
    Window id;
    QByteArray netName;  // _NET_WM_NAME
    QByteArray wmName;   // WM_NAME
    QSize size;
};

// Without a window manager every top-level window is a child of the root, so mapping one is seen
// here. Qt creates hidden helper windows even in runs that show nothing: only mapping counts.
class WindowWatcher {
public:
    // The display was checked once for the whole test.
    WindowWatcher() : display_(XOpenDisplay(nullptr)) {
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
        XSync(display_, False);
    }
    ~WindowWatcher() { XCloseDisplay(display_); }
    WindowWatcher(const WindowWatcher&) = delete;
    WindowWatcher& operator=(const WindowWatcher&) = delete;

    // The next top-level window mapped, or nothing once the timeout has passed.
    std::optional<MappedWindow> nextMapped(int timeoutMs) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        const std::size_t before = mapped_.size();
        while (true) {
            readPending();
            if (mapped_.size() > before) return mapped_[before];
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return std::nullopt;
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, int(left.count()));
        }
    }

    // Everything mapped so far, once the server has sent all it owes us.
    const std::vector<MappedWindow>& allMapped() {
        XSync(display_, False);
        readPending();
        return mapped_;
    }

    void pressKey(Window window, KeySym key) {
        XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
        const KeyCode code = XKeysymToKeycode(display_, key);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XSync(display_, False);
    }

private:
    void readPending() {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(display_)) {
                const Window id = event.xmap.window;
                XWindowAttributes attributes{};
                XGetWindowAttributes(display_, id, &attributes);
                mapped_.push_back({id, property(id, "_NET_WM_NAME"), property(id, "WM_NAME"),
                                   QSize(attributes.width, attributes.height)});
            }
        }
    }

    QByteArray property(Window window, const char* name) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        const Atom atom = XInternAtom(display_, name, False);
        if (XGetWindowProperty(display_, window, atom, 0, 1024, False, AnyPropertyType, &type,
                               &format, &count, &after, &data) != Success ||
            !data) {
            return {};
        }
        QByteArray value(reinterpret_cast<const char*>(data), format == 8 ? int(count) : 0);
        XFree(data);
        return value;
    }

    Display* display_;
    std::vector<MappedWindow> mapped_;
};

// Names of the entries of a folder that were opened or read while watching ("" for the folder).
class OpenWatcher {
public:
    explicit OpenWatcher(const QString& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN | IN_ACCESS);
    }
    ~OpenWatcher() { close(fd_); }
    OpenWatcher(const OpenWatcher&) = delete;
    OpenWatcher& operator=(const OpenWatcher&) = delete;

    // The kernel queues events as the files are opened: after the run, reading what is there
    // without waiting is complete.
    QStringList touched() {
        alignas(inotify_event) char buffer[4096];
        ssize_t size;
        while ((size = read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + size;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                const QString name = QFile::decodeName(event->len ? event->name : "");
                if (!touched_.contains(name)) touched_ << name;
                p += sizeof(inotify_event) + event->len;
            }
        }
        return touched_;
    }

private:
    int fd_;
    QStringList touched_;
};

// Names, sizes and times of a whole tree, the top folder's time included, so that a file that
// was written then removed again still shows.
QStringList Listing(const QString& folder) {
    QStringList lines{"." + QFileInfo(folder).lastModified().toString(Qt::ISODateWithMs)};
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        lines << QDir(folder).relativeFilePath(info.filePath()) + ' ' +
                     QString::number(info.size()) + ' ' +
                     info.lastModified().toString(Qt::ISODateWithMs);
    }
    lines.sort();
    return lines;
}

// One run's world: the program folder, the settings folder and the runtime folder.
class Sandbox {
public:
    explicit Sandbox(const QString& exeName = "FARLOUS", bool configHomeExists = true)
        : exe_(program_.filePath(exeName)),
          configHome_(configHomeExists ? config_.path() : config_.filePath("absent")) {}

    [[nodiscard]] bool install() const { return QFile::copy(FARLOUS_EXE, exe_); }
    [[nodiscard]] bool addSampleJokes() const {
        return QFile::copy(FARLOUS_SAMPLE_JOKES, program_.filePath("FARLOUS.TXT"));
    }
    [[nodiscard]] bool writeSettings(const QString& fileName, const QByteArray& text) const {
        QFile file(QDir(configHome_).filePath(fileName));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    }

    QString programFolder() const { return program_.path(); }
    QString configHome() const { return configHome_; }
    QStringList listing() const { return Listing(program_.path()) + Listing(config_.path()); }

    QString jokesFile() const { return program_.filePath("FARLOUS.TXT"); }

    // `inChild` runs in the program's process just before it starts.
    [[nodiscard]] bool start(QProcess& process, const std::function<void()>& inChild = {}) const {
        if (inChild) process.setChildProcessModifier(inChild);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", configHome_);
        // mkdtemp made it 0700, the only mode Qt accepts without making its own.
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        process.setProcessEnvironment(env);
        process.start(exe_, {});
        return process.waitForStarted(kHangMs);
    }

private:
    QTemporaryDir program_, config_, runtime_;
    QString exe_, configHome_;
};

// What a run that reads the jokes file is allowed: a small address space, so that no file can
// take the machine's memory, and, even as root, no reading of files that deny it.
void LikeAnyUser() {
    constexpr rlim_t kAddressSpace = rlim_t{2} << 30;
    const rlimit limit{kAddressSpace, kAddressSpace};
    setrlimit(RLIMIT_AS, &limit);
    prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
}

bool Ended(QProcess& process) {
    return process.waitForFinished(kHangMs) && process.exitStatus() == QProcess::NormalExit;
}

}  // namespace

class FarlousExeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        Display* display = XOpenDisplay(nullptr);
        if (!display) QSKIP("no X server: run under xvfb-run");
        int event, error, major, minor;
        const bool xtest = XTestQueryExtension(display, &event, &error, &major, &minor);
        XCloseDisplay(display);
        QVERIFY2(xtest, "the X server lacks the XTEST extension");
        XSetErrorHandler(IgnoreXError);
    }

    void showTipsOff_data() {
        QTest::addColumn<QString>("exeName");
        QTest::addColumn<QByteArray>("settings");
        QTest::newRow("as written by hand") << "FARLOUS" << QByteArray("Show Tips at Startup=0\n");
        QTest::newRow("as Qt escapes it")
            << "FARLOUS" << QByteArray("Show%20Tips%20at%20Startup=0\n");
        QTest::newRow("renamed program") << "Autre" << QByteArray("Show Tips at Startup=0\n");
    }

    // Turned off, the program must end before doing anything visible or reading the jokes.
    void showTipsOff() {
        QFETCH(QString, exeName);
        QFETCH(QByteArray, settings);
        Sandbox box(exeName);
        QVERIFY(box.install() && box.addSampleJokes());
        QVERIFY(box.writeSettings(exeName + ".conf", "[Options]\n" + settings));
        const QStringList before = box.listing();
        WindowWatcher windows;
        OpenWatcher opened(box.programFolder());

        QProcess process;
        QVERIFY2(box.start(process), qPrintable(process.errorString()));
        QVERIFY2(Ended(process), "the program did not end normally");
        QCOMPARE(process.exitCode(), 0);

        QVERIFY(windows.allMapped().empty());
        QVERIFY2(!opened.touched().contains("FARLOUS.TXT"), "the jokes file was opened");
        QCOMPARE(box.listing(), before);
    }

    void settingNotANumber() {
        Sandbox box;
        QVERIFY(box.install() && box.addSampleJokes());
        QVERIFY(box.writeSettings("FARLOUS.conf", "[Options]\nShow Tips at Startup=abc\n"));
        const QStringList before = box.listing();
        WindowWatcher windows;

        QProcess process;
        QVERIFY2(box.start(process), qPrintable(process.errorString()));
        const auto message = windows.nextMapped(kHangMs);
        QVERIFY2(message, "no message box");
        QCOMPARE(message->netName, kErrorTitle);
        windows.pressKey(message->id, XK_Return);
        QVERIFY2(Ended(process), "the program did not end normally");
        QCOMPARE(process.exitCode(), 1);

        const QStringList errors = QString::fromUtf8(process.readAllStandardError()).split('\n');
        QVERIFY2(errors.contains("Zinoquet : Type incompatible : « abc » n'est pas un nombre."),
                 qPrintable(errors.join('\n')));
        QCOMPARE(windows.allMapped().size(), std::size_t(1));
        QCOMPARE(box.listing(), before);
    }

    void tipWindow_data() {
        QTest::addColumn<bool>("jokes");
        QTest::addColumn<bool>("configHomeExists");
        QTest::addColumn<int>("key");
        QTest::newRow("sample jokes, Escape") << true << true << int(XK_Escape);
        QTest::newRow("sample jokes, Enter on OK") << true << true << int(XK_Return);
        QTest::newRow("no jokes file") << false << true << int(XK_Escape);
        QTest::newRow("no settings folder") << true << false << int(XK_Escape);
    }

    // With no setting the window shows, and closing it ends the run successfully.
    void tipWindow() {
        QFETCH(bool, jokes);
        QFETCH(bool, configHomeExists);
        QFETCH(int, key);
        Sandbox box("FARLOUS", configHomeExists);
        QVERIFY(box.install() && (!jokes || box.addSampleJokes()));
        const QStringList before = box.listing();
        WindowWatcher windows;
        OpenWatcher opened(box.programFolder());

        QProcess process;
        QVERIFY2(box.start(process), qPrintable(process.errorString()));
        const auto window = windows.nextMapped(kHangMs);
        QVERIFY2(window, "no window");
        QCOMPARE(window->netName, kCaption);
        QCOMPARE(window->wmName, kCaption);
        QCOMPARE(window->size, QSize(624, 189));
        windows.pressKey(window->id, KeySym(key));
        QVERIFY2(Ended(process), "the program did not end normally");
        QCOMPARE(process.exitCode(), 0);

        QCOMPARE(windows.allMapped().size(), std::size_t(1));
        // Also proves the watcher sees opens, which the run with the tips off relies on.
        QCOMPARE(opened.touched().contains("FARLOUS.TXT"), jokes);
        QCOMPARE(box.listing(), before);
        QCOMPARE(QFileInfo::exists(box.configHome()), configHomeExists);
    }

    // Starts the program as any user, answers its first window with `key` once it shows with
    // `caption`, and checks that the run then ended with `exitCode`.
    static void RunAnswering(const Sandbox& box, QProcess& process, WindowWatcher& windows,
                             const QByteArray& caption, KeySym key, int exitCode) {
        QVERIFY2(box.start(process, LikeAnyUser), qPrintable(process.errorString()));
        const auto window = windows.nextMapped(kHangMs);
        QVERIFY2(window, "no window");
        QCOMPARE(window->netName, caption);
        windows.pressKey(window->id, key);
        QVERIFY2(Ended(process), "the program did not end normally");
        QCOMPARE(process.exitCode(), exitCode);
    }

    void jokesFileThatIsNoFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("folder") << "folder";
        QTest::newRow("dangling link") << "dangling";
        QTest::newRow("link loop") << "loop";
    }

    // Something named like the jokes file that is no file counts as no file: the window explains
    // where to get one, and nothing waits on a FIFO.
    void jokesFileThatIsNoFile() {
        QFETCH(QString, kind);
        Sandbox box;
        QVERIFY(box.install());
        const QByteArray path = QFile::encodeName(box.jokesFile());
        if (kind == "fifo") QCOMPARE(mkfifo(path.constData(), 0600), 0);
        if (kind == "folder") QVERIFY(QDir().mkdir(box.jokesFile()));
        if (kind == "dangling") QCOMPARE(symlink("absent.txt", path.constData()), 0);
        if (kind == "loop") QCOMPARE(symlink("FARLOUS.TXT", path.constData()), 0);
        const QStringList before = box.listing();
        WindowWatcher windows;
        OpenWatcher opened(box.programFolder());

        QProcess process;
        RunAnswering(box, process, windows, kCaption, XK_Escape, 0);
        if (QTest::currentTestFailed()) return;

        QVERIFY2(!opened.touched().contains("FARLOUS.TXT"), "the jokes file was opened");
        QCOMPARE(box.listing(), before);
    }

    void jokesFileThatCannotBeLoaded_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error");
        QTest::newRow("no read permission")
            << "unreadable"
            << "Permission refusée : impossible de lire le fichier ";
        QTest::newRow("larger than the free memory")
            << "huge"
            << "Mémoire insuffisante pour lire le fichier ";
        QTest::newRow("larger than the address space")
            << "large"
            << "Mémoire insuffisante pour lire le fichier ";
    }

    // A jokes file that is there but cannot be loaded ends the run with a report naming it.
    void jokesFileThatCannotBeLoaded() {
        QFETCH(QString, kind);
        QFETCH(QString, error);
        Sandbox box;
        QVERIFY(box.install() && box.addSampleJokes());
        if (kind == "unreadable") {
            QVERIFY(QFile::setPermissions(box.jokesFile(), QFileDevice::Permissions()));
        } else {
            // Sparse: the disk holds none of it.
            const qint64 size = kind == "huge" ? qint64{1} << 40 : qint64{4} << 30;
            QVERIFY(QFile::resize(box.jokesFile(), size));
        }
        const QStringList before = box.listing();
        WindowWatcher windows;

        QProcess process;
        RunAnswering(box, process, windows, kErrorTitle, XK_Return, 1);
        if (QTest::currentTestFailed()) return;

        const QStringList errors = QString::fromUtf8(process.readAllStandardError()).split('\n');
        QVERIFY2(errors.contains("Zinoquet : " + error + box.jokesFile()),
                 qPrintable(errors.join('\n')));
        QCOMPARE(windows.allMapped().size(), std::size_t(1));
        QCOMPARE(box.listing(), before);
    }
};

QTEST_GUILESS_MAIN(FarlousExeTest)
#include "farlous_exe_test.moc"
