// The Windows runtime services in-process, under Wine or Windows: text conversions, the program
// file's folder and name, the registry setting, the file lookup and reading, and the window's
// screen geometry.
#include "platform/win32_platform.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/runtime_error.h"
#include "platform/win32_file_lookup.h"
#include "platform/win32_long_path.h"
#include "platform/win32_program_file.h"
#include "platform/win32_setting.h"
#include "platform/win32_text.h"
#include "test_support.h"
#include "window/win32/message_font.h"
#include "window/win32/screen_geometry.h"

namespace farlous {
namespace {

namespace fs = std::filesystem;
using Kind = RuntimeError::Kind;
using testing::PrintTo;
using testing::RowName;
using testing::TemporaryFolder;
using testing::WriteFile;

TEST(Win32TextTest, ConvertsBothWays) {
    const struct {
        std::string utf8;
        std::wstring wide;
    } cases[] = {{"", L""},
                 {"FARLOUS.TXT", L"FARLOUS.TXT"},
                 {"Crème brûlée à l'œuf", L"Cr\u00e8me br\u00fbl\u00e9e \u00e0 l'\u0153uf"},
                 {"\U0001F95A", L"\xD83E\xDD5A"}};
    for (const auto& [utf8, wide] : cases) {
        EXPECT_EQ(Utf8ToWide(utf8), wide) << utf8;
        EXPECT_EQ(WideToUtf8(wide), utf8) << utf8;
    }
    // Ill-formed text on either side comes out with a replacement character, not an error.
    EXPECT_EQ(Utf8ToWide("a\xFF"), L"a\uFFFD");
    EXPECT_EQ(WideToUtf8(std::wstring(L"a\xD800")), "a\xEF\xBF\xBD");
}

struct ProgramFileRow {
    std::string name;
    std::wstring file, folder, baseName;
};
class ProgramFileTest : public ::testing::TestWithParam<ProgramFileRow> {};

TEST_P(ProgramFileTest, GivesFolderAndBaseName) {
    EXPECT_EQ(ProgramFolderOf(GetParam().file), GetParam().folder);
    EXPECT_EQ(BaseNameOf(GetParam().file), GetParam().baseName);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProgramFileTest,
    ::testing::Values(
        ProgramFileRow{"Installed", L"C:\\FARLOUS\\FARLOUS.EXE", L"C:\\FARLOUS", L"FARLOUS"},
        ProgramFileRow{"DriveRoot", L"C:\\FARLOUS.EXE", L"C:\\", L"FARLOUS"},
        ProgramFileRow{"LongPathRoot", L"\\\\?\\D:\\FARLOUS.EXE", L"\\\\?\\D:\\", L"FARLOUS"},
        ProgramFileRow{"Network", L"\\\\serveur\\partage\\FARLOUS.EXE", L"\\\\serveur\\partage",
                       L"FARLOUS"},
        ProgramFileRow{"Renamed", L"C:\\Jeux v1.2\\Blagues.du.jour.exe", L"C:\\Jeux v1.2",
                       L"Blagues.du.jour"},
        ProgramFileRow{"NoExtension", L"C:\\FARLOUS\\FARLOUS", L"C:\\FARLOUS", L"FARLOUS"}),
    RowName<ProgramFileRow>);

struct LongPathRow {
    std::string name;
    std::wstring path, form;
};
class LongPathTest : public ::testing::TestWithParam<LongPathRow> {};

TEST_P(LongPathTest, PrefixesOnlyLongFullPaths) {
    EXPECT_EQ(LongPathForm(GetParam().path), GetParam().form);
}

const std::wstring kDeep = std::wstring(130, L'd') + L"\\" + std::wstring(130, L'e');

INSTANTIATE_TEST_SUITE_P(
    Paths, LongPathTest,
    ::testing::Values(LongPathRow{"Short", L"C:\\FARLOUS\\\\FARLOUS.TXT",
                                  L"C:\\FARLOUS\\\\FARLOUS.TXT"},
                      LongPathRow{"Drive", L"C:\\" + kDeep + L"\\\\FARLOUS.TXT",
                                  L"\\\\?\\C:\\" + kDeep + L"\\FARLOUS.TXT"},
                      LongPathRow{"Slashes", L"C:/" + kDeep + L"/FARLOUS.TXT",
                                  L"\\\\?\\C:\\" + kDeep + L"\\FARLOUS.TXT"},
                      LongPathRow{"Network", L"\\\\serveur\\partage\\" + kDeep,
                                  L"\\\\?\\UNC\\serveur\\partage\\" + kDeep},
                      LongPathRow{"Prefixed", L"\\\\?\\C:\\" + kDeep, L"\\\\?\\C:\\" + kDeep},
                      LongPathRow{"Relative", kDeep, kDeep}),
    RowName<LongPathRow>);

// Each row writes the value the way `reg add` or an editor would, for a program name of its own.
struct SettingRow {
    std::string name;
    DWORD type;  // REG_NONE: no value at all
    std::wstring stored;
    std::optional<std::string> read;  // nothing: absent
};
class SettingTest : public ::testing::TestWithParam<SettingRow> {
protected:
    const std::wstring app = L"FarlousTest" + std::to_wstring(GetCurrentProcessId());
    const std::wstring key = L"Software\\VB and VBA Program Settings\\" + app;

    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()); }
    void Store(DWORD type, const std::wstring& text) {
        HKEY options = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (key + L"\\Options").c_str(), 0, nullptr, 0,
                                  KEY_WRITE, nullptr, &options, nullptr),
                  ERROR_SUCCESS);
        const DWORD number = 7;
        const bool isText = type == REG_SZ || type == REG_EXPAND_SZ;
        const auto* data = isText ? reinterpret_cast<const BYTE*>(text.c_str())
                                  : reinterpret_cast<const BYTE*>(&number);
        const auto size = static_cast<DWORD>(isText ? (text.size() + 1) * sizeof(wchar_t)
                                                    : (type == REG_BINARY ? 3 : sizeof number));
        EXPECT_EQ(RegSetValueExW(options, L"Show Tips at Startup", 0, type, data, size),
                  ERROR_SUCCESS);
        RegCloseKey(options);
    }
    std::optional<std::string> Read() {
        return ReadUserSetting(WideToUtf8(app), "Options", "Show Tips at Startup");
    }
};

TEST_P(SettingTest, ReadsTheStoredText) {
    if (GetParam().type != REG_NONE) Store(GetParam().type, GetParam().stored);
    EXPECT_EQ(Read(), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingTest,
    ::testing::Values(SettingRow{"Absent", REG_NONE, L"", std::nullopt},
                      SettingRow{"Zero", REG_SZ, L"0", "0"}, SettingRow{"Empty", REG_SZ, L"", ""},
                      SettingRow{"Accents", REG_SZ, L"d\u00e9j\u00e0", "déjà"},
                      // Longer than the first read's room.
                      SettingRow{"Long", REG_SZ, std::wstring(300, L'1'), std::string(300, '1')},
                      SettingRow{"Expandable", REG_EXPAND_SZ, L" 1 ", " 1 "},
                      SettingRow{"Dword", REG_DWORD, L"", "7"}),
    RowName<SettingRow>);

TEST_F(SettingTest, AnotherProgramNameReadsAnotherSetting) {
    Store(REG_SZ, L"0");
    EXPECT_EQ(ReadUserSetting(WideToUtf8(app) + "-copie", "Options", "Show Tips at Startup"),
              std::nullopt);
    Win32Platform platform("Zinoquet");
    EXPECT_EQ(platform.GetSetting(WideToUtf8(app), "Options", "Show Tips at Startup", "1"), "0");
    EXPECT_EQ(platform.GetSetting(WideToUtf8(app), "Options", "Autre", "1"), "1");
}

TEST_F(SettingTest, NeitherTextNorNumberIsAMismatch) {
    Store(REG_BINARY, L"");
    try {
        Read();
        FAIL() << "read without error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.kind(), Kind::TypeMismatch);
        EXPECT_STREQ(error.what(),
                     "Type incompatible : le réglage « Show Tips at Startup » n'est ni un texte "
                     "ni un nombre.");
    }
}

// The folder holds "Farlous.txt" and the other files each row needs.
struct LookupRow {
    std::string name;
    std::wstring asked;
    std::optional<std::wstring> found;
};
class FileLookupTest : public ::testing::TestWithParam<LookupRow> {
protected:
    TemporaryFolder folder;

    void SetUp() override {
        const fs::path& f = folder.path();
        WriteFile(f / "Farlous.txt", "blague");
        for (const auto& [name, attributes] :
             {std::pair{L"cache.txt", FILE_ATTRIBUTE_HIDDEN},
              std::pair{L"systeme.txt", FILE_ATTRIBUTE_SYSTEM},
              std::pair{L"lecture seule.txt", FILE_ATTRIBUTE_READONLY}}) {
            WriteFile(f / name, "blague");
            SetFileAttributesW((f / name).c_str(), attributes);
        }
        CreateDirectoryW((f / "dossier.txt").c_str(), nullptr);
        WriteFile(f / L"\u00e9t\u00e9 \U0001F95A.txt", "blague");
    }
};

TEST_P(FileLookupTest, FindsPlainFilesOnly) {
    const std::wstring asked =
        GetParam().asked.empty() ? L"" : (folder.path() / GetParam().asked).wstring();
    EXPECT_EQ(FindRegularFileName(asked), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileLookupTest,
    ::testing::Values(LookupRow{"AnyLetterCase", L"FARLOUS.TXT", L"Farlous.txt"},
                      LookupRow{"ReadOnly", L"lecture seule.txt", L"lecture seule.txt"},
                      LookupRow{"NonAscii", L"\u00c9T\u00c9 \U0001F95A.TXT",
                                L"\u00e9t\u00e9 \U0001F95A.txt"},
                      LookupRow{"Hidden", L"cache.txt", std::nullopt},
                      LookupRow{"System", L"systeme.txt", std::nullopt},
                      LookupRow{"Folder", L"dossier.txt", std::nullopt},
                      LookupRow{"Missing", L"absent.txt", std::nullopt},
                      LookupRow{"Wildcard", L"F*.txt", std::nullopt},
                      LookupRow{"Empty", L"", std::nullopt}),
    RowName<LookupRow>);

TEST_F(FileLookupTest, LongPathPrefixIsNoWildcard) {
    EXPECT_EQ(FindRegularFileName(L"\\\\?\\" + (folder.path() / "Farlous.txt").wstring()),
              L"Farlous.txt");
}

TEST_F(FileLookupTest, PlatformReadsByNumberAndReportsInFrench) {
    Win32Platform platform("Zinoquet");
    const std::string path =
        WideToUtf8((folder.path() / L"\u00e9t\u00e9 \U0001F95A.txt").wstring());
    EXPECT_EQ(platform.Dir(path), "été \U0001F95A.txt");
    const int number = platform.FreeFile();
    platform.OpenForInput(number, path);
    EXPECT_EQ(platform.FreeFile(), number + 1);
    EXPECT_EQ(platform.ReadToEnd(number).view(), "blague");
    platform.Close(number);
    EXPECT_EQ(platform.FreeFile(), number);

    // A file that another program holds without sharing cannot be opened.
    const HANDLE held = CreateFileW((folder.path() / "Farlous.txt").c_str(), GENERIC_READ, 0,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string heldPath = WideToUtf8((folder.path() / "Farlous.txt").wstring());
    try {
        platform.OpenForInput(number, heldPath);
        ADD_FAILURE() << "opened a file held by another";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.kind(), Kind::PermissionDenied);
        EXPECT_EQ(error.what(), "Permission refusée : impossible de lire le fichier " + heldPath);
    }
    CloseHandle(held);
}

TEST(ScreenGeometryTest, ScalesEdgesSoThatTouchingControlsStillTouch) {
    EXPECT_EQ(ScreenPixels(3015, 96), 201);
    EXPECT_EQ(ScreenPixels(2835, 144), 284);  // 283.5 rounds up
    EXPECT_EQ(ScreenRect(0, 120, 3855, 2715, 120).right, ScreenRect(3855, 0, 15, 15, 120).left);
}

struct PlacementRow {
    std::string name;
    RECT window, placed;
};
class PlacementTest : public ::testing::TestWithParam<PlacementRow> {};

TEST_P(PlacementTest, MovesTheWindowIntoTheWorkArea) {
    const RECT area{0, 0, 1280, 1024};
    const RECT fitted = FitInto(GetParam().window, area);
    EXPECT_TRUE(EqualRect(&fitted, &GetParam().placed))
        << fitted.left << ", " << fitted.top << ", " << fitted.right << ", " << fitted.bottom;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, PlacementTest,
    ::testing::Values(PlacementRow{"Inside", {201, 483, 831, 698}, {201, 483, 831, 698}},
                      PlacementRow{"PastTheBottom", {201, 900, 831, 1115}, {201, 809, 831, 1024}},
                      PlacementRow{"PastTheRight", {1000, 0, 1630, 215}, {650, 0, 1280, 215}},
                      PlacementRow{"BeforeTheLeft", {-10, 0, 620, 215}, {0, 0, 630, 215}},
                      // The caption stays on screen.
                      PlacementRow{"TooBig", {50, 50, 1450, 1150}, {0, 0, 1400, 1100}}),
    RowName<PlacementRow>);

TEST(MessageFontTest, ShrinksOnlyUntilCaptionsFit) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const auto height = [](HFONT font) {
        LOGFONTW look{};
        GetObjectW(font, sizeof look, &look);
        DeleteObject(font);
        return std::abs(look.lfHeight);
    };
    EXPECT_EQ(height(CreateMessageFont(96, {{L"OK", 1000}})),
              std::abs(metrics.lfMessageFont.lfHeight));
    // No font makes this fit: the smallest one, 6 points, is the end.
    EXPECT_EQ(height(CreateMessageFont(96, {{L"A Propos de Glimbo", 5}})), 8);
}

}  // namespace
}  // namespace farlous
