#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace farlous {

enum class TextEncoding { Utf8, Windows1252 };
enum class ByteOrder { LittleEndian, BigEndian };

// True when `bytes` is well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF, no truncated sequence.
bool IsValidUtf8(std::string_view bytes);

// Appends `bytes`, read in `encoding`, to `out` as UTF-8. Windows-1252 maps every byte: the five
// bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control
// characters of the same value, so nothing is lost. UTF-8 input must be valid and is copied as is.
void AppendAsUtf8(std::string_view bytes, TextEncoding encoding, std::string& out);

// UTF-16 text in `order`, without its byte-order mark, as UTF-8: the size it takes, and the text
// written from `out` on, into that many bytes. An unpaired surrogate and a lone last byte, which
// only a damaged file holds, each become U+FFFD, so the result is always valid UTF-8.
std::size_t Utf16AsUtf8Size(std::string_view bytes, ByteOrder order);
void WriteUtf16AsUtf8(std::string_view bytes, ByteOrder order, char* out);

}  // namespace farlous
