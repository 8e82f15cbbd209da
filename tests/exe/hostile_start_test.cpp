// The built program started the ways a session, a user or bad luck start it. Every start ends in
// the tip window, a French error or a silent exit, and writes nothing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/fanotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QStringEncoder>
#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include "support/program_run.h"
#include "support/row_name.h"

// After the Qt headers, which Xlib's macros break.
#include <X11/keysym.h>

namespace farlous::testing {
namespace {

using namespace std::chrono_literals;

const char* const kCaption = "Glimbo http://www.glimbo.example";
const char* const kJoke = "Été comme hiver, ça déménage : 15 € la blague ! \U0001D11E";
const char* const kNoDisplay = "Affichage impossible : aucun écran n'a pu être ouvert.";

// One start's world: the run, what the case holds open or does beside it, and what it checks.
struct World {
    ProgramRun run;
    std::vector<int> held;  // closed once the run is over
    std::jthread alongside;
    std::function<void()> verify, cleanup;
    bool changesFolder = false;  // the case itself changes the program's folder during the run

    ~World() {
        alongside = {};
        for (const int fd : held) ::close(fd);
        if (cleanup) cleanup();
    }
    QString at(const QString& name) const { return run.program.filePath(name); }
    QByteArray path(const QString& name) const { return QFile::encodeName(at(name)); }
};

bool Jokes(World& w, const QByteArray& bytes, bool readable = true) {
    return Write(w.at("FARLOUS.TXT"), bytes) &&
           (readable || QFile::setPermissions(w.at("FARLOUS.TXT"), {}));
}
bool Store(const QString& file, const QByteArray& value) {
    return Write(file, "[Options]\nShow Tips at Startup=" + value);
}

bool Plain(World& w) { return Jokes(w, kJoke); }
bool Unreadable(World& w) { return Jokes(w, kJoke, false); }

// Where the system gives the program's path as bytes that are not UTF-8.
bool Latin1Folder(World& w) {
    const QByteArray folder = QFile::encodeName(w.run.program.path()) + "/Blagues_\xE9t\xE9";
    w.cleanup = [folder, w = &w] { ::rename(folder, w->path("latin1")); };
    w.run.command = w.at("link/FARLOUS");
    return Unreadable(w) && ::mkdir(folder, 0755) == 0 &&
           ::rename(w.path("FARLOUS"), folder + "/FARLOUS") == 0 &&
           ::rename(w.path("FARLOUS.TXT"), folder + "/FARLOUS.TXT") == 0 &&
           ::symlink(folder, w.path("link")) == 0;
}
// Started from a file deleted since: the system marks its path " (deleted)".
bool Deleted(World& w) {
    const int program = ::open(w.path("FARLOUS"), O_RDONLY | O_CLOEXEC);
    w.held.push_back(program);
    w.run.command = "/proc/self/fd/" + QString::number(program);
    return program >= 0 && ::unlink(w.path("FARLOUS")) == 0;
}
// A program whose real name ends like that mark.
bool NamedLikeDeleted(World& w) {
    w.run.command = w.at("FARLOUS (deleted)");
    w.run.env.insert("XDG_CONFIG_HOME", w.run.config.path());
    return QFile::rename(w.at("FARLOUS"), w.run.command) &&
           Store(w.run.config.filePath("FARLOUS (deleted).conf"), "0");
}
// A folder deeper than the system reports, in two halves each reached through a link.
bool Buried(World& w) {
    QString half;
    for (int step = 0; step < 12; ++step) half += '/' + QString(200, 'd');
    w.run.command = w.at("low/FARLOUS");
    w.cleanup = [w = &w, top = "high" + half.left(201)] { QFile::rename(w->at(top), w->at("up")); };
    return QDir().mkpath(w.at("deep" + half)) && QFile::link(w.at("deep" + half), w.at("high")) &&
           QDir().mkpath(w.at("high" + half)) && QFile::link(w.at("high" + half), w.at("low")) &&
           QFile::rename(w.at("FARLOUS"), w.run.command);
}
bool ErrorClosed(World& w) {
    w.run.inChild = [] { ::close(STDERR_FILENO); };
    return Unreadable(w);
}
bool AllClosed(World& w) {
    w.run.inChild = [] {
        for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) ::close(stream);
    };
    return Plain(w);
}
bool Fifo(World& w) {
    w.run.env.insert("XDG_CONFIG_HOME", w.run.config.path());
    return ::mkfifo(QFile::encodeName(w.run.config.filePath("FARLOUS.conf")), 0600) == 0;
}
// A display whose server is gone: a port held but never listened on refuses connections.
bool ServerGone(World& w) {
    const int port = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    w.held.push_back(port);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    const auto where = reinterpret_cast<sockaddr*>(&address);
    if (::bind(port, where, size) != 0 || ::getsockname(port, where, &size) != 0) return false;
    w.run.env.insert("DISPLAY", "127.0.0.1:" + QString::number(ntohs(address.sin_port) - 6000));
    return true;
}
bool ToolkitOptions(World& w) {
    w.run.arguments = {"-title", "X",       "-geometry", "300x100+0+0", "-reverse",
                       "-style", "windows", "-platform", "offscreen"};
    return Plain(w);
}
bool SystemWide(World& w) {
    w.run.env.insert("XDG_CONFIG_DIRS", w.run.tmp.path());
    return Store(w.run.tmp.filePath("FARLOUS.conf"), "0");
}
bool UnreadableForging(World& w) {
    const QString folder = w.run.config.filePath("a\nZinoquet : Tout va bien");  // forges a report
    w.run.env.insert("XDG_CONFIG_HOME", folder);
    return QDir().mkdir(folder) && Store(folder + "/FARLOUS.conf", "0") &&
           QFile::setPermissions(folder + "/FARLOUS.conf", {});
}
// A relative settings folder names none; the home folder's is read instead.
bool RelativeConfig(World& w) {
    w.run.env.insert("XDG_CONFIG_HOME", ".");
    w.run.process.setWorkingDirectory(w.run.config.path());
    return QDir(w.run.home.path()).mkdir(".config") &&
           Store(w.run.home.filePath(".config/FARLOUS.conf"), "0");
}
// The joke in UTF-16 behind its byte-order mark, as Windows editors save "Unicode".
template <QStringEncoder::Encoding kOrder>
bool Utf16(World& w) {
    QStringEncoder encoder(kOrder, QStringEncoder::Flag::WriteBom);
    return Jokes(w, encoder(QString::fromUtf8(kJoke)));
}
// Grows the jokes file to a terabyte (sparse) at the program's first read of it: after it took
// the file's size, before it read a byte. That read waits until then.
bool Growing(World& w) {
    const int watch = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY);
    w.held.push_back(watch);
    if (!Plain(w) ||
        ::fanotify_mark(watch, FAN_MARK_ADD, FAN_ACCESS_PERM, AT_FDCWD, w.path("FARLOUS.TXT"))) {
        [] { GTEST_SKIP() << "file access events need CAP_SYS_ADMIN: " << std::strerror(errno); }();
        return false;
    }
    w.changesFolder = true;
    w.alongside = std::jthread([watch, path = w.path("FARLOUS.TXT")](std::stop_token stop) {
        for (pollfd pending{watch, POLLIN, 0}; !stop.stop_requested();) {
            alignas(fanotify_event_metadata) char buffer[4096];
            if (::poll(&pending, 1, 20) <= 0) continue;
            ssize_t size = ::read(watch, buffer, sizeof buffer);
            for (auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
                 size > 0 && FAN_EVENT_OK(event, size); event = FAN_EVENT_NEXT(event, size)) {
                const bool grown = ::truncate(path, off_t{1} << 40) == 0;
                const fanotify_response allow{event->fd, FAN_ALLOW};
                if (!grown || ::write(watch, &allow, sizeof allow) != sizeof allow) return;
                ::close(event->fd);
            }
        }
    });
    return true;
}
bool NoRuntimeFolder(World& w) {
    w.run.env.remove("XDG_RUNTIME_DIR");
    return Plain(w);
}
// A session bus that takes every connection and drops it at once: the program goes on without.
bool SessionBus(World& w) {
    const int bus = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    w.held.push_back(bus);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(w.run.runtime.filePath("bus"));
    std::memcpy(address.sun_path, path.constData(), path.size());
    if (!Plain(w) || ::bind(bus, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(bus, 4) != 0) {
        return false;
    }
    auto used = std::make_shared<std::atomic<bool>>(false);
    w.alongside = std::jthread([bus, used](std::stop_token stop) {
        for (pollfd pending{bus, POLLIN, 0}; !stop.stop_requested();) {
            const int connection =
                ::poll(&pending, 1, 20) > 0 ? ::accept4(bus, nullptr, nullptr, SOCK_CLOEXEC) : -1;
            if (connection >= 0) *used = true;
            ::close(connection);
        }
    });
    w.verify = [used] { EXPECT_TRUE(*used) << "the session's bus went unused"; };
    return true;
}

struct StartRow {
    const char* name;
    bool display;  // on the test's X server; otherwise with no display at all
    const char* setting;
    bool (*prepare)(World&);
    int exitCode;
    // The one window shown, "" for none; the tip window must look exactly as a plain run's.
    const char* window;
    // What follows "Zinoquet : " on standard error, "" for no report; %P stands for the program's
    // folder, %C for the settings folder.
    const char* report;
};

const StartRow kStarts[] = {
    // The program's folder and name come from the system, as bytes; where it cannot give them,
    // the start fails in French.
    {"Latin1Folder", true, nullptr, Latin1Folder, 1, "Zinoquet",
     "Permission refusée : impossible de lire le fichier %P/Blagues_\xE9t\xE9/FARLOUS.TXT"},
    {"DeletedWhileStarting", false, "0", Deleted, 0, "", ""},
    {"NamedLikeDeleted", false, nullptr, NamedLikeDeleted, 0, "", ""},
    {"PathBeyondSystemLimit", false, nullptr, Buried, 1, "",
     "Dossier du programme introuvable : le système n'en donne pas le chemin."},
    // Closed standard streams: no report lands in the display connection.
    {"ErrorClosed", true, nullptr, ErrorClosed, 1, "Zinoquet", ""},
    {"AllStreamsClosed", true, nullptr, AllClosed, 0, kCaption, ""},
    // Settings: only the user's own regular file, its text exactly as written.
    {"SettingsFifo", false, nullptr, Fifo, 1, "",
     "Erreur de lecture du fichier %C/FARLOUS.conf : ce n'est pas un fichier."},
    {"SystemWideIgnored", false, nullptr, SystemWide, 1, "", kNoDisplay},
    {"UnreadableInForgingFolder", false, nullptr, UnreadableForging, 1, "",
     "Permission refusée : impossible de lire le fichier %C/a?Zinoquet : Tout va "
     "bien/FARLOUS.conf"},
    {"CommaAndBlank", false, "0, 4", nullptr, 1, "",
     "Type incompatible : « 0, 4 » n'est pas un nombre."},
    {"Latin1Byte", false, "0\xE9", nullptr, 1, "",
     "Type incompatible : « 0\xE9 » n'est pas un nombre."},
    {"RelativeConfigFolder", false, "abc", RelativeConfig, 0, "", ""},
    // Without a display: a French report, no abort; the setting's own error comes first.
    {"NoDisplay", false, nullptr, nullptr, 1, "", kNoDisplay},
    {"ServerGone", false, nullptr, ServerGone, 1, "", kNoDisplay},
    {"SettingErrorFirst", false, "abc", nullptr, 1, "",
     "Type incompatible : « abc » n'est pas un nombre."},
    // No command line: the toolkit's options change nothing.
    {"ToolkitOptionsIgnored", true, nullptr, ToolkitOptions, 0, kCaption, ""},
    // UTF-16 shows as its UTF-8 twin; a file growing while read is read as it was.
    {"Utf16LittleEndian", true, nullptr, Utf16<QStringEncoder::Utf16LE>, 0, kCaption, ""},
    {"Utf16BigEndian", true, nullptr, Utf16<QStringEncoder::Utf16BE>, 0, kCaption, ""},
    {"GrowingWhileRead", true, nullptr, Growing, 0, kCaption, ""},
    // Outside a desktop session no bus is started (every run here has none) and no runtime folder
    // made; a session's bus is used (the screen reader needs it).
    {"NoRuntimeFolder", true, nullptr, NoRuntimeFolder, 0, kCaption, ""},
    {"SessionBusKept", true, nullptr, SessionBus, 0, kCaption, ""},
};

// The window as a run shows it once painted, or nothing; it is then closed.
QImage Shown(ProgramRun& run, Window window) {
    const QImage screen =
        Painted(window) ? Grab(QRect(0, 0, DisplayWidth(X(), 0), DisplayHeight(X(), 0))) : QImage();
    run.pressKey(window, XK_Escape);
    return screen;
}

void PrintTo(const StartRow& row, std::ostream* out) { *out << row.name; }

class HostileStart : public ::testing::TestWithParam<StartRow> {};

TEST_P(HostileStart, EndsCleanly) {
    const StartRow& row = GetParam();
    World w;
    const bool started = w.run.start("FARLOUS", row.setting, [&](const QString&) {
        if (!row.display) w.run.env.remove("DISPLAY");
        return !row.prepare || row.prepare(w);
    });
    if (IsSkipped()) return;
    ASSERT_TRUE(started);
    QImage seen;
    if (*row.window) {
        const auto window = w.run.nextWindow();
        ASSERT_TRUE(window) << "no window";
        EXPECT_EQ(Name(*window), row.window);
        if (Name(*window) == "Zinoquet") {
            w.run.pressKey(*window, XK_Return);
        } else {
            seen = Shown(w.run, *window);
        }
    }
    EXPECT_EQ(w.run.end(), row.exitCode);
    EXPECT_FALSE(w.run.nextWindow(0ms)) << "another window";
    // Compared as bytes: a forged line shows up here as a report of its own.
    QByteArrayList reports;
    for (const QByteArray& line : w.run.process.readAllStandardError().split('\n'))
        if (line.startsWith("Zinoquet")) reports << line;
    QByteArray report(row.report);
    report.replace("%P", QFile::encodeName(w.run.program.path()))
        .replace("%C", QFile::encodeName(w.run.config.path()));
    EXPECT_EQ(reports, report.isEmpty() ? QByteArrayList() : QByteArrayList{"Zinoquet : " + report})
        << reports.join('\n').toStdString();
    EXPECT_TRUE(w.changesFolder || w.run.unchanged());
    if (w.verify) w.verify();
    if (std::string_view(row.window) == kCaption) {
        World plain;
        ASSERT_TRUE(
            plain.run.start("FARLOUS", nullptr, [&](const QString&) { return Plain(plain); }));
        const auto window = plain.run.nextWindow();
        ASSERT_TRUE(window);
        const QImage expected = Shown(plain.run, *window);
        EXPECT_FALSE(expected.isNull());
        EXPECT_TRUE(seen == expected) << "not as a plain run shows it";
    }
}

INSTANTIATE_TEST_SUITE_P(Starts, HostileStart, ::testing::ValuesIn(kStarts), RowName());

}  // namespace
}  // namespace farlous::testing
