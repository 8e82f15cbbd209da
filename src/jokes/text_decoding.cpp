#include "jokes/text_decoding.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace farlous {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Code points of 0x80..0x9F; the bytes the code page leaves undefined keep their own value.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

// A code point's UTF-8 form.
struct Encoded {
    std::array<char, 4> bytes;
    unsigned char size;
};

constexpr Encoded EncodeUtf8(char32_t cp) {
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (cp < 0x80) return {{byte(cp)}, 1};
    if (cp < 0x800) return {{byte(0xC0 | (cp >> 6)), byte(0x80 | (cp & 0x3F))}, 2};
    if (cp < 0x10000) {
        return {
            {byte(0xE0 | (cp >> 12)), byte(0x80 | ((cp >> 6) & 0x3F)), byte(0x80 | (cp & 0x3F))},
            3};
    }
    return {{byte(0xF0 | (cp >> 18)), byte(0x80 | ((cp >> 12) & 0x3F)),
             byte(0x80 | ((cp >> 6) & 0x3F)), byte(0x80 | (cp & 0x3F))},
            4};
}

constexpr Encoded EncodeWindows1252(unsigned char b) {
    return EncodeUtf8(b < 0x80 ? b : b < 0xA0 ? kWindows1252High[b - 0x80] : b);
}

// Every byte's UTF-8 form, worked out at compile time so decoding is a lookup and a copy.
constexpr std::array<Encoded, 256> kWindows1252Utf8 = [] {
    std::array<Encoded, 256> table{};
    for (unsigned b = 0; b < 256; ++b) table[b] = EncodeWindows1252(static_cast<unsigned char>(b));
    return table;
}();

void AppendWindows1252(std::string_view bytes, std::string& out) {
    std::size_t extra = 0;
    for (const char c : bytes) extra += kWindows1252Utf8[static_cast<unsigned char>(c)].size;
    // Sized exactly rather than for the worst case, which would triple a large file's buffer.
    const std::size_t at = out.size();
    out.resize(at + extra);
    char* dst = out.data() + at;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80) {
            *dst++ = c;
            continue;
        }
        const Encoded& e = kWindows1252Utf8[static_cast<unsigned char>(c)];
        std::memcpy(dst, e.bytes.data(), e.size);
        dst += e.size;
    }
}

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit < 0xE000; }
bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

// Hands each code point of UTF-16 `bytes` to `emit`. An unpaired surrogate and a lone last byte,
// which only a damaged file holds, each become U+FFFD.
template <typename Emit>
void ForEachUtf16CodePoint(std::string_view bytes, ByteOrder order, Emit emit) {
    const auto unit = [&](std::size_t index) {
        const auto first = static_cast<unsigned char>(bytes[2 * index]);
        const auto second = static_cast<unsigned char>(bytes[2 * index + 1]);
        return order == ByteOrder::LittleEndian ? char32_t(first | second << 8)
                                                : char32_t(first << 8 | second);
    };
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t u = unit(i);
        if (IsHighSurrogate(u) && i + 1 < units && IsLowSurrogate(unit(i + 1))) {
            emit(0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else {
            emit(IsSurrogate(u) ? kReplacementCharacter : u);
        }
    }
    if (bytes.size() % 2 != 0) emit(kReplacementCharacter);
}

}  // namespace

std::size_t Utf16AsUtf8Size(std::string_view bytes, ByteOrder order) {
    std::size_t size = 0;
    ForEachUtf16CodePoint(bytes, order, [&](char32_t cp) { size += EncodeUtf8(cp).size; });
    return size;
}

void WriteUtf16AsUtf8(std::string_view bytes, ByteOrder order, char* out) {
    ForEachUtf16CodePoint(bytes, order, [&](char32_t cp) {
        const Encoded e = EncodeUtf8(cp);
        std::memcpy(out, e.bytes.data(), e.size);
        out += e.size;
    });
}

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        if (n - i >= 8) {
            std::uint64_t block;
            std::memcpy(&block, p + i, 8);
            if ((block & kHighBits) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The second byte's range is where overlongs, surrogates and code points past U+10FFFF
        // are shut out; later bytes are plain continuations.
        std::size_t length;
        unsigned char lo = 0x80, hi = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) lo = 0xA0;
            if (lead == 0xED) hi = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) lo = 0x90;
            if (lead == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (n - i < length) return false;
        if (p[i + 1] < lo || p[i + 1] > hi) return false;
        for (std::size_t k = 2; k < length; ++k) {
            if (!IsContinuation(p[i + k])) return false;
        }
        i += length;
    }
    return true;
}

void AppendAsUtf8(std::string_view bytes, TextEncoding encoding, std::string& out) {
    switch (encoding) {
        case TextEncoding::Utf8:
            out.append(bytes);
            return;
        case TextEncoding::Windows1252:
            AppendWindows1252(bytes, out);
            return;
    }
}

}  // namespace farlous
