// Time from starting a program to its window on screen, under Wine (or Windows): FARLOUS.EXE with
// the sample jokes against the least a Win32 program does to show a window, interleaved, and an
// earlier build of FARLOUS.EXE in the same runs if given; and the size of the files. A program is
// timed until it first waits for input, which each does once its window is shown and painted:
// waiting for that costs the machine nothing, where polling for the window would take from the
// program timed. Run it through bench/windows-startup.sh.
//
// Usage: farlous_windows_startup_bench FARLOUS.EXE minimal_window.exe [rounds [EARLIER.EXE]]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kGiveUpMs = 20000;
// Wine and the X server go on tidying up after a program has ended: the next start waits for
// them, or its time would depend on the one before.
constexpr DWORD kSettleMs = 300;

struct Case {
    const wchar_t* name;
    std::wstring program;
    std::vector<double> ms;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The fastest run: what the program costs when nothing else on the machine gets in its way.
double Fastest(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// A visible top-level window of process `id`, or null.
HWND VisibleWindowOf(DWORD id) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == id && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// A warm-up run is not timed: the first program after Wine's start can report idle before its
// window shows, which is then waited for.
void RunOnce(Case& c, bool timed = true) {
    std::wstring commandLine = L"\"" + c.program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start, shown;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(c.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::fwprintf(stderr, L"%ls: cannot start %ls\n", c.name, c.program.c_str());
        std::exit(1);
    }
    const bool idle = WaitForInputIdle(process.hProcess, kGiveUpMs) == 0;
    QueryPerformanceCounter(&shown);
    HWND window = idle ? VisibleWindowOf(process.dwProcessId) : nullptr;
    for (DWORD waited = 0; idle && !timed && window == nullptr && waited < kGiveUpMs;
         waited += 10) {
        Sleep(10);
        window = VisibleWindowOf(process.dwProcessId);
    }
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, kGiveUpMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Sleep(kSettleMs);
    if (window == nullptr) {
        std::fwprintf(stderr, L"%ls: no window shown\n", c.name);
        std::exit(1);
    }
    if (timed) c.ms.push_back(Milliseconds(start, shown));
}

double FileKilobytes(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return static_cast<double>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) |
                               data.nFileSizeLow) /
           1024;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: %ls FARLOUS.EXE minimal_window.exe [rounds [EARLIER.EXE]]\n",
                      argv[0]);
        return 2;
    }
    const int rounds = argc > 3 ? _wtoi(argv[3]) : 15;
    std::vector<Case> cases = {{L"minimal Win32 window", argv[2], {}},
                               {L"FARLOUS, sample jokes", argv[1], {}}};
    if (argc > 4) cases.push_back({L"earlier FARLOUS", argv[4], {}});
    for (Case& c : cases) RunOnce(c, false);  // warms the file cache and Wine's own libraries
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            RunOnce(cases[(i + static_cast<std::size_t>(round)) % cases.size()]);
        }
    }

    std::wprintf(L"Start to window shown, %d interleaved runs: median, fastest\n", rounds);
    for (const Case& c : cases) {
        std::wprintf(L"  %-24ls %7.1f ms %7.1f ms   file %7.1f KB\n", c.name, Median(c.ms),
                     Fastest(c.ms), FileKilobytes(c.program));
    }
    for (std::size_t i = 1; i < cases.size(); ++i) {
        std::wprintf(
            L"  %ls / minimal window: time %5.2f median, %5.2f fastest (at most 1.25); "
            L"size %5.2f\n",
            cases[i].name, Median(cases[i].ms) / Median(cases[0].ms),
            Fastest(cases[i].ms) / Fastest(cases[0].ms),
            FileKilobytes(cases[i].program) / FileKilobytes(cases[0].program));
    }
    return 0;
}
