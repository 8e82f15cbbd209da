#include "jokes/jokes_file.h"

namespace farlous {

namespace {

constexpr char kEndOfFileMark = '\x1A';
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string_view TextBeforeEndMark(std::string_view bytes) {
    return bytes.substr(0, bytes.find(kEndOfFileMark));
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
