#include "platform/platform.h"

#include <chrono>
#include <cstdint>

namespace farlous {

void Platform::Randomize() {
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    random_.seed(seed);
}

// 24 random bits over 2^24: the float grid itself, so a draw can never round up to 1 the way a
// generic conversion may.
float Platform::Rnd() { return static_cast<float>(random_() >> 8) / 16777216.0f; }

}  // namespace farlous
