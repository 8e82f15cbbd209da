#pragma once

#include <string>
#include <string_view>

namespace farlous {

enum class Encoding { Utf8, Windows1252 };

// A jokes file's text and how its bytes are to be read.
struct JokesText {
    std::string bytes;
    Encoding encoding;
};

// The text of a jokes file as read from disk. It ends at the first end-of-file mark (0x1A). It
// is UTF-8 when all of it is (a leading byte-order mark is dropped), and Windows-1252 otherwise,
// so that no byte is ever lost. A file that opens with a UTF-32 or UTF-16 byte-order mark, little-
// or big-endian, is turned into UTF-8 whole; its broken units (a lone surrogate, a cut last unit)
// become U+FFFD.
JokesText DecodeJokesFile(std::string file);

// `bytes` as UTF-8. Windows-1252 maps every byte: the five bytes the code page leaves undefined
// become the C1 control characters of the same value.
std::string ToUtf8(std::string_view bytes, Encoding encoding);

}  // namespace farlous
