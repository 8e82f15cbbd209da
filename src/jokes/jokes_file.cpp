#include "jokes/jokes_file.h"

#include <cstring>

namespace farlous {

namespace {

constexpr char kEndOfFileMark = '\x1A';
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string_view TextBeforeEndMark(std::string_view bytes) {
    const void* mark = std::memchr(bytes.data(), kEndOfFileMark, bytes.size());
    if (mark == nullptr) return bytes;
    return bytes.substr(0, static_cast<const char*>(mark) - bytes.data());
}

}  // namespace

JokesFile::JokesFile(FileBytes bytes) : bytes_(std::move(bytes)), lines_(std::string_view()) {
    std::string_view text = TextBeforeEndMark(bytes_.view());
    encoding_ = IsValidUtf8(text) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    if (encoding_ == TextEncoding::Utf8 && text.starts_with(kUtf8ByteOrderMark)) {
        textBegin_ = kUtf8ByteOrderMark.size();
    }
    textSize_ = text.size() - textBegin_;
    lines_ = LineIndex(Text());
}

}  // namespace farlous
