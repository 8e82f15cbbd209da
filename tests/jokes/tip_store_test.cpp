#include "jokes/tip_store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jokes/label_text.h"
#include "jokes/text_decoding.h"
#include "platform/random_source.h"
#include "support/fake_platform.h"

namespace farlous {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;
using Lines = std::vector<std::string>;

class TipStoreTest : public ::testing::Test {
protected:
    testing::FakePlatform platform;
    testing::RecordingDisplay display;
    std::optional<TipStore> store{std::in_place, platform, display};

    Lines Jokes() const {
        Lines jokes;
        for (std::int32_t i = 1; i <= store->Items().Count(); ++i)
            jokes.push_back(store->Items().Item(i));
        return jokes;
    }
    // The jokes a fresh store holds after loading `bytes`.
    Lines Load(const std::string& bytes) {
        platform.files["/p/f.txt"] = bytes;
        store.emplace(platform, display);
        EXPECT_TRUE(store->LoadTips("/p/f.txt"));
        return Jokes();
    }
};

TEST_F(TipStoreTest, LoadsInOrderThenPicks) {
    platform.files["/p/f.txt"] = "un\r\n\r\ntrois\r\n";
    platform.draws = {0.5f};
    EXPECT_TRUE(store->LoadTips("/p/f.txt"));
    EXPECT_EQ(platform.calls,
              (Lines{"FreeFile", "Dir /p/f.txt", "Open 3 /p/f.txt", "Read 3", "Close 3", "Rnd"}));
    EXPECT_EQ(Jokes(), (Lines{"un", "", "trois"}));
    EXPECT_EQ(store->Index(), 2);
    EXPECT_EQ(display.shown, Lines{""});
    ASSERT_TRUE(store->LoadTips("/p/f.txt"));  // appends again
    EXPECT_EQ(Jokes(), (Lines{"un", "", "trois", "un", "", "trois"}));
}

TEST_F(TipStoreTest, EmptyPathAndMissingFileLoadNothing) {
    EXPECT_FALSE(store->LoadTips(""));
    EXPECT_EQ(platform.calls, Lines{"FreeFile"});
    EXPECT_FALSE(store->LoadTips("/p/absent.txt"));
    EXPECT_EQ(platform.calls, (Lines{"FreeFile", "FreeFile", "Dir /p/absent.txt"}));
    EXPECT_EQ(store->Index(), 0);
    EXPECT_TRUE(display.shown.empty());
}

TEST_F(TipStoreTest, EmptyFilePicksOneAndLeavesTheLabel) {
    platform.draws = {0.75f};
    EXPECT_EQ(Load(""), Lines{});
    EXPECT_EQ(platform.calls.back(), "Rnd");
    EXPECT_EQ(store->Index(), 1);
    EXPECT_TRUE(display.shown.empty());
}

TEST_F(TipStoreTest, DrawsReachFirstAndLast) {
    EXPECT_LT(RandomSource::FromBits(0xFFFFFFFFu), 1.0f);
    platform.draws = {0.0f, std::nextafter(1.0f, 0.0f), 0.3999999f};
    Load("1\n2\n3\n4\n5\n");
    for (std::int32_t position : {1, 5, 2}) {
        EXPECT_EQ(store->Index(), position);
        EXPECT_EQ(display.shown.back(), std::to_string(position));
        store->ShowRandomTip();
    }
}

TEST_F(TipStoreTest, ReadFailureClosesAndPropagates) {
    platform.files["/p/f.txt"] = "a";
    platform.unreadable = "/p/f.txt";
    EXPECT_THROW(store->LoadTips("/p/f.txt"), RuntimeError);
    EXPECT_EQ(platform.calls.back(), "Close 3");
    EXPECT_EQ(store->Items().Count(), 0);
}

// `text` as a file saved in UTF-16, with its byte-order mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST_F(TipStoreTest, LineEndsAndEncodings) {
    std::string lines;  // puts a bad byte far past any sample of the text
    for (int i = 0; i < 20'000; ++i) lines += "ligne\r\n";
    const struct {
        std::string bytes;
        Lines jokes;
    } cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\rb\nc\r\nd\n\re\r\r\nf\n", {"a", "b", "c", "d", "", "e", "", "f"}},
        {"\n\n\n", Lines(3)},
        {"\r\n\r\n", Lines(2)},
        {"\r\r", Lines(2)},
        {"a\r\nb\x1A\r\nc\x1A", {"a", "b"}},
        {"a\r\nb\r\n\x1A", {"a", "b"}},
        {"\x1A\r\nx", {}},
        {"\0\0\n\0a\0\r\n\0"s, {"\0\0"s, "\0a\0"s, "\0"s}},
        {"\xEF\xBB\xBF", {}},
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9 \xE2\x82\xAC\r\n",
         {"café €"}},
        {"caf\xE9 \x80 l\x92h\xF4tel \x81\x8D\x8F\x90\x9D",
         {"café € l’hôtel \u0081\u008D\u008F\u0090\u009D"}},
        {"caf\xC3\xA9\r\nfin\xC3", {"cafÃ©", "finÃ"}},
        {"\xC3\xA9\xED\xA0\x80", {"Ã©í\u00A0€"}},
        // UTF-16 by its mark; line ends and the end mark are whole code units: U+0D0A holds the
        // bytes of LF CR, U+041A that of the end mark. Broken pairs and a lone byte show as U+FFFD.
        {Utf16(u"Bl\r\nété\n", false), {"Bl", "été"}},
        {Utf16(u"Bl\r\né", true), {"Bl", "é"}},
        {Utf16(u"a\u0D0Ab\u041A\r\032z", false), {"a\u0D0AbК"}},
        {Utf16(u"\U0001F600\0"sv, false), {"😀\0"s}},
        {Utf16(u"a\xD83Dg\xDE00", false) + "z", {"a\uFFFDg\uFFFD\uFFFD"}},
        {Utf16(u"a\xD83D", true), {"a\uFFFD"}},
        {Utf16(u"", false), {}},
        {"\xFE\x61\xFF\x62", {"þaÿb"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load(c.bytes), c.jokes) << ::testing::PrintToString(c.bytes);
    const Lines jokes = Load("caf\xC3\xA9\r\n" + lines + "fin\xF0\x9F\x98");
    ASSERT_EQ(jokes.size(), 20'002u);
    EXPECT_EQ(jokes.front(), "cafÃ©");
    EXPECT_EQ(jokes.back(), "finð\u0178˜");
}

// CR and LF in every order, many times over, so each can lie far behind or just before the other.
TEST_F(TipStoreTest, ManyMixedLineEnds) {
    std::string text;
    for (int i = 0; i < 50'000; ++i) text += "ab\r\r\n\n\r";
    const Lines jokes = Load(text);
    ASSERT_EQ(jokes.size(), 200'000u);
    for (std::size_t i = 0; i < jokes.size(); ++i) ASSERT_EQ(jokes[i], i % 4 ? "" : "ab") << i;
    EXPECT_EQ(Load(std::string(1'000'000, '\n')).size(), 1'000'000u);
}

// Kept whole, handed to the label cut.
TEST_F(TipStoreTest, LinesOfMegabytes) {
    const std::string noSpace(10'000'000, 'x');
    std::string words;
    while (words.size() < 10'000'000) words += "un mot ";
    platform.draws = {0.3f, 0.6f};
    EXPECT_EQ(Load("court\r\n" + noSpace + "\r\n" + words + "\r\nfin"),
              (Lines{"court", noSpace, words, "fin"}));
    EXPECT_EQ(display.shown.back(), noSpace.substr(0, kMaxLabelWordCharacters));
    store->ShowRandomTip();
    EXPECT_EQ(display.shown.back(), words.substr(0, kMaxLabelCharacters));
}

// A long word keeps its start and what follows it; limits count characters, never split one.
TEST(LabelTextTest, CutsLongWordsOnCharacters) {
    const std::string head(kMaxLabelWordCharacters, 'x');
    EXPECT_EQ(LabelText("a\0b \t c"s, TextEncoding::Utf8), "a\0b \t c"s);
    EXPECT_EQ(LabelText(head + "zzz fin", TextEncoding::Utf8), head + " fin");
    std::string accents, emoji;
    for (std::size_t i = 0; i < kMaxLabelWordCharacters + 3; ++i) accents += "é";
    EXPECT_EQ(LabelText(accents + " €", TextEncoding::Utf8),
              accents.substr(0, 2 * kMaxLabelWordCharacters) + " €");
    for (std::size_t i = 0; i < kMaxLabelCharacters; ++i) emoji += i % 2 ? "😀" : " ";
    EXPECT_EQ(LabelText(emoji + "😀😀", TextEncoding::Utf8), emoji);
}

// Boundaries of each length and every class of fault, wherever it falls against the 8-byte
// blocks in which ASCII is skipped.
TEST(IsValidUtf8Test, ValidAndInvalidClasses) {
    for (const std::string& valid :
         {"\xC2\x80"s, "\xDF\xBF"s, "\xE0\xA0\x80"s, "\xED\x9F\xBF"s, "\xEE\x80\x80"s,
          "\xEF\xBF\xBF"s, "\xF0\x90\x80\x80"s, "\xF4\x8F\xBF\xBF"s, "\0\x7F"s}) {
        for (const std::size_t prefix : {0, 3, 7, 8, 1003}) {
            EXPECT_TRUE(IsValidUtf8(std::string(prefix, 'a') + valid + "zz")) << prefix;
        }
    }
    for (const std::string& invalid :
         {"\xC0\x80"s, "\xC1\xBF"s, "\xE0\x9F\xBF"s, "\xF0\x8F\xBF\xBF"s,  // overlong
          "\xED\xA0\x80"s, "\xED\xBF\xBF"s, "\xF4\x90\x80\x80"s, "\xF5\x80\x80\x80"s, "\xFF"s,
          "\x80"s, "\xC2\x80\x80"s, "\xC2"s, "\xE2\x82"s, "\xF0\x9F\x98"s, "\xC2z"s,
          "\xF0\x9F\x98z"s}) {
        for (const std::size_t prefix : {0, 1, 5, 7, 8, 1003}) {
            const std::string ascii(prefix, 'a');
            EXPECT_FALSE(IsValidUtf8(ascii + invalid))
                << prefix << ::testing::PrintToString(invalid);
            EXPECT_FALSE(IsValidUtf8(ascii + invalid + "zzzzzzzzzzz")) << prefix;
        }
    }
}

}  // namespace
}  // namespace farlous
