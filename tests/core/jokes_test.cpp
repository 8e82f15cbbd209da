// The jokes as the label gets them, from the bytes of a jokes file.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "jokes/tip_store.h"
#include "support/fake_platform.h"

namespace farlous {
namespace {

using namespace std::string_literals;
using Jokes = std::vector<std::string>;

// What a label of `capacity` gets of each joke of `file`, in order, each drawn at the middle of
// its share of [0, 1), the share being 1 / `expected` jokes; "-" when there is no joke to show.
Jokes Drawn(const std::string& file, std::size_t expected, LabelCapacity capacity = {99, 99}) {
    testing::FakePlatform platform;
    platform.files["/f"] = file;
    TipStore store(platform, capacity);
    EXPECT_TRUE(store.LoadTips("/f"));
    Jokes drawn;
    for (std::size_t i = 0; i < std::max<std::size_t>(expected, 1); ++i) {
        platform.draws = {static_cast<float>((i + 0.5) / std::max<std::size_t>(expected, 1))};
        store.Draw();
        drawn.push_back(store.CurrentTip().value_or("-"));
    }
    return drawn;
}

struct FileRow {
    const char* name;
    std::string file;
    Jokes jokes;
};

const FileRow kFiles[] = {
    {"EveryLineEnd", "un\r\ndeux\ntrois\rquatre\r\n", {"un", "deux", "trois", "quatre"}},
    {"EmptyLinesKept", "\r\n\r\nb\n\n", {"", "", "b", ""}},
    {"EmptyFile", "", {"-"}},
    {"EndOfFileMark", "un\r\ndeux\x1Atrois\r\n", {"un", "deux"}},
    {"NulEndsTheJoke", "avant\0apr\xE8s\nb"s, {"avant", "b"}},
    {"Utf8MarkDropped", "\xEF\xBB\xBF\xC5\x92uf \xF0\x9F\xA5\x9A", {"Œuf 🥚"}},
    {"Windows1252", "Cr\xE8me\n\xA0\xFF", {"Crème", "\u00A0ÿ"}},
    {"Windows1252Specials",
     "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
     "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F",
     {"€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ"}},
    // Any ill-formed UTF-8 makes the whole file Windows-1252, so no byte is lost.
    {"OverlongIsWindows1252", "\xC0\xAF\n\xC3\xA9", {"À¯", "Ã©"}},
    {"SurrogateIsWindows1252", "\xED\xA0\x80", {"í\u00A0€"}},
    {"PastUnicodeIsWindows1252", "\xF4\x90\x80\x80", {"ô\u0090€€"}},
    {"LeadPastF4IsWindows1252", "\xF5\x80\x80\x80", {"õ€€€"}},
    {"CutSequenceIsWindows1252", "\xE2\x82", {"â‚"}},
    {"OverlongOfThreeIsWindows1252", "\xE0\x9F\xBF", {"àŸ¿"}},
    {"OverlongOfFourIsWindows1252", "\xF0\x8F\xBF\xBF", {"ð\u008F¿¿"}},
    {"BadContinuationIsWindows1252", "\xF1\x80\x41\x80", {"ñ€A€"}},
    {"EdgesOfUtf8",
     "\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
     {"\u0080\u07FF\u0800\uD7FF\uE000\U00010000\U0010FFFF"}},
    {"Utf16LittleEndian",
     "\xFF\xFE\x61\0\r\0\n\0\x3D\xD8\x1A\xDE\0\xD8\x62"s,
     {"a", "😚\uFFFD\uFFFD"}},
    {"Utf16BigEndian", "\xFE\xFF\0\x61\0\n\xD8\x3D\xDC\0\xD8\0\xE0\0"s, {"a", "🐀\uFFFD\uE000"}},
    {"Utf32LittleEndian", "\xFF\xFE\0\0\x1A\xF6\x01\0\n\0\0\0\0\0\x11\0"s, {"😚", "\uFFFD"}},
    {"Utf32BigEndian", "\0\0\xFE\xFF\0\0\0\x61\0\0\xD8\0\0\0\xDC\0"s, {"a\uFFFD\uFFFD"}},
    {"EdgesOfUtf32",
     "\0\0\xFE\xFF\0\0\x07\xFF\0\0\x08\0\0\0\xE0\0\0\0\xFF\xFF\0\x01\0\0\0\x10\xFF\xFF"s,
     {"\u07FF\u0800\uE000\uFFFF\U00010000\U0010FFFF"}},
};

TEST(JokesTest, EveryLineIsAJoke) {
    for (const FileRow& row : kFiles)
        EXPECT_EQ(Drawn(row.file, row.jokes.size()), row.jokes) << row.name;
}

struct LabelRow {
    const char* name;
    std::string joke;
    std::string shown;
};

// A label that shows 3 characters of a word and 8 in all.
const LabelRow kLabels[] = {
    {"LongWordCut", "abcdef gh", "abc gh"},
    {"TabEndsAWord", "abcdef\tgh", "abc\tgh"},
    {"LongTextCut", "ab cd ef gh", "ab cd ef"},
    {"CharactersNotBytes", "éèêë à", "éèê à"},
    {"Windows1252CharactersAreBytes", "\xE9\xE8\xEA\xEB \xE0\x80\x80\x80", "éèê à€€"},
};

TEST(LabelTest, KeepsWhatTheLabelCanShow) {
    for (const LabelRow& row : kLabels)
        EXPECT_EQ(Drawn(row.joke, 1, {3, 8}), Jokes{row.shown}) << row.name;
}

// The window's label: 18 lines of 241 characters, a word of them all at most on each.
TEST(LabelTest, CapacityOfTheJokeLabel) {
    EXPECT_EQ(CapacityOf(241, 141).wordCharacters, 4338u);
    EXPECT_EQ(CapacityOf(241, 141).characters, 78084u);
}

// No name finds no file; a file loaded twice is there twice; every joke comes up, the first at 0,
// the last just below 1.
TEST(TipStoreTest, DrawsOverEveryJokeOfEveryLoad) {
    testing::FakePlatform platform;
    platform.files[""] = platform.files["/f"] = "un\ndeux\ntrois";
    TipStore store(platform, {99, 99});
    EXPECT_FALSE(store.LoadTips(""));
    ASSERT_TRUE(store.LoadTips("/f") && store.LoadTips("/f"));
    Jokes drawn;
    for (const float r : {0.0f, 0.34f, 0.5f, 0.83f, std::nextafter(1.0f, 0.0f)}) {
        platform.draws = {r};
        store.Draw();
        drawn.push_back(store.CurrentTip().value_or("-"));
    }
    EXPECT_EQ(drawn, (Jokes{"un", "trois", "un", "deux", "trois"}));
}

}  // namespace
}  // namespace farlous
