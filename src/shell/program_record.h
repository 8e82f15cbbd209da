#pragma once

#include <array>

namespace farlous {

// What the program says of itself: the title captions every message box it shows.
inline constexpr const char* kProgramTitle = "Zinoquet";

// The program's icon, in the sizes it is drawn in (resources inside the program).
inline constexpr std::array<const char*, 2> kProgramIconImages{":/icon/farlous-16.png",
                                                               ":/icon/farlous-32.png"};

}  // namespace farlous
