// FARLOUS.EXE end to end under Wine, watched from outside as its user sees it: each run gets a
// copy of the program in C:\farlous and its setting in the registry; its windows are measured,
// read, captured from the screen and given keys. ctest runs it in the build folder, where the
// program is, with drive X: mapped to C:\farlous, at the screen's dots per inch it sets.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::literals;
using Texts = std::set<std::wstring>;
using Pixels = std::vector<COLORREF>;

const fs::path kFolder = L"C:\\farlous";
const wchar_t kSettings[] = L"Software\\VB and VBA Program Settings\\FARLOUS";
const wchar_t kCaption[] = L"Glimbo http://www.glimbo.example";
const wchar_t kTitle[] = L"Zinoquet";
const wchar_t kJoke[] = L"Un été à 15 €";    // each run's FARLOUS.TXT, unless it says
const wchar_t kPanel[] = L"Blague du jour";  // the picture boxes' names, as screen readers say
const wchar_t kLogo[] = L"Logo de Glimbo";
const wchar_t kMissing[] =
    L"Si vous lisez ce texte, c'est que vous n'avez pas encore le fichier farlous.txt Pour avoir "
    L"ce fichier, téléchargez le sur http://www.glimbo.example/ et décompressez le dans le dossier "
    L"où vous avez installé ce programme (ex : C:/FARLOUS/). Dans le dossier où vous avez installé "
    L"le programme, cliquez sur FARLOUS.EXE avec le bouton droit et créez un raccourci que vous "
    L"allez placer dans C:/WINDOWS/MENU DEMARRER/PROGRAMMES/DEMARRAGE/";
const wchar_t kAbout[] =
    L"Ce programme vous est offert par Glimbo, Webzine d'humour fait par des cons, pour des cons, "
    L"disponible sur http://www.glimbo.example/ (textes, dessins et programme : la joyeuse équipe "
    L"de rédaction de Glimbo) Pour avoir plus de farlous, téléchargez la dernière version du "
    L"fichier farlous.txt sur http://www.glimbo.example/ Vous pouvez distribuer ce programme "
    L"librement, tant que vous mentionnez l'URL d'où il provient: http://www.glimbo.example/ Vous "
    L"pouvez vous rendre à cet URL pour y lire Glimbo, Webzine mensuel.";

// Waits for `done`, by default far beyond any run's needs, even on a loaded machine.
bool WaitFor(const auto& done, DWORD ms = 30000) {
    for (const DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start > ms) return false;
    return true;
}

std::wstring Text(HWND window) {
    wchar_t text[4096] = {};
    GetWindowTextW(window, text, 4096);
    return text;
}

// The screen's pixels over `part` of a window's client area, all of it if empty, row by row.
Pixels Grab(HWND window, RECT part = {}) {
    if (IsRectEmpty(&part)) GetClientRect(window, &part);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&part), 2);
    const LONG width = part.right - part.left, height = part.bottom - part.top;
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    Pixels pixels(width * height);
    const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    const HBITMAP shot = CreateCompatibleBitmap(screen, width, height);
    SelectObject(memory, shot);
    BitBlt(memory, 0, 0, width, height, screen, part.left, part.top, SRCCOPY);
    GetDIBits(memory, shot, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteDC(memory);
    DeleteObject(shot);
    ReleaseDC(nullptr, screen);
    for (COLORREF& c : pixels) c = RGB(GetBValue(c), GetGValue(c), GetRValue(c));  // was BGR
    return pixels;
}
bool Ink(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128; }

// What a run could write: the files in its folder, and its settings' key.
Texts Writable() {
    HKEY key = nullptr;
    Texts found{RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key) ? L"" : kSettings};
    RegCloseKey(key);
    for (const auto& file : fs::directory_iterator(kFolder)) found.insert(file.path().filename());
    return found;
}

// One run of the program's copy in C:\farlous, beside FARLOUS.TXT holding `jokes`. Its end is
// checked to have left the folder and the settings as they were.
struct ProgramRun {
    PROCESS_INFORMATION process{};
    HANDLE reports = nullptr;  // where the run's standard error goes, a pipe
    HANDLE console = nullptr;  // or there instead, if set
    Texts seen, before;        // the captions of the run's windows seen shown; what it could write

    explicit ProgramRun(const char* jokes = "Un été à 15 €") {
        fs::remove_all(L"\\\\?\\C:\\farlous");  // whatever the length of its paths
        fs::create_directory(kFolder);
        fs::copy_file("FARLOUS.EXE", kFolder / "FARLOUS.EXE");
        std::ofstream(kFolder / "FARLOUS.TXT", std::ios::binary) << jokes;
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettings);
        // No window manager on the test's display: Wine need not wait for one to drop a window.
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\FARLOUS.EXE\\X11 Driver",
                        L"Managed", REG_SZ, L"N", 4);
    }
    ~ProgramRun() {
        TerminateProcess(process.hProcess, 99);
        CloseHandle(reports);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    void Start(std::wstring exe = L"C:\\farlous\\FARLOUS.EXE") {
        before = Writable();
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = console;
        if (!console) CreatePipe(&reports, &startup.hStdError, &inherited, 0);
        ASSERT_TRUE(CreateProcessW(exe.c_str(), exe.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   L"C:\\windows", &startup, &process));
        if (!console) CloseHandle(startup.hStdError);
    }
    // What the run has written on its standard error, in UTF-8.
    std::wstring Reports() const {
        DWORD size = 0;
        PeekNamedPipe(reports, nullptr, 0, nullptr, &size, nullptr);
        std::string bytes(size, '\0');
        if (size > 0) ReadFile(reports, bytes.data(), size, &size, nullptr);  // reading 0 waits
        std::wstring text(size, L'\0');
        text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, text.data(), size));
        return text;
    }
    // The run's window captioned `caption` once shown, or null if the run ends first; every
    // window of the run seen shown meanwhile is noted.
    HWND Window(const wchar_t* caption) {
        HWND found = nullptr;
        WaitFor([&] {
            for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, nullptr));) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner != process.dwProcessId || !IsWindowVisible(w)) continue;
                // Under load a message box can be seen shown for an instant before its title.
                if (const std::wstring text = Text(w); !text.empty()) seen.insert(text);
                if (caption && Text(w) == caption) found = w;
            }
            return found || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
        });
        return found;
    }
    // The exit status, once the run ends by itself.
    int End() {
        Window(nullptr);
        DWORD status = STILL_ACTIVE;
        GetExitCodeProcess(process.hProcess, &status);
        EXPECT_EQ(Writable(), before) << "the run wrote";
        return static_cast<int>(status);
    }
    // The control with the run's keyboard focus, once one has it.
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        WaitFor([&] { return GetGUIThreadInfo(process.dwThreadId, &info) && info.hwndFocus; });
        return info.hwndFocus;
    }
    // A key pressed and released where the focus is.
    void Press(UINT key) const {
        PostMessageW(Focus(), WM_KEYDOWN, key, 1);
        PostMessageW(Focus(), WM_KEYUP, key, 0xC0000001);
    }
};

// A control by its text, in the window or in its picture box named `in`.
HWND Control(HWND window, const wchar_t* text, const wchar_t* in = nullptr) {
    return FindWindowExW(in ? Control(window, in) : window, nullptr, nullptr, text);
}
// The joke's label: the panel's label after its heading.
HWND JokeLabel(HWND window) {
    return GetWindow(Control(window, L"Zinoquet :", kPanel), GW_HWNDNEXT);
}
// A message box as read: its text, " | ", its buttons.
std::wstring Read(HWND box) {
    std::wstring texts[2];  // the box's text, its buttons
    for (HWND c = nullptr; (c = FindWindowExW(box, c, nullptr, nullptr));) {
        wchar_t kind[8] = {};
        if (!GetClassNameW(c, kind, 8) || !IsWindowVisible(c)) continue;
        const bool icon = kind == L"Static"sv && SendMessageW(c, STM_GETICON, 0, 0);
        texts[kind == L"Button"sv] += icon ? L"(icône)" : Text(c);
    }
    return texts[0] + L" | " + texts[1];
}

// A run as its jokes file and setting make it end: in a window showing `shown` (closed by
// Escape), in an error box saying `error` (closed by Enter), or with nothing shown.
enum class Jokes { Plain, None, Hidden, System, Folder, Held, InAnEditor, Huge };
struct RunRow {
    const char* name;
    Jokes jokes;
    DWORD type;               // the setting's kind, REG_NONE for no setting
    std::wstring_view value;  // its bytes, two by two; a text's final NUL goes without saying
    const wchar_t *shown, *error;
    const wchar_t* exe = L"C:\\farlous\\FARLOUS.EXE";
};
const std::wstring kLongZero = std::wstring(70, L' ') + L"0";  // longer than a short text
// A folder where the jokes' path is longer than MAX_PATH; the program's, short enough to start.
const std::wstring kDeep = L"C:\\farlous\\" + std::wstring(240, L'b') + L"\\F.EXE";
const RunRow kRuns[] = {
    {"NoSetting", Jokes::Plain, REG_NONE, L"", kJoke, nullptr},
    {"LongTextZero", Jokes::Plain, REG_SZ, kLongZero, nullptr, nullptr},
    {"ExpandTextZero", Jokes::Plain, REG_EXPAND_SZ, L"0\0"sv, nullptr, nullptr},
    // Told not to show, the run ends before it opens the jokes file.
    {"TextZero", Jokes::Held, REG_SZ, L"0", nullptr, nullptr},
    {"DwordZero", Jokes::Plain, REG_DWORD, L"\0\0"sv, nullptr, nullptr},
    {"QwordBeyond32Bits", Jokes::Plain, REG_QWORD, L"\0\0\x0001\0"sv, nullptr,
     L"Dépassement de capacité : « 4294967296 » ne tient pas dans un entier de 32 bits."},
    {"DwordAllOnesIsMinusOne", Jokes::Plain, REG_DWORD, L"\xFFFF\xFFFF", kJoke, nullptr},
    {"Binary", Jokes::Plain, REG_BINARY, L"\x0101", nullptr,
     L"Type incompatible : le réglage « Show Tips at Startup » n'est ni un texte ni un nombre."},
    {"MultiText", Jokes::Plain, REG_MULTI_SZ, L"0\0\0"sv, nullptr,
     L"Type incompatible : le réglage « Show Tips at Startup » n'est ni un texte ni un nombre."},
    {"TextNotANumber", Jokes::Plain, REG_SZ, L"abc", nullptr,
     L"Type incompatible : « abc » n'est pas un nombre."},
    {"JokesHeld", Jokes::Held, REG_NONE, L"", nullptr,
     L"Permission refusée : impossible de lire le fichier C:\\farlous\\FARLOUS.TXT"},
    {"JokesTooBig", Jokes::Huge, REG_NONE, L"", nullptr,
     L"Mémoire insuffisante pour lire le fichier C:\\farlous\\FARLOUS.TXT"},
    {"JokesOpenInAnEditor", Jokes::InAnEditor, REG_NONE, L"", kJoke, nullptr},
    {"NoJokes", Jokes::None, REG_NONE, L"", kMissing, nullptr},
    {"JokesFolder", Jokes::Folder, REG_NONE, L"", kMissing, nullptr},
    {"JokesHidden", Jokes::Hidden, REG_NONE, L"", kMissing, nullptr},
    {"JokesSystem", Jokes::System, REG_NONE, L"", kMissing, nullptr},
    {"AtDriveRoot", Jokes::Plain, REG_NONE, L"", kJoke, nullptr, L"X:\\FARLOUS.EXE"},
    {"AccentedFolder", Jokes::Plain, REG_NONE, L"", kJoke, nullptr,
     L"C:\\farlous\\Blagues d'été\\FARLOUS.EXE"},
    {"DeepFolder", Jokes::Plain, REG_NONE, L"", kJoke, nullptr, kDeep.c_str()},
};

TEST(RunTest, EndsAsExpected) {
    // In front as each run starts, as the user's other windows are: none is the run's owner.
    const HWND front = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9,
                                       nullptr, nullptr, nullptr, nullptr);
    for (const auto& [name, jokes, type, value, shown, error, exe] : kRuns) {
        SCOPED_TRACE(name);
        SetForegroundWindow(front);
        ProgramRun run;
        const fs::path file = kFolder / "FARLOUS.TXT";
        if (jokes == Jokes::None || jokes == Jokes::Folder) fs::remove(file);
        if (jokes == Jokes::Folder) fs::create_directory(file);
        if (jokes == Jokes::Hidden) SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
        if (jokes == Jokes::System) SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_SYSTEM);
        // More than a 32-bit program's addresses, made in an instant: a sparse file.
        if (jokes == Jokes::Huge) fs::resize_file(file, 3'000'000'000);
        // Held for the run, shared with nobody, it cannot be opened; an editor holds it open for
        // writing, shared, as it may save at any time, and it is read.
        const bool editor = jokes == Jokes::InAnEditor, open = editor || jokes == Jokes::Held;
        const HANDLE held = CreateFileW(file.c_str(), GENERIC_READ | (editor ? GENERIC_WRITE : 0),
                                        editor ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, nullptr,
                                        OPEN_EXISTING, 0, 0);
        EXPECT_TRUE(type == REG_NONE ||
                    !RegSetKeyValueW(HKEY_CURRENT_USER, (kSettings + L"\\Options"s).c_str(),
                                     L"Show Tips at Startup", type, std::wstring(value).c_str(),
                                     (value.size() + (type == REG_SZ)) * 2));
        if (!open) CloseHandle(held);
        // A program copied with its jokes into a folder of C:\farlous.
        if (const fs::path in = fs::path(exe).parent_path(); in.parent_path() == kFolder) {
            fs::create_directory(in);
            fs::copy_file(kFolder / "FARLOUS.EXE", exe);
            fs::copy_file(kFolder / "FARLOUS.TXT", in / "FARLOUS.TXT");
        }
        run.Start(exe);
        if (shown || error) {
            const HWND window = run.Window(shown ? kCaption : kTitle);
            EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
            EXPECT_EQ(shown ? Text(JokeLabel(window)) : Read(window),
                      shown ? shown : error + L" | OK"s);
            run.Press(shown ? VK_ESCAPE : VK_RETURN);
        }
        EXPECT_EQ(run.End(), error ? 1 : 0);
        EXPECT_EQ(run.Reports(), error ? L"Zinoquet : "s + error + L"\r\n" : L"");
        EXPECT_EQ(run.seen, shown ? Texts{kCaption} : error ? Texts{kTitle} : Texts{});
        if (open) CloseHandle(held);
    }
    DestroyWindow(front);
}

// The window's client area on the screen, then each control's place in its container's client
// area, x, y, width, height, at 96 and at 144 dots per inch: there every edge is its twips / 10,
// rounded half away from zero, and the panel's bottom edge is the client area's own; the window,
// too low for the test's screen of 960 rows, rises until its 3-pixel bottom border just fits.
struct PlaceRow {
    const char* name;
    const wchar_t *in, *text;  // the picture box it is in (null: the window); caption or name
    std::vector<LONG> at96, at144;
};
const PlaceRow kPlaces[] = {
    {"frmTip", nullptr, kCaption, {201, 483, 624, 189}, {302, 673, 936, 284}},
    {"cmdAbout", nullptr, L"A Propos de Glimbo", {512, 160, 105, 25}, {768, 240, 158, 38}},
    {"cmdNextTip", nullptr, L"Blague suivante", {384, 160, 113, 25}, {576, 240, 170, 38}},
    {"Picture1", nullptr, kPanel, {0, 8, 257, 181}, {0, 12, 386, 272}},
    {"Label1", kPanel, L"Zinoquet :", {8, 8, 81, 17}, {12, 12, 122, 26}},
    {"lblTipText", kPanel, kJoke, {8, 32, 241, 141}, {12, 48, 362, 212}},
    {"cmdOK", nullptr, L"OK", {264, 160, 105, 25}, {396, 240, 158, 38}},
    {"Picture2", nullptr, kLogo, {264, 8, 353, 145}, {396, 12, 530, 218}},
};

// x, y, width and height of a control in its container's client area, of a window's client area
// on the screen.
std::vector<LONG> Place(HWND control) {
    RECT r;
    const HWND in = GetParent(control);
    in ? GetWindowRect(control, &r) : GetClientRect(control, &r);
    MapWindowPoints(in ? nullptr : control, in, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// Each at its place with its caption, letter for letter. At 96 dots per inch, the margins in the
// face colour, the panel white under the joke and its labels, in a sunken frame, the logo in
// colour. At either, the logo the right way up, its word red at the top and yellow at the bottom,
// drawn 140 or 210 rows high, with the face colour below. The pointer is the same arrow over the
// panel as over a button. The close box closes the window.
TEST(LayoutTest, AsDesigned) {
    const HDC screen = GetDC(nullptr);
    const bool large = GetDeviceCaps(screen, LOGPIXELSY) == 144;
    ReleaseDC(nullptr, screen);
    ProgramRun run;
    run.Start();
    const HWND window = run.Window(kCaption);
    const auto pointAt = [&](const wchar_t* text) {
        RECT r;
        GetWindowRect(Control(window, text), &r);
        SetCursorPos(r.left + 4, r.top + 4);
    };
    pointAt(L"OK");
    for (const auto& [name, in, text, at96, at144] : kPlaces) {
        const HWND control = text == kCaption ? window : Control(window, text, in);
        EXPECT_EQ(Place(control), large ? at144 : at96) << name;
        EXPECT_EQ(Text(control), text) << name;  // Windows finds a window's text in any case
    }
    // "Zinoquet :" in the system's message font at the screen's scale: its label's inked columns.
    const auto inked = [&] {
        std::set<LONG> columns;
        const Pixels shot = Grab(Control(window, L"Zinoquet :", kPanel));
        for (std::size_t i = 0; i < shot.size(); ++i)
            if (Ink(shot[i])) columns.insert(i % (large ? 122 : 81));
        return columns.size();
    };
    EXPECT_TRUE(WaitFor([&] { return inked() == (large ? 45u : 26u); }, 5000)) << inked();
    // The program's icon, a yellow laughing face, at the caption's left end.
    RECT frame;
    GetWindowRect(window, &frame);
    const RECT corner{frame.left, frame.top, frame.left + 32, frame.top + 32};
    EXPECT_TRUE(WaitFor([&] {
        return std::ranges::count_if(Grab(GetDesktopWindow(), corner), [](COLORREF c) {
                   return GetRValue(c) > 200 && GetGValue(c) > 160 && GetBValue(c) < 100;
               }) > 40;
    })) << "no icon";
    // One size, so a close box alone on the caption.
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) &
                  (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_CAPTION | WS_SYSMENU);
    // How many pixels of `part` of `in`'s client area are not `colour`.
    const auto others = [](HWND in, RECT part, COLORREF colour) {
        return std::ranges::count_if(Grab(in, part), [&](COLORREF c) { return c != colour; });
    };
    const COLORREF face = GetSysColor(COLOR_BTNFACE), white = RGB(255, 255, 255);
    const HWND panel = Control(window, kPanel);
    const auto looks = [&] {
        const int margins =
            others(window, {0, 0, 624, 8}, face) + others(window, {257, 0, 264, 189}, face) +
            others(panel, {0, 0, 8, 179}, white) + others(panel, {0, 50, 255, 179}, white);
        return margins == 0 && std::ranges::count(Grab(panel), face) == 0 &&
               others(window, {0, 9, 1, 188}, GetSysColor(COLOR_BTNSHADOW)) == 0 &&
               others(Control(window, kLogo), {}, face) > 351 * 143 / 2;
    };
    EXPECT_TRUE(large || WaitFor(looks)) << "no face colour around, white panel or logo";
    const HWND logo = Control(window, kLogo);
    const LONG width = large ? 528 : 351, drawn = large ? 210 : 140, inside = large ? 216 : 143;
    const auto count = [&](LONG top, LONG bottom, BYTE minGreen, BYTE maxGreen) {
        return std::ranges::count_if(Grab(logo, {0, top, width, bottom}), [&](COLORREF c) {
            return GetRValue(c) > 200 && GetBValue(c) < 80 && GetGValue(c) >= minGreen &&
                   GetGValue(c) <= maxGreen;
        });
    };
    // Sharp, as drawn from the picture made for the scale: the green level leaps by more than 140
    // between neighbours in hundreds of places, where a picture stretched up has next to none.
    const auto leaps = [&] {
        const Pixels shown = Grab(logo, {0, 0, width, drawn});
        int found = 0;
        for (std::size_t i = 0; i + 1 < shown.size(); ++i)
            found += std::abs(GetGValue(shown[i + 1]) - GetGValue(shown[i])) > 140;
        return found;
    };
    // A pixel of the word's blue border: the picture's own at 96 dots per inch; at 144, the average
    // of the larger picture's pixels it covers.
    const LONG x = large ? 427 : 149, y = large ? 176 : 32;
    const COLORREF border = large ? RGB(160, 180, 214) : RGB(5, 42, 133);
    EXPECT_TRUE(WaitFor([&] {
        return leaps() > 300 && count(0, drawn / 2, 0, 80) > count(drawn / 2, drawn, 0, 80) &&
               count(drawn / 2, drawn, 180, 255) > count(0, drawn / 2, 180, 255) &&
               others(logo, {0, drawn, width, inside}, face) == 0 &&
               Grab(logo, {x, y, x + 1, y + 1}) == Pixels{border};
    })) << "no logo, blurred, upside down or not at the screen's scale";
    // Over the panel, the same arrow as over "OK", the run's cursor.
    const auto cursor = [] {
        CURSORINFO info{sizeof info, 0, nullptr, {}};
        return GetCursorInfo(&info) ? info.hCursor : nullptr;
    };
    HCURSOR arrow = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (arrow = cursor()) != nullptr; }));
    pointAt(kPanel);
    EXPECT_FALSE(WaitFor([&] { return cursor() != arrow; }, 2000)) << "no arrow over the panel";
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(run.End(), 0);
}

// What the joke label, 241 x 141 pixels at 96 dots per inch, shows of `joke`, once drawn.
Pixels Shown(const char* joke) {
    ProgramRun run(joke);
    run.Start();
    const HWND label = JokeLabel(run.Window(kCaption));
    Pixels shot, again;
    WaitFor([&] {
        shot = std::exchange(again, Grab(label));
        return again == shot && std::ranges::any_of(again, Ink) &&
               std::ranges::count(again, RGB(255, 255, 255)) > 241 * 141 / 2;
    });
    run.Press(VK_ESCAPE);
    EXPECT_EQ(run.End(), 0);
    return again;
}

// A long joke wraps at words down the label and is cut through its last line.
TEST(JokeTest, LongJokeWrapsAndIsCut) {
    std::string joke;
    for (int word = 0; word < 300; ++word) joke += "mot" + std::to_string(word) + ' ';
    const Pixels shot = Shown(joke.c_str());
    std::vector<bool> inked(shot.size() / 241);  // by row
    for (std::size_t i = 0; i < shot.size(); ++i) inked[i / 241] = inked[i / 241] || Ink(shot[i]);
    int lines = 0;
    for (std::size_t y = 0; y < inked.size(); ++y) lines += inked[y] && (y == 0 || !inked[y - 1]);
    EXPECT_EQ(lines, 13);
    EXPECT_TRUE(!inked.empty() && inked.back());
}

// "&" marks the next letter, underlined, and is not shown; "&&" shows one "&": each pair shows
// the same pixels, but for the underline's row. The text starts at the label's left edge.
TEST(JokeTest, AmpersandMarksTheNextLetter) {
    for (const auto& [marked, plain] : {std::pair{"&Chat", "Chat"}, {"&&&Chat", "&&Chat"}}) {
        const Pixels a = Shown(marked), b = Shown(plain);
        std::set<std::size_t> rows;
        std::size_t left = 241;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] != b[i]) rows.insert(i / 241);
            if (Ink(b[i])) left = std::min(left, i % 241);
        }
        EXPECT_EQ(rows.size(), 1u) << marked;
        EXPECT_LT(left, 2u) << plain;
    }
}

// The joke in the user's colour scheme's button-text colour, here blue, where Windows' default
// would draw it black.
TEST(JokeTest, InTheButtonTextColour) {
    const int element = COLOR_BTNTEXT;
    const COLORREF blue = RGB(0, 0, 255), before = GetSysColor(element);
    SetSysColors(1, &element, &blue);
    const Pixels shot = Shown("Chat");
    SetSysColors(1, &element, &before);
    EXPECT_NE(std::ranges::find(shot, blue), shot.end());
}

// From the start, Tab takes the focus round the window's controls, and the default button with
// it: the focused button, or "OK", and no other; the panel shows when it has the focus. Enter
// clicks it: "Blague suivante" draws again, "A Propos de Glimbo" shows the About box, "OK" closes
// the window.
TEST(KeyTest, TabAndEnter) {
    std::string jokes;
    for (int joke = 0; joke < 1000; ++joke) jokes += "blague " + std::to_string(joke) + "\r\n";
    ProgramRun run(jokes.c_str());
    run.Start();
    const HWND window = run.Window(kCaption), label = JokeLabel(window);
    const HWND panel = Control(window, kPanel);
    const wchar_t* const buttons[] = {L"OK", L"Blague suivante", L"A Propos de Glimbo"};
    const auto tab = [&](const wchar_t* focus, const wchar_t* button, UINT key = VK_TAB) {
        EXPECT_TRUE(WaitFor([&] {
            // The panel's dotted focus rectangle on its top row, shown while it has the focus.
            const bool marked = std::ranges::any_of(Grab(panel, {0, 0, 100, 1}), Ink);
            return run.Focus() == Control(window, focus) && marked == (focus == kPanel) &&
                   std::ranges::all_of(buttons, [&](const wchar_t* b) {
                       return ((GetWindowLongW(Control(window, b), GWL_STYLE) & BS_TYPEMASK) ==
                               BS_DEFPUSHBUTTON) == (Control(window, b) == Control(window, button));
                   });
        })) << focus;
        run.Press(key);
    };
    tab(L"OK", L"OK");
    tab(kPanel, L"OK");
    const std::wstring joke = Text(label);
    tab(L"Blague suivante", L"Blague suivante", VK_RETURN);
    // The same joke again, once in a thousand: then another Enter.
    for (int i = 0; i < 5 && !WaitFor([&] { return Text(label) != joke; }, 2000); ++i) {
        run.Press(VK_RETURN);
    }
    EXPECT_NE(Text(label), joke);
    tab(L"Blague suivante", L"Blague suivante");
    tab(L"A Propos de Glimbo", L"A Propos de Glimbo", VK_RETURN);
    EXPECT_EQ(Read(run.Window(kTitle)), kAbout + L" | OK"s);
    EXPECT_FALSE(IsWindowEnabled(window));
    run.Press(VK_RETURN);
    tab(L"A Propos de Glimbo", L"A Propos de Glimbo");
    tab(kLogo, L"OK");
    tab(L"OK", L"OK");
    tab(kPanel, L"OK", VK_RETURN);
    EXPECT_EQ(run.End(), 0);
}

// Started from a console, a run that fails says so there too, on a line of its own.
TEST(ConsoleTest, GetsTheErrorLine) {
    FreeConsole();  // Wine's stand-in for the test's terminal: a console of Windows' own instead
    AllocConsole();
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    ProgramRun run;
    run.console = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                            &inherited, CONSOLE_TEXTMODE_BUFFER, nullptr);
    RegSetKeyValueW(HKEY_CURRENT_USER, (kSettings + L"\\Options"s).c_str(), L"Show Tips at Startup",
                    REG_SZ, L"abc", 8);
    run.Start();
    run.Window(kTitle);
    run.Press(VK_RETURN);
    EXPECT_EQ(run.End(), 1);
    std::wstring line(59, L'\0');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(run.console, line.data(), line.size(), {0, 0}, &read);
    EXPECT_EQ(line, L"Zinoquet : Type incompatible : « abc » n'est pas un nombre.");
    CONSOLE_SCREEN_BUFFER_INFO shown{};
    GetConsoleScreenBufferInfo(run.console, &shown);
    EXPECT_TRUE(shown.dwCursorPosition.X == 0 && shown.dwCursorPosition.Y == 1);
    CloseHandle(run.console);
    FreeConsole();
}

}  // namespace
