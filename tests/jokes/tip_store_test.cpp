#include "jokes/tip_store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "jokes/label_text.h"
#include "jokes/text_decoding.h"
#include "support/fake_platform.h"

namespace farlous {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;
using Lines = std::vector<std::string>;

// A small label, so that short texts reach both of its cuts.
constexpr LabelCapacity kLabel = CapacityOf(8, 16);

std::string Repeat(const std::string& text, std::size_t times) {
    std::string repeated;
    for (std::size_t i = 0; i < times; ++i) repeated += text;
    return repeated;
}

struct Store {
    testing::FakePlatform platform;
    testing::FakeFace face;
    TipStore store{platform, face, kLabel};

    // Loads `bytes` as one more file: the jokes held then.
    Lines Load(const std::string& bytes) {
        const std::string path = "/p/" + std::to_string(platform.files.size());
        platform.files[path] = bytes;
        EXPECT_TRUE(store.LoadTips(path));
        Lines jokes;
        for (std::int32_t i = 1; i <= store.Items().Count(); ++i)
            jokes.push_back(store.Items().Item(i));
        return jokes;
    }
};

// `text` as a file saved in UTF-16, with its byte-order mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

struct FileRow {
    const char* name;
    std::string bytes;
    Lines jokes;
};

// Line ends, the end-of-file mark and the choice of encoding, which the last byte of a large text
// still sways.
const FileRow kFiles[] = {
    {"EveryLineEnd", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
    {"LineEndsInAnyOrder", "a\rb\nc\r\nd\n\re\r\r\nf\n", {"a", "b", "c", "d", "", "e", "", "f"}},
    {"OnlyLineEnds", "\n\r\n\r\r", Lines(4)},
    {"EmptyFile", "", {}},
    {"EndOfFileMark", "a\r\nb\x1A\r\nc\x1A", {"a", "b"}},
    {"NulBytes", "\0\0\n\0a\0\r\n\0"s, {"\0\0"s, "\0a\0"s, "\0"s}},
    {"ByteOrderMarkOnly", "\xEF\xBB\xBF", {}},
    {"Utf8ByteOrderMarkDropped",
     "\xEF\xBB\xBF"
     "caf\xC3\xA9 \xE2\x82\xAC\r\n",
     {"café €"}},
    {"Windows1252",
     "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
     "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F caf\xE9\xA0\xFF",
     {"€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ café\u00A0ÿ"}},
    {"InvalidUtf8AtTheEnd", "caf\xC3\xA9\r\nfin\xC3", {"cafÃ©", "finÃ"}},
    {"SurrogateIsNoUtf8", "\xC3\xA9\xED\xA0\x80", {"Ã©í\u00A0€"}},
    {"InvalidUtf8FarOn", Repeat("ligne\n", 20'000) + "\xE9",
     [] {
         Lines jokes(20'001, "ligne");
         jokes.back() = "é";
         return jokes;
     }()},
    // UTF-16 by its mark; line ends and the end mark are whole code units: U+0D0A holds the
    // bytes of LF CR, U+041A that of the end mark. Broken pairs and a lone byte show as U+FFFD.
    {"Utf16LittleEndian", Utf16(u"Bl\r\nété\n", false), {"Bl", "été"}},
    {"Utf16BigEndian", Utf16(u"Bl\r\né", true), {"Bl", "é"}},
    {"Utf16WholeCodeUnits", Utf16(u"a\u0D0Ab\u041A\r\032z", false), {"a\u0D0AbК"}},
    {"Utf16Pairs", Utf16(u"\U0001F600\0"sv, false), {"😀\0"s}},
    {"Utf16BrokenPairs", Utf16(u"a\xD83Dg\xDE00", false) + "z", {"a\uFFFDg\uFFFD\uFFFD"}},
    {"Utf16LonePairAtTheEnd", Utf16(u"a\xD83D", true), {"a\uFFFD"}},
    {"Utf16MarkOnly", Utf16(u"", false), {}},
    {"HalfAMarkIsWindows1252", "\xFE\x61\xFF\x62", {"þaÿb"}},
};

class JokesFileTest : public ::testing::TestWithParam<FileRow> {};

TEST_P(JokesFileTest, EveryLineIsAJokeDecoded) {
    Store s;
    EXPECT_EQ(s.Load(GetParam().bytes), GetParam().jokes);
}

INSTANTIATE_TEST_SUITE_P(Files, JokesFileTest, ::testing::ValuesIn(kFiles), testing::RowName());

// Each file keeps its own encoding.
TEST(TipStoreTest, FilesAppendInOrder) {
    Store s;
    s.Load("un\r\ndeux\r\n");
    s.Load("caf\xE9");
    EXPECT_EQ(s.Load("caf\xC3\xA9"), (Lines{"un", "deux", "café", "café"}));
}

// The generator, never seeded, gives the same draws at every run.
TEST(TipStoreTest, DrawsTakeEveryJokeEvenly) {
    EXPECT_EQ(RandomSource::FromBits(0xFFFFFFFFu), 1.0f - 0x1p-24f);
    RandomSource random;
    std::uint32_t bits = 0;  // every bit of the draws' 24 that was ever set
    for (int i = 0; i < 1000; ++i) bits |= static_cast<std::uint32_t>(random.Next() * 0x1p24f);
    EXPECT_EQ(bits, 0xFFFFFFu);

    Store s;
    std::string file;
    for (int joke = 1; joke <= 100; ++joke) file += std::to_string(joke) + "\n";
    s.Load(file);
    for (int pick = 0; pick < 20'000; ++pick) s.store.ShowRandomTip();
    std::map<std::string, int> times;
    for (const std::string& shown : s.face.shown) ++times[shown];
    ASSERT_EQ(times.size(), 100u);
    for (const auto& [joke, count] : times) EXPECT_NEAR(count, 200, 60) << joke;
}

struct LabelRow {
    const char* name;
    std::string joke;
    TextEncoding encoding;
    std::string label;
};

// Words keep their first characters, the text its first; blanks and NUL pass, no character is
// split.
const std::string kWord(kLabel.wordCharacters, 'x');
const LabelRow kLabels[] = {
    {"LongWordCut", kWord + "zzz\tfin a\0b"s, TextEncoding::Utf8, kWord + "\tfin a\0b"s},
    {"Utf8WordCutOnCharacters", Repeat("é", kLabel.wordCharacters + 3) + " €", TextEncoding::Utf8,
     Repeat("é", kLabel.wordCharacters) + " €"},
    {"Windows1252WordCut", std::string(kLabel.wordCharacters + 3, '\xE9') + " \x80",
     TextEncoding::Windows1252, Repeat("é", kLabel.wordCharacters) + " €"},
    {"TextCutOnCharacters", Repeat(" 😀", kLabel.characters / 2 + 1), TextEncoding::Utf8,
     Repeat(" 😀", kLabel.characters / 2)},
};

class LabelTextTest : public ::testing::TestWithParam<LabelRow> {};

TEST_P(LabelTextTest, KeepsWhatTheLabelCanShow) {
    EXPECT_EQ(LabelText(GetParam().joke, GetParam().encoding, kLabel), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(Jokes, LabelTextTest, ::testing::ValuesIn(kLabels), testing::RowName());

struct Utf8Row {
    const char* name;
    std::vector<std::string> sequences;
    bool valid;
};

const Utf8Row kUtf8[] = {
    {"BoundsOfEachLength",
     {"\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80", "\xEF\xBF\xBF",
      "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF", "\0\x7F"s},
     true},
    {"Overlong", {"\xC0\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF"}, false},
    {"Surrogates", {"\xED\xA0\x80", "\xED\xBF\xBF"}, false},
    {"BeyondTheLastCodePoint", {"\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF"}, false},
    {"StrayContinuation", {"\x80", "\xC2\x80\x80"}, false},
    {"Truncated", {"\xC2", "\xE2\x82", "\xF0\x9F\x98", "\xC2z", "\xF0\x9F\x98z"}, false},
};

class IsValidUtf8Test : public ::testing::TestWithParam<Utf8Row> {};

// Wherever the sequence falls against the 8-byte blocks in which ASCII is skipped.
TEST_P(IsValidUtf8Test, AtAnyOffset) {
    for (const std::string& sequence : GetParam().sequences) {
        for (const std::size_t before : {0, 1, 5, 7, 8, 1003}) {
            const std::string text = std::string(before, 'a') + sequence;
            EXPECT_EQ(IsValidUtf8(text), GetParam().valid) << ::testing::PrintToString(text);
            EXPECT_EQ(IsValidUtf8(text + "zzzzzzzzzzz"), GetParam().valid) << before;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, IsValidUtf8Test, ::testing::ValuesIn(kUtf8), testing::RowName());

}  // namespace
}  // namespace farlous
