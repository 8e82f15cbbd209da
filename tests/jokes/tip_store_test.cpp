#include "jokes/tip_store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/runtime_error.h"
#include "support/fake_platform.h"
#include "support/recording_display.h"

namespace farlous {
namespace {

using Calls = std::vector<std::string>;

class TipStoreTest : public ::testing::Test {
protected:
    testing::FakePlatform platform;
    testing::RecordingDisplay display;
    TipStore store{platform, display};

    std::vector<std::string> AllItems() const {
        std::vector<std::string> items;
        for (std::int32_t i = 1; i <= store.Items().Count(); ++i)
            items.push_back(store.Items().Item(i));
        return items;
    }
};

TEST_F(TipStoreTest, LoadsEveryLineInOrderThenPicksOne) {
    platform.files["/p/FARLOUS.TXT"] = "un\r\n\r\ntrois\r\n";
    platform.freeNumber = 3;
    platform.draws = {0.5f};

    EXPECT_TRUE(store.LoadTips("/p/FARLOUS.TXT"));

    EXPECT_EQ(platform.calls, (Calls{"FreeFile", "Dir /p/FARLOUS.TXT", "Open 3 /p/FARLOUS.TXT",
                                     "Read 3", "Close 3", "Rnd"}));
    EXPECT_EQ(AllItems(), (std::vector<std::string>{"un", "", "trois"}));
    EXPECT_EQ(store.Index(), 2);  // floor(0.5 * 3 + 1)
    EXPECT_EQ(display.shown, (std::vector<std::string>{""}));
}

TEST_F(TipStoreTest, EmptyPathAndMissingFileLoadNothing) {
    EXPECT_FALSE(store.LoadTips(""));
    EXPECT_EQ(platform.calls, (Calls{"FreeFile"}));  // the number is asked for even then

    platform.calls.clear();
    EXPECT_FALSE(store.LoadTips("/p/absent.txt"));
    EXPECT_EQ(platform.calls, (Calls{"FreeFile", "Dir /p/absent.txt"}));

    EXPECT_EQ(store.Items().Count(), 0);
    EXPECT_EQ(store.Index(), 0);
    EXPECT_TRUE(display.shown.empty());
}

TEST_F(TipStoreTest, EmptyFilePicksPositionOneAndLeavesTheLabelAlone) {
    platform.files["/p/vide.txt"] = "";
    platform.draws = {0.75f};

    EXPECT_TRUE(store.LoadTips("/p/vide.txt"));

    EXPECT_EQ(platform.calls.back(), "Rnd");
    EXPECT_EQ(store.Items().Count(), 0);
    EXPECT_EQ(store.Index(), 1);
    EXPECT_TRUE(display.shown.empty());
}

TEST_F(TipStoreTest, SecondLoadAppendsTheFileAgain) {
    platform.files["/p/f.txt"] = "a\nb";
    ASSERT_TRUE(store.LoadTips("/p/f.txt"));
    ASSERT_TRUE(store.LoadTips("/p/f.txt"));
    EXPECT_EQ(AllItems(), (std::vector<std::string>{"a", "b", "a", "b"}));
}

TEST_F(TipStoreTest, DrawMapsToEveryPositionFromFirstToLast) {
    platform.files["/p/f.txt"] = "1\n2\n3\n4\n5\n";
    platform.draws = {0.0f, std::nextafter(1.0f, 0.0f), 0.2f, 0.3999999f};
    ASSERT_TRUE(store.LoadTips("/p/f.txt"));
    EXPECT_EQ(store.Index(), 1);

    const std::vector<std::int32_t> expected = {5, 2, 2};
    for (std::int32_t position : expected) {
        store.ShowRandomTip();
        EXPECT_EQ(store.Index(), position);
        EXPECT_EQ(display.shown.back(), std::to_string(position));
    }
}

TEST_F(TipStoreTest, ReadFailureClosesTheFileAndPropagates) {
    platform.files["/p/f.txt"] = "a";
    platform.unreadable = "/p/f.txt";
    EXPECT_THROW(store.LoadTips("/p/f.txt"), RuntimeError);
    EXPECT_EQ(platform.calls.back(), "Close 1");
    EXPECT_EQ(store.Items().Count(), 0);
}

TEST_F(TipStoreTest, JokesAreShownAsUtf8WhateverTheFileEncoding) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"caf\xE9 \x80 l\x92h\xF4tel", "café € l’hôtel"},  // Windows-1252
        {"\xEF\xBB\xBF"
         "café\r\n",
         "café"},                         // UTF-8, mark dropped
        {"caf\xC3\xA9 \xFF", "cafÃ© ÿ"},  // not all UTF-8
        {std::string("avant\0apr\xE8s\x1A"
                     "cach\xE9",
                     17),
         std::string("avant\0après", 12)},
    };
    for (const auto& [bytes, shown] : cases) {
        platform.files["/p/f.txt"] = bytes;
        TipStore fresh(platform, display);
        ASSERT_TRUE(fresh.LoadTips("/p/f.txt"));
        ASSERT_EQ(fresh.Items().Count(), 1) << bytes;
        EXPECT_EQ(display.shown.back(), shown);
    }
}

}  // namespace
}  // namespace farlous
