#pragma once

#include <algorithm>
#include <vector>

namespace farlous::bench {

// The middle of a run's figures: what one slow or fast round on a shared machine cannot move.
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace farlous::bench
