#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/large_memory.h"

namespace farlous {

// Where each line of a text starts, so that any line is found in constant time without copying
// the text. CR LF, a lone LF and a lone CR each end a line; the terminator is not part of the
// line; a terminator at the very end of the text adds no empty line. Every other byte (NUL
// included) belongs to its line.
class LineIndex {
public:
    explicit LineIndex(std::string_view text);

    std::size_t Count() const;
    // Line `index` (0-based) of `text`, which must be the text the index was built from.
    std::string_view Line(std::string_view text, std::size_t index) const;

private:
    // One start per line, then the text's size. A line runs to the next start less the
    // terminator in front of it, which the text itself tells, so nothing more is stored.
    std::vector<std::uint64_t, LargeAllocator<std::uint64_t>> starts_;
};

}  // namespace farlous
