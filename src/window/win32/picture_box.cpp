#include "window/win32/picture_box.h"

#include <stdexcept>

#include "window/win32/owner_window.h"

namespace farlous {

namespace {

constexpr wchar_t kClassName[] = L"FarlousPictureBox";

}  // namespace

PictureBox::PictureBox(HWND parent, const RECT& rect, bool white, int id, const std::wstring& name)
    : white_(white) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    RegisterOwnerClass<PictureBox>(instance, kClassName, nullptr, nullptr);
    // The name is never drawn; it is what screen readers say of the box.
    window_ = CreateWindowExW(WS_EX_STATICEDGE, kClassName, name.c_str(),
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, rect.left,
                              rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    if (window_ == nullptr) throw std::runtime_error("CreateWindowExW");
}

PictureBox::~PictureBox() {
    if (picture_ != nullptr) DeleteObject(picture_);
}

void PictureBox::SetPicture(HBITMAP picture) {
    if (picture_ != nullptr) DeleteObject(picture_);
    picture_ = picture;
    InvalidateRect(window_, nullptr, TRUE);
}

COLORREF PictureBox::Background() const {
    return white_ ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNFACE);
}

HBRUSH PictureBox::BackgroundBrush() const {
    return white_ ? static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))
                  : GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT PictureBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT inside;
            GetClientRect(window_, &inside);
            FillRect(reinterpret_cast<HDC>(wParam), &inside, BackgroundBrush());
            return 1;
        }
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(window_, nullptr, TRUE);
            return 0;
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            SetBkColor(dc, Background());
            return reinterpret_cast<LRESULT>(BackgroundBrush());
        }
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void PictureBox::Paint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    if (picture_ != nullptr) {
        BITMAP size{};
        GetObjectW(picture_, sizeof size, &size);
        const HDC source = CreateCompatibleDC(dc);
        const HGDIOBJ previous = SelectObject(source, picture_);
        // The client area is the inside of the frame: what lies beyond it is cut off.
        BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    }
    if (GetFocus() == window_) {
        RECT inside;
        GetClientRect(window_, &inside);
        DrawFocusRect(dc, &inside);
    }
    EndPaint(window_, &paint);
}

}  // namespace farlous
