#include "jokes/jokes_file.h"

namespace farlous {

namespace {

constexpr char kEndOfFileMark = '\x1A';
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

std::string_view TextBeforeEndMark(std::string_view bytes) {
    return bytes.substr(0, bytes.find(kEndOfFileMark));
}

// A file that Windows editors save as "Unicode" is UTF-16 behind its byte-order mark: it is turned
// into UTF-8 once, and from then on read like any other file.
FileBytes AsUtf8IfUtf16(FileBytes bytes) {
    const std::string_view text = bytes.view();
    ByteOrder order;
    if (text.starts_with(kUtf16LittleEndianMark)) {
        order = ByteOrder::LittleEndian;
    } else if (text.starts_with(kUtf16BigEndianMark)) {
        order = ByteOrder::BigEndian;
    } else {
        return bytes;
    }
    const std::string_view units = text.substr(kUtf16LittleEndianMark.size());
    FileBytes utf8;
    utf8.bytes.resize(Utf16AsUtf8Size(units, order));
    WriteUtf16AsUtf8(units, order, utf8.bytes.data());
    return utf8;
}

}  // namespace

JokesFile::JokesFile(FileBytes bytes)
    : bytes_(AsUtf8IfUtf16(std::move(bytes))), lines_(std::string_view()) {
    std::string_view text = TextBeforeEndMark(bytes_.view());
    encoding_ = IsValidUtf8(text) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    if (encoding_ == TextEncoding::Utf8 && text.starts_with(kUtf8ByteOrderMark)) {
        textBegin_ = kUtf8ByteOrderMark.size();
    }
    textSize_ = text.size() - textBegin_;
    lines_ = LineIndex(Text());
}

}  // namespace farlous
