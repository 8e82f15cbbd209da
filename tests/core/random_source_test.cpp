#include "platform/random_source.h"

#include <gtest/gtest.h>

#include <set>

namespace farlous {
namespace {

TEST(RandomSourceTest, DrawsStayBelowOne) {
    EXPECT_EQ(RandomSource::FromBits(0), 0.0f);
    EXPECT_LT(RandomSource::FromBits(0xFFFFFFFFu), 1.0f);
    EXPECT_EQ(RandomSource::FromBits(0xFFFFFFFFu), 1.0f - 1.0f / (1 << 24));
}

TEST(RandomSourceTest, SeededDrawsReachEveryJoke) {
    RandomSource random;
    random.SeedFromClock();
    std::set<int> positions;
    for (int i = 0; i < 1000; ++i) positions.insert(static_cast<int>(random.Next() * 7) + 1);
    EXPECT_EQ(positions, (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
}

}  // namespace
}  // namespace farlous
