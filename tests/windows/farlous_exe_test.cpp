// FARLOUS.EXE end to end under Wine, driven from outside as a user would: each run gets a copy of
// the program in a folder of its own and its setting written by reg.exe; its windows are found,
// read and given keys through the window manager. The program is the one beside this test.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/win32_long_path.h"
#include "platform/win32_text.h"
#include "support/row_name.h"
#include "window/fixed_texts.h"
#include "window/frm_tip_design.h"
#include "window/win32/screen_geometry.h"

namespace farlous {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kHangMs = 20000;  // long enough for a slow machine; a run taking longer hangs
const std::string kJoke = "Quel est le comble pour un électricien ? Être au courant de tout.";
const std::wstring kSettings = L"Software\\VB and VBA Program Settings\\";

// The long-path form, so that folders of any depth work; the C and C++ libraries stop at MAX_PATH.
std::wstring Long(const fs::path& path) { return LongPathForm(path.wstring()); }

// Waits for `found` to be true, for kHangMs at most.
bool WaitFor(const std::function<bool()>& found) {
    for (DWORD waited = 0; !found(); waited += 10) {
        if (waited >= kHangMs) return false;
        Sleep(10);
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

// Every window under `parent`, however deep.
std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> all;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        all.push_back(child);
        for (HWND inner : Children(child)) all.push_back(inner);
    }
    return all;
}

// A control's rectangle in the client area of `window`, its parent's by default.
RECT PlaceOf(HWND control, HWND window = nullptr) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window ? window : GetParent(control), reinterpret_cast<POINT*>(&rect),
                    2);
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

// The ways to close the window.
void Escape(HWND window) { Press(window, VK_ESCAPE); }
void Enter(HWND window) { Press(window, VK_RETURN); }
void CloseBox(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

// One run of a copy of the program named `exeName`, in a folder of its own. A `deep` run's folder
// has names that no code page holds and is as long as Windows still starts a program in:
// FARLOUS.TXT's path is past MAX_PATH.
class ProgramRun {
public:
    const fs::path folder;
    const std::wstring exeName;
    fs::path jokes;

    explicit ProgramRun(std::wstring name = L"FARLOUS", bool deep = false)
        : folder(fs::temp_directory_path() / ("farlous-" + std::to_string(GetCurrentProcessId()) +
                                              "-" + std::to_string(++runs_))),
          exeName(std::move(name)),
          jokes(folder) {
        CreateDirectoryW(folder.c_str(), nullptr);
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
        CloseHandle(process_.hProcess);
        RegDeleteTreeW(HKEY_CURRENT_USER, (kSettings + exeName).c_str());
        DeleteFileW(Long(jokes).c_str());
        DeleteFileW(Long(jokes.parent_path() / (exeName + L".EXE")).c_str());
        for (fs::path made = jokes.parent_path(); made != folder.parent_path();
             made = made.parent_path()) {
            RemoveDirectoryW(Long(made).c_str());
        }
    }

    void WriteJokes(const std::string& bytes) const {
        const HANDLE file = CreateFileW(Long(jokes).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        EXPECT_TRUE(
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        CloseHandle(file);
    }

    // Writes the setting as a user would, with reg.exe; gives its exit code.
    int SetSetting(const std::wstring& value) const {
        return _wsystem((L"reg.exe add \"HKCU\\" + kSettings + exeName +
                         L"\\Options\" /v \"Show Tips at Startup\" /d \"" + value + L"\" /f")
                            .c_str());
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
    int End() const {
        DWORD exitCode = -1;
        if (WaitForSingleObject(process_.hProcess, kHangMs) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process_.hProcess, &exitCode);
        }
        return static_cast<int>(exitCode);
    }
    bool Ended() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

    // The program's visible top-level window of the kind asked, its own or a message box; waited
    // for if `wait`.
    HWND Window(bool messageBox, bool wait = true) const {
        HWND found = nullptr;
        const auto find = [&] {
            for (found = nullptr; (found = FindWindowExW(nullptr, found, nullptr, nullptr));) {
                DWORD owner = 0;
                GetWindowThreadProcessId(found, &owner);
                if (owner == process_.dwProcessId && IsWindowVisible(found) &&
                    (ClassOf(found) == L"#32770") == messageBox) {
                    return true;
                }
            }
            return false;
        };
        if (wait)
            WaitFor(find);
        else
            find();
        return found;
    }

private:
    static inline int runs_ = 0;
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
        if (!IsWindowVisible(child)) continue;
        if (ClassOf(child) == L"Button") {
            buttons.append(" ").append(TextOf(child));
        } else if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
            text += TextOf(child);
        } else if (SendMessageW(child, STM_GETICON, 0, 0) != 0) {
            icon = " (icon)";
        }
    }
    return TextOf(box) + " | " + text + " |" + buttons + icon;
}

// The program's runs: the jokes file each one finds, whether another program holds it, the
// setting, and how the run ends: a message box saying `error`, closed with Enter; a window
// showing `shown`, closed by `close`; or nothing at all.
struct RunRow {
    std::string name;
    std::wstring exeName, setting;  // no setting when empty
    std::optional<std::string> jokes;
    bool held;
    std::string shown, error;
    void (*close)(HWND);
    int exitCode;
};
// A failing row prints as its name.
void PrintTo(const RunRow& row, std::ostream* out) { *out << row.name; }
class RunTest : public ::testing::TestWithParam<RunRow> {};

TEST_P(RunTest, EndsAsExpected) {
    const RunRow& row = GetParam();
    ProgramRun run(row.exeName, row.name == "DeepFolder");
    if (row.jokes) run.WriteJokes(*row.jokes);
    // Shared with nobody, so that opening it is an error.
    const HANDLE held = row.held ? CreateFileW(Long(run.jokes).c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, 0, nullptr)
                                 : INVALID_HANDLE_VALUE;
    if (!row.setting.empty()) {
        ASSERT_EQ(run.SetSetting(row.setting), 0);
    }
    ASSERT_TRUE(run.Start());
    if (!row.error.empty()) {
        const HWND box = run.Window(true);
        ASSERT_NE(box, nullptr) << "no message box";
        std::string error = row.error;
        if (const auto at = error.find("%1"); at != std::string::npos) {
            error.replace(at, 2, WideToUtf8(run.jokes.wstring()));
        }
        EXPECT_EQ(Read(box), "Zinoquet | " + error + " | OK");
        EXPECT_EQ(run.Window(false, false), nullptr) << "the window showed before the error";
        Press(box, VK_RETURN);
    } else if (row.close != nullptr) {
        const HWND window = run.Window(false);
        ASSERT_NE(window, nullptr) << "no window";
        EXPECT_EQ(TextOf(Controls(window)["lblTipText"]), row.shown);
        row.close(window);
    } else {
        // Nothing shows, not even for a moment, and the run ends by itself.
        bool shown = false;
        EXPECT_TRUE(WaitFor([&] {
            shown = shown || run.Window(true, false) || run.Window(false, false);
            return shown || run.Ended();
        }));
        EXPECT_FALSE(shown);
    }
    EXPECT_EQ(run.End(), row.exitCode);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunTest,
    ::testing::Values(
        // At 0 the run ends before FARLOUS.TXT is opened: held, it would be an error.
        RunRow{"TipsOff", L"FARLOUS", L"0", kJoke, true, "", "", nullptr, 0},
        RunRow{"HeldFileIsAnError", L"FARLOUS", L"", kJoke, true, "",
               "Permission refusée : impossible de lire le fichier %1", nullptr, 1},
        // A renamed program reads the setting of its own name.
        RunRow{"NotANumber", L"Autre", L"abc", kJoke, true, "",
               "Type incompatible : « abc » n'est pas un nombre.", nullptr, 1},
        RunRow{"Missing", L"FARLOUS", L"", std::nullopt, false, MissingFileText(), "", Escape, 0},
        RunRow{"Windows1252", L"FARLOUS", L"1", "Cr\xe8me br\xfbl\xe9\x65 \x80 2\r\n", false,
               "Crème brûlée € 2", "", Enter, 0},
        RunRow{"Utf8", L"FARLOUS", L"",
               "\xEF\xBB\xBF\xC5\x92uf \xC3\xA0 la coque \xF0\x9F\xA5\x9A\n", false,
               "Œuf à la coque 🥚", "", CloseBox, 0},
        RunRow{"DeepFolder", L"F", L"", kJoke, false, kJoke, "", Enter, 0}),
    testing::RowName());

class WindowTest : public ::testing::Test {
protected:
    ProgramRun run;
    HWND window = nullptr;
    std::map<std::string_view, HWND> controls;

    void Open(const std::string& jokes) {
        run.WriteJokes(jokes);
        ASSERT_TRUE(run.Start());
        window = run.Window(false);
        ASSERT_NE(window, nullptr) << "no window";
        controls = Controls(window);
    }
};

// The window at its place and size, every control at its place with its caption, and on the
// screen: margins in the face colour, white panels, sunken frames, the logo, captions drawn.
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
    // How many pixels of `area` are `as` wanted.
    const auto count = [&](const RECT& area, const std::function<bool(std::uint32_t)>& as) {
        int found = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x)
                found += as(screen[y * width + x] & 0xFFFFFF);
        }
        return found;
    };
    const HDC dc = GetDC(nullptr), memory = CreateCompatibleDC(dc);
    const HBITMAP shot = CreateCompatibleBitmap(dc, width, height);
    SelectObject(memory, shot);
    EXPECT_TRUE(WaitFor([&] {
        BitBlt(memory, 0, 0, width, height, dc, client.left, client.top, SRCCOPY);
        GetDIBits(memory, shot, 0, height, screen.data(), &info, DIB_RGB_COLORS);
        std::set<std::uint32_t> colours;
        count({265, 9, 616, 149}, [&](std::uint32_t p) { return colours.insert(p).second; });
        return colours.size() > 100;
    })) << "no logo";
    DeleteDC(memory);
    DeleteObject(shot);
    ReleaseDC(nullptr, dc);

    // Margins and gaps in the face colour, the panel white around its labels, the sunken frames'
    // dark line along the top and the left, wholly; black somewhere in each button's and label's
    // caption.
    const std::uint32_t face = screen.back() & 0xFFFFFF, white = 0xFFFFFF;
    const std::uint32_t shadow = screen[8 * width] & 0xFFFFFF;
    EXPECT_TRUE(shadow != face && shadow != white);
    const struct {
        RECT area;
        std::uint32_t colour;
        bool whole;
    } areas[] = {{{0, 0, 624, 8}, face, true},       {{257, 0, 264, 189}, face, true},
                 {{257, 153, 624, 160}, face, true}, {{369, 160, 384, 185}, face, true},
                 {{1, 9, 256, 17}, white, true},     {{1, 9, 9, 188}, white, true},
                 {{0, 8, 256, 9}, shadow, true},     {{264, 8, 265, 152}, shadow, true},
                 {{279, 168, 354, 177}, 0, false},   {{399, 168, 482, 177}, 0, false},
                 {{527, 168, 602, 177}, 0, false},   {{9, 17, 90, 29}, 0, false},
                 {{9, 41, 250, 53}, 0, false}};
    for (const auto& [area, colour, whole] : areas) {
        const int others = count(area, [&](std::uint32_t p) { return p != colour; });
        EXPECT_TRUE(whole ? others == 0
                          : others < (area.right - area.left) * (area.bottom - area.top))
            << area.left << ", " << area.top;
    }
    Press(window, VK_ESCAPE);
    EXPECT_EQ(run.End(), 0);
}

// "Blague suivante" draws again from the whole file, repeats allowed. Tab goes round the buttons
// and boxes in the design's order, the labels passed over, and the focused button is the default
// one; Enter clicks it, or "OK" when the focus is on a box. The About box is modal, with one OK
// button and no icon.
TEST_F(WindowTest, ClicksKeysAndAbout) {
    ASSERT_NO_FATAL_FAILURE(Open("un\r\ndeux\r\ntrois\r\n"));
    const auto focusIs = [&](const char* name) {
        const HWND expected = controls[name[0] == 'c' ? name : "cmdOK"];
        return WaitFor([&] {
            return Focus(window) == controls[name] &&
                   (GetWindowLongPtrW(expected, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        });
    };
    ASSERT_TRUE(focusIs("cmdOK"));
    std::set<std::string> seen{TextOf(controls["lblTipText"])};
    for (int click = 0; click < 300 && seen.size() < 3; ++click) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(controls["cmdNextTip"], BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kHangMs,
                            &ignored);
        seen.insert(TextOf(controls["lblTipText"]));
    }
    EXPECT_EQ(seen, (std::set<std::string>{"un", "deux", "trois"}));
    // The click left the focus on "Blague suivante".
    for (const char* next :
         {"cmdAbout", "Picture2", "cmdOK", "Picture1", "cmdNextTip", "cmdAbout"}) {
        Press(window, VK_TAB);
        ASSERT_TRUE(focusIs(next)) << next;
    }
    Press(window, VK_RETURN);
    const HWND box = run.Window(true);
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

}  // namespace
}  // namespace farlous
