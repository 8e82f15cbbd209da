#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "jokes/jokes_file.h"
#include "jokes/label_text.h"
#include "platform/file_bytes.h"

namespace farlous {

// The jokes of every file loaded so far, in file order, numbered from 1. It only ever grows: a
// file loaded twice is there twice. Each joke stays as raw bytes until it is asked for.
class JokeCollection {
public:
    // Appends every line of the file. Throws RuntimeError (out of memory) when the count would no
    // longer fit the 32-bit positions the window uses.
    void Append(FileBytes bytes);

    std::int32_t Count() const { return count_; }
    // The joke at `position` (1..Count()) as UTF-8.
    std::string Item(std::int32_t position) const;
    // The same, cut to what a label of `capacity` could show of it.
    std::string ItemForLabel(std::int32_t position, LabelCapacity capacity) const;

private:
    // The file that holds the joke at `position`, and the joke's 0-based index in it.
    std::pair<const JokesFile&, std::size_t> Locate(std::int32_t position) const;

    std::vector<JokesFile> files_;
    std::int32_t count_ = 0;
};

}  // namespace farlous
