#include "platform/text_to_number.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/blanks.h"
#include "platform/error_texts.h"
#include "platform/printable_text.h"
#include "platform/runtime_error.h"

namespace farlous {
namespace {

using Kind = RuntimeError::Kind;

// Longer texts are cut in messages so a pasted file cannot flood the error dialog.
constexpr std::size_t kQuoteLimit = 40;
// Any exponent beyond this already puts every digit far outside the 32-bit range or below the
// rounding point, since no text can hold this many digits; saturating keeps the arithmetic safe.
constexpr std::int64_t kExponentCap = 100'000'000'000'000'000;
constexpr std::uint64_t kMaxPattern = 0xFFFFFFFF;
constexpr std::uint64_t kMaxPositive = 2147483647;
constexpr std::uint64_t kMaxNegative = 2147483648;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// -1 for anything that is not a hexadecimal digit.
int DigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Quote(std::string_view text) {
    const bool cut = text.size() > kQuoteLimit;
    if (cut) {
        std::size_t end = kQuoteLimit;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        text = text.substr(0, end);
    }
    return "« " + WithControlsShown(text) + (cut ? "…" : "") + " »";
}

[[noreturn]] void ThrowTypeMismatch(std::string_view text) {
    if (text.empty()) {
        throw RuntimeError(Kind::TypeMismatch, error_texts::EmptyIsNotANumber());
    }
    throw RuntimeError(Kind::TypeMismatch, error_texts::NotANumber(Quote(text)));
}

[[noreturn]] void ThrowOverflow(std::string_view text) {
    throw RuntimeError(Kind::Overflow, error_texts::Overflow(Quote(text)));
}

// The whole text is checked before reporting overflow, so a typo is never called an overflow.
std::int32_t FromPattern(std::string_view digits, int base, std::string_view text) {
    if (digits.empty()) ThrowTypeMismatch(text);
    std::uint64_t value = 0;
    bool overflow = false;
    for (char c : digits) {
        const int digit = DigitValue(c);
        if (digit < 0 || digit >= base) ThrowTypeMismatch(text);
        if (!overflow) {
            value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
            overflow = value > kMaxPattern;
        }
    }
    if (overflow) ThrowOverflow(text);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Rounds on the decimal digits themselves: a double would read "0.50000000000000000001" as an
// exact half and round it the wrong way, and cannot carry thousands of digits.
std::int32_t FromDecimal(std::string_view text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    std::string digits;  // integer and fraction digits with the point removed
    while (i < n && IsDigit(text[i])) digits += text[i++];
    std::int64_t fraction_length = 0;
    if (i < n && (text[i] == '.' || text[i] == ',')) {
        ++i;
        for (; i < n && IsDigit(text[i]); ++i, ++fraction_length) digits += text[i];
    }
    if (digits.empty()) ThrowTypeMismatch(text);

    std::int64_t exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool exponent_negative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) exponent_negative = text[i++] == '-';
        const std::size_t start = i;
        for (; i < n && IsDigit(text[i]); ++i) {
            if (exponent < kExponentCap) exponent = exponent * 10 + (text[i] - '0');
        }
        if (i == start) ThrowTypeMismatch(text);
        if (exponent > kExponentCap) exponent = kExponentCap;
        if (exponent_negative) exponent = -exponent;
    }
    if (i != n) ThrowTypeMismatch(text);

    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    const std::size_t last = digits.find_last_not_of('0');
    // value = significant * 10^scale, with no leading or trailing zeros in significant.
    const std::string_view significant(digits.data() + first, last - first + 1);
    const auto count = static_cast<std::int64_t>(significant.size());
    const std::int64_t scale =
        exponent - fraction_length + static_cast<std::int64_t>(digits.size() - 1 - last);
    const std::int64_t integer_length = count + scale;
    if (integer_length > 10) ThrowOverflow(text);

    std::uint64_t magnitude = 0;
    for (std::int64_t k = 0; k < integer_length; ++k) {
        magnitude =
            magnitude * 10 + (k < count ? static_cast<std::uint64_t>(significant[k] - '0') : 0);
    }
    // Below zero, the first dropped digit is a zero: the value rounds down to nothing.
    if (integer_length >= 0 && integer_length < count) {
        const char dropped = significant[integer_length];
        // No trailing zeros remain, so any digit after the dropped one is non-zero.
        const bool beyond_half = integer_length + 1 < count;
        if (dropped > '5' || (dropped == '5' && (beyond_half || magnitude % 2 == 1))) ++magnitude;
    }
    if (magnitude > (negative ? kMaxNegative : kMaxPositive)) ThrowOverflow(text);
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

std::int32_t TextToNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) ThrowTypeMismatch(text);

    if (text.front() == '&') {
        const char radix = text.size() > 1 ? text[1] : '\0';
        if (radix == 'H' || radix == 'h') return FromPattern(text.substr(2), 16, text);
        if (radix == 'O' || radix == 'o') return FromPattern(text.substr(2), 8, text);
        ThrowTypeMismatch(text);
    }
    return FromDecimal(text);
}

}  // namespace farlous
