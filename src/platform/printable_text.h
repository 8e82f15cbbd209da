#pragma once

#include <string>
#include <string_view>

namespace farlous {

// `text` with each control character replaced by '?': the C0 controls, DEL, and the C1 controls
// written in UTF-8. A file name or a setting quoted in a message can then neither cut it, nor add
// a line to it, nor send a terminal an escape sequence. Other bytes are kept as they are.
std::string WithControlsShown(std::string_view text);

}  // namespace farlous
