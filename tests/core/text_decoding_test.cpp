#include "jokes/text_decoding.h"

#include <gtest/gtest.h>

#include <string>

namespace farlous {
namespace {

using namespace std::string_literals;

TEST(IsValidUtf8Test, Table) {
    // Boundaries of each length: U+0080, U+07FF, U+0800, U+D7FF and U+E000 around the
    // surrogates, U+FFFF, U+10000, U+10FFFF.
    for (const std::string& valid :
         {""s, "ascii\0\x7F"s, "\xC2\x80"s, "\xDF\xBF"s, "\xE0\xA0\x80"s, "\xED\x9F\xBF"s,
          "\xEE\x80\x80"s, "\xEF\xBF\xBF"s, "\xF0\x90\x80\x80"s, "\xF4\x8F\xBF\xBF"s}) {
        EXPECT_TRUE(IsValidUtf8(valid)) << testing::PrintToString(valid);
    }
    for (const std::string& invalid :
         {// Overlongs.
          "\xC0\x80"s, "\xC1\xBF"s, "\xE0\x80\x80"s, "\xE0\x9F\xBF"s, "\xF0\x80\x80\x80"s,
          "\xF0\x8F\xBF\xBF"s,
          // Surrogates, then beyond U+10FFFF.
          "\xED\xA0\x80"s, "\xED\xBF\xBF"s, "\xF4\x90\x80\x80"s, "\xF5\x80\x80\x80"s,
          "\xF8\x88\x80\x80\x80"s, "\xFF"s,
          // Stray continuations, then sequences cut short at the end or by other text.
          "\x80"s, "a\xBF"s, "\xC2\x80\x80"s, "\xC2"s, "\xE2\x82"s, "\xF0\x9F\x98"s, "\xC2z"s,
          "\xE2\x82z"s, "\xF0\x9F\x98z"s}) {
        EXPECT_FALSE(IsValidUtf8(invalid)) << testing::PrintToString(invalid);
    }
}

// ASCII is checked 8 bytes at a time: a sequence must be judged wherever it falls against those
// blocks, including after a long ASCII run.
TEST(IsValidUtf8Test, SequencesAcrossBlockBoundaries) {
    for (const std::size_t prefix : {0, 1, 2, 3, 4, 5, 6, 7, 8, 1000, 1003}) {
        const std::string ascii(prefix, 'a'), tail(11, 'z');
        for (const char* bad : {"\x80", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
            EXPECT_FALSE(IsValidUtf8(ascii + bad + tail)) << prefix << " " << bad;
            EXPECT_FALSE(IsValidUtf8(ascii + bad)) << prefix << " " << bad;
        }
        EXPECT_FALSE(IsValidUtf8(ascii + "\xF0\x9F\x98")) << prefix;
        EXPECT_TRUE(IsValidUtf8(ascii + "\xF0\x9F\x98\x80" + tail)) << prefix;
        EXPECT_TRUE(IsValidUtf8(ascii + "\xE2\x82\xAC")) << prefix;
    }
}

std::size_t CodePoints(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

TEST(AppendAsUtf8Test, Windows1252MapsEveryByteToOneCodePoint) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    std::string out = "x";  // appended to, not overwritten
    AppendAsUtf8(all, TextEncoding::Windows1252, out);
    ASSERT_TRUE(IsValidUtf8(out));
    EXPECT_EQ(CodePoints(out), 1u + 256u);
    EXPECT_EQ(out[0], 'x');
    EXPECT_EQ(out.substr(1, 128), all.substr(0, 128));

    std::string known;
    AppendAsUtf8("\x80\x85\x92\x9C\x9F\x81\x8D\x8F\x90\x9D\xA0\xE9\xFF", TextEncoding::Windows1252,
                 known);
    EXPECT_EQ(known,
              "\u20AC\u2026\u2019\u0153\u0178\u0081\u008D\u008F\u0090\u009D\u00A0\u00E9\u00FF");
}

}  // namespace
}  // namespace farlous
