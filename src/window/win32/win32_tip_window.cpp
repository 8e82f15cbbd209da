#include "window/win32/win32_tip_window.h"

#include <algorithm>
#include <stdexcept>

#include "platform/win32_text.h"
#include "window/fixed_texts.h"
#include "window/frm_tip_accessibility.h"
#include "window/frm_tip_design.h"
#include "window/win32/message_font.h"
#include "window/win32/owner_window.h"
#include "window/win32/resource_picture.h"
#include "window/win32/screen_geometry.h"

namespace farlous {

namespace {

constexpr wchar_t kClassName[] = L"FarlousTipWindow";
// A caption and a close box; no resizing, no minimise or maximise box.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// The dialog manager looks for tab stops inside.
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
// Control identifiers: "OK" is the dialog manager's IDOK; the others follow their design index.
constexpr int kFirstControlId = 100;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY;

std::wstring Wide(std::string_view text) { return Utf8ToWide(text); }

int SystemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

RECT WorkArea(const RECT& place) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&place, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

RECT DesignRect(const ControlDesign& design, int dpi) {
    return ScreenRect(design.left, design.top, design.width, design.height, dpi);
}

int ControlId(std::size_t index) {
    return kFrmTipControls[index].name == "cmdOK" ? IDOK
                                                  : kFirstControlId + static_cast<int>(index);
}

// What screen readers say of a control that has no caption to go by.
std::wstring AccessibleName(std::string_view control) {
    const auto design =
        std::ranges::find(kFrmTipAccessibility, control, &AccessibleDesign::control);
    return design == kFrmTipAccessibility.end() ? std::wstring() : Wide(design->name);
}

}  // namespace

Win32TipWindow::Win32TipWindow(Platform& platform, HINSTANCE instance)
    : form_(platform, *this), dpi_(SystemDpi()) {
    CreateFrame(instance);
    CreateControls(instance);
    SetFont();
    SetTabOrder();
    // Underline the letter after a single "&" from the start, not only once Alt is pressed.
    SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
    focus_ = cmdOK_;
    default_ = cmdOK_;
}

Win32TipWindow::~Win32TipWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (font_ != nullptr) DeleteObject(font_);
}

void Win32TipWindow::CreateFrame(HINSTANCE instance) {
    // The program file's icon: the design gives the window none of its own.
    RegisterOwnerClass<Win32TipWindow>(instance, kClassName, GetSysColorBrush(COLOR_BTNFACE),
                                       LoadIconW(instance, MAKEINTRESOURCEW(1)));
    // The client area goes at its designed place; the frame goes around it.
    RECT frame = ScreenRect(kClientLeft, kClientTop, kClientWidth, kClientHeight, dpi_);
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    frame = FitInto(frame, WorkArea(frame));
    window_ = CreateWindowExW(kExStyle, kClassName, Wide(WindowCaption()).c_str(), kStyle,
                              frame.left, frame.top, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (window_ == nullptr) throw std::runtime_error("CreateWindowExW");
}

void Win32TipWindow::CreateControls(HINSTANCE instance) {
    for (std::size_t index = 0; index < kFrmTipControls.size(); ++index) {
        const ControlDesign& design = kFrmTipControls[index];
        const HWND container =
            design.container == "frmTip" ? window_ : controls_.at(design.container);
        const RECT rect = DesignRect(design, dpi_);
        const int id = ControlId(index);
        const auto create = [&](const wchar_t* controlClass, DWORD style) {
            return CreateWindowExW(0, controlClass, Wide(design.caption).c_str(), style, rect.left,
                                   rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                   container, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   instance, nullptr);
        };
        HWND control = nullptr;
        switch (design.kind) {
            case ControlKind::CommandButton:
                control = create(L"BUTTON",
                                 kButtonStyle | (id == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
                break;
            case ControlKind::Label:
                // SS_LEFT wraps at word boundaries and cuts what does not fit; without
                // SS_NOPREFIX, "&" marks the next letter and "&&" draws one "&".
                control = create(L"STATIC", WS_CHILD | WS_VISIBLE | SS_LEFT);
                break;
            case ControlKind::PictureBox: {
                auto& box = pictureBoxes_.emplace_back(std::make_unique<PictureBox>(
                    container, rect, design.white, id, AccessibleName(design.name)));
                // The design names pictures by resource path; the program carries each under
                // that path.
                if (design.picture.starts_with(":/")) {
                    box->SetPicture(
                        LoadResourcePicture(instance, Wide(design.picture.substr(2)), dpi_));
                }
                control = box->Handle();
                break;
            }
        }
        if (control == nullptr) throw std::runtime_error("CreateWindowExW");
        controls_[design.name] = control;
    }
    cmdOK_ = controls_.at("cmdOK");
    cmdNextTip_ = controls_.at("cmdNextTip");
    cmdAbout_ = controls_.at("cmdAbout");
    lblTipText_ = controls_.at("lblTipText");
}

void Win32TipWindow::SetFont() {
    std::vector<CaptionRoom> captions;
    for (const ControlDesign& design : kFrmTipControls) {
        if (design.caption.empty()) continue;
        // A button's caption keeps clear of its frame and of the focus rectangle inside it.
        const int margins =
            design.kind == ControlKind::CommandButton ? 4 * GetSystemMetrics(SM_CXEDGE) : 0;
        const RECT rect = DesignRect(design, dpi_);
        captions.push_back({Wide(design.caption), rect.right - rect.left - margins});
    }
    font_ = CreateMessageFont(dpi_, captions);
    for (const auto& [name, control] : controls_) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
}

// The dialog manager tabs through the window's children in their stacking order. The labels,
// inside Picture1, never take the focus.
void Win32TipWindow::SetTabOrder() {
    std::vector<const ControlDesign*> designs;
    for (const ControlDesign& design : kFrmTipControls) {
        if (design.container == "frmTip") designs.push_back(&design);
    }
    std::ranges::sort(designs, {}, &ControlDesign::tabIndex);
    HWND previous = HWND_TOP;
    for (const ControlDesign* design : designs) {
        const HWND control = controls_.at(design->name);
        SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control;
    }
}

void Win32TipWindow::Show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
}

int Win32TipWindow::RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window_ != nullptr && IsDialogMessageW(window_, &message)) {
            // Moving the focus, some dialog managers restyle the buttons their own way.
            if (window_ != nullptr) ShowDefaultButton();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return exitStatus_;
}

void Win32TipWindow::SetTipText(const std::string& text) {
    SetWindowTextW(lblTipText_, Wide(text).c_str());
}

void Win32TipWindow::Unload() {
    if (window_ != nullptr) DestroyWindow(window_);
}

void Win32TipWindow::EndRun(int exitStatus) {
    exitStatus_ = exitStatus;
    Unload();
}

LRESULT Win32TipWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case DM_GETDEFID:
            // The dialog manager asks whenever the focus moves: the answer keeps the look of the
            // buttons as MakeDefault left it.
            return MAKELRESULT(GetDlgCtrlID(default_), DC_HASDEFID);
        case WM_ACTIVATE:
            // The focus stays with the control that had it, as in a dialog.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window_, focus)) focus_ = focus;
            } else if (HIWORD(wParam) == 0 && focus_ != nullptr) {
                SetFocus(focus_);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(exitStatus_);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Win32TipWindow::OnCommand(int id, int notification) {
    const HWND control = GetDlgItem(window_, id);
    switch (notification) {
        case BN_SETFOCUS:
            MakeDefault(control);
            return;
        case BN_KILLFOCUS:
            MakeDefault(cmdOK_);
            return;
        case BN_CLICKED:
            // Escape comes as IDCANCEL: "OK" is the cancel button too.
            if (id == IDOK || id == IDCANCEL) {
                form_.cmdOK_Click();
            } else if (control == cmdNextTip_) {
                form_.cmdNextTip_Click();
            } else if (control == cmdAbout_) {
                form_.cmdAbout_Click();
            }
            return;
        default:
            return;
    }
}

// Enter clicks the default button: the focused one, or "OK" when no other button has the focus.
void Win32TipWindow::MakeDefault(HWND button) {
    default_ = button;
    ShowDefaultButton();
}

void Win32TipWindow::ShowDefaultButton() {
    for (const HWND each : {cmdOK_, cmdNextTip_, cmdAbout_}) {
        const DWORD type = each == default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((GetWindowLongPtrW(each, GWL_STYLE) & BS_TYPEMASK) != type) {
            SendMessageW(each, BM_SETSTYLE, BS_NOTIFY | type, TRUE);
        }
    }
}

}  // namespace farlous
