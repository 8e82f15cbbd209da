#include "platform/random_source.h"

#include <chrono>

namespace farlous {

namespace {
constexpr int kFloatBits = 24;
}

void RandomSource::SeedFromClock() {
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    engine_.seed(seed);
}

float RandomSource::Next() { return FromBits(static_cast<std::uint32_t>(engine_())); }

float RandomSource::FromBits(std::uint32_t bits) {
    const std::uint32_t top = bits >> (32 - kFloatBits);
    return static_cast<float>(top) / static_cast<float>(1u << kFloatBits);
}

}  // namespace farlous
