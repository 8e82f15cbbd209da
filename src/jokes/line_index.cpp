#include "jokes/line_index.h"

#include <cstring>

namespace farlous {

namespace {

// Position of the next `c` at or after `from`, or `size` when there is none.
std::size_t Find(const char* data, std::size_t size, std::size_t from, char c) {
    if (from >= size) return size;
    const void* hit = std::memchr(data + from, c, size - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : size;
}

}  // namespace

LineIndex::LineIndex(std::string_view text) {
    const char* data = text.data();
    const std::size_t size = text.size();
    if (size > 0) starts_.push_back(0);
    // Both terminator bytes are tracked with their own memchr cursor, each rescanned only once
    // passed: a text without CR costs a single scan for it, and CR LF text only short ones.
    std::size_t nextLf = Find(data, size, 0, '\n');
    std::size_t nextCr = Find(data, size, 0, '\r');
    while (true) {
        std::size_t end;  // one past the terminator
        if (nextLf < nextCr) {
            end = nextLf + 1;
            nextLf = Find(data, size, end, '\n');
        } else if (nextCr < size) {
            if (nextCr + 1 == nextLf) {
                end = nextLf + 1;
                nextLf = Find(data, size, end, '\n');
            } else {
                end = nextCr + 1;
            }
            nextCr = Find(data, size, end, '\r');
        } else {
            break;
        }
        if (end < size) starts_.push_back(end);
    }
    starts_.push_back(size);

    // Growth leaves slack; give it back, as the index lives as long as the text.
    if (starts_.capacity() > starts_.size() + starts_.size() / 4 + 16) starts_.shrink_to_fit();
}

std::size_t LineIndex::Count() const { return starts_.size() - 1; }

std::string_view LineIndex::Line(std::string_view text, std::size_t index) const {
    const std::size_t begin = starts_[index];
    std::size_t end = starts_[index + 1];
    // Lines hold no CR or LF, so whatever of them closes the range is the terminator.
    if (end > begin && text[end - 1] == '\n') --end;
    if (end > begin && text[end - 1] == '\r') --end;
    return text.substr(begin, end - begin);
}

}  // namespace farlous
