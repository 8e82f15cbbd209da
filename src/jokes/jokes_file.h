#pragma once

#include <cstddef>
#include <string_view>

#include "jokes/line_index.h"
#include "jokes/text_decoding.h"
#include "platform/file_bytes.h"

namespace farlous {

// One jokes file as read from disk, kept as its own bytes: the text ends at the first end-of-file
// mark (0x1A); it is UTF-8 when all of it is (a leading byte-order mark is then dropped), and
// Windows-1252 otherwise, so that no byte is ever lost. A file that opens with a UTF-16
// byte-order mark, little- or big-endian, is kept converted to UTF-8.
class JokesFile {
public:
    explicit JokesFile(FileBytes bytes);

    std::size_t Count() const { return lines_.Count(); }
    // Line `index` (0-based) as stored, in Encoding().
    std::string_view RawLine(std::size_t index) const { return lines_.Line(Text(), index); }
    TextEncoding Encoding() const { return encoding_; }

private:
    std::string_view Text() const { return bytes_.view().substr(textBegin_, textSize_); }

    FileBytes bytes_;
    std::size_t textBegin_ = 0;
    std::size_t textSize_ = 0;
    TextEncoding encoding_ = TextEncoding::Utf8;
    LineIndex lines_;
};

}  // namespace farlous
