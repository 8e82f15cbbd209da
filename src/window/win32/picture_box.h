#pragma once

#include <windows.h>

#include <string>

namespace farlous {

// A picture box: a child window with a thin sunken frame, filled with its background colour and
// showing its picture, if it has one, at the inside's top-left corner, cut at the frame. It takes
// the focus when tabbed to, shows it with a focus rectangle and does nothing else with it. Labels
// put inside it are drawn on its background, in the system's button-text colour.
class PictureBox {
public:
    PictureBox(HWND parent, const RECT& rect, bool white, int id, const std::wstring& name);
    ~PictureBox();
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    HWND Handle() const { return window_; }
    // Takes `picture` over; a null one leaves the box empty.
    void SetPicture(HBITMAP picture);

private:
    template <typename Owner>
    friend LRESULT CALLBACK OwnerWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    COLORREF Background() const;
    HBRUSH BackgroundBrush() const;
    void Paint();

    HWND window_ = nullptr;
    bool white_;
    HBITMAP picture_ = nullptr;
};

}  // namespace farlous
