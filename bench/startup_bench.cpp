// Time from starting a program to its first window being mapped, seen from outside through the X
// server, the processor time the program took for it, and the program's resident memory once its
// window is up, at its peak. FARLOUS with the sample jokes
// and with a 100 MB file runs beside an empty Qt window and zenity showing one line, interleaved.
// Run it through bench/startup.sh, which gives it a private X server.
//
// Usage: farlous_startup_bench FARLOUS empty_window sample_jokes work_folder [rounds]
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "jokes_file_maker.h"
#include "median.h"

// Last: Xlib's macros clash with the standard library's names.
#include <X11/Xlib.h>

extern char** environ;

namespace {

using farlous::bench::Median;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// How long after mapping the resident memory is read: the window has painted by then.
constexpr auto kSettle = std::chrono::milliseconds(300);
constexpr auto kGiveUp = std::chrono::seconds(20);

struct Case {
    std::string name;
    std::vector<std::string> command;
    std::vector<double> ms = {}, cpuMs = {}, residentMb = {};
};

// The most memory the program has held at once, its peak resident size.
double PeakResidentMb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) return std::stod(line.substr(6)) / 1024;
    }
    return 0;
}

// Processor time a program has had so far, all its threads together: unlike the time on the clock,
// it does not grow while other programs keep the machine busy.
double CpuMs(pid_t pid) {
    double nanoseconds = 0;
    std::error_code error;
    for (const auto& task :
         fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        double onCpu = 0;
        if (schedstat >> onCpu) nanoseconds += onCpu;
    }
    return nanoseconds / 1e6;
}

// Waits for the next top-level window to be mapped; false after kGiveUp.
bool WaitForMap(Display* display) {
    const auto deadline = Clock::now() + kGiveUp;
    while (Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(display)) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

void RunOnce(Display* display, Case& c) {
    std::vector<char*> argv;
    for (std::string& arg : c.command) argv.push_back(arg.data());
    argv.push_back(nullptr);
    XSync(display, True);  // forget what earlier runs left behind

    const auto start = Clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "%s: cannot start %s\n", c.name.c_str(), argv[0]);
        std::exit(1);
    }
    const bool mapped = WaitForMap(display);
    const auto end = Clock::now();
    const double cpu = CpuMs(pid);
    std::this_thread::sleep_for(kSettle);
    const double resident = PeakResidentMb(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    if (!mapped) {
        std::fprintf(stderr, "%s: no window mapped\n", c.name.c_str());
        std::exit(1);
    }
    c.ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    c.cpuMs.push_back(cpu);
    c.residentMb.push_back(resident);
}

// A program folder of its own with FARLOUS and the given jokes file in it.
std::string InstallFarlous(const fs::path& exe, const fs::path& folder) {
    fs::create_directories(folder);
    fs::copy_file(exe, folder / "FARLOUS", fs::copy_options::overwrite_existing);
    return (folder / "FARLOUS").string();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s FARLOUS empty_window sample_jokes work_folder [rounds]\n",
                     argv[0]);
        return 2;
    }
    const fs::path farlous = argv[1], emptyWindow = argv[2], sample = argv[3], work = argv[4];
    const int rounds = argc > 5 ? std::atoi(argv[5]) : 15;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X server: run through bench/startup.sh\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    // Settings of their own, so that no stored setting turns the jokes off.
    fs::create_directories(work / "config");
    fs::create_directories(work / "runtime");
    fs::permissions(work / "runtime", fs::perms::owner_all);
    setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (work / "runtime").c_str(), 1);

    const std::string withSample = InstallFarlous(farlous, work / "sample");
    fs::copy_file(sample, work / "sample" / "FARLOUS.TXT", fs::copy_options::overwrite_existing);
    const std::string withLargeFile = InstallFarlous(farlous, work / "large");
    std::ofstream(work / "large" / "FARLOUS.TXT", std::ios::binary)
        << farlous::bench::MakeJokesFile(1'000'000, 100, farlous::bench::Accents::Windows1252);
    const double largeMb =
        static_cast<double>(fs::file_size(work / "large" / "FARLOUS.TXT")) / (1024 * 1024);

    std::vector<Case> cases = {
        {"empty Qt window", {emptyWindow.string()}},
        {"zenity --info", {"zenity", "--info", "--text", "Quel est le comble pour un boulanger ?"}},
        {"FARLOUS, sample jokes", {withSample}},
        {"FARLOUS, 100 MB jokes", {withLargeFile}},
    };
    for (Case& c : cases) RunOnce(display, c);  // warms the page cache and the font caches
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            RunOnce(display, cases[(i + static_cast<std::size_t>(round)) % cases.size()]);
        }
    }
    XCloseDisplay(display);

    std::printf(
        "Start to first window mapped, medians of %d interleaved runs (jokes file of the "
        "large case: %.1f MB, 1,000,000 lines)\n",
        rounds, largeMb);
    for (const Case& c : cases) {
        std::printf("  %-24s %7.1f ms   processor %6.1f ms   peak resident %6.1f MB\n",
                    c.name.c_str(), Median(c.ms), Median(c.cpuMs), Median(c.residentMb));
    }
    const double empty = Median(cases[0].ms), zenity = Median(cases[1].ms);
    const double sampleMs = Median(cases[2].ms), large = Median(cases[3].ms);
    std::printf("  sample / empty Qt window  %5.2f  (at most 1.25)\n", sampleMs / empty);
    std::printf("  same, processor time      %5.2f\n",
                Median(cases[2].cpuMs) / Median(cases[0].cpuMs));
    std::printf("  sample / zenity           %5.2f  (at most 0.30)\n", sampleMs / zenity);
    std::printf("  100 MB - sample           %5.0f ms  (at most 1000)\n", large - sampleMs);
    std::printf("  peak, 100 MB - sample     %5.2f times the file  (at most 1.5)\n",
                (Median(cases[3].residentMb) - Median(cases[2].residentMb)) / largeMb);
    std::printf("  peak, sample / empty      %5.2f  (at most 1.30)\n",
                Median(cases[2].residentMb) / Median(cases[0].residentMb));
    fs::remove_all(work);
}
