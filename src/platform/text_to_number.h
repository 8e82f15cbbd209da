#pragma once

#include <cstdint>
#include <string_view>

namespace farlous {

// A stored setting as a signed 32-bit integer, written any way a user may write a number: blanks
// around it ignored; an optional sign, decimal digits with an optional fraction after '.' or ','
// and an optional exponent (e or E), rounded half to even on the digits themselves; or "&H"
// hexadecimal and "&O" octal, read as a 32-bit pattern ("&HFFFFFFFF" is -1).
// Throws RuntimeError: "Type incompatible" for the empty text or anything else, "Dépassement de
// capacité" when the rounded value does not fit in 32 bits.
std::int32_t TextToNumber(std::string_view text);

}  // namespace farlous
