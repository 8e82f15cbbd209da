#include "jokes/label_text.h"

#include <gtest/gtest.h>

#include <string>

namespace farlous {
namespace {

using namespace std::string_literals;

constexpr std::size_t kWord = kMaxLabelWordCharacters;
constexpr std::size_t kText = kMaxLabelCharacters;

TEST(LabelTextTest, KeepsEveryJokeThatCouldShowWhole) {
    for (const std::string& joke :
         {""s, "Une blague."s, "a\0b\0"s, " \t  double  espace "s, std::string(kWord, 'x'),
          std::string(kWord, 'x') + " " + std::string(kWord, 'y')}) {
        EXPECT_EQ(LabelText(joke, TextEncoding::Utf8), joke) << joke.size();
    }
    EXPECT_EQ(LabelText("caf\xE9 \x80", TextEncoding::Windows1252), "café €");
}

// A long word keeps its start; whatever follows its blank still shows, on a line of its own.
TEST(LabelTextTest, CutsEachLongWordAndKeepsWhatFollows) {
    const std::string head(kWord, 'x');
    EXPECT_EQ(LabelText(head + "zzz fin", TextEncoding::Utf8), head + " fin");
    EXPECT_EQ(LabelText(head + "zzz\tfin\x01", TextEncoding::Windows1252), head + "\tfin\x01");
    EXPECT_EQ(LabelText("d\xE9"
                        "but " +
                            head + "zzz",
                        TextEncoding::Windows1252),
              "début " + head);
    EXPECT_EQ(LabelText(std::string(10'000'000, 'x'), TextEncoding::Utf8), head);
}

TEST(LabelTextTest, CutsTheWholeTextAfterItsLimit) {
    std::string words;
    while (words.size() < 2 * kText) words += "blague ";
    EXPECT_EQ(LabelText(words, TextEncoding::Utf8), words.substr(0, kText));

    // Every line of the label filled by a long word, each cut alike.
    std::string longWords, shown;
    for (int i = 0; i < 40; ++i) {
        longWords += std::string(kWord + 5, 'a' + i % 26) + ' ';
        shown += std::string(kWord, 'a' + i % 26) + ' ';
    }
    EXPECT_EQ(LabelText(longWords, TextEncoding::Utf8), shown.substr(0, kText));
}

// Limits count characters: a cut never splits one.
TEST(LabelTextTest, CountsCharactersNotBytes) {
    std::string accents;
    for (std::size_t i = 0; i < kWord + 3; ++i) accents += "é";
    const std::string shown = LabelText(accents + " €", TextEncoding::Utf8);
    EXPECT_EQ(shown, accents.substr(0, 2 * kWord) + " €");

    std::string emoji;
    for (std::size_t i = 0; i < kText; ++i) emoji += i % 2 ? "😀" : " ";
    EXPECT_EQ(LabelText(emoji + "😀😀", TextEncoding::Utf8), emoji);
}

}  // namespace
}  // namespace farlous
