#pragma once

#include <windows.h>

#include <string>

namespace farlous {

// The picture that `module` carries as the RCDATA resource `name` (a JPEG, or any format Windows
// decodes), decoded by Windows' own imaging component, as a bitmap ready to draw. Pictures are
// made for 96 dots per inch: at another `dpi` the bitmap is scaled to match the window's layout.
// Null when the resource is missing or cannot be decoded: the picture box then stays empty.
HBITMAP LoadResourcePicture(HINSTANCE module, const std::wstring& name, int dpi);

}  // namespace farlous
