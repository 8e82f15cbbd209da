#pragma once

namespace farlous {

// What the program says of itself: the title captions every message box it shows.
inline constexpr const char* kProgramTitle = "Zinoquet";

}  // namespace farlous
