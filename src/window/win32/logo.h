#pragma once

#include <windows.h>

namespace farlous {

// The picture that `module` carries as the bitmap resource `name`, as a bitmap ready to draw on a
// screen of `dpi` dots per inch. Pictures are made for 96 dots per inch, and each also comes at
// twice the size under its name with "@2x" before the extension: above 96 dpi that one is scaled
// to the window's layout, so that the picture is never blown up by more than 1.5 on screens up to
// 288 dpi. Null when the resource is missing: the picture box then stays empty.
HBITMAP LoadPicture(HINSTANCE module, const wchar_t* name, int dpi);

}  // namespace farlous
