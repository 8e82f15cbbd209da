// Files nobody meant as jokes files, loaded all the same: no text is lost, cut short or garbled.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jokes/label_text.h"
#include "jokes/text_decoding.h"
#include "jokes/tip_store.h"
#include "support/fake_platform.h"
#include "support/recording_display.h"

namespace farlous {
namespace {

using namespace std::string_literals;
using Jokes = std::vector<std::string>;

class OddFileTest : public ::testing::Test {
protected:
    testing::FakePlatform platform;
    testing::RecordingDisplay display;

    // The jokes a fresh store holds after loading `bytes`.
    Jokes Load(const std::string& bytes) {
        platform.files["/p/FARLOUS.TXT"] = bytes;
        TipStore store(platform, display);
        EXPECT_TRUE(store.LoadTips("/p/FARLOUS.TXT"));
        Jokes jokes;
        for (std::int32_t i = 1; i <= store.Items().Count(); ++i) {
            jokes.push_back(store.Items().Item(i));
        }
        return jokes;
    }
};

TEST_F(OddFileTest, BinaryBytesAndNulsStayInTheirJokes) {
    EXPECT_EQ(Load("\0\0\n\0a\0\r\n\0"s), (Jokes{"\0\0"s, "\0a\0"s, "\0"s}));
    EXPECT_EQ(display.shown.back().size(), 2u);  // the first joke, whole

    std::string everyByte;  // but the line ends and the end-of-file mark
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n' && b != 0x1A) everyByte += static_cast<char>(b);
    }
    const Jokes jokes = Load(everyByte + "\r\n" + everyByte);
    ASSERT_EQ(jokes.size(), 2u);
    EXPECT_EQ(jokes[0], jokes[1]);
    EXPECT_TRUE(IsValidUtf8(jokes[0]));
    std::string expected;
    AppendAsUtf8(everyByte, TextEncoding::Windows1252, expected);
    EXPECT_EQ(jokes[0], expected);
}

// One bad sequence anywhere, even at the very end, decides for the whole file.
TEST_F(OddFileTest, InvalidUtf8AnywhereMakesTheWholeFileWindows1252) {
    const std::string manyLines = [] {
        std::string lines;
        for (int i = 0; i < 20'000; ++i) lines += "ligne\r\n";
        return lines;
    }();
    for (const std::string& bad :
         {"\xC3"s, "\xE2\x82"s, "\xF0\x9F\x98"s, "\xC0\xAF"s, "\xED\xA0\x80"s, "\x80"s, "\xFF"s}) {
        const Jokes jokes = Load("caf\xC3\xA9\r\n" + manyLines + "fin" + bad);
        ASSERT_EQ(jokes.size(), 20'002u);
        EXPECT_EQ(jokes.front(), "cafÃ©") << ::testing::PrintToString(bad);
        std::string last = "fin";
        AppendAsUtf8(bad, TextEncoding::Windows1252, last);
        EXPECT_EQ(jokes.back(), last);
    }
    EXPECT_EQ(Load("caf\xC3\xA9\r\n" + manyLines + "fin \xE2\x82\xAC"),
              Load("café\r\n" + manyLines + "fin €"));
}

TEST_F(OddFileTest, LineEndsAloneMakeThatManyEmptyJokes) {
    EXPECT_EQ(Load("\n\n\n"), Jokes(3));
    EXPECT_EQ(Load("\r\n\r\n"), Jokes(2));
    EXPECT_EQ(Load("\r\r\r\r"), Jokes(4));
    EXPECT_EQ(Load("\n\r"), Jokes(2));
    EXPECT_EQ(Load(std::string(1'000'000, '\n')), Jokes(1'000'000));
    EXPECT_EQ(display.shown.back(), "");
}

TEST_F(OddFileTest, ByteOrderMarkAloneIsAnEmptyFile) {
    EXPECT_EQ(Load("\xEF\xBB\xBF"), Jokes{});
    EXPECT_EQ(Load("\xEF\xBB\xBF\r\n"), Jokes(1));
}

TEST_F(OddFileTest, MixedLineEndsEachEndALine) {
    EXPECT_EQ(Load("a\rb\nc\r\nd\n\re\r\r\nf"), (Jokes{"a", "b", "c", "d", "", "e", "", "f"}));
    EXPECT_EQ(Load("a\r\n\rb"), (Jokes{"a", "", "b"}));
}

// The mark ends the text wherever it is; a mark alone leaves no joke and the label untouched.
TEST_F(OddFileTest, EndOfFileMarkEndsTheText) {
    EXPECT_EQ(Load("a\r\nb\r\n\x1A"), (Jokes{"a", "b"}));
    EXPECT_EQ(Load("a\r\nb\x1A"), (Jokes{"a", "b"}));
    EXPECT_EQ(Load("a\x1A\r\nb\r\n"), (Jokes{"a"}));
    EXPECT_EQ(Load("a\r\nb\x1A\r\nc\x1A"), (Jokes{"a", "b"}));
    display.shown.clear();
    EXPECT_EQ(Load("\x1A\r\ncach\xE9"), Jokes{});
    EXPECT_TRUE(display.shown.empty());
}

// The store keeps such a joke whole and gives the label no more than it could show.
TEST_F(OddFileTest, LinesOfMegabytesAreKeptWholeAndShownCut) {
    const std::string noSpace(6'000'000, 'x');
    std::string words;
    while (words.size() < 6'000'000) words += "un mot ";
    platform.files["/p/FARLOUS.TXT"] = "court\r\n" + noSpace + "\r\n" + words + "\r\nfin";
    platform.draws = {0.3f, 0.6f};
    TipStore store(platform, display);
    ASSERT_TRUE(store.LoadTips("/p/FARLOUS.TXT"));
    ASSERT_EQ(store.Items().Count(), 4);
    EXPECT_EQ(store.Items().Item(2), noSpace);
    EXPECT_EQ(store.Items().Item(3), words);

    EXPECT_EQ(display.shown.back(), noSpace.substr(0, kMaxLabelWordCharacters));
    store.ShowRandomTip();
    EXPECT_EQ(display.shown.back(), words.substr(0, kMaxLabelCharacters));
}

}  // namespace
}  // namespace farlous
