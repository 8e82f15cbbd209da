#include "platform/text_to_number.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "platform/blanks.h"
#include "platform/errors.h"

namespace farlous {

namespace {

// An exponent this large already puts any digit a text can hold far outside the 32-bit range or
// below the rounding point; capping it keeps the arithmetic safe.
constexpr std::int64_t kExponentCap = 100'000'000'000'000'000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::int32_t FromPattern(std::string_view text, int base) {
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + 2, end, value, base);
    // The whole text is checked first: a typo is never called an overflow.
    if (error == std::errc::invalid_argument || stop != end) throw errors::NotANumber(text);
    if (error == std::errc::result_out_of_range) throw errors::Overflow(text);
    return static_cast<std::int32_t>(value);
}

// Rounds on the decimal digits themselves: a double would take "0.50000000000000000001" for an
// exact half and round it the wrong way, and cannot carry thousands of digits.
std::int32_t FromDecimal(std::string_view text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '+' || text[0] == '-') ++i;
    std::string digits;  // those before the decimal mark, then those after
    while (i < n && IsDigit(text[i])) digits += text[i++];
    const auto integerDigits = static_cast<std::int64_t>(digits.size());
    if (i < n && (text[i] == '.' || text[i] == ',')) {
        for (++i; i < n && IsDigit(text[i]); ++i) digits += text[i];
    }
    if (digits.empty()) throw errors::NotANumber(text);
    std::int64_t exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        const bool negativeExponent = ++i < n && text[i] == '-';
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t start = i;
        for (; i < n && IsDigit(text[i]); ++i) {
            exponent = std::min(exponent * 10 + (text[i] - '0'), kExponentCap);
        }
        if (i == start) throw errors::NotANumber(text);
        if (negativeExponent) exponent = -exponent;
    }
    if (i != n) throw errors::NotANumber(text);

    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    // How many digits stand before the decimal point, counted from the first significant one.
    const std::int64_t length = integerDigits + exponent - static_cast<std::int64_t>(first);
    if (length > 10) throw errors::Overflow(text);
    std::uint64_t magnitude = 0;
    for (std::size_t k = first; static_cast<std::int64_t>(k - first) < length; ++k) {
        magnitude = magnitude * 10 + (k < digits.size() ? digits[k] - '0' : 0);
    }
    const std::size_t dropped = first + static_cast<std::size_t>(std::max<std::int64_t>(length, 0));
    if (length >= 0 && dropped < digits.size()) {
        const bool beyondHalf = digits.find_first_not_of('0', dropped + 1) != std::string::npos;
        if (digits[dropped] > '5' ||
            (digits[dropped] == '5' && (beyondHalf || magnitude % 2 == 1))) {
            ++magnitude;
        }
    }
    if (magnitude > (negative ? 2147483648u : 2147483647u)) throw errors::Overflow(text);
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

std::int32_t TextToNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) throw errors::NotANumber(text);
    if (text.starts_with("&H") || text.starts_with("&h")) return FromPattern(text, 16);
    if (text.starts_with("&O") || text.starts_with("&o")) return FromPattern(text, 8);
    return FromDecimal(text);
}

}  // namespace farlous
