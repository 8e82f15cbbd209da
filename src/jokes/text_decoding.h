#pragma once

#include <string>
#include <string_view>

namespace farlous {

enum class TextEncoding { Utf8, Windows1252 };

// True when `bytes` is well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF, no truncated sequence.
bool IsValidUtf8(std::string_view bytes);

// Appends `bytes`, read in `encoding`, to `out` as UTF-8. Windows-1252 maps every byte: the five
// bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control
// characters of the same value, so nothing is lost. UTF-8 input must be valid and is copied as is.
void AppendAsUtf8(std::string_view bytes, TextEncoding encoding, std::string& out);

}  // namespace farlous
