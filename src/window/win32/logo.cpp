#include "window/win32/logo.h"

#include <cstdlib>
#include <string>

namespace farlous {

HBITMAP LoadPicture(HINSTANCE module, const wchar_t* name, int dpi) {
    const int scale = dpi > USER_DEFAULT_SCREEN_DPI ? 2 : 1;
    std::wstring path = name;
    if (scale == 2) path.insert(path.rfind(L'.'), L"@2x");
    const HRSRC resource = FindResourceW(module, path.c_str(), RT_BITMAP);
    const HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    if (loaded == nullptr) return nullptr;
    // The build stores true-colour pictures, without a colour table before their pixels.
    const auto* source = static_cast<const BITMAPINFO*>(LockResource(loaded));
    const BITMAPINFOHEADER& header = source->bmiHeader;
    const LONG sourceHeight = std::abs(header.biHeight);
    const int width = MulDiv(header.biWidth, dpi, scale * USER_DEFAULT_SCREEN_DPI);
    const int height = MulDiv(sourceHeight, dpi, scale * USER_DEFAULT_SCREEN_DPI);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    const HDC target = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(target, bitmap);
    // Each pixel the average of the picture's pixels it covers; at the picture's own size, its
    // pixels as they are.
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchDIBits(target, 0, 0, width, height, 0, 0, header.biWidth, sourceHeight,
                  reinterpret_cast<const BYTE*>(source) + header.biSize, source, DIB_RGB_COLORS,
                  SRCCOPY);
    SelectObject(target, previous);
    DeleteDC(target);
    return bitmap;
}

}  // namespace farlous
