// FARLOUS.EXE end to end, driven from outside as a user would drive it, through Windows' own
// interfaces: each run gets a copy of the program in a folder of its own and its setting written
// by reg.exe; its windows are found, read and given keys through the window manager, and what
// it leaves behind is compared with what was there. The program is the one beside this test.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
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
#include "window/win32/resource_picture.h"
#include "window/win32/screen_geometry.h"

namespace farlous {
namespace {

namespace fs = std::filesystem;
using testing::Long;
using testing::PrintTo;
using testing::RowName;
using testing::TemporaryFolder;
using testing::WriteFile;

// Long enough for a slow machine; a run that takes longer hangs.
constexpr auto kHang = std::chrono::seconds(20);
constexpr DWORD kHangMs = 20000;
constexpr int kDpi = USER_DEFAULT_SCREEN_DPI;
const std::string kJoke = "Quel est le comble pour un électricien ? Être au courant de tout.";
const std::wstring kSettings = L"Software\\VB and VBA Program Settings";

fs::path Beside(const wchar_t* name) {
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return fs::path(self).parent_path() / name;
}

// Waits for `found` to give something, for kHang at most.
template <typename Result>
Result WaitFor(const std::function<Result()>& found) {
    const auto deadline = std::chrono::steady_clock::now() + kHang;
    Result result = found();
    while (!result && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        result = found();
    }
    return result;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// A window's text, asked of the program that owns it.
std::string TextOf(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kHangMs, &length);
    std::wstring text(length + 1, L'\0');
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

// Every key and value under HKEY_CURRENT_USER\`path`, as text.
std::wstring RegistryDump(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return L"(absent)";
    }
    std::wstring dump;
    wchar_t name[256];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 256, dataSize = sizeof data, type = 0;
        if (RegEnumValueW(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        dump += path + L"=" + name + L":" + std::to_wstring(type) + L":" +
                std::wstring(reinterpret_cast<wchar_t*>(data), dataSize / sizeof(wchar_t)) + L"\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 256;
        if (RegEnumKeyExW(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        dump += RegistryDump(path + L"\\" + name);
    }
    RegCloseKey(key);
    return dump;
}

// Names, sizes and times of everything in a folder.
std::wstring Listing(const fs::path& folder) {
    std::wstring listing;
    testing::ForEachEntry(folder, [&](const fs::path& entry, const WIN32_FIND_DATAW& data) {
        listing += entry.wstring() + L" " + std::to_wstring(data.nFileSizeLow) + L" " +
                   std::to_wstring(data.ftLastWriteTime.dwLowDateTime) + L"\n";
    });
    return listing;
}

DWORD RunCommand(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process)) {
        return GetLastError();
    }
    WaitForSingleObject(process.hProcess, kHangMs);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

// One run of a copy of the program named `exeName`, in a folder of its own, its standard error
// kept in a file elsewhere.
class ProgramRun {
public:
    TemporaryFolder program, output;
    const std::wstring exeName;
    const fs::path jokes;

    // A `deep` run's folder is as long as Windows can still start a program in: 250 characters.
    // Named "F", the program's own path is 256 characters long; FARLOUS.TXT's is past the 260 of
    // MAX_PATH.
    explicit ProgramRun(std::wstring name = L"FARLOUS", bool deep = false)
        : exeName(std::move(name)), jokes(Folder(deep) / "FARLOUS.TXT") {
        CopyFileW(Long(Beside(L"FARLOUS.EXE")).c_str(),
                  Long(jokes.parent_path() / (exeName + L".EXE")).c_str(), TRUE);
        RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey().c_str());
    }
    ~ProgramRun() {
        if (process_.hProcess != nullptr) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, kHangMs);
            CloseHandle(process_.hProcess);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey().c_str());
    }

    // Writes the setting for the program named `name` as a user would: with reg.exe.
    static DWORD SetSetting(const std::wstring& name, const std::wstring& value) {
        return RunCommand(L"reg.exe add \"HKCU\\" + kSettings + L"\\" + name +
                          L"\\Options\" /v \"Show Tips at Startup\" /t REG_SZ /d \"" + value +
                          L"\" /f");
    }

    bool Start() {
        before_ = Listing(program.path()) + RegistryDump(SettingsKey());
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        const HANDLE error = CreateFileW((output.path() / "stderr.txt").c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = error;
        const std::wstring exe = (jokes.parent_path() / (exeName + L".EXE")).wstring();
        std::wstring commandLine = L"\"" + exe + L"\"";
        const bool started = CreateProcessW(Long(exe).c_str(), commandLine.data(), nullptr, nullptr,
                                            TRUE, 0, nullptr, nullptr, &startup, &process_);
        CloseHandle(error);
        if (started) CloseHandle(process_.hThread);
        return started;
    }

    // The exit code, or -1 when the program does not end.
    int End() {
        DWORD exitCode = 0;
        if (WaitForSingleObject(process_.hProcess, kHangMs) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process_.hProcess, &exitCode)) {
            return -1;
        }
        CloseHandle(process_.hProcess);
        process_.hProcess = nullptr;
        return static_cast<int>(exitCode);
    }
    bool Ended() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

    // What the program wrote: nothing, whatever it did.
    bool Unchanged() const {
        return Listing(program.path()) + RegistryDump(SettingsKey()) == before_;
    }

    std::string StandardError() const {
        std::ifstream file(output.path() / "stderr.txt", std::ios::binary);  // a short path
        return {std::istreambuf_iterator<char>(file), {}};
    }

    // The program's visible top-level windows: its own, and message boxes ("#32770").
    std::vector<HWND> Windows() const {
        struct Search {
            DWORD id;
            std::vector<HWND> found;
        } search{process_.dwProcessId, {}};
        EnumWindows(
            [](HWND window, LPARAM data) {
                auto& s = *reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s.id && IsWindowVisible(window)) s.found.push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    HWND Window(bool messageBox) const {
        for (HWND window : Windows()) {
            if ((ClassOf(window) == L"#32770") == messageBox) return window;
        }
        return nullptr;
    }
    HWND WaitForWindow(bool messageBox) const {
        return WaitFor<HWND>([&] { return Window(messageBox); });
    }

private:
    std::wstring SettingsKey() const { return kSettings + L"\\" + exeName; }
    fs::path Folder(bool deep) const {
        if (!deep) return program.path();
        // In names that no code page holds.
        const fs::path named = program.path() / L"Blagues \u00e9t\u00e9 \U0001F95A \u03a9";
        return program.Subfolder(named.lexically_relative(program.path()) /
                                 std::wstring(250 - named.wstring().size() - 1, L'x'));
    }

    PROCESS_INFORMATION process_{};
    std::wstring before_;
};

// The control of `window` that has the keyboard focus.
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

// The window's controls by their design names, found where the design puts them.
std::map<std::string_view, HWND> Controls(HWND window) {
    std::map<std::string_view, HWND> controls;
    for (HWND child : Children(window)) {
        const RECT place = PlaceOf(child);
        for (const ControlDesign& design : kFrmTipControls) {
            const RECT designed =
                ScreenRect(design.left, design.top, design.width, design.height, kDpi);
            const bool inFrame = GetParent(child) == window;
            if (EqualRect(&place, &designed) && inFrame == (design.container == "frmTip")) {
                controls[design.name] = child;
            }
        }
    }
    return controls;
}

// The text and buttons of a message box, and whether it shows an icon.
struct MessageBoxSeen {
    std::string caption, text;
    std::vector<std::string> buttons;
    bool icon = false;
};
MessageBoxSeen Read(HWND box) {
    MessageBoxSeen seen{TextOf(box), {}, {}, false};
    for (HWND child : Children(box)) {
        if (!IsWindowVisible(child)) continue;
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (ClassOf(child) == L"Button") seen.buttons.push_back(TextOf(child));
        if (ClassOf(child) == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
            DWORD_PTR icon = 0;
            SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kHangMs, &icon);
            seen.icon = seen.icon || icon != 0;
        } else if (ClassOf(child) == L"Static" && !TextOf(child).empty()) {
            seen.text = TextOf(child);
        }
    }
    return seen;
}

// The program's runs: the jokes file each one finds, its setting, and how it ends: a window
// showing `shown` in the joke label and closed with `key`, or a message box saying `error`
// and closed with Enter, or nothing at all.
enum class Jokes { Joke, Held, Missing, Folder, Hidden, LowerCase, Windows1252, Utf8, Empty };
struct RunRow {
    std::string name;
    std::wstring exeName, settingFor, setting;  // no setting when `setting` is empty
    Jokes jokes;
    std::string shown, error;
    UINT key;
    int exitCode;
};

class RunTest : public ::testing::TestWithParam<RunRow> {};

TEST_P(RunTest, EndsAsExpectedAndWritesNothing) {
    const RunRow& row = GetParam();
    ProgramRun run(row.exeName, row.name == "DeepFolder");
    std::optional<HANDLE> held;
    switch (row.jokes) {
        case Jokes::Joke:
        case Jokes::Held:
            WriteFile(run.jokes, kJoke + "\r\n");
            // Held by another program that shares it with nobody: an open would fail.
            if (row.jokes == Jokes::Held) {
                held = CreateFileW(Long(run.jokes).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   0, nullptr);
            }
            break;
        case Jokes::Missing:
            break;
        case Jokes::Folder:
            CreateDirectoryW(Long(run.jokes).c_str(), nullptr);
            break;
        case Jokes::Hidden:
            WriteFile(run.jokes, kJoke);
            SetFileAttributesW(Long(run.jokes).c_str(), FILE_ATTRIBUTE_HIDDEN);
            break;
        case Jokes::LowerCase:
            WriteFile(run.jokes.parent_path() / "farlous.txt", kJoke);
            break;
        case Jokes::Windows1252:
            WriteFile(run.jokes, "Cr\xe8me br\xfbl\xe9\x65 \x80 2\r\n");
            break;
        case Jokes::Utf8:
            WriteFile(run.jokes, "\xEF\xBB\xBF\xC5\x92uf \xC3\xA0 la coque \xF0\x9F\xA5\x9A\n");
            break;
        case Jokes::Empty:
            WriteFile(run.jokes, "");
            break;
    }
    if (!row.setting.empty()) {
        ASSERT_EQ(ProgramRun::SetSetting(row.settingFor, row.setting), 0u);
    }
    ASSERT_TRUE(run.Start());

    if (!row.error.empty()) {
        const HWND box = run.WaitForWindow(true);
        ASSERT_NE(box, nullptr) << "no message box";
        const MessageBoxSeen seen = Read(box);
        EXPECT_EQ(seen.caption, "Zinoquet");
        std::string error = row.error;
        if (const auto at = error.find("%1"); at != std::string::npos) {
            error.replace(at, 2, WideToUtf8(run.jokes.wstring()));
        }
        EXPECT_EQ(seen.text, error);
        EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
        EXPECT_EQ(run.Window(false), nullptr) << "the window showed before the error";
        Press(box, VK_RETURN);
        EXPECT_EQ(run.End(), row.exitCode);
        EXPECT_NE(run.StandardError().find("Zinoquet : " + error + "\r\n"), std::string::npos)
            << run.StandardError();
    } else if (row.key != 0) {
        const HWND window = run.WaitForWindow(false);
        ASSERT_NE(window, nullptr) << "no window";
        const HWND label = Controls(window)["lblTipText"];
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(TextOf(label), row.shown);
        // With one joke or none, the next one is the same text. A click gives its button the
        // focus, and Enter would then click it again: Enter is for a window just opened.
        if (row.key == VK_ESCAPE) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(Controls(window)["cmdNextTip"], BM_CLICK, 0, 0, SMTO_ABORTIFHUNG,
                                kHangMs, &ignored);
            EXPECT_EQ(TextOf(label), row.shown);
        }
        Press(window, row.key);
        EXPECT_EQ(run.End(), row.exitCode);
    } else {
        // Nothing shows, not even for a moment, and the run ends by itself.
        const bool ended = WaitFor<bool>([&] {
            EXPECT_TRUE(run.Windows().empty());
            return run.Ended();
        });
        ASSERT_TRUE(ended);
        EXPECT_EQ(run.End(), row.exitCode);
        EXPECT_EQ(run.StandardError(), "");
    }
    if (held) CloseHandle(*held);
    EXPECT_TRUE(run.Unchanged());
    RegDeleteTreeW(HKEY_CURRENT_USER, (kSettings + L"\\" + row.settingFor).c_str());
}

const std::string kNotANumber = "Type incompatible : « abc » n'est pas un nombre.";
const std::string kHeldError = "Permission refusée : impossible de lire le fichier %1";

INSTANTIATE_TEST_SUITE_P(
    Runs, RunTest,
    ::testing::Values(
        // The setting at 0 ends the run before FARLOUS.TXT is opened: held, it would be an error.
        RunRow{"TipsOff", L"FARLOUS", L"FARLOUS", L"0", Jokes::Held, "", "", 0, 0},
        RunRow{"HeldFileIsAnError", L"FARLOUS", L"", L"", Jokes::Held, "", kHeldError, 0, 1},
        RunRow{"TipsOffRenamed", L"Autre", L"Autre", L" 0,4 ", Jokes::Held, "", "", 0, 0},
        RunRow{"OtherNamesSetting", L"Autre", L"FARLOUS", L"0", Jokes::Joke, kJoke, "", VK_ESCAPE,
               0},
        RunRow{"NotANumber", L"FARLOUS", L"FARLOUS", L"abc", Jokes::Held, "", kNotANumber, 0, 1},
        RunRow{"MinusOneShows", L"FARLOUS", L"FARLOUS", L"-1", Jokes::Joke, kJoke, "", VK_RETURN,
               0},
        RunRow{"Missing", L"FARLOUS", L"", L"", Jokes::Missing, MissingFileText(), "", VK_ESCAPE,
               0},
        RunRow{"Folder", L"FARLOUS", L"", L"", Jokes::Folder, MissingFileText(), "", VK_ESCAPE, 0},
        RunRow{"Hidden", L"FARLOUS", L"", L"", Jokes::Hidden, MissingFileText(), "", VK_ESCAPE, 0},
        RunRow{"LowerCaseName", L"FARLOUS", L"", L"", Jokes::LowerCase, kJoke, "", VK_ESCAPE, 0},
        RunRow{"Windows1252", L"FARLOUS", L"", L"", Jokes::Windows1252, "Crème brûlée € 2", "",
               VK_ESCAPE, 0},
        RunRow{"Utf8", L"FARLOUS", L"", L"", Jokes::Utf8, "Œuf à la coque 🥚", "", VK_ESCAPE,
               0},
        RunRow{"Empty", L"FARLOUS", L"", L"", Jokes::Empty, "", "", VK_RETURN, 0},
        RunRow{"DeepFolder", L"F", L"", L"", Jokes::Joke, kJoke, "", VK_ESCAPE, 0}),
    RowName<RunRow>);

class WindowTest : public ::testing::Test {
protected:
    ProgramRun run;
    HWND window = nullptr;
    std::map<std::string_view, HWND> controls;

    void Open(const std::string& jokes) {
        WriteFile(run.jokes, jokes);
        ASSERT_TRUE(run.Start());
        window = run.WaitForWindow(false);
        ASSERT_NE(window, nullptr) << "no window";
        controls = Controls(window);
    }
};

// Every control at its designed place with its caption, and the pixels that do not depend on
// the fonts: margins in the face colour, white panels, sunken frames, the logo. What was seen is
// kept as farlous-windows.bmp.
TEST_F(WindowTest, LooksAsDesigned) {
    ASSERT_NO_FATAL_FAILURE(Open(kJoke));
    EXPECT_EQ(TextOf(window), WindowCaption());
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT designed = ScreenRect(kClientLeft, kClientTop, kClientWidth, kClientHeight, kDpi);
    EXPECT_TRUE(EqualRect(&client, &designed))
        << client.left << ", " << client.top << ", " << client.right << ", " << client.bottom;
    for (const ControlDesign& design : kFrmTipControls) {
        ASSERT_TRUE(controls.contains(design.name)) << design.name << " not at its place";
        const HWND control = controls[design.name];
        if (design.kind == ControlKind::PictureBox) {
            EXPECT_TRUE(GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_STATICEDGE);
        } else if (design.name != "lblTipText") {
            EXPECT_EQ(TextOf(control), design.caption);
        }
    }

    // The logo as the program's own resource decodes, and what the screen shows: the program
    // paints after showing, so wait for the logo, the last thing it needs.
    const HMODULE exe = LoadLibraryExW(Beside(L"FARLOUS.EXE").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    const HBITMAP logo = LoadResourcePicture(exe, L"logo/glimbo.jpg", kDpi);
    ASSERT_NE(logo, nullptr);
    const int width = client.right - client.left, height = client.bottom - client.top;
    std::vector<std::uint32_t> logoPixels(352 * 140), screen(width * height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, 352, -140, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const HDC dc = GetDC(nullptr);
    GetDIBits(dc, logo, 0, 140, logoPixels.data(), &info, DIB_RGB_COLORS);
    const auto pixel = [&](int x, int y) { return screen[y * width + x] & 0xFFFFFF; };
    const RECT logoBox = PlaceOf(controls["Picture2"]);
    const auto logoShown = [&] {
        for (int y = 0; y < 140; ++y) {
            for (int x = 0; x < 351; ++x) {
                if (pixel(logoBox.left + 1 + x, logoBox.top + 1 + y) !=
                    (logoPixels[y * 352 + x] & 0xFFFFFF)) {
                    return false;
                }
            }
        }
        return true;
    };
    const HDC memory = CreateCompatibleDC(dc);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    void* bits = nullptr;
    const HBITMAP shot = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(memory, shot);
    const bool painted = WaitFor<bool>([&] {
        BitBlt(memory, 0, 0, width, height, dc, client.left, client.top, SRCCOPY);
        // Opaque, as viewers read the fourth byte.
        std::transform(static_cast<std::uint32_t*>(bits),
                       static_cast<std::uint32_t*>(bits) + screen.size(), screen.begin(),
                       [](std::uint32_t p) { return p | 0xFF000000; });
        return logoShown();
    });
    {
        BITMAPFILEHEADER header{0x4D42, 0, 0, 0,
                                sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
        header.bfSize = header.bfOffBits + static_cast<DWORD>(screen.size() * 4);
        std::ofstream file("farlous-windows.bmp", std::ios::binary);
        file.write(reinterpret_cast<const char*>(&header), sizeof header);
        file.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        file.write(reinterpret_cast<const char*>(screen.data()), screen.size() * 4);
    }
    DeleteDC(memory);
    DeleteObject(shot);
    DeleteObject(logo);
    ReleaseDC(nullptr, dc);
    FreeLibrary(exe);
    EXPECT_TRUE(painted) << "the logo is not where it belongs";

    std::string stray;  // the first pixel of each area that is not as designed
    const auto expect = [&](const RECT& area, std::uint32_t colour, bool is) {
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if ((pixel(x, y) == colour) != is) {
                    stray += " (" + std::to_string(x) + ", " + std::to_string(y) + ")";
                    return;
                }
            }
        }
    };
    const std::uint32_t face = pixel(width - 1, height - 1);
    const std::uint32_t white = 0xFFFFFF;
    // The margins and gaps of the design, and below the logo; the panel inside its frame,
    // around its labels.
    for (const RECT& area : std::initializer_list<RECT>{{0, 0, 624, 8},
                                                        {257, 0, 264, 189},
                                                        {617, 0, 624, 189},
                                                        {257, 153, 624, 160},
                                                        {257, 185, 624, 189},
                                                        {369, 160, 384, 185},
                                                        {497, 160, 512, 185},
                                                        {265, 149, 616, 152}}) {
        expect(area, face, true);
    }
    for (const RECT& area : std::initializer_list<RECT>{
             {1, 9, 256, 17}, {1, 9, 9, 188}, {250, 9, 256, 188}, {1, 182, 256, 188}}) {
        expect(area, white, true);
    }
    // Sunken frames: a dark line along the top and the left.
    for (const RECT& box : {PlaceOf(controls["Picture1"]), logoBox}) {
        const std::uint32_t shadow = pixel(box.left, box.top);
        EXPECT_TRUE(shadow != face && shadow != white);
        expect({box.left, box.top, box.right - 1, box.top + 1}, shadow, true);
        expect({box.left, box.top, box.left + 1, box.bottom - 1}, shadow, true);
    }
    EXPECT_TRUE(stray.empty()) << stray;
    // Captions: dark pixels in the middle of each button, and along the top of each label.
    const auto hasText = [&](RECT area) {
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                const std::uint32_t p = pixel(x, y);
                if ((p & 0xFF) + (p >> 8 & 0xFF) + (p >> 16 & 0xFF) < 3 * 128) return true;
            }
        }
        return false;
    };
    for (const char* name : {"cmdOK", "cmdNextTip", "cmdAbout"}) {
        RECT middle = PlaceOf(controls[name]);
        InflateRect(&middle, -15, -8);
        EXPECT_TRUE(hasText(middle)) << name;
    }
    for (const char* name : {"Label1", "lblTipText"}) {
        RECT top = PlaceOf(controls[name]);
        MapWindowPoints(controls["Picture1"], window, reinterpret_cast<POINT*>(&top), 2);
        top.bottom = top.top + 12;
        EXPECT_TRUE(hasText(top)) << name;
    }
    Press(window, VK_ESCAPE);
    EXPECT_EQ(run.End(), 0);
}

// Tab goes round the buttons and boxes in the design's order, the labels passed over; Enter
// clicks the focused button, or "OK" when the focus is on a box.
TEST_F(WindowTest, KeyboardFollowsTheTabOrder) {
    ASSERT_NO_FATAL_FAILURE(Open(kJoke));
    // The button drawn as the default one: Enter clicks it.
    const auto defaultButton = [&] {
        for (const char* name : {"cmdOK", "cmdNextTip", "cmdAbout"}) {
            const LONG_PTR style = GetWindowLongPtrW(controls[name], GWL_STYLE);
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return std::string(name);
        }
        return std::string();
    };
    const auto focusIs = [&](const char* name) {
        const std::string expected = name[0] == 'c' ? name : "cmdOK";
        return WaitFor<bool>(
            [&] { return Focus(window) == controls[name] && defaultButton() == expected; });
    };
    ASSERT_TRUE(focusIs("cmdOK")) << "default " << defaultButton();
    for (const char* next : {"Picture1", "cmdNextTip", "cmdAbout", "Picture2", "cmdOK", "Picture1",
                             "cmdNextTip", "cmdAbout"}) {
        Press(window, VK_TAB);
        ASSERT_TRUE(focusIs(next)) << next << ", default " << defaultButton();
    }
    Press(window, VK_RETURN);
    const HWND box = run.WaitForWindow(true);
    ASSERT_NE(box, nullptr) << "Enter on the About button opened nothing";
    Press(box, VK_RETURN);
    ASSERT_TRUE(WaitFor<bool>([&] { return run.Window(true) == nullptr; }));
    ASSERT_TRUE(focusIs("cmdAbout")) << "the focus did not come back";
    Press(window, VK_TAB);
    ASSERT_TRUE(focusIs("Picture2"));
    Press(window, VK_RETURN);
    EXPECT_EQ(run.End(), 0);
}

// The About box: modal over the window, one OK button, no icon, the program's title.
TEST_F(WindowTest, AboutIsAModalMessage) {
    ASSERT_NO_FATAL_FAILURE(Open(kJoke));
    PostMessageW(controls["cmdAbout"], BM_CLICK, 0, 0);
    const HWND box = run.WaitForWindow(true);
    ASSERT_NE(box, nullptr) << "no About box";
    const MessageBoxSeen seen = Read(box);
    EXPECT_EQ(seen.caption, "Zinoquet");
    EXPECT_EQ(seen.text, AboutText());
    EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(seen.icon);
    EXPECT_FALSE(IsWindowEnabled(window)) << "the window takes clicks under the box";
    Press(box, VK_RETURN);
    ASSERT_TRUE(WaitFor<bool>([&] { return IsWindowEnabled(window) != FALSE; }));
    EXPECT_EQ(TextOf(controls["lblTipText"]), kJoke);
    // The close box ends the run like "OK".
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(run.End(), 0);
}

// "Blague suivante" draws again from the whole file, repeats allowed.
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
    Press(window, VK_ESCAPE);
    EXPECT_EQ(run.End(), 0);
}

}  // namespace
}  // namespace farlous
