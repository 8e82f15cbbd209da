// The built program started the ways a session, a user or bad luck start it. Each case builds a
// world of its own under one temporary folder (program folder, home, settings, runtime and
// temporary folders), starts a copy of the program there under a watchdog, answers the window it
// shows (Escape for the tip window, Return for a message box) and checks how the run ended: the
// exit status, the one "Zinoquet : " line on standard error, the windows shown, that nothing in
// the world changed and that nothing was left running.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/fanotify.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib's macros (Bool, Status...) clash with other headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

// A run that has not ended by then hangs: it is killed and the case fails.
constexpr auto kWatchdog = std::chrono::seconds(10);
const std::string kCaption = "Glimbo http://www.glimbo.example";
const std::string kJoke = "Été comme hiver, ça déménage : 15 € la blague ! \U0001D11E";
const std::string kNoDisplay = "Affichage impossible : aucun écran n'a pu être ouvert.";
const std::string kUnreadableJokes = "Permission refusée : impossible de lire le fichier ";
// Where the logo lies in the tip window: drawn last, it shows when the window is painted.
constexpr int kLogoLeft = 265, kLogoTop = 9, kLogoWidth = 351, kLogoHeight = 140;

void Require(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what + ": " + std::strerror(errno));
}

void Write(const std::string& path, const std::string& bytes, mode_t mode = 0644) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    Require(fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size()) &&
                ::fchmod(fd, mode) == 0,
            "write " + path);
    ::close(fd);
}

std::string ProgramBytes() {
    std::ifstream file(FARLOUS_EXE, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::string Utf16(const std::string& utf8, bool bigEndian) {
    std::u32string points;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) point = point << 6 | (utf8[i + k] & 0x3F);
        points += point;
        i += length;
    }
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const auto unit = [&](char32_t u) {
        const char high = char(u >> 8), low = char(u & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    for (const char32_t point : points) {
        if (point < 0x10000) {
            unit(point);
        } else {
            unit(0xD800 + ((point - 0x10000) >> 10));
            unit(0xDC00 + ((point - 0x10000) & 0x3FF));
        }
    }
    return bytes;
}

// Every entry under an open folder with its type, size and times, found through descriptors so
// that paths longer than the system takes are listed too; with `remove`, every entry is deleted.
void Walk(int folder, const std::string& path, std::vector<std::string>* lines, bool remove) {
    DIR* dir = ::fdopendir(::dup(folder));
    Require(dir != nullptr, "list " + path);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat status {};
        ::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW);
        if (lines) {
            lines->push_back(path + '/' + name + ' ' + std::to_string(status.st_mode) + ' ' +
                             std::to_string(status.st_size) + ' ' +
                             std::to_string(status.st_mtim.tv_sec) + '.' +
                             std::to_string(status.st_mtim.tv_nsec));
        }
        if (S_ISDIR(status.st_mode)) {
            const int sub = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            Require(sub >= 0, "open " + path + '/' + name);
            Walk(sub, path + '/' + name, lines, remove);
            ::close(sub);
        }
        if (remove) ::unlinkat(folder, name.c_str(), S_ISDIR(status.st_mode) ? AT_REMOVEDIR : 0);
    }
    ::closedir(dir);
}

// One case's world. The program is copied to <root>/program/FARLOUS; settings go to
// <root>/config, the folder XDG_CONFIG_HOME names.
struct World {
    enum class Launch { Direct, Deleted, FromBuriedFolder };

    std::string root, program, home, config, runtime, tmp, exeName = "FARLOUS";
    std::map<std::string, std::string> env;
    std::vector<std::string> arguments;
    Launch launch = Launch::Direct;
    int buriedFolder = -1;
    std::vector<int> closedStreams;
    bool compareWithPlainRun = false;  // the window must look exactly like a plain run's
    std::string changedByCase;         // a file the case itself changes during the run
    std::function<void(std::stop_token, pid_t)> alongside;  // runs beside the program
    std::function<void()> verify;                           // after the run
    std::vector<int> descriptors;                           // closed with the world

    World() {
        char pattern[] = "/tmp/farlous-hostile-XXXXXX";
        Require(::mkdtemp(pattern) != nullptr, "mkdtemp");
        root = pattern;
        for (auto [folder, name] : {std::pair{&program, "program"},
                                    {&home, "home"},
                                    {&config, "config"},
                                    {&runtime, "runtime"},
                                    {&tmp, "tmp"}}) {
            *folder = root + '/' + name;
            Require(::mkdir(folder->c_str(), 0700) == 0, "mkdir " + *folder);
        }
        Write(exe(), ProgramBytes(), 0755);
        env = {{"HOME", home},
               {"XDG_CONFIG_HOME", config},
               {"XDG_RUNTIME_DIR", runtime},
               {"TMPDIR", tmp}};
    }
    ~World() {
        for (int fd : descriptors) ::close(fd);
        if (buriedFolder >= 0) ::close(buriedFolder);
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        Walk(fd, root, nullptr, true);
        ::close(fd);
        ::rmdir(root.c_str());
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    std::string exe() const { return program + '/' + exeName; }
    std::string jokesPath() const { return program + "/FARLOUS.TXT"; }
    void jokes(const std::string& bytes, mode_t mode = 0644) { Write(jokesPath(), bytes, mode); }
    void settings(const std::string& value, mode_t mode = 0644) {
        Write(config + '/' + exeName + ".conf", "[Options]\nShow Tips at Startup=" + value + '\n',
              mode);
    }
    void moveProgram(const std::string& name) {
        Require(::rename(program.c_str(), (root + '/' + name).c_str()) == 0, "move program");
        program = root + '/' + name;
    }
    void renameProgram(const std::string& name) {
        Require(::rename(exe().c_str(), (program + '/' + name).c_str()) == 0, "rename program");
        exeName = name;
    }
    void moveConfig(const std::string& name) {
        Require(::rename(config.c_str(), (root + '/' + name).c_str()) == 0, "move settings");
        env["XDG_CONFIG_HOME"] = config = root + '/' + name;
    }
    // The program in a folder whose path is longer than the system can report.
    void buryProgram() {
        const std::string step(200, 'd');
        int folder = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int depth = 0; depth < 25; ++depth) {
            Require(::mkdirat(folder, step.c_str(), 0755) == 0, "mkdirat");
            const int next = ::openat(folder, step.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(folder);
            folder = next;
        }
        const std::string bytes = ProgramBytes();
        const int fd = ::openat(folder, "FARLOUS", O_WRONLY | O_CREAT | O_CLOEXEC, 0755);
        Require(fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size()),
                "write buried program");
        ::close(fd);
        buriedFolder = folder;
        launch = Launch::FromBuriedFolder;
    }
    std::vector<std::string> listing() const {
        struct stat status {};
        ::stat(root.c_str(), &status);
        std::vector<std::string> lines{std::to_string(status.st_mtim.tv_nsec)};
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        Walk(fd, root, &lines, false);
        ::close(fd);
        std::erase_if(lines, [&](const std::string& line) {
            return !changedByCase.empty() && line.starts_with(changedByCase + ' ');
        });
        return lines;
    }
};

struct Mapped {
    Window id;
    std::string name;  // _NET_WM_NAME
    int x, y, width, height;
};

// The test's X server, seen from outside. Without a window manager every top-level window is a
// child of the root: mapping one is seen there. The toolkit also creates hidden helper windows;
// only mapping counts.
class Screen {
public:
    Screen() : display_(XOpenDisplay(nullptr)) {
        if (!display_) return;
        // A window that vanished before it was looked at must fail the case, not the test.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        XSelectInput(display_, Root(), SubstructureNotifyMask);
    }
    ~Screen() {
        if (display_) XCloseDisplay(display_);
    }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    bool open() const { return display_ != nullptr; }
    int descriptor() const { return ConnectionNumber(display_); }

    // Every run starts alike: the pointer in a corner, the focus following it, no earlier event.
    void reset() {
        XWarpPointer(display_, None, Root(), 0, 0, 0, 0, 0, 0);
        XSetInputFocus(display_, PointerRoot, RevertToPointerRoot, CurrentTime);
        XSync(display_, True);
    }
    std::vector<Mapped> newlyMapped(bool sync) {
        if (sync) XSync(display_, False);
        std::vector<Mapped> mapped;
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type != MapNotify || event.xmap.event != Root()) continue;
            const Window id = event.xmap.window;
            XWindowAttributes attributes{};
            XGetWindowAttributes(display_, id, &attributes);
            mapped.push_back(
                {id, name(id), attributes.x, attributes.y, attributes.width, attributes.height});
        }
        return mapped;
    }
    void press(Window window, KeySym key) {
        XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
        const KeyCode code = XKeysymToKeycode(display_, key);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XSync(display_, False);
    }
    // The tip window's pixels once the logo shows, which the program paints in the same pass as
    // the rest; nothing when that does not happen before `deadline`.
    std::vector<unsigned long> painted(const Mapped& window, Clock::time_point deadline) {
        while (Clock::now() < deadline) {
            if (pixels(window.id, kLogoLeft, kLogoTop, kLogoWidth, kLogoHeight, true).size() > 16)
                return pixels(window.id, 0, 0, window.width, window.height, false);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }

private:
    Window Root() const { return DefaultRootWindow(display_); }

    // The pixels of an area, or only its distinct colours.
    std::vector<unsigned long> pixels(Window window, int x, int y, int width, int height,
                                      bool distinct) {
        XImage* image = XGetImage(display_, window, x, y, width, height, AllPlanes, ZPixmap);
        if (!image) return {};
        std::vector<unsigned long> all;
        std::set<unsigned long> colours;
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                const unsigned long pixel = XGetPixel(image, column, row);
                if (distinct) {
                    colours.insert(pixel);
                } else {
                    all.push_back(pixel);
                }
            }
        }
        XDestroyImage(image);
        return distinct ? std::vector(colours.begin(), colours.end()) : all;
    }
    std::string name(Window window) {
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
        std::string value(reinterpret_cast<const char*>(data), format == 8 ? count : 0);
        XFree(data);
        return value;
    }

    Display* display_;
};

// How a run ended.
struct Outcome {
    int exitCode = -1;
    std::string abnormalEnd;  // killed by the watchdog, or by a signal
    std::string errors;       // standard error
    std::vector<Mapped> shown;
    std::vector<unsigned long> picture;  // the tip window as painted, when compared
    std::vector<std::string> leftRunning;
    bool unchanged = false;
};

// Children whose parent ended are handed to the test process (it is their subreaper): any still
// there once the program ended were left running by it. They are ended here, by their id.
std::vector<std::string> EndLeftovers() {
    std::vector<std::string> left;
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    DIR* proc = ::opendir("/proc");
    while (const dirent* entry = ::readdir(proc)) {
        std::ifstream file("/proc/"s + entry->d_name + "/stat");
        std::string stat;
        std::getline(file, stat);
        // pid (name) state parent ...; the name may hold blanks and parentheses.
        const std::size_t nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos) continue;
        std::istringstream rest(stat.substr(nameEnd + 1));
        char state = 0;
        pid_t parent = 0;
        if (!(rest >> state >> parent) || parent != ::getpid()) continue;
        const pid_t pid = std::stoi(stat);
        if (state != 'Z') left.push_back(stat.substr(0, nameEnd + 1));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    ::closedir(proc);
    return left;
}

Outcome StartAndWatch(World& world, Screen* screen) {
    std::vector<std::string> argumentTexts{
        world.launch == World::Launch::FromBuriedFolder ? "./FARLOUS" : world.exe()};
    argumentTexts.insert(argumentTexts.end(), world.arguments.begin(), world.arguments.end());
    std::vector<std::string> envTexts;
    for (const auto& [name, value] : world.env) envTexts.push_back(name + '=' + value);
    std::vector<char*> argv, envp;
    for (auto& text : argumentTexts) argv.push_back(text.data());
    for (auto& text : envTexts) envp.push_back(text.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    int errors[2];
    Require(::pipe2(errors, O_CLOEXEC) == 0, "pipe");
    const std::string program = world.exe();
    int deletedProgram = -1;
    if (world.launch == World::Launch::Deleted) {
        deletedProgram = ::open(world.exe().c_str(), O_RDONLY | O_CLOEXEC);
        Require(deletedProgram >= 0 && ::unlink(world.exe().c_str()) == 0, "delete program");
    }
    Outcome outcome;
    const std::vector<std::string> before = world.listing();
    if (screen) screen->reset();

    const pid_t child = ::fork();
    if (child == 0) {
        // Only system calls from here: the test process may have other threads.
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(errors[1], STDERR_FILENO);
        ::close(null);
        for (const int stream : world.closedStreams) ::close(stream);
        // As any user: no reading of files that deny it, even as root, and a bounded address
        // space, so that no file can take the machine's memory.
        ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
        ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
        const rlimit limit{rlim_t{2} << 30, rlim_t{2} << 30};
        ::setrlimit(RLIMIT_AS, &limit);
        const int moved =
            world.buriedFolder >= 0 ? ::fchdir(world.buriedFolder) : ::chdir(world.root.c_str());
        if (moved != 0) ::_exit(127);
        if (deletedProgram >= 0) {
            ::fexecve(deletedProgram, argv.data(), envp.data());
        } else {
            ::execve(world.buriedFolder >= 0 ? argv[0] : program.c_str(), argv.data(), envp.data());
        }
        ::_exit(127);
    }
    ::close(errors[1]);
    if (deletedProgram >= 0) ::close(deletedProgram);
    std::jthread alongside;
    if (world.alongside) alongside = std::jthread(world.alongside, child);

    const auto deadline = Clock::now() + kWatchdog;
    const auto answer = [&](bool sync) {
        for (const Mapped& window : screen->newlyMapped(sync)) {
            outcome.shown.push_back(window);
            if (window.name == kCaption && world.compareWithPlainRun)
                outcome.picture = screen->painted(window, deadline);
            if (!sync) screen->press(window.id, window.name == kCaption ? XK_Escape : XK_Return);
        }
    };
    const auto readErrors = [&] {
        char buffer[4096];
        for (ssize_t count; (count = ::read(errors[0], buffer, sizeof buffer)) > 0;)
            outcome.errors.append(buffer, std::size_t(count));
    };
    ::fcntl(errors[0], F_SETFL, O_NONBLOCK);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            outcome.abnormalEnd = "hung: killed after " + std::to_string(kWatchdog.count()) + " s";
            break;
        }
        pollfd watched[2] = {{errors[0], POLLIN, 0},
                             {screen ? screen->descriptor() : -1, POLLIN, 0}};
        ::poll(watched, 2, 20);
        readErrors();
        if (screen) answer(false);
    }
    readErrors();
    ::close(errors[0]);
    if (screen) answer(true);
    if (alongside.joinable()) {
        alongside.request_stop();
        alongside.join();
    }
    if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status) && outcome.abnormalEnd.empty())
        outcome.abnormalEnd = "ended by signal "s + ::strsignal(WTERMSIG(status));
    outcome.leftRunning = EndLeftovers();
    outcome.unchanged = world.listing() == before;
    return outcome;
}

enum class Shows { Nothing, Window, Box };

struct Case {
    const char* name;
    bool display;  // run on the test's X server; otherwise with no display at all
    std::function<void(World&)> prepare;
    int exitCode;
    // What follows "Zinoquet : " on standard error, "" for no report; %P stands for the program
    // folder, %C for the settings folder, %R for the world's root.
    std::string report;
    Shows shows;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::string Expanded(std::string text, const World& world) {
    for (const auto& [mark, value] :
         {std::pair{"%P"s, world.program}, {"%C"s, world.config}, {"%R"s, world.root}}) {
        for (std::size_t at; (at = text.find(mark)) != std::string::npos;)
            text.replace(at, mark.size(), value);
    }
    return text;
}

// Its lines that the program wrote as reports: a forged one shows up here too.
std::vector<std::string> Reports(const std::string& errors) {
    std::vector<std::string> reports;
    std::istringstream lines(errors);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("Zinoquet")) reports.push_back(line);
    }
    return reports;
}

class HostileStart : public ::testing::TestWithParam<Case> {
protected:
    // One connection for the whole suite: a server left without clients resets, and refuses
    // connections while it does.
    static void SetUpTestSuite() {
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        screen = new Screen;
    }
    static void TearDownTestSuite() { delete screen; }
    static Screen* screen;

    // The environment of a run on the test's X server, or of a run without any display.
    static void SetDisplay(World& world, bool display) {
        for (const char* name : {"DISPLAY", "XAUTHORITY"}) {
            if (const char* value = std::getenv(name); display && value) world.env[name] = value;
        }
    }
};

Screen* HostileStart::screen = nullptr;

TEST_P(HostileStart, EndsCleanly) {
    const Case& c = GetParam();
    if (c.display && !screen->open()) GTEST_SKIP() << "no X server: run under xvfb-run";
    Screen* const watched = c.display ? screen : nullptr;
    World world;
    SetDisplay(world, c.display);
    c.prepare(world);
    if (IsSkipped()) return;

    Outcome plain;
    if (world.compareWithPlainRun) {
        World reference;
        SetDisplay(reference, true);
        reference.jokes(kJoke);
        reference.compareWithPlainRun = true;
        plain = StartAndWatch(reference, watched);
        ASSERT_FALSE(plain.picture.empty()) << "the plain run's window was never painted";
    }

    const Outcome outcome = StartAndWatch(world, watched);
    EXPECT_EQ(outcome.abnormalEnd, "");
    EXPECT_EQ(outcome.exitCode, c.exitCode) << outcome.errors;
    const std::vector<std::string> expected =
        c.report.empty() ? std::vector<std::string>{}
                         : std::vector{"Zinoquet : " + Expanded(c.report, world)};
    EXPECT_EQ(Reports(outcome.errors), expected) << outcome.errors;
    std::vector<std::string> names;
    for (const Mapped& window : outcome.shown) names.push_back(window.name);
    const std::map<Shows, std::vector<std::string>> windows{
        {Shows::Nothing, {}}, {Shows::Window, {kCaption}}, {Shows::Box, {"Zinoquet"}}};
    EXPECT_EQ(names, windows.at(c.shows));
    EXPECT_TRUE(outcome.unchanged) << "the run changed its world";
    EXPECT_EQ(outcome.leftRunning, std::vector<std::string>{});
    if (world.compareWithPlainRun && !outcome.shown.empty()) {
        const Mapped &seen = outcome.shown.front(), &designed = plain.shown.front();
        EXPECT_EQ(std::vector({seen.x, seen.y, seen.width, seen.height}),
                  std::vector({designed.x, designed.y, designed.width, designed.height}));
        EXPECT_TRUE(outcome.picture == plain.picture) << "the window differs from a plain run's";
    }
    if (world.verify) world.verify();
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }

// A FIFO, a folder or an unreadable file in the settings' place never blocks and is reported; the
// stored text reaches the conversion exactly as written; only the user's own file counts. With
// no display, a start that gets past the setting ends on the missing display.
INSTANTIATE_TEST_SUITE_P(
    Settings, HostileStart,
    ::testing::Values(
        Case{"TipsOff", false, [](World& w) { w.settings("0"); }, 0, "", Shows::Nothing},
        Case{"KeyAsTheToolkitWritesIt", false,
             [](World& w) {
                 Write(w.config + "/FARLOUS.conf", "[Options]\nShow%20Tips%20at%20Startup=0\n");
             },
             0, "", Shows::Nothing},
        Case{"RenamedCopyReadsItsOwn", false,
             [](World& w) {
                 w.settings("abc");
                 w.renameProgram("BLAGUES");
                 w.settings("0");
             },
             0, "", Shows::Nothing},
        Case{"InHomeConfigFolder", false,
             [](World& w) {
                 w.env.erase("XDG_CONFIG_HOME");
                 ::mkdir((w.home + "/.config").c_str(), 0700);
                 Write(w.home + "/.config/FARLOUS.conf", "[Options]\nShow Tips at Startup=0\n");
             },
             0, "", Shows::Nothing},
        Case{"RelativeConfigFolderIgnored", false,
             [](World& w) {
                 w.settings("0");
                 w.env["XDG_CONFIG_HOME"] = "config";
             },
             1, kNoDisplay, Shows::Nothing},
        Case{"DecimalCommaRounds", false, [](World& w) { w.settings("0,4"); }, 0, "",
             Shows::Nothing},
        Case{"CommaAndBlank", false, [](World& w) { w.settings("0, 4"); }, 1,
             "Type incompatible : « 0, 4 » n'est pas un nombre.", Shows::Nothing},
        Case{"Latin1Byte", false, [](World& w) { w.settings("0\xE9"); }, 1,
             "Type incompatible : « 0\xE9 » n'est pas un nombre.", Shows::Nothing},
        Case{"VariantText", false, [](World& w) { w.settings("@Rect(0 0 1 1)"); }, 1,
             "Type incompatible : « @Rect(0 0 1 1) » n'est pas un nombre.", Shows::Nothing},
        Case{"SystemWideIgnored", false,
             [](World& w) {
                 ::mkdir((w.root + "/xdg").c_str(), 0755);
                 Write(w.root + "/xdg/FARLOUS.conf", "[Options]\nShow Tips at Startup=0\n");
                 w.env["XDG_CONFIG_DIRS"] = w.root + "/xdg";
             },
             1, kNoDisplay, Shows::Nothing},
        Case{"Fifo", false,
             [](World& w) {
                 Require(::mkfifo((w.config + "/FARLOUS.conf").c_str(), 0600) == 0, "mkfifo");
             },
             1, "Erreur de lecture du fichier %C/FARLOUS.conf : ce n'est pas un fichier.",
             Shows::Nothing},
        Case{"Folder", false, [](World& w) { ::mkdir((w.config + "/FARLOUS.conf").c_str(), 0700); },
             1, "Erreur de lecture du fichier %C/FARLOUS.conf : ce n'est pas un fichier.",
             Shows::Nothing},
        Case{"Unreadable", false, [](World& w) { w.settings("0", 0); }, 1,
             "Permission refusée : impossible de lire le fichier %C/FARLOUS.conf", Shows::Nothing},
        Case{"ControlCharactersInPath", false,
             [](World& w) {
                 w.moveConfig("a\nZinoquet : Tout va bien");
                 w.settings("0", 0);
             },
             1,
             "Permission refusée : impossible de lire le fichier %R/a?Zinoquet : Tout va "
             "bien/FARLOUS.conf",
             Shows::Nothing}),
    CaseName);

// Without a display the program reports it in French and exits 1, never aborts; a setting of 0
// needs no display at all.
INSTANTIATE_TEST_SUITE_P(
    Display, HostileStart,
    ::testing::Values(Case{"None", false, [](World&) {}, 1, kNoDisplay, Shows::Nothing},
                      Case{"ServerGone", false,
                           [](World& w) {
                               // A port held but not listened on: connections to it are refused.
                               const int held = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
                               sockaddr_in address{};
                               address.sin_family = AF_INET;
                               address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                               socklen_t size = sizeof address;
                               Require(
                                   ::bind(held, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                                       ::getsockname(held, reinterpret_cast<sockaddr*>(&address),
                                                     &size) == 0,
                                   "hold a port");
                               w.descriptors.push_back(held);
                               w.env["DISPLAY"] =
                                   "127.0.0.1:" + std::to_string(ntohs(address.sin_port) - 6000);
                           },
                           1, kNoDisplay, Shows::Nothing},
                      Case{"SettingErrorFirst", false, [](World& w) { w.settings("abc"); }, 1,
                           "Type incompatible : « abc » n'est pas un nombre.", Shows::Nothing}),
    CaseName);

// The program's folder and name come from the system, as bytes: a Latin-1 folder, a program file
// replaced while it starts, a name that ends like the system's mark of a deleted file. Where the
// system cannot tell them, the start fails in French.
INSTANTIATE_TEST_SUITE_P(
    ProgramFile, HostileStart,
    ::testing::Values(
        Case{"Latin1FolderSetting", false,
             [](World& w) {
                 w.moveProgram("Blagues_\xE9t\xE9");
                 w.settings("0");
             },
             0, "", Shows::Nothing},
        Case{"Latin1FolderJokes", true,
             [](World& w) {
                 w.moveProgram("Blagues_\xE9t\xE9");
                 w.jokes(kJoke, 0);
             },
             1, kUnreadableJokes + "%P/FARLOUS.TXT", Shows::Box},
        Case{"DeletedWhileStartingSetting", false,
             [](World& w) {
                 w.settings("0");
                 w.launch = World::Launch::Deleted;
             },
             0, "", Shows::Nothing},
        Case{"DeletedWhileStartingJokes", true,
             [](World& w) {
                 w.jokes(kJoke, 0);
                 w.launch = World::Launch::Deleted;
             },
             1, kUnreadableJokes + "%P/FARLOUS.TXT", Shows::Box},
        Case{"NamedLikeDeleted", false,
             [](World& w) {
                 w.renameProgram("FARLOUS (deleted)");
                 w.settings("0");
             },
             0, "", Shows::Nothing},
        Case{"PathBeyondSystemLimit", false, [](World& w) { w.buryProgram(); }, 1,
             "Dossier du programme introuvable : le système n'en donne pas le chemin.",
             Shows::Nothing},
        Case{"ControlCharactersInFolder", true,
             [](World& w) {
                 w.moveProgram("a\nZinoquet : Tout va bien");
                 w.jokes(kJoke, 0);
             },
             1, kUnreadableJokes + "%R/a?Zinoquet : Tout va bien/FARLOUS.TXT", Shows::Box}),
    CaseName);

// Closed standard streams are opened on /dev/null: an error report can no longer land in the
// display connection and hang the program.
INSTANTIATE_TEST_SUITE_P(Streams, HostileStart,
                         ::testing::Values(Case{"ErrorClosedWithoutDisplay", false,
                                                [](World& w) { w.closedStreams = {2}; }, 1, "",
                                                Shows::Nothing},
                                           Case{"ErrorClosedReportShown", true,
                                                [](World& w) {
                                                    w.jokes(kJoke, 0);
                                                    w.closedStreams = {2};
                                                },
                                                1, "", Shows::Box},
                                           Case{"AllClosed", true,
                                                [](World& w) {
                                                    w.jokes(kJoke);
                                                    w.closedStreams = {0, 1, 2};
                                                },
                                                0, "", Shows::Window}),
                         CaseName);

// The program has no command line: the toolkit's own options change nothing.
INSTANTIATE_TEST_SUITE_P(Arguments, HostileStart,
                         ::testing::Values(Case{"ToolkitOptionsIgnored", true,
                                                [](World& w) {
                                                    w.jokes(kJoke);
                                                    w.arguments = {
                                                        "-title",      "X",         "-geometry",
                                                        "300x100+0+0", "-reverse",  "-style",
                                                        "windows",     "-platform", "offscreen"};
                                                    w.compareWithPlainRun = true;
                                                },
                                                0, "", Shows::Window}),
                         CaseName);

// Grows the jokes file to a terabyte (sparse) when the program first reads it: after it took the
// file's size, before it read a byte. The first read is held until then.
void GrowOnFirstRead(World& world) {
    const int watch = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY);
    if (watch < 0 || ::fanotify_mark(watch, FAN_MARK_ADD, FAN_ACCESS_PERM, AT_FDCWD,
                                     world.jokesPath().c_str()) != 0) {
        GTEST_SKIP() << "file access events need CAP_SYS_ADMIN: " << std::strerror(errno);
    }
    world.descriptors.push_back(watch);
    world.changedByCase = world.jokesPath();
    world.alongside = [watch, path = world.jokesPath()](std::stop_token stop, pid_t) {
        bool grown = false;
        while (!stop.stop_requested()) {
            pollfd pending{watch, POLLIN, 0};
            if (::poll(&pending, 1, 20) <= 0) continue;
            alignas(fanotify_event_metadata) char buffer[4096];
            ssize_t size = ::read(watch, buffer, sizeof buffer);
            for (auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
                 size > 0 && FAN_EVENT_OK(event, size); event = FAN_EVENT_NEXT(event, size)) {
                if (!grown) grown = ::truncate(path.c_str(), off_t{1} << 40) == 0;
                const fanotify_response allow{event->fd, FAN_ALLOW};
                if (::write(watch, &allow, sizeof allow) != sizeof allow) break;
                ::close(event->fd);
            }
        }
    };
}

// UTF-16 jokes show exactly as their UTF-8 twin; a file growing while read is read as it was.
INSTANTIATE_TEST_SUITE_P(JokesFile, HostileStart,
                         ::testing::Values(Case{"Utf16LittleEndian", true,
                                                [](World& w) {
                                                    w.jokes(Utf16(kJoke, false));
                                                    w.compareWithPlainRun = true;
                                                },
                                                0, "", Shows::Window},
                                           Case{"Utf16BigEndian", true,
                                                [](World& w) {
                                                    w.jokes(Utf16(kJoke, true));
                                                    w.compareWithPlainRun = true;
                                                },
                                                0, "", Shows::Window},
                                           Case{"GrowingWhileRead", true,
                                                [](World& w) {
                                                    w.jokes(kJoke);
                                                    GrowOnFirstRead(w);
                                                },
                                                0, "", Shows::Window}),
                         CaseName);

// Outside a desktop session the toolkit starts no bus and creates no runtime folder; a session's
// bus is still used (the screen reader needs it).
INSTANTIATE_TEST_SUITE_P(
    SessionServices, HostileStart,
    ::testing::Values(
        Case{"NoSessionBus", true, [](World& w) { w.jokes(kJoke); }, 0, "", Shows::Window},
        Case{"NoRuntimeFolder", true,
             [](World& w) {
                 w.jokes(kJoke);
                 w.env.erase("XDG_RUNTIME_DIR");
             },
             0, "", Shows::Window},
        Case{"SessionBusKept", true,
             [](World& w) {
                 w.jokes(kJoke);
                 const int bus = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
                 sockaddr_un address{};
                 address.sun_family = AF_UNIX;
                 std::strcpy(address.sun_path, (w.runtime + "/bus").c_str());
                 Require(::bind(bus, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                             ::listen(bus, 4) == 0,
                         "listen on the bus socket");
                 w.descriptors.push_back(bus);
                 auto used = std::make_shared<std::atomic<bool>>(false);
                 // The connection is closed at once: the program goes on without a bus.
                 w.alongside = [bus, used](std::stop_token stop, pid_t) {
                     while (!stop.stop_requested()) {
                         pollfd pending{bus, POLLIN, 0};
                         if (::poll(&pending, 1, 20) <= 0) continue;
                         ::close(::accept4(bus, nullptr, nullptr, SOCK_CLOEXEC));
                         *used = true;
                     }
                 };
                 w.verify = [used] { EXPECT_TRUE(*used) << "the session's bus went unused"; };
             },
             0, "", Shows::Window}),
    CaseName);

}  // namespace
