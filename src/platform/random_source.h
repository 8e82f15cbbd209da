#pragma once

#include <cstdint>
#include <random>

namespace farlous {

// Uniform single-precision draws over [0, 1).
class RandomSource {
public:
    void SeedFromClock();
    float Next();

    // 24 random bits as a float in [0, 1): exactly the float grid, so the result can never round
    // up to 1.0 the way a generic canonical float may.
    static float FromBits(std::uint32_t bits);

private:
    std::mt19937 engine_;
};

}  // namespace farlous
