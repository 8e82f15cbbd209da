#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace farlous {

// The whole content of a file, in one buffer that is handed on without copying.
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;

    std::string_view view() const { return {data.get(), size}; }
};

}  // namespace farlous
