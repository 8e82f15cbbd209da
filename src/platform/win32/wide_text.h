#pragma once

#include <string>
#include <string_view>

namespace farlous {

// Windows takes and gives text as UTF-16; the rest of the program speaks UTF-8. Ill-formed input
// (a lone surrogate in a file name) becomes U+FFFD rather than an error.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace farlous
