// FARLOUS.EXE end to end under Wine, driven from outside as a user would: each run gets a copy of
// the program in a folder of its own and its setting written by reg.exe; its windows are found,
// read and given keys through the window manager. The program is the one beside this test.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32_text.h"
#include "test_support.h"
#include "window/fixed_texts.h"
#include "window/frm_tip_design.h"
#include "window/win32/screen_geometry.h"

namespace farlous {
namespace {

namespace fs = std::filesystem;
using testing::Long;

constexpr DWORD kHangMs = 20000;  // long enough for a slow machine; a run taking longer hangs
const std::string kJoke = "Quel est le comble pour un électricien ? Être au courant de tout.";
const std::wstring kSettings = L"Software\\VB and VBA Program Settings\\";

// Waits for `found` to be true, for kHangMs at most.
bool WaitFor(const std::function<bool()>& found) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangMs);
    while (!found()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// A window's text, asked of the program that owns it.
std::string TextOf(HWND window) {
    std::wstring text(1024, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, kHangMs, &copied);
    text.resize(copied);
    return WideToUtf8(text);
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// A control's rectangle in its parent's client area.
RECT PlaceOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND Focus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// A key pressed and released on the control that has the focus, or on `window` if none has.
void Press(HWND window, UINT key) {
    const HWND target = Focus(window) != nullptr ? Focus(window) : window;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

// One run of a copy of the program named `exeName`. A `deep` run's folder has names that no code
// page holds and is as long as Windows still starts a program in: FARLOUS.TXT's path is past
// MAX_PATH.
class ProgramRun {
public:
    testing::TemporaryFolder folder;
    const std::wstring exeName;
    fs::path jokes;

    explicit ProgramRun(std::wstring name = L"FARLOUS", bool deep = false)
        : exeName(std::move(name)), jokes(folder.path()) {
        if (deep) {
            jokes /= L"Blagues \u00e9t\u00e9 \U0001F95A \u03a9";
            CreateDirectoryW(jokes.c_str(), nullptr);
            jokes /= std::wstring(250 - jokes.wstring().size() - 1, L'x');
            CreateDirectoryW(Long(jokes).c_str(), nullptr);
        }
        std::wstring self(32768, L'\0');
        self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
        CopyFileW((fs::path(self).parent_path() / "FARLOUS.EXE").c_str(),
                  Long(jokes / (exeName + L".EXE")).c_str(), TRUE);
        jokes /= "FARLOUS.TXT";
        RegDeleteTreeW(HKEY_CURRENT_USER, (kSettings + exeName).c_str());
    }
    ~ProgramRun() {
        TerminateProcess(process_.hProcess, 99);
        End();
        RegDeleteTreeW(HKEY_CURRENT_USER, (kSettings + exeName).c_str());
    }

    // Writes the setting as a user would, with reg.exe; gives its exit code.
    DWORD SetSetting(const std::wstring& value) {
        std::wstring command = L"reg.exe add \"HKCU\\" + kSettings + exeName +
                               L"\\Options\" /v \"Show Tips at Startup\" /d \"" + value + L"\" /f";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION reg{};
        DWORD exitCode = 1;
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                           nullptr, nullptr, &startup, &reg)) {
            WaitForSingleObject(reg.hProcess, kHangMs);
            GetExitCodeProcess(reg.hProcess, &exitCode);
            CloseHandle(reg.hThread);
            CloseHandle(reg.hProcess);
        }
        return exitCode;
    }

    bool Start() {
        const std::wstring exe = (jokes.parent_path() / (exeName + L".EXE")).wstring();
        std::wstring commandLine = L"\"" + exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        const bool started = CreateProcessW(Long(exe).c_str(), commandLine.data(), nullptr, nullptr,
                                            FALSE, 0, nullptr, nullptr, &startup, &process_);
        if (started) CloseHandle(process_.hThread);
        return started;
    }

    // The exit code, or -1 when the program does not end.
    int End() {
        DWORD exitCode = 0;
        if (process_.hProcess == nullptr ||
            WaitForSingleObject(process_.hProcess, kHangMs) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process_.hProcess, &exitCode)) {
            return -1;
        }
        CloseHandle(process_.hProcess);
        process_.hProcess = nullptr;
        return static_cast<int>(exitCode);
    }
    bool Ended() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

    // The program's first visible top-level window of the kind asked: its own, or a message box.
    HWND Window(bool messageBox) const {
        struct Search {
            DWORD id;
            bool messageBox;
            HWND found;
        } search{process_.dwProcessId, messageBox, nullptr};
        const auto seek = [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.id && IsWindowVisible(window) &&
                (ClassOf(window) == L"#32770") == s.messageBox) {
                s.found = window;
            }
            return s.found == nullptr;
        };
        EnumWindows(seek, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    HWND WaitForWindow(bool messageBox) const {
        HWND found = nullptr;
        WaitFor([&] { return (found = Window(messageBox)) != nullptr; });
        return found;
    }

private:
    PROCESS_INFORMATION process_{};
};

// The window's controls by their design names, found where the design puts them.
std::map<std::string_view, HWND> Controls(HWND window) {
    std::map<std::string_view, HWND> controls;
    for (HWND child : Children(window)) {
        const RECT place = PlaceOf(child);
        for (const ControlDesign& design : kFrmTipControls) {
            const RECT designed = ScreenRect(design.left, design.top, design.width, design.height,
                                             USER_DEFAULT_SCREEN_DPI);
            if (EqualRect(&place, &designed) &&
                (GetParent(child) == window) == (design.container == "frmTip")) {
                controls[design.name] = child;
            }
        }
    }
    return controls;
}

// A message box as seen: "caption | text | buttons", and "(icon)" if it shows one.
std::string Read(HWND box) {
    std::string text, buttons, icon;
    for (HWND child : Children(box)) {
        DWORD_PTR shown = 0;
        if (!IsWindowVisible(child)) continue;
        if (ClassOf(child) == L"Button") {
            buttons.append(" ").append(TextOf(child));
        } else if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
            text += TextOf(child);
        } else if (SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kHangMs,
                                       &shown) &&
                   shown != 0) {
            icon = " (icon)";
        }
    }
    return TextOf(box) + " | " + text + " |" + buttons + icon;
}

// The program's runs: the jokes file each one finds, whether another program holds it, the
// setting, and how the run ends: a message box saying `error`, closed with Enter; a window
// showing `shown`, closed with `key`; or nothing at all.
struct RunRow {
    std::string name;
    std::wstring exeName, setting;  // no setting when empty
    std::optional<std::string> jokes;
    bool held;
    std::string shown, error;
    UINT key;
    int exitCode;
};
class RunTest : public ::testing::TestWithParam<RunRow> {};

// Names, sizes and times of everything in a folder.
std::wstring Listing(const fs::path& folder) {
    std::wstring listing;
    testing::ForEachEntry(folder, [&](const fs::path& entry, const WIN32_FIND_DATAW& data) {
        listing += entry.wstring() + L" " + std::to_wstring(data.nFileSizeLow) + L" " +
                   std::to_wstring(data.ftLastWriteTime.dwLowDateTime) + L"\n";
    });
    return listing;
}

TEST_P(RunTest, EndsAsExpectedAndWritesNothing) {
    const RunRow& row = GetParam();
    ProgramRun run(row.exeName, row.name == "DeepFolder");
    if (row.jokes) testing::WriteFile(run.jokes, *row.jokes);
    // Shared with nobody, so that opening it is an error.
    const HANDLE held = row.held ? CreateFileW(Long(run.jokes).c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, 0, nullptr)
                                 : INVALID_HANDLE_VALUE;
    if (!row.setting.empty()) {
        ASSERT_EQ(run.SetSetting(row.setting), 0u);
    }
    const std::wstring before = Listing(run.folder.path());
    ASSERT_TRUE(run.Start());
    if (!row.error.empty()) {
        const HWND box = run.WaitForWindow(true);
        ASSERT_NE(box, nullptr) << "no message box";
        std::string error = row.error;
        if (const auto at = error.find("%1"); at != std::string::npos) {
            error.replace(at, 2, WideToUtf8(run.jokes.wstring()));
        }
        EXPECT_EQ(Read(box), "Zinoquet | " + error + " | OK");
        EXPECT_EQ(run.Window(false), nullptr) << "the window showed before the error";
        Press(box, VK_RETURN);
    } else if (row.key != 0) {
        const HWND window = run.WaitForWindow(false);
        ASSERT_NE(window, nullptr) << "no window";
        EXPECT_EQ(TextOf(Controls(window)["lblTipText"]), row.shown);
        Press(window, row.key);
    } else {
        // Nothing shows, not even for a moment, and the run ends by itself.
        bool shown = false;
        EXPECT_TRUE(WaitFor([&] {
            shown = shown || run.Window(true) || run.Window(false);
            return shown || run.Ended();
        }));
        EXPECT_FALSE(shown);
    }
    EXPECT_EQ(run.End(), row.exitCode);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_EQ(Listing(run.folder.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunTest,
    ::testing::Values(
        // At 0 the run ends before FARLOUS.TXT is opened: held, it would be an error.
        RunRow{"TipsOff", L"FARLOUS", L"0", kJoke, true, "", "", 0, 0},
        RunRow{"HeldFileIsAnError", L"FARLOUS", L"", kJoke, true, "",
               "Permission refusée : impossible de lire le fichier %1", 0, 1},
        // A renamed program reads the setting of its own name.
        RunRow{"NotANumber", L"Autre", L"abc", kJoke, true, "",
               "Type incompatible : « abc » n'est pas un nombre.", 0, 1},
        RunRow{"Missing", L"FARLOUS", L"", std::nullopt, false, MissingFileText(), "", VK_ESCAPE,
               0},
        RunRow{"Windows1252", L"FARLOUS", L"1", "Cr\xe8me br\xfbl\xe9\x65 \x80 2\r\n", false,
               "Crème brûlée € 2", "", VK_RETURN, 0},
        RunRow{"Utf8", L"FARLOUS", L"",
               "\xEF\xBB\xBF\xC5\x92uf \xC3\xA0 la coque \xF0\x9F\xA5\x9A\n", false,
               "Œuf à la coque 🥚", "", VK_ESCAPE, 0},
        RunRow{"DeepFolder", L"F", L"", kJoke, false, kJoke, "", VK_RETURN, 0}),
    testing::RowName<RunRow>);

class WindowTest : public ::testing::Test {
protected:
    ProgramRun run;
    HWND window = nullptr;
    std::map<std::string_view, HWND> controls;

    void Open(const std::string& jokes) {
        testing::WriteFile(run.jokes, jokes);
        ASSERT_TRUE(run.Start());
        window = run.WaitForWindow(false);
        ASSERT_NE(window, nullptr) << "no window";
        controls = Controls(window);
    }
};

// The window at its place and size, every control at its place with its caption, and on the
// screen: margins in the face colour, white panels, sunken frames, the logo, captions drawn.
// What was seen is kept as farlous-windows.bmp.
TEST_F(WindowTest, LooksAsDesigned) {
    ASSERT_NO_FATAL_FAILURE(Open(kJoke));
    EXPECT_EQ(TextOf(window), WindowCaption());
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT designed =
        ScreenRect(kClientLeft, kClientTop, kClientWidth, kClientHeight, USER_DEFAULT_SCREEN_DPI);
    EXPECT_TRUE(EqualRect(&client, &designed)) << client.left << ", " << client.top;
    for (const ControlDesign& design : kFrmTipControls) {
        ASSERT_TRUE(controls.contains(design.name)) << design.name << " not at its place";
        if (design.kind != ControlKind::PictureBox && design.name != "lblTipText") {
            EXPECT_EQ(TextOf(controls[design.name]), design.caption);
        }
    }

    // The program paints after showing: wait for the logo, many colours in its frame.
    const int width = client.right - client.left, height = client.bottom - client.top;
    BITMAPINFO info{{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::vector<std::uint32_t> screen(width * height);
    const auto pixel = [&](int x, int y) { return screen[y * width + x] & 0xFFFFFF; };
    const RECT logo = PlaceOf(controls["Picture2"]);
    const HDC dc = GetDC(nullptr), memory = CreateCompatibleDC(dc);
    const HBITMAP shot = CreateCompatibleBitmap(dc, width, height);
    SelectObject(memory, shot);
    EXPECT_TRUE(WaitFor([&] {
        BitBlt(memory, 0, 0, width, height, dc, client.left, client.top, SRCCOPY);
        GetDIBits(memory, shot, 0, height, screen.data(), &info, DIB_RGB_COLORS);
        std::set<std::uint32_t> colours;
        for (int y = logo.top + 1; y < logo.bottom - 1; ++y) {
            for (int x = logo.left + 1; x < logo.right - 1; ++x) colours.insert(pixel(x, y));
        }
        return colours.size() > 100;
    })) << "no logo";
    DeleteDC(memory);
    DeleteObject(shot);
    ReleaseDC(nullptr, dc);
    std::ofstream file("farlous-windows.bmp", std::ios::binary);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info.bmiHeader;
    const BITMAPFILEHEADER fileHeader{0x4D42, offset + width * height * 4, 0, 0, offset};
    file.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
    file.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    for (std::uint32_t p : screen) {
        p |= 0xFF000000;  // opaque, as viewers read the fourth byte
        file.write(reinterpret_cast<const char*>(&p), 4);
    }

    // The margins and gaps of the design, below the logo, the panel around its labels; the
    // sunken frames' dark line along the top and the left.
    const std::uint32_t face = pixel(width - 1, height - 1), white = 0xFFFFFF;
    const RECT panel = PlaceOf(controls["Picture1"]);
    const std::uint32_t shadow = pixel(panel.left, panel.top);
    EXPECT_TRUE(shadow != face && shadow != white);
    for (const auto& [area, colour] :
         std::initializer_list<std::pair<RECT, std::uint32_t>>{{{0, 0, 624, 8}, face},
                                                               {{257, 0, 264, 189}, face},
                                                               {{617, 0, 624, 189}, face},
                                                               {{257, 153, 624, 160}, face},
                                                               {{257, 185, 624, 189}, face},
                                                               {{369, 160, 384, 185}, face},
                                                               {{497, 160, 512, 185}, face},
                                                               {{265, 149, 616, 152}, face},
                                                               {{1, 9, 256, 17}, white},
                                                               {{1, 9, 9, 188}, white},
                                                               {{250, 9, 256, 188}, white},
                                                               {{1, 182, 256, 188}, white},
                                                               {{0, 8, 256, 9}, shadow},
                                                               {{0, 8, 1, 188}, shadow},
                                                               {{264, 8, 616, 9}, shadow},
                                                               {{264, 8, 265, 152}, shadow}}) {
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                ASSERT_EQ(pixel(x, y), colour) << x << ", " << y;
            }
        }
    }
    // Captions: dark pixels in the middle of each button, along the top of each label.
    for (const char* name : {"cmdOK", "cmdNextTip", "cmdAbout", "Label1", "lblTipText"}) {
        RECT area;
        GetWindowRect(controls[name], &area);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
        area = name[0] == 'c' ? RECT{area.left + 15, area.top + 8, area.right - 15, area.bottom - 8}
                              : RECT{area.left, area.top, area.right, area.top + 12};
        bool dark = false;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                const std::uint32_t p = pixel(x, y);
                dark = dark || (p & 0xFF) + (p >> 8 & 0xFF) + (p >> 16 & 0xFF) < 3 * 128;
            }
        }
        EXPECT_TRUE(dark) << name;
    }
    Press(window, VK_ESCAPE);
    EXPECT_EQ(run.End(), 0);
}

// Tab goes round the buttons and boxes in the design's order, the labels passed over, and the
// focused button is the default one; Enter clicks it, or "OK" when the focus is on a box. The
// About box is modal, with one OK button and no icon.
TEST_F(WindowTest, KeyboardAndAbout) {
    ASSERT_NO_FATAL_FAILURE(Open(kJoke));
    const auto focusIs = [&](const char* name) {
        const HWND expected = controls[name[0] == 'c' ? name : "cmdOK"];
        return WaitFor([&] {
            return Focus(window) == controls[name] &&
                   (GetWindowLongPtrW(expected, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        });
    };
    ASSERT_TRUE(focusIs("cmdOK"));
    for (const char* next : {"Picture1", "cmdNextTip", "cmdAbout", "Picture2", "cmdOK", "Picture1",
                             "cmdNextTip", "cmdAbout"}) {
        Press(window, VK_TAB);
        ASSERT_TRUE(focusIs(next)) << next;
    }
    Press(window, VK_RETURN);
    const HWND box = run.WaitForWindow(true);
    ASSERT_NE(box, nullptr) << "Enter on the About button opened nothing";
    EXPECT_EQ(Read(box), "Zinoquet | " + AboutText() + " | OK");
    EXPECT_FALSE(IsWindowEnabled(window)) << "the window takes clicks under the box";
    Press(box, VK_RETURN);
    ASSERT_TRUE(focusIs("cmdAbout")) << "the focus did not come back";
    Press(window, VK_TAB);
    ASSERT_TRUE(focusIs("Picture2"));
    Press(window, VK_RETURN);
    EXPECT_EQ(run.End(), 0);
}

// "Blague suivante" draws again from the whole file, repeats allowed; the close box ends the run.
TEST_F(WindowTest, NextJokeDrawsFromTheFile) {
    ASSERT_NO_FATAL_FAILURE(Open("un\r\ndeux\r\ntrois\r\n"));
    std::set<std::string> seen{TextOf(controls["lblTipText"])};
    for (int click = 0; click < 300 && seen.size() < 3; ++click) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(controls["cmdNextTip"], BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kHangMs,
                            &ignored);
        seen.insert(TextOf(controls["lblTipText"]));
    }
    EXPECT_EQ(seen, (std::set<std::string>{"un", "deux", "trois"}));
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(run.End(), 0);
}

}  // namespace
}  // namespace farlous
