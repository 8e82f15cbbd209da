#pragma once

#include <windows.h>

namespace farlous {

// The picture that `module` carries as the RCDATA resource `name` (a JPEG, or any format Windows
// decodes), decoded by Windows' imaging component into a bitmap ready to draw. Pictures are made
// for 96 dots per inch: at another `dpi` the bitmap is scaled to match the window's layout. Null
// when the resource is missing or cannot be decoded: the picture box then stays empty.
HBITMAP LoadPicture(HINSTANCE module, const wchar_t* name, int dpi);

}  // namespace farlous
