// The built program end to end, watched from outside on an X server of the test's own. However it
// is started, it ends in the tip window, a French error or a silent exit, and writes nothing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <sys/prctl.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>

// Last: Xlib's macros break the Qt headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

const char* const kCaption = "Glimbo http://www.glimbo.example";
const char* const kNoDisplay = "Affichage impossible : aucun écran n'a pu être ouvert.";
const char* const kTooBig = "Mémoire insuffisante pour lire le fichier %R/program/FARLOUS.TXT";
const char* const kNotANumber = "Type incompatible : « abc » n'est pas un nombre.";
// Every run's folder holds the program's copy and one joke; a row's script changes what it needs.
const QByteArray kSetUp =
    "mkdir -m 700 program home home/.config config runtime tmp && cp '" FARLOUS_EXE
    "' program && printf %s 'Été : 15 € ! \U0001D11E' >program/FARLOUS.TXT";
// A file written, even if removed again, shows in its folder's time.
const QByteArray kList = "find . -printf '%i %s %T@\\n'";
// A start: the row's script (%S) sets the folder up and may close standard streams; the folder is
// listed; the program gets a small address space, so that no file takes the machine's memory, or
// the limit `u` sets, and, even as root, no right to read files that deny it.
const QByteArray kRun = R"(set -e; j=program/FARLOUS.TXT c=config/FARLOUS.conf x=$DISPLAY
tips() { printf '[Options]\nShow Tips at Startup=%s' "$2" >"$1"; }
export HOME=$PWD/home TMPDIR=$PWD/tmp XDG_RUNTIME_DIR=$PWD/runtime XDG_CONFIG_HOME=$PWD/config
cmd=$PWD/program/FARLOUS; %S
)" + kList + R"(; ulimit -v 2097152; ulimit ${u:--v 2097152}
eval exec setpriv --bounding-set=-dac_override,-dac_read_search '"$cmd" "$@"' "$streams")";

// Xvfb picks a free display itself, so that tests side by side never race for one, and ends with
// the test. One connection lasts the whole test: the server never resets, and sees every run's
// windows, which without a window manager are children of the root.
Display* X() {
    static Display* const display = [] {
        auto* xvfb = new QProcess;
        xvfb->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        xvfb->setStandardErrorFile(QProcess::nullDevice());
        xvfb->start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24"});
        const QByteArray name = ':' + (xvfb->waitForReadyRead(10'000) ? xvfb->readLine() : "");
        Display* opened = XOpenDisplay(name.trimmed());
        XSelectInput(opened, DefaultRootWindow(opened), SubstructureNotifyMask);
        XWarpPointer(opened, None, DefaultRootWindow(opened), 0, 0, 0, 0, 0, 0);  // off the window
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window gone fails a case
        return opened;
    }();
    return display;
}

// What the screen shows; Qt ignores the padding byte of X's pixels.
QImage Grab(int x, int y, int width, int height) {
    XImage* shot = XGetImage(X(), DefaultRootWindow(X()), x, y, width, height, AllPlanes, ZPixmap);
    return QImage(
        reinterpret_cast<uchar*>(shot->data), width, height, shot->bytes_per_line,
        QImage::Format_RGB32, [](void* shot) { XDestroyImage(static_cast<XImage*>(shot)); }, shot);
}

// One start in a folder of its own, with an environment of its own: nothing of the test's but its
// display reaches the program. All its waits together end within 10 s, so that a hang fails fast.
struct ProgramRun {
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    QProcess process;
    std::function<void()> serve;                           // answers `served` while the test waits
    int served = -1, answered = 0, writes = 0, ticks = 0;  // writes: the case changes a file

    ProgramRun() { process.setWorkingDirectory(dir.path()), sh(kSetUp); }
    ~ProgramRun() { close(served), sh("rm -rf " + root); }
    QByteArray sh(const QByteArray& script) {
        QProcess shell;
        shell.start("sh", {"-c", "cd " + root + " && " + script});
        EXPECT_TRUE(shell.waitForFinished() && shell.exitCode() == 0) << script.constData();
        return shell.readAllStandardOutput();
    }
    bool until(const std::function<bool()>& done) {
        for (; !done(); ++ticks) {
            if (ticks >= 500) return false;
            if (pollfd ready{served, POLLIN, 0}; poll(&ready, 1, 20) > 0) serve(), ++answered;
        }
        return true;
    }
};

// Starts a run (without a display if it should show nothing), closes the one window it should show
// (a message box by Enter, the tip window by `key`, or by `close` from outside) and checks the end:
// the exit status, the reports and no other line, nothing written. Returns the screen with the tip
// window, once its logo is painted.
QImage Check(ProgramRun& run, const QByteArray& script, const char* report,
             const std::string& shown, KeySym key = XK_Escape,
             int (*close)(Display*, Window) = nullptr) {
    XSync(X(), True);  // what was mapped before is not this run's
    run.process.setEnvironment({"DISPLAY=" + QString(DisplayString(X()))});
    const QByteArray setUp = (shown.empty() ? "unset DISPLAY\n" : "") + script;
    run.process.start("sh", {"-c", QByteArray(kRun).replace("%S", setUp)});
    QImage screen;
    XEvent event{};
    if (!shown.empty()) {
        run.until([&] { return XCheckTypedEvent(X(), MapNotify, &event); });
        char* name = nullptr;
        XFetchName(X(), event.xmap.window, &name);
        EXPECT_STREQ(name, shown.c_str());
        XFree(name);
        if (shown == kCaption) {
            XWindowAttributes at{};
            XGetWindowAttributes(X(), event.xmap.window, &at);
            EXPECT_EQ(std::vector({at.x, at.y, at.width, at.height}),
                      std::vector({201, 483, 624, 189}));
            // The program's icon for task bars, at 16 and 32 pixels: each its width, its height
            // and its pixels.
            Atom type = None;
            int format = 0;
            unsigned long icon = 0, rest = 0;
            unsigned char* data = nullptr;
            XGetWindowProperty(X(), event.xmap.window, XInternAtom(X(), "_NET_WM_ICON", False), 0,
                               1 << 16, False, AnyPropertyType, &type, &format, &icon, &rest,
                               &data);
            XFree(data);
            EXPECT_EQ(icon, 2 + 16 * 16 + 2 + 32 * 32u);
            // The logo unscaled, inside its frame at the client-area point (265, 9).
            static const QImage logo =
                QImage(FARLOUS_LOGO).copy(0, 0, 351, 140).convertToFormat(QImage::Format_RGB32);
            EXPECT_TRUE(run.until([&] { return Grab(201 + 265, 483 + 9, 351, 140) == logo; }))
                << "no logo";
            screen = Grab(0, 0, 1280, 1024);
        }
        XSetInputFocus(X(), event.xmap.window, RevertToPointerRoot, CurrentTime);
        const KeyCode code = XKeysymToKeycode(X(), shown == kCaption ? key : XK_Return);
        if (close) {
            close(X(), event.xmap.window);
        } else {
            for (const Bool down : {True, False}) XTestFakeKeyEvent(X(), code, down, CurrentTime);
        }
        XSync(X(), False);
    }
    EXPECT_TRUE(run.until([&] { return run.process.waitForFinished(1); }) &&
                run.process.exitStatus() == QProcess::NormalExit);
    // 1 after an error, the display's loss included.
    EXPECT_EQ(run.process.exitCode(),
              *report || shown == "Zinoquet" || close == XKillClient ? 1 : 0);
    EXPECT_FALSE(XCheckTypedEvent(X(), MapNotify, &event)) << "another window";
    QByteArray reports, expected = *report ? "Zinoquet : " + QByteArray(report) + '\n' : "";
    for (const QByteArray& line : run.process.readAllStandardError().split('\n'))
        if (!line.isEmpty()) reports += line + '\n';
    EXPECT_EQ(reports.toStdString(), expected.replace("%R", run.root).toStdString());
    EXPECT_TRUE(run.writes || run.process.readAllStandardOutput() == run.sh(kList)) << "written";
    EXPECT_TRUE(run.served < 0 || run.answered > 0) << "the program never came to the test";
    return screen;
}

// Grows the jokes file to a terabyte at the program's first read, after it took the file's size.
void Growing(ProgramRun& r) {
    r.served = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY);
    if (r.served < 0) GTEST_SKIP() << "file access events need CAP_SYS_ADMIN";
    fanotify_mark(r.served, FAN_MARK_ADD, FAN_ACCESS_PERM, AT_FDCWD,
                  r.root + "/program/FARLOUS.TXT");
    r.writes = 1;
    r.serve = [&r] {  // a failure here leaves the program waiting: the run fails
        fanotify_event_metadata event{};
        const bool grown = read(r.served, &event, sizeof event) > 0 &&
                           truncate(r.root + "/program/FARLOUS.TXT", off_t{1} << 40) == 0;
        const fanotify_response allow{event.fd, FAN_ALLOW};
        if (grown && write(r.served, &allow, sizeof allow) > 0) close(event.fd);
    };
}
struct Row {
    const char* name;
    const char* script;       // sets the run up in its folder before the program, `cmd`, starts
    const char* report = "";  // what follows "Zinoquet : " on standard error, %R the run's folder
    const char* shown = "";   // the one window shown: kCaption, "Zinoquet" for a message, or none
    int (*close)(Display*, Window) = nullptr;  // how the tip window is closed, if not by Escape
    void (*helper)(ProgramRun&) = [](ProgramRun&) {};
};

const Row kRows[] = {
    // The tip window, exactly as a plain run shows it.
    {"GrowingWhileRead", "", "", kCaption, nullptr, Growing},
    {"HomeBeyondSystemLimit", "unset XDG_CONFIG_HOME; HOME=$PWD$(printf /%0250d $(seq 17))", "",
     kCaption},
    // Destroyed from outside, the window ends the run as a close does.
    {"DestroyedFromOutside", "", "", kCaption, XDestroyWindow},
    // Outside a session no runtime folder is made and no bus started (no other run has one).
    {"NoStreamsNoRuntimeFolder", "unset XDG_RUNTIME_DIR; streams='<&- >&- 2>&-'", "", kCaption},
    // What a launcher adds to the command line changes nothing.
    {"ToolkitOptionsIgnored",
     "set -- -title X -geometry 300x100+0+0 -reverse -style windows -platform offscreen", "",
     kCaption},
    // Errors, in a message box as on standard error; paths are bytes.
    {"UnreadableJokesInLatin1Folder",
     R"(chmod 0 $j; l=$(printf '\351t\351'); mv program $l; cmd=$PWD/$l/FARLOUS)",
     "Permission refusée : impossible de lire le fichier %R/\xE9t\xE9/FARLOUS.TXT", "Zinoquet"},
    {"SettingNotANumber", "tips $c abc", kNotANumber, "Zinoquet"},
    {"JokesLargerThanMemory", "truncate -s 1T $j", kTooBig, "Zinoquet"},
    {"JokesLargerThanAddressSpace", "truncate -s 3G $j", kTooBig, "Zinoquet"},
    {"JokeLinesBeyondAddressSpace",
     R"(u='-S -v 400000'; head -c 20000000 /dev/zero | tr \\0 \\n >$j)", "Mémoire insuffisante.",
     "Zinoquet"},
    {"ErrorStreamClosed", "chmod 0 $j; streams='2>&-'", "", "Zinoquet"},
    // Settings: the user's own regular file, named after the program, its value as written. A run
    // that shows nothing has no display.
    {"NamedLikeDeletedTipsOff", R"sh(mv $cmd "$cmd (deleted)"; cmd="$cmd (deleted)"
        printf '[Options]\nShow%%20Tips%%20at%%20Startup=0,4' >"config/FARLOUS (deleted).conf")sh"},
    {"DeletedWhileStarting", "tips $c 0; exec 9<$cmd; rm $cmd; cmd=/proc/self/fd/9"},
    {"ProgramExtensionDropped", "tips $c 0; mv $cmd $cmd.bin; cmd=$cmd.bin"},
    {"PathBeyondSystemLimit",
     "h=$(printf /%0250d $(seq 9)); mkdir -p a$h$h; ln -s a$h b; mv $cmd b$h; cmd=b$h/FARLOUS",
     "Dossier du programme introuvable : le système n'en donne pas le chemin."},
    {"SettingsFifo", "mkfifo $c",
     "Erreur de lecture du fichier %R/config/FARLOUS.conf : ce n'est pas un fichier."},
    {"UnreadableInForgingFolder",
     "tips $c 0; chmod 0 $c; f=\"a\nZinoquet : rien\"; mv config \"$f\"; XDG_CONFIG_HOME=$PWD/$f",
     "Permission refusée : impossible de lire le fichier %R/a?Zinoquet : rien/FARLOUS.conf"},
    {"Latin1Byte", R"sh(tips $c "$(printf '0\351')")sh",
     "Type incompatible : « 0\xE9 » n'est pas un nombre."},
    {"RelativeConfigFolder", "tips $c abc; XDG_CONFIG_HOME=config; tips ~/.config/FARLOUS.conf 0"},
    {"RelativeHome", "unset XDG_CONFIG_HOME; HOME=home; tips $HOME/.config/FARLOUS.conf abc", "",
     kCaption},
    {"NoHome", "unset XDG_CONFIG_HOME HOME", "", kCaption},
    // Without a display: a French report and no abort, a setting's error first.
    {"NoDisplaySystemWideIgnored", "export XDG_CONFIG_DIRS=$PWD/tmp; tips tmp/FARLOUS.conf 0",
     kNoDisplay},
    // The server of the test's display takes no connection through the network.
    {"ServerRefuses", "export DISPLAY=127.0.0.1$x", kNoDisplay},
    {"SettingErrorFirst", "tips $c abc", kNotANumber},
    // A display that shows nothing, or that breaks, is no display; Wayland's has no name without a
    // runtime folder.
    {"OffscreenPlatform", "export DISPLAY=$x QT_QPA_PLATFORM=offscreen", kNoDisplay},
    {"MinimalPlatform", "export DISPLAY=$x QT_QPA_PLATFORM=minimal", kNoDisplay},
    {"WaylandWithoutRuntimeFolder",
     "unset XDG_RUNTIME_DIR; export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-0", kNoDisplay},
    {"KilledFromOutside", "", kNoDisplay, kCaption, XKillClient},
    // Without standard error as well: no report goes down the broken connection.
    {"KilledWithoutErrorStream", "streams='2>&-'", "", kCaption, XKillClient},
    // Limits too low for the toolkit, found before it starts, with a display there; what counts
    // is the limit in force, not the one it may be raised to.
    {"AddressSpace", "export DISPLAY=$x; u='-S -v 110000'", "Mémoire insuffisante."},
    {"Stack", "export DISPLAY=$x; u='-s 64'", "Mémoire insuffisante."},
    {"FiveFiles", "export DISPLAY=$x; u='-n 5'",
     "Trop de fichiers ouverts : le système en permet trop peu à ce programme."},
    // The settings file is read in any letter case, the exact spelling first, and in UTF-16 as the
    // jokes file is.
    {"Utf16SettingsAnyCase", R"(printf '[OPTIONS]\nshow tips at startup=0' | iconv -t UTF-16 >$c)"},
    {"ExactSpellingFirst",
     R"(printf '[Options]\nShow Tips at Startup=0\nSHOW TIPS AT STARTUP=1' >$c)"},
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class Start : public ::testing::TestWithParam<Row> {};

TEST_P(Start, EndsCleanly) {
    ProgramRun run, plain;
    GetParam().helper(run);
    if (IsSkipped()) return;
    const QImage screen = Check(run, GetParam().script, GetParam().report, GetParam().shown,
                                XK_Escape, GetParam().close);
    EXPECT_TRUE(screen.isNull() || screen == Check(plain, "", "", kCaption)) << "unlike plain run";
}

INSTANTIATE_TEST_SUITE_P(Program, Start, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return info.param.name; });

// Another of many jokes at each start: the generator is seeded from the clock. Enter closes too.
TEST(Program, ShowsAnotherJokeAtEachStart) {
    ProgramRun runs[3];
    const QImage first = Check(runs[0], "seq 100000 >$j", "", kCaption, XK_Return);
    EXPECT_FALSE(first == Check(runs[1], "seq 100000 >$j", "", kCaption) &&
                 first == Check(runs[2], "seq 100000 >$j", "", kCaption));
}

}  // namespace
