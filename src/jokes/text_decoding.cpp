#include "jokes/text_decoding.h"

#include <array>
#include <cstdint>

namespace farlous {

namespace {

using namespace std::string_view_literals;

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Code points of the bytes 0x80..0x9F; the five the code page leaves undefined keep their value.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

// The byte-order marks, the longer first: UTF-32's little-endian one begins with UTF-16's.
struct ByteOrderMark {
    std::string_view bytes;
    std::size_t unitSize;
    bool bigEndian;
};
constexpr std::array<ByteOrderMark, 4> kWideMarks{{{"\xFF\xFE\0\0"sv, 4, false},
                                                   {"\0\0\xFE\xFF"sv, 4, true},
                                                   {"\xFF\xFE"sv, 2, false},
                                                   {"\xFE\xFF"sv, 2, true}}};
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr char kEndOfFileMark = '\x1A';

void AppendUtf8(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) c = kReplacementCharacter;
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (c < 0x80) {
        out += byte(c);
    } else if (c < 0x800) {
        out += {byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
        out += {byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
    } else {
        out += {byte(0xF0 | c >> 18), byte(0x80 | (c >> 12 & 0x3F)), byte(0x80 | (c >> 6 & 0x3F)),
                byte(0x80 | (c & 0x3F))};
    }
}

std::string WideToUtf8(std::string_view units, const ByteOrderMark& mark) {
    const std::size_t count = units.size() / mark.unitSize;
    const auto unit = [&](std::size_t index) {
        char32_t value = 0;
        for (std::size_t k = 0; k < mark.unitSize; ++k) {
            const std::size_t at = mark.bigEndian ? k : mark.unitSize - 1 - k;
            value = value << 8 | static_cast<unsigned char>(units[index * mark.unitSize + at]);
        }
        return value;
    };
    std::string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < count; ++i) {
        char32_t c = unit(i);
        const char32_t low = mark.unitSize == 2 && i + 1 < count ? unit(i + 1) : 0;
        if (c >= 0xD800 && c < 0xDC00 && low >= 0xDC00 && low < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        }
        AppendUtf8(text, c);
    }
    if (units.size() % mark.unitSize != 0) AppendUtf8(text, kReplacementCharacter);
    return text;
}

bool IsValidUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0, n = text.size(); i < n;) {
        const unsigned lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The second byte's range shuts out overlong forms, surrogates and code points past
        // U+10FFFF; later bytes are plain continuations.
        std::size_t length = 4;
        unsigned low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : low;
            high = lead == 0xED ? 0x9F : high;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            low = lead == 0xF0 ? 0x90 : low;
            high = lead == 0xF4 ? 0x8F : high;
        } else {
            return false;
        }
        if (n - i < length || bytes[i + 1] < low || bytes[i + 1] > high) return false;
        for (std::size_t k = 2; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace

JokesText DecodeJokesFile(std::string file) {
    for (const ByteOrderMark& mark : kWideMarks) {
        if (file.starts_with(mark.bytes)) {
            file = WideToUtf8(std::string_view(file).substr(mark.bytes.size()), mark);
            break;
        }
    }
    if (const std::size_t end = file.find(kEndOfFileMark); end != std::string::npos) {
        file.resize(end);
    }
    if (!IsValidUtf8(file)) return {std::move(file), Encoding::Windows1252};
    if (file.starts_with(kUtf8Mark)) file.erase(0, kUtf8Mark.size());
    return {std::move(file), Encoding::Utf8};
}

std::string ToUtf8(std::string_view bytes, Encoding encoding) {
    if (encoding == Encoding::Utf8) return std::string(bytes);
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(text, byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
    }
    return text;
}

}  // namespace farlous
