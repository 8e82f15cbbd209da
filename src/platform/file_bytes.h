#pragma once

#include <string_view>
#include <vector>

#include "platform/large_memory.h"

namespace farlous {

// The whole content of a file, in one buffer that is handed on without copying.
struct FileBytes {
    std::vector<char, LargeAllocator<char>> bytes;

    std::string_view view() const { return {bytes.data(), bytes.size()}; }
};

}  // namespace farlous
