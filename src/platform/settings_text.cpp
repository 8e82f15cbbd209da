#include "platform/settings_text.h"

#include "platform/blanks.h"

namespace farlous {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The name with its %XX escapes decoded; a '%' not followed by two hexadecimal digits stays.
std::string Unescaped(std::string_view name) {
    std::string decoded;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const int high = i + 2 < name.size() && name[i] == '%' ? HexDigit(name[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(name[i + 2]) : -1;
        if (low >= 0) {
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += name[i];
        }
    }
    return decoded;
}

// The next line of `text`, which loses it and its line end.
std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
    } else {
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return line;
}

}  // namespace

std::optional<std::string> FindSetting(std::string_view text, std::string_view section,
                                       std::string_view key) {
    if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
    std::optional<std::string> value;
    bool inSection = false;
    while (!text.empty()) {
        const std::string_view line = NextLine(text);
        const std::string_view trimmed = TrimBlanks(line);
        if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') continue;
        if (trimmed.front() == '[' && trimmed.back() == ']') {
            inSection = Unescaped(TrimBlanks(trimmed.substr(1, trimmed.size() - 2))) == section;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inSection && equals != std::string_view::npos &&
            Unescaped(TrimBlanks(line.substr(0, equals))) == key) {
            value = std::string(line.substr(equals + 1));
        }
    }
    return value;
}

}  // namespace farlous
