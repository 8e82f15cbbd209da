#pragma once

#include <windows.h>

#include <stdexcept>

namespace farlous {

// The window procedure of a class of ours whose objects each own one window. The object comes
// as CreateWindowExW's last argument; from WM_NCCREATE to WM_NCDESTROY its `window_` holds the
// window's handle and its OnMessage answers the window's messages. Owner befriends this.
template <typename Owner>
LRESULT CALLBACK OwnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created =
            static_cast<Owner*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        owner->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return owner->OnMessage(message, wParam, lParam);
}

// Registers the window class `name` for Owner's windows, once per process: the arrow cursor,
// `background` (null: the owner paints its own) and `icon` (null: none).
template <typename Owner>
void RegisterOwnerClass(HINSTANCE instance, const wchar_t* name, HBRUSH background, HICON icon) {
    static const ATOM atom = [&] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = OwnerWindowProc<Owner>;
        windowClass.hInstance = instance;
        windowClass.hIcon = icon;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = background;
        windowClass.lpszClassName = name;
        return RegisterClassExW(&windowClass);
    }();
    if (atom == 0) throw std::runtime_error("RegisterClassExW");
}

}  // namespace farlous
