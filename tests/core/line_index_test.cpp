#include "jokes/line_index.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace farlous {
namespace {

using namespace std::string_literals;

// Each line followed by '|', so that no lines and one empty line differ.
std::string JoinedLines(std::string_view text) {
    const LineIndex index(text);
    std::string joined;
    for (std::size_t i = 0; i < index.Count(); ++i) (joined += index.Line(text, i)) += '|';
    return joined;
}

TEST(LineIndexTest, SplitsOnEveryTerminator) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},        {"a", "a|"},         {"a\n", "a|"},       {"a\r", "a|"},
        {"a\r\n", "a|"}, {"\n", "|"},         {"\r", "|"},         {"\r\n", "|"},
        {"\n\n", "||"},  {"\r\r", "||"},      {"\n\r", "||"},      {"\r\n\r\n", "||"},
        {"\na", "|a|"},  {"a\r\rb", "a||b|"}, {"a\n\rb", "a||b|"}, {"a\r\r\nb", "a||b|"}};
    for (const auto& [text, lines] : cases) {
        EXPECT_EQ(JoinedLines(text), lines) << testing::PrintToString(text);
    }
    EXPECT_EQ(JoinedLines("\0\n\0\r\0a\0"s), "\0|\0|\0a\0|"s);
}

TEST(LineIndexTest, LongLineWithAndWithoutTerminator) {
    const std::string body(5'000'000, 'x');
    for (const char* end : {"", "\n", "\r", "\r\n"}) {
        const std::string text = "a\n" + body + end;
        const LineIndex index(text);
        ASSERT_EQ(index.Count(), 2u) << testing::PrintToString(end);
        EXPECT_EQ(index.Line(text, 1), body);
    }
}

// CR and LF in every order, many times over, so each can lie far behind or just before the other.
TEST(LineIndexTest, ManyMixedTerminators) {
    std::string text;
    for (int i = 0; i < 50'000; ++i) text += "ab\r\r\n\n\r";
    const LineIndex index(text);
    ASSERT_EQ(index.Count(), 200'000u);
    for (std::size_t i = 0; i < index.Count(); ++i) {
        ASSERT_EQ(index.Line(text, i), i % 4 == 0 ? "ab" : "") << i;
    }
}

}  // namespace
}  // namespace farlous
