#include "platform/large_memory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace farlous {
namespace {

// Growing from heap blocks to blocks of their own and back keeps every element.
TEST(LargeMemoryTest, ContainersKeepTheirContentAcrossBlockKinds) {
    std::vector<std::uint64_t, LargeAllocator<std::uint64_t>> values;
    for (std::uint64_t i = 0; i < 3'000'000; ++i) values.push_back(i * 7);
    values.resize(10);
    values.shrink_to_fit();
    values.resize(1'000'000);
    for (std::uint64_t i = 0; i < 10; ++i) ASSERT_EQ(values[i], i * 7);
    values[999'999] = 1;
    EXPECT_EQ(values.back(), 1u);
}

TEST(LargeMemoryTest, AvailableMemoryIsWhatTheMachineHasFree) {
    const auto physical = static_cast<std::size_t>(sysconf(_SC_PHYS_PAGES)) *
                          static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t available = AvailableMemory();
    EXPECT_GT(available, 0u);
    EXPECT_LE(available, physical);
}

}  // namespace
}  // namespace farlous
