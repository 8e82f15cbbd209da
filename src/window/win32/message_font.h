#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace farlous {

// A fixed caption and the width it has to fit in, in pixels.
struct CaptionRoom {
    std::wstring caption;
    int width;
};

// The system's message font, the one dialogs use; made smaller, down to 6 points, if a caption
// would not fit its room in it, as may happen where the system's font is larger than the 8
// points the design was drawn for. The caller deletes the font.
HFONT CreateMessageFont(int dpi, const std::vector<CaptionRoom>& captions);

}  // namespace farlous
