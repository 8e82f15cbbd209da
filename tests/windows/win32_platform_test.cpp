// What the runs of FARLOUS.EXE under Wine do not reach: the registry's other kinds of value and
// the file lookup's rules.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/runtime_error.h"
#include "platform/win32_file_lookup.h"
#include "platform/win32_setting.h"
#include "platform/win32_text.h"
#include "support/row_name.h"

namespace farlous {
namespace {

// Each row stores the value as `reg add` or an editor would.
struct SettingRow {
    std::string name;
    DWORD type;
    std::wstring stored;
    std::string read;
};
using SettingTest = ::testing::TestWithParam<SettingRow>;

TEST_P(SettingTest, ReadsTheStoredText) {
    const auto& [name, type, stored, expected] = GetParam();
    const std::wstring app = L"FarlousTest" + std::to_wstring(GetCurrentProcessId());
    const std::wstring key = L"Software\\VB and VBA Program Settings\\" + app;
    const DWORD number = 7;
    const bool text = type != REG_DWORD && type != REG_BINARY;
    ASSERT_EQ(
        RegSetKeyValueW(HKEY_CURRENT_USER, (key + L"\\Options").c_str(), L"Show Tips at Startup",
                        type, text ? static_cast<const void*>(stored.c_str()) : &number,
                        static_cast<DWORD>(text ? (stored.size() + 1) * sizeof(wchar_t)
                                                : (type == REG_DWORD ? sizeof number : 3))),
        ERROR_SUCCESS);
    std::string read;
    try {
        read = ReadUserSetting(WideToUtf8(app), "Options", "Show Tips at Startup").value_or("");
    } catch (const RuntimeError& error) {
        read = error.what();
    }
    EXPECT_EQ(read, expected);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingTest,
    ::testing::Values(SettingRow{"Accents", REG_SZ, L"d\u00e9j\u00e0", "déjà"},
                      // Longer than the first read's room.
                      SettingRow{"Long", REG_SZ, std::wstring(300, L'1'), std::string(300, '1')},
                      SettingRow{"Expandable", REG_EXPAND_SZ, L" 1 ", " 1 "},
                      SettingRow{"Dword", REG_DWORD, L"", "7"},
                      SettingRow{"Binary", REG_BINARY, L"",
                                 "Type incompatible : le réglage « Show Tips at Startup » n'est ni "
                                 "un texte ni un nombre."}),
    testing::RowName());

struct LookupRow {
    std::string name;
    std::wstring asked;
    std::optional<std::wstring> found;
};
class FileLookupTest : public ::testing::TestWithParam<LookupRow> {};

TEST_P(FileLookupTest, FindsPlainFilesOnly) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("farlous-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder / "dossier.txt");
    for (const auto& [file, attributes] :
         {std::pair{L"Farlous.txt", FILE_ATTRIBUTE_NORMAL},
          std::pair{L"cache.txt", FILE_ATTRIBUTE_HIDDEN},
          std::pair{L"systeme.txt", FILE_ATTRIBUTE_SYSTEM},
          std::pair{L"\u00e9t\u00e9 \U0001F95A.txt", FILE_ATTRIBUTE_NORMAL}}) {
        std::ofstream(folder / file) << "blague";
        SetFileAttributesW((folder / file).c_str(), attributes);
    }
    EXPECT_EQ(FindRegularFileName((folder / GetParam().asked).wstring()), GetParam().found);
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Names, FileLookupTest,
                         ::testing::Values(LookupRow{"AnyLetterCase", L"FARLOUS.TXT",
                                                     L"Farlous.txt"},
                                           LookupRow{"NonAscii", L"\u00c9T\u00c9 \U0001F95A.TXT",
                                                     L"\u00e9t\u00e9 \U0001F95A.txt"},
                                           LookupRow{"Hidden", L"cache.txt", std::nullopt},
                                           LookupRow{"System", L"systeme.txt", std::nullopt},
                                           LookupRow{"Folder", L"dossier.txt", std::nullopt},
                                           LookupRow{"Wildcard", L"F*.txt", std::nullopt}),
                         testing::RowName());

}  // namespace
}  // namespace farlous
