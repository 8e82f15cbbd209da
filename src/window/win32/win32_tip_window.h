#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "window/frmTip.h"
#include "window/tip_window_face.h"
#include "window/win32/picture_box.h"

namespace farlous {

// The window drawn with Windows' own controls, laid out from the design table at the screen's
// dots per inch and never re-laid; its clicks go to the window's behaviour, frmTip. The keyboard
// is the dialog manager's: Tab follows the tab order, Escape means "OK", and Enter clicks the
// focused button, or "OK" when the focus is on no button. Final, and never destroyed through
// its face: a plain destructor is all it needs.
class Win32TipWindow final  // NOLINT(cppcoreguidelines-virtual-class-destructor)
    : private TipWindowFace {
public:
    Win32TipWindow(Platform& platform, HINSTANCE instance);
    ~Win32TipWindow();
    Win32TipWindow(const Win32TipWindow&) = delete;
    Win32TipWindow& operator=(const Win32TipWindow&) = delete;

    frmTip& Form() { return form_; }
    HWND Handle() const { return window_; }

    void Show(int showCommand);
    // Dispatches messages until the window is gone; the run's exit status.
    int RunMessageLoop();

private:
    template <typename Owner>
    friend LRESULT CALLBACK OwnerWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int notification);
    void MakeDefault(HWND button);
    void ShowDefaultButton();

    void SetTipText(const std::string& text) override;
    void Unload() override;
    void EndRun(int exitStatus) override;

    void CreateFrame(HINSTANCE instance);
    void CreateControls(HINSTANCE instance);
    void SetFont();
    void SetTabOrder();

    frmTip form_;
    const int dpi_;
    HWND window_ = nullptr;
    std::vector<std::unique_ptr<PictureBox>> pictureBoxes_;
    std::map<std::string_view, HWND> controls_;  // by the design's names
    HWND cmdOK_ = nullptr;
    HWND cmdNextTip_ = nullptr;
    HWND cmdAbout_ = nullptr;
    HWND lblTipText_ = nullptr;
    HWND focus_ = nullptr;    // what gets the focus back when the window is activated again
    HWND default_ = nullptr;  // the button Enter clicks: the focused one, or else "OK"
    HFONT font_ = nullptr;
    int exitStatus_ = 0;
};

}  // namespace farlous
