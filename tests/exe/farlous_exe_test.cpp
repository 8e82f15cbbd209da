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
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

// Last: Xlib's macros (Bool, Status, CursorShape...) break the Qt headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

constexpr int kHangMs = 20000;
using namespace std::string_literals;
const char* const kCaption = "Glimbo http://www.glimbo.example";
const QByteArray kJoke =
    "Pourquoi les plongeurs plongent-ils toujours en arrière ? Parce que sinon, ils tombent "
    "dans le bateau.";

// The program's runs, each with the jokes file a case makes and the window it answers (none, the
// tip window with Escape, a message box with Enter); the error it must print after "Zinoquet : ",
// %1 standing for the jokes file.
const struct {
    const char *name, *exeName, *setting, *jokes, *title;
    int exitCode;
    const char* error;
} kRuns[] = {{"tips off, renamed", "Autre", "0", "joke", "", 0, ""},
             {"not a number", "FARLOUS", "abc", "joke", "Zinoquet", 1,
              "Type incompatible : « abc » n'est pas un nombre."},
             {"FIFO", "FARLOUS", "1", "fifo", kCaption, 0, ""},
             {"folder", "FARLOUS", "1", "folder", kCaption, 0, ""},
             {"unreadable", "FARLOUS", "1", "unreadable", "Zinoquet", 1,
              "Permission refusée : impossible de lire le fichier %1"},
             {"larger than memory", "FARLOUS", "1", "huge", "Zinoquet", 1,
              "Mémoire insuffisante pour lire le fichier %1"}};

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
bool WriteJoke(const QString& path) { return Write(path, kJoke); }

// Names, sizes and times of a whole tree, the top folder's time included, so that a file that
// was written then removed again still shows.
QStringList Listing(const QString& folder) {
    QStringList lines{"." + QFileInfo(folder).lastModified().toString(Qt::ISODateWithMs)};
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        lines << info.filePath() + ' ' + QString::number(info.size()) + ' ' +
                     info.lastModified().toString(Qt::ISODateWithMs);
    }
    lines.sort();
    return lines;
}

// What a run is allowed: a small address space, so that no file can take the machine's memory,
// and, even as root, no reading of files that deny it.
void LikeAnyUser() {
    const rlimit limit{rlim_t{2} << 30, rlim_t{2} << 30};
    setrlimit(RLIMIT_AS, &limit);
    prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
}

// One run in a world of its own (program, settings and runtime folders), watched from outside.
// Without a window manager every top-level window is a child of the root, so mapping one is seen
// through X; Qt creates hidden helper windows even in runs that show nothing: only mapping counts.
// Opens in the program folder are seen through inotify, which queues them as they happen: after
// the run, reading what is there without waiting is complete.
class Run {
public:
    struct Mapped {
        Window id;
        QByteArray name;  // _NET_WM_NAME
        QRect geometry;
    };
    QTemporaryDir program, config, runtime;
    QString jokes = program.filePath("FARLOUS.TXT");
    QProcess process;

    Run() : display_(XOpenDisplay(nullptr)), inotify_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    }
    ~Run() {
        XCloseDisplay(display_);
        close(inotify_);
    }

    // `settings`, if any, is written for a program named `exeName`; `prepare` makes FARLOUS.TXT.
    bool start(const QString& exeName, const QByteArray& settings,
               const std::function<bool(const QString&)>& prepare) {
        const QString exe = program.filePath(exeName);
        if (!QFile::copy(FARLOUS_EXE, exe) || !prepare(jokes) ||
            !(settings.isEmpty() || Write(config.filePath(exeName + ".conf"), settings))) {
            return false;
        }
        before_ = Listing(program.path()) + Listing(config.path());
        inotify_add_watch(inotify_, QFile::encodeName(program.path()).constData(),
                          IN_OPEN | IN_ACCESS);
        XSync(display_, True);  // what was mapped before is not this run's
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        // A settings folder that is not there, unless settings were written.
        env.insert("XDG_CONFIG_HOME",
                   settings.isEmpty() ? config.filePath("absent") : config.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());  // mkdtemp made it 0700, as Qt wants
        process.setProcessEnvironment(env);
        process.setChildProcessModifier(LikeAnyUser);
        process.start(exe, {});
        return process.waitForStarted(kHangMs);
    }
    // The exit code of a normal end, or -1.
    int end() {
        const bool ended =
            process.waitForFinished(kHangMs) && process.exitStatus() == QProcess::NormalExit;
        return ended ? process.exitCode() : -1;
    }
    bool unchanged() const {
        return Listing(program.path()) + Listing(config.path()) == before_ &&
               !QFileInfo::exists(config.filePath("absent"));
    }
    bool opened(const char* name) {
        alignas(inotify_event) char buffer[4096];
        for (ssize_t size; (size = read(inotify_, buffer, sizeof buffer)) > 0;) {
            for (char* p = buffer; p < buffer + size;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len) opened_ << QFile::decodeName(event->name);
                p += sizeof(inotify_event) + event->len;
            }
        }
        return opened_.contains(name);
    }

    // The next top-level window mapped, or nothing once the timeout has passed.
    std::optional<Mapped> nextMapped() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangMs);
        const std::size_t before = mapped_.size();
        while (mapped_.size() == before && std::chrono::steady_clock::now() < deadline) {
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, 50);
            readPending();
        }
        return mapped_.size() > before ? std::optional(mapped_[before]) : std::nullopt;
    }
    // Everything mapped so far, once the server has sent all it owes us.
    std::size_t mappedCount() {
        XSync(display_, False);
        readPending();
        return mapped_.size();
    }
    void pressKey(Window window, KeySym key) {
        XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
        const KeyCode code = XKeysymToKeycode(display_, key);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XSync(display_, False);
    }
    QImage grab(const QRect& area) {
        XImage* shot = XGetImage(display_, DefaultRootWindow(display_), area.x(), area.y(),
                                 area.width(), area.height(), AllPlanes, ZPixmap);
        if (!shot) return {};
        QImage image(area.size(), QImage::Format_RGB32);
        for (int y = 0; y < area.height(); ++y) {
            for (int x = 0; x < area.width(); ++x)
                image.setPixel(x, y, QRgb(XGetPixel(shot, x, y)) | 0xff000000u);
        }
        XDestroyImage(shot);
        return image;
    }

private:
    void readPending() {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type != MapNotify || event.xmap.event != DefaultRootWindow(display_))
                continue;
            const Window id = event.xmap.window;
            XWindowAttributes attributes{};
            XGetWindowAttributes(display_, id, &attributes);
            int x = 0, y = 0;
            Window child;
            XTranslateCoordinates(display_, id, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
            mapped_.push_back({id, name(id), {x, y, attributes.width, attributes.height}});
        }
    }
    QByteArray name(Window window) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, window, XInternAtom(display_, "_NET_WM_NAME", False), 0,
                               1024, False, AnyPropertyType, &type, &format, &count, &after,
                               &data) != Success ||
            !data) {
            return {};
        }
        QByteArray value(reinterpret_cast<const char*>(data), format == 8 ? int(count) : 0);
        XFree(data);
        return value;
    }

    Display* display_;
    int inotify_;
    std::vector<Mapped> mapped_;
    QStringList before_, opened_;
};

}  // namespace

class FarlousExeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        Display* display = XOpenDisplay(nullptr);
        if (!display) QSKIP("no X server: run under xvfb-run");
        XCloseDisplay(display);
        // A window that vanished before we looked at it must fail the case, not abort the test.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }

    void run_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kRuns)); ++row) QTest::newRow(kRuns[row].name) << row;
    }

    // Whatever the jokes file is, the run ends cleanly, opens no FARLOUS.TXT that is no file, and
    // writes nothing.
    void run() {
        QFETCH(int, row);
        const auto& [name, exeName, setting, jokes, title, exitCode, error] = kRuns[row];
        Run run;
        const auto prepare = [&](const QString& path) {
            if (jokes == "fifo"s) return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
            if (jokes == "folder"s) return QDir().mkdir(path);
            if (!WriteJoke(path)) return false;
            if (jokes == "huge"s) return QFile::resize(path, qint64{1} << 40);  // sparse: no disk
            return jokes != "unreadable"s || QFile::setPermissions(path, {});
        };
        QVERIFY(run.start(exeName, "[Options]\nShow Tips at Startup=" + QByteArray(setting) + "\n",
                          prepare));
        if (*title) {
            const auto window = run.nextMapped();
            QVERIFY2(window, "no window");
            QCOMPARE(window->name, QByteArray(title));
            run.pressKey(window->id, title == "Zinoquet"s ? XK_Return : XK_Escape);
        }
        QCOMPARE(run.end(), exitCode);
        QCOMPARE(run.mappedCount(), std::size_t(*title ? 1 : 0));
        if (jokes != "unreadable"s && jokes != "huge"s) QVERIFY(!run.opened("FARLOUS.TXT"));
        if (*error) {
            const QStringList errors =
                QString::fromUtf8(run.process.readAllStandardError()).split('\n');
            QVERIFY2(errors.contains("Zinoquet : " + QString(error).replace("%1", run.jokes)),
                     qPrintable(errors.join('\n')));
        }
        QVERIFY(run.unchanged());
    }

    // The window as the screen shows it, pixel by pixel; only what does not depend on the fonts.
    // What was seen is kept as farlous.png. Escape then ends the run.
    void windowLooksAsDesigned() {
        const QRect clientArea(201, 483, 624, 189),
            logoBox(264, 8, 353, 145);  // the rest inside the client area
        const QRect buttons[] = {{264, 160, 105, 25}, {384, 160, 113, 25}, {512, 160, 105, 25}};
        // Nothing but the face colour: the margins and gaps of the design, and below the logo.
        const QRect faceOnly[] = {{0, 0, 624, 8},     {257, 0, 7, 189},   {617, 0, 7, 189},
                                  {257, 153, 367, 7}, {257, 185, 367, 4}, {369, 160, 15, 25},
                                  {497, 160, 15, 25}, {265, 149, 351, 3}};
        // Nothing but white: the panel's inside around its two labels.
        const QRect whiteOnly[] = {
            {1, 9, 255, 8}, {1, 9, 8, 179}, {250, 9, 6, 179}, {1, 182, 255, 6}};
        const QImage logo =
            QImage(FARLOUS_LOGO).copy(0, 0, 351, 140).convertToFormat(QImage::Format_RGB32);

        Run run;
        QVERIFY(run.start("FARLOUS", {}, WriteJoke));
        const auto window = run.nextMapped();
        QVERIFY2(window, "no window");
        QCOMPARE(window->name, QByteArray(kCaption));
        QCOMPARE(window->geometry, clientArea);
        // The program paints after mapping: wait for the logo, the last thing it needs.
        QImage client;
        for (int tries = 0; tries < kHangMs / 50; ++tries) {
            client = run.grab(clientArea);
            if (client.copy(logoBox.x() + 1, logoBox.y() + 1, 351, 140) == logo) break;
            QTest::qSleep(50);
        }
        QVERIFY(client.save("farlous.png"));
        qInfo("screen seen: %s", qPrintable(QDir::current().filePath("farlous.png")));

        QCOMPARE(client.copy(logoBox.x() + 1, logoBox.y() + 1, 351, 140), logo);
        QString stray;  // the first pixel of each area that is not as designed
        const auto expect = [&](const QRect& rect, const QColor& colour, bool is) {
            for (int y = rect.top(); y <= rect.bottom(); ++y) {
                for (int x = rect.left(); x <= rect.right(); ++x) {
                    if ((client.pixelColor(x, y) == colour) != is)
                        return void(stray += QString(" (%1, %2)").arg(x).arg(y));
                }
            }
        };
        const QColor face = client.pixelColor(clientArea.width() - 1, clientArea.height() - 1);
        for (const QRect& rect : faceOnly) expect(rect, face, true);
        for (const QRect& rect : whiteOnly) expect(rect, Qt::white, true);
        // The boxes' frames are sunken: dark top and left lines.
        for (const QRect& box : {QRect(0, 8, 257, 181), logoBox}) {
            const QColor shadow = client.pixelColor(box.topLeft());
            QVERIFY(shadow != face && shadow != QColor(Qt::white));
            expect({box.left(), box.top(), box.width() - 1, 1}, shadow, true);
            expect({box.left(), box.top(), 1, box.height() - 1}, shadow, true);
        }
        // Each button's frame fills its rectangle to the edges.
        for (const QRect& b : buttons) {
            const QPoint m = b.center();
            for (const QPoint edge : {QPoint(b.left(), m.y()), QPoint(b.right(), m.y()),
                                      QPoint(m.x(), b.top()), QPoint(m.x(), b.bottom())}) {
                expect({edge, QSize(1, 1)}, face, false);
            }
        }
        QVERIFY2(stray.isEmpty(), qPrintable(stray));
        run.pressKey(window->id, XK_Escape);
        QCOMPARE(run.end(), 0);
        QCOMPARE(run.mappedCount(), std::size_t(1));
        QVERIFY(run.opened("FARLOUS.TXT"));  // proves the watcher sees opens
        QVERIFY(run.unchanged());            // and no settings folder made
    }
};

QTEST_GUILESS_MAIN(FarlousExeTest)
#include "farlous_exe_test.moc"
