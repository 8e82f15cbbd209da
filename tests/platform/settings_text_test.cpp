#include "platform/settings_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/printable_text.h"

namespace farlous {
namespace {

using namespace std::string_literals;

struct SettingsCase {
    const char* name;
    std::string text;
    std::optional<std::string> value;  // of "Show Tips at Startup" in "Options"
};

void PrintTo(const SettingsCase& c, std::ostream* out) { *out << c.name; }

class FindSettingTest : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(FindSettingTest, FindsTheValueAsWritten) {
    EXPECT_EQ(FindSetting(GetParam().text, "Options", "Show Tips at Startup"), GetParam().value);
}

const std::string kHeader = "[Options]\n";

INSTANTIATE_TEST_SUITE_P(
    Ini, FindSettingTest,
    ::testing::Values(
        // The key as users type it and as the toolkit writes it.
        SettingsCase{"Typed", kHeader + "Show Tips at Startup=0\n", "0"},
        SettingsCase{"Escaped", kHeader + "Show%20Tips%20at%20Startup=0", "0"},
        SettingsCase{"EscapedSection", "[Opt%69ons]\nShow Tips at Startup=0", "0"},
        SettingsCase{"BlanksAroundKey", kHeader + " \tShow Tips at Startup =\t0 ", "\t0 "},
        SettingsCase{"MarkAndCrLf", "\xEF\xBB\xBF[Options]\r\nShow Tips at Startup=0\r\n", "0"},
        SettingsCase{"LoneCr", "[Options]\rShow Tips at Startup=0\rX=1", "0"},
        // The value exactly as written.
        SettingsCase{"Comma", kHeader + "Show Tips at Startup=0, 4", "0, 4"},
        SettingsCase{"Latin1", kHeader + "Show Tips at Startup=0\xE9", "0\xE9"},
        SettingsCase{"Nul", kHeader + "Show Tips at Startup=0\0"s, "0\0"s},
        SettingsCase{"Quoted", kHeader + "Show Tips at Startup=\"0\"", "\"0\""},
        SettingsCase{"Variant", kHeader + "Show Tips at Startup=@Variant(\\0\\0\\0\\x2)",
                     "@Variant(\\0\\0\\0\\x2)"},
        SettingsCase{"EqualsInValue", kHeader + "Show Tips at Startup==0", "=0"},
        SettingsCase{"Empty", kHeader + "Show Tips at Startup=", ""},
        SettingsCase{"LastWins",
                     kHeader + "Show Tips at Startup=1\n[Autre]\nShow Tips at Startup=2\n" +
                         kHeader + "Show Tips at Startup=0",
                     "0"},
        // Absent.
        SettingsCase{"NoFileText", "", std::nullopt},
        SettingsCase{"OtherSection", "[Autre]\nShow Tips at Startup=0\n[Options]", std::nullopt},
        SettingsCase{"BeforeAnySection", "Show Tips at Startup=0\n" + kHeader, std::nullopt},
        SettingsCase{"Comments", kHeader + ";Show Tips at Startup=0\n  # Show Tips at Startup=0",
                     std::nullopt},
        SettingsCase{"OtherCase",
                     "[options]\nShow Tips at Startup=0\n[Options]\nshow tips at "
                     "startup=0",
                     std::nullopt},
        SettingsCase{"NoEquals", kHeader + "Show Tips at Startup", std::nullopt},
        SettingsCase{"BrokenEscape", kHeader + "Show%2Tips at Startup=0", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// Control characters, one byte or two in UTF-8, become one '?' each; the rest stays, invalid
// UTF-8 included.
TEST(WithControlsShownTest, ReplacesOnlyControls) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\nZinoquet : b\r\t\x1B[31m\x7F", "a?Zinoquet : b???[31m?"},
        {"\0\0"s, "??"},
        {"\xC2\x80\xC2\x9B\xC2\x9F", "???"},
        {"\xC2\xA0\xC3\xA9 \xE9 \xC2", "\xC2\xA0\xC3\xA9 \xE9 \xC2"}};
    for (const auto& [text, shown] : cases) EXPECT_EQ(WithControlsShown(text), shown) << text;
}

}  // namespace
}  // namespace farlous
