// How long LoadTips takes on large files and how much memory it takes, against the plainest
// reading of the same file: into one buffer, counting its line ends with memchr. Each timing runs
// in a fresh process, as the program's one load does, with the file in the page cache.
//
// Usage: farlous_load_bench [folder for the generated files, default the temporary folder]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "jokes/tip_store.h"
#include "jokes_file_maker.h"
#include "median.h"

namespace {

using farlous::bench::Median;

namespace fs = std::filesystem;
using farlous::bench::Accents;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 11;
// The program's joke label, in pixels.
constexpr farlous::LabelCapacity kLabel = farlous::CapacityOf(241, 141);

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(field)) return std::stol(line.substr(std::strlen(field)));
    }
    return -1;
}

// What one run in a fresh process tells: its time, the line count, and how far its resident
// memory peaked over the idle process and stayed above it.
struct Run {
    double ms = 0;
    std::size_t lines = 0;
    double peakMb = 0, heldMb = 0;
};

// The baseline: open, read whole into memory, count line ends.
std::size_t ReadAndCountLines(const char* path) {
    const int fd = ::open(path, O_RDONLY);
    const auto size = static_cast<std::size_t>(fs::file_size(path));
    auto buffer = std::make_unique_for_overwrite<char[]>(size + 1);
    std::size_t got = 0;
    for (ssize_t n; (n = ::read(fd, buffer.get() + got, size + 1 - got)) > 0;) got += n;
    ::close(fd);
    std::size_t lines = 0;
    for (const char *p = buffer.get(), *end = p + got;
         (p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr; ++p) {
        ++lines;
    }
    return lines;
}

Run RunHere(const std::string& what, const char* path) {
    const auto platform = farlous::SystemPlatform();
    farlous::TipStore store(*platform, kLabel);
    // The idle program has run the loading code once: a few lines, not yet the file measured.
    if (what == "loadtips") farlous::TipStore(*platform, kLabel).LoadTips("/proc/self/status");
    const long idle = StatusKilobytes("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // restarts VmHWM from the current RSS
    Run run;
    const auto start = Clock::now();
    if (what == "baseline") {
        run.lines = ReadAndCountLines(path);
    } else {
        store.LoadTips(path);
    }
    run.ms = Milliseconds(Clock::now() - start);
    run.peakMb = static_cast<double>(StatusKilobytes("VmHWM:") - idle) / 1024;
    run.heldMb = static_cast<double>(StatusKilobytes("VmRSS:") - idle) / 1024;
    return run;
}

Run RunInFreshProcess(const std::string& what, const fs::path& file) {
    const std::string command =
        fs::read_symlink("/proc/self/exe").string() + " --run " + what + " '" + file.string() + "'";
    FILE* child = ::popen(command.c_str(), "r");
    Run run;
    if (std::fscanf(child, "%lf %zu %lf %lf", &run.ms, &run.lines, &run.peakMb, &run.heldMb) != 4) {
        std::fprintf(stderr, "the run of %s failed\n", what.c_str());
    }
    ::pclose(child);
    return run;
}

void Measure(const fs::path& folder, std::size_t lines, Accents accents) {
    const fs::path path = folder / "FARLOUS.TXT";
    std::ofstream(path, std::ios::binary) << farlous::bench::MakeJokesFile(lines, 100, accents);
    const double mb = static_cast<double>(fs::file_size(path)) / (1024 * 1024);

    std::vector<double> baseline, load, peak, held;
    std::size_t counted = 0;
    RunInFreshProcess("baseline", path);  // brings the file into the page cache
    for (int round = 0; round < kRounds; ++round) {
        const Run b = RunInFreshProcess("baseline", path);
        const Run l = RunInFreshProcess("loadtips", path);
        baseline.push_back(b.ms);
        load.push_back(l.ms);
        peak.push_back(l.peakMb);
        held.push_back(l.heldMb);
        counted = b.lines;
    }
    const bool utf8 = accents == Accents::Utf8;
    const double b = Median(baseline), l = Median(load);
    std::printf(
        "%-12s %6.1f MB %7zu lines | baseline %6.1f ms | LoadTips %6.1f ms | ratio %4.2f | peak "
        "+%6.1f MB = %4.2fx (at most 1.5) | held +%6.1f MB = %4.2fx\n",
        utf8 ? "UTF-8" : "Windows-1252", mb, counted, b, l, l / b, Median(peak), Median(peak) / mb,
        Median(held), Median(held) / mb);
    fs::remove(path);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 4 && std::string(argv[1]) == "--run") {
        const Run run = RunHere(argv[2], argv[3]);
        std::printf("%f %zu %f %f\n", run.ms, run.lines, run.peakMb, run.heldMb);
        return 0;
    }
    const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const fs::path folder = base / ("farlous-load-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::printf(
        "LoadTips against reading the file and counting its lines: medians of %d runs,\n"
        "each in a fresh process, the two interleaved; memory measured in the LoadTips "
        "runs.\n",
        kRounds);
    for (const std::size_t lines : {10'000, 100'000, 1'000'000}) {
        for (const Accents accents : {Accents::Windows1252, Accents::Utf8}) {
            Measure(folder, lines, accents);
        }
    }
    fs::remove_all(folder);
}
