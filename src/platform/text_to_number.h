#pragma once

#include <cstdint>
#include <string_view>

namespace farlous {

// Converts a stored setting to a signed 32-bit integer, accepting every way a user may write a
// number: blanks (spaces, tabs) around the text are ignored; an optional sign; decimal digits
// with an optional fraction after '.' or ',' and an optional exponent (e or E), rounded half to
// even; or "&H" hexadecimal and "&O" octal (letters in either case, read as a 32-bit pattern, so
// "&HFFFFFFFF" is -1).
// Throws RuntimeError::Kind::TypeMismatch for the empty text or anything else, and
// RuntimeError::Kind::Overflow when the rounded value does not fit in 32 bits.
std::int32_t TextToNumber(std::string_view text);

}  // namespace farlous
