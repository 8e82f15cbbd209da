#include "window/tip_window.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <vector>

#include "platform/win32/wide_text.h"
#include "window/design.h"
#include "window/texts.h"
#include "window/win32/logo.h"

namespace farlous {

namespace {

// A caption and a close box; no resizing, no minimise or maximise box.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr wchar_t kBoxClass[] = L"FarlousPictureBox";
// Control identifiers: "OK" is the dialog manager's IDOK; the others follow their design index.
constexpr int kFirstId = 100;
constexpr int kSmallestPoints = 6;

// The design's twips on a screen of `dpi` dots per inch, to the nearest pixel.
int ScreenPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// Each edge is scaled by itself, so that what touches in the design touches at any scale.
RECT ScreenRect(int left, int top, int width, int height, int dpi) {
    return {ScreenPixels(left, dpi), ScreenPixels(top, dpi), ScreenPixels(left + width, dpi),
            ScreenPixels(top + height, dpi)};
}

// `window` moved as little as needed to lie inside `area`; when it is too big for the area, its
// top-left corner goes to the area's, so that the caption stays reachable.
RECT FitInto(const RECT& window, const RECT& area) {
    const auto fit = [](LONG wanted, LONG length, LONG first, LONG last) {
        return std::max(first, std::min(wanted, last - length));
    };
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    const LONG left = fit(window.left, width, area.left, area.right);
    const LONG top = fit(window.top, height, area.top, area.bottom);
    return {left, top, left + width, top + height};
}

int ControlId(const ControlDesign& design) {
    return design.name == "cmdOK" ? IDOK
                                  : kFirstId + static_cast<int>(&design - kFrmTipControls.data());
}

// The window drawn with Windows' own controls, laid out from the design table at the screen's
// dots per inch and never re-laid; its clicks go to the window's behaviour. A dialog to the
// dialog manager, which gives it its keys: Tab follows the tab order, Escape means "OK", and
// Enter clicks the focused button, or "OK" when no button has the focus.
class Win32TipWindow {
public:
    explicit Win32TipWindow(frmTip& form);
    ~Win32TipWindow();
    Win32TipWindow(const Win32TipWindow&) = delete;
    Win32TipWindow& operator=(const Win32TipWindow&) = delete;
    int Run();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(HINSTANCE instance);
    void SetFont();
    void Click(int id);
    void PaintBox(HWND box, const ControlDesign& design);

    frmTip& form_;
    const int dpi_;
    HWND window_ = nullptr;
    std::map<std::string_view, HWND> controls_;  // by the design's names
    HBITMAP picture_ = nullptr;
    HFONT font_ = nullptr;
};

// The run's one window, for the window procedures.
Win32TipWindow* gWindow = nullptr;

int SystemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

Win32TipWindow::Win32TipWindow(frmTip& form) : form_(form), dpi_(SystemDpi()) {
    gWindow = this;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // The client area goes at its designed place, the frame around it. Its size is scaled as its
    // controls' edges are, from its own corner: the panel's bottom edge stays its bottom edge.
    const int left = ScreenPixels(kClientLeft, dpi_), top = ScreenPixels(kClientTop, dpi_);
    RECT frame{left, top, left + ScreenPixels(kClientWidth, dpi_),
               top + ScreenPixels(kClientHeight, dpi_)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&frame, MONITOR_DEFAULTTOPRIMARY), &monitor);
    frame = FitInto(frame, monitor.rcWork);
    window_ = CreateWindowExW(0, WC_DIALOG, Utf8ToWide(WindowCaption()).c_str(), kStyle, frame.left,
                              frame.top, frame.right - frame.left, frame.bottom - frame.top,
                              nullptr, nullptr, instance, nullptr);
    if (window_ == nullptr) throw std::runtime_error("CreateWindowExW");
    SetWindowLongPtrW(window_, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&DialogProc));
    // The program file's icon: the design gives the window none of its own.
    for (const auto& [which, size] : {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
        const int pixels = GetSystemMetrics(size);
        SendMessageW(window_, WM_SETICON, which,
                     reinterpret_cast<LPARAM>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                         pixels, pixels, LR_SHARED)));
    }
    CreateControls(instance);
    SetFont();
    SendMessageW(window_, DM_SETDEFID, IDOK, 0);
    // Underline the letter after a single "&" from the start, not only once Alt is pressed.
    SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
    form_.OnTipTextSet([this] {
        SetWindowTextW(controls_.at("lblTipText"), Utf8ToWide(form_.TipText()).c_str());
    });
    SetWindowTextW(controls_.at("lblTipText"), Utf8ToWide(form_.TipText()).c_str());
}

Win32TipWindow::~Win32TipWindow() {
    form_.OnTipTextSet({});
    if (window_ != nullptr) DestroyWindow(window_);
    if (font_ != nullptr) DeleteObject(font_);
    if (picture_ != nullptr) DeleteObject(picture_);
}

void Win32TipWindow::CreateControls(HINSTANCE instance) {
    WNDCLASSEXW boxClass{};
    boxClass.cbSize = sizeof boxClass;
    boxClass.lpfnWndProc = BoxProc;
    boxClass.hInstance = instance;
    boxClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    boxClass.lpszClassName = kBoxClass;
    RegisterClassExW(&boxClass);
    for (const ControlDesign& design : kFrmTipControls) {
        const bool onWindow = design.container == "frmTip";
        const RECT rect = ScreenRect(design.left, design.top, design.width, design.height, dpi_);
        const auto create = [&](DWORD exStyle, const wchar_t* controlClass,
                                const std::string_view text, DWORD style) {
            return CreateWindowExW(exStyle, controlClass, Utf8ToWide(text).c_str(),
                                   WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top,
                                   onWindow ? window_ : controls_.at(design.container),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(design))),
                                   instance, nullptr);
        };
        HWND control = nullptr;
        switch (design.kind) {
            case ControlKind::CommandButton:
                // DM_SETDEFID makes "OK" the default button.
                control = create(0, L"BUTTON", design.caption, WS_TABSTOP);
                break;
            case ControlKind::Label:
                // SS_LEFT wraps at word boundaries and cuts what does not fit; without
                // SS_NOPREFIX, "&" marks the next letter and "&&" draws one "&".
                control = create(0, L"STATIC", design.caption, SS_LEFT);
                break;
            case ControlKind::PictureBox:
                // The box's name is never drawn: it is what screen readers say of it.
                control = create(WS_EX_STATICEDGE, kBoxClass, design.accessibleName,
                                 WS_TABSTOP | WS_CLIPCHILDREN);
                if (!design.picture.empty()) {
                    picture_ = LoadPicture(instance, Utf8ToWide(design.picture).c_str(), dpi_);
                }
                break;
        }
        if (control == nullptr) throw std::runtime_error("CreateWindowExW");
        controls_[design.name] = control;
    }
    // The dialog manager tabs through the window's children in their stacking order.
    std::vector<const ControlDesign*> designs;
    for (const ControlDesign& design : kFrmTipControls) {
        if (design.container == "frmTip") designs.push_back(&design);
    }
    std::ranges::sort(designs, {}, &ControlDesign::tabIndex);
    HWND previous = HWND_TOP;
    for (const ControlDesign* design : designs) {
        SetWindowPos(controls_.at(design->name), previous, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = controls_.at(design->name);
    }
}

// The system's message font, which dialogs use; made smaller, down to 6 points, while a caption
// the design fixes would not fit its control, as where the system's font is larger than the 8
// points the design was drawn for. Buttons keep their caption clear of their frame and focus
// rectangle.
void Win32TipWindow::SetFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW look = metrics.lfMessageFont;
    const HDC screen = GetDC(nullptr);
    for (;;) {
        font_ = CreateFontIndirectW(&look);
        const HGDIOBJ previous = SelectObject(screen, font_);
        const bool fits = std::ranges::all_of(kFrmTipControls, [&](const ControlDesign& design) {
            const std::wstring caption = Utf8ToWide(design.caption);
            const int margins =
                design.kind == ControlKind::CommandButton ? 4 * GetSystemMetrics(SM_CXEDGE) : 0;
            SIZE size{};
            GetTextExtentPoint32W(screen, caption.data(), static_cast<int>(caption.size()), &size);
            return size.cx <= ScreenPixels(design.width, dpi_) - margins;
        });
        SelectObject(screen, previous);
        if (fits || std::abs(look.lfHeight) <= MulDiv(kSmallestPoints, dpi_, 72)) break;
        DeleteObject(font_);
        // The sign tells character height from cell height: keep it, one pixel less.
        look.lfHeight += look.lfHeight < 0 ? 1 : -1;
    }
    ReleaseDC(nullptr, screen);
    for (const auto& [name, control] : controls_) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
}

int Win32TipWindow::Run() {
    ShowWindow(window_, SW_SHOWDEFAULT);
    UpdateWindow(window_);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window_ != nullptr && IsDialogMessageW(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void Win32TipWindow::Click(int id) {
    // Escape comes as IDCANCEL: "OK" is the cancel button too.
    if (id == IDOK || id == IDCANCEL) {
        form_.cmdOK_Click();
    } else if (id == ControlId(Design("cmdNextTip"))) {
        form_.cmdNextTip_Click();
    } else if (id == ControlId(Design("cmdAbout"))) {
        form_.cmdAbout_Click();
    }
    if (!form_.IsLoaded()) DestroyWindow(window_);
}

INT_PTR CALLBACK Win32TipWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) gWindow->Click(LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            // A close by the system unloads the window without running a handler.
            DestroyWindow(window);
            return TRUE;
        case WM_DESTROY:
            gWindow->window_ = nullptr;
            PostQuitMessage(gWindow->form_.ExitStatus());
            return TRUE;
        default:
            return FALSE;
    }
}

// A picture box: a thin sunken frame, filled with its background colour, showing its picture at
// the inside's top-left corner, cut at the frame. It takes the focus when tabbed to and shows it
// with a focus rectangle. Labels inside it are drawn on its background in the button-text colour.
LRESULT CALLBACK Win32TipWindow::BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    const ControlDesign& design = kFrmTipControls[GetDlgCtrlID(box) - kFirstId];
    const auto brush = design.white ? static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))
                                    : GetSysColorBrush(COLOR_BTNFACE);
    switch (message) {
        case WM_ERASEBKGND: {
            RECT inside;
            GetClientRect(box, &inside);
            FillRect(reinterpret_cast<HDC>(wParam), &inside, brush);
            return 1;
        }
        case WM_PAINT:
            gWindow->PaintBox(box, design);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(box, nullptr, TRUE);
            return 0;
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            SetBkColor(dc, design.white ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(brush);
        }
        default:
            return DefWindowProcW(box, message, wParam, lParam);
    }
}

void Win32TipWindow::PaintBox(HWND box, const ControlDesign& design) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(box, &paint);
    if (!design.picture.empty() && picture_ != nullptr) {
        BITMAP size{};
        GetObjectW(picture_, sizeof size, &size);
        const HDC source = CreateCompatibleDC(dc);
        const HGDIOBJ previous = SelectObject(source, picture_);
        BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    }
    if (GetFocus() == box) {
        RECT inside;
        GetClientRect(box, &inside);
        DrawFocusRect(dc, &inside);
    }
    EndPaint(box, &paint);
}

}  // namespace

int RunWindow(frmTip& form) { return Win32TipWindow(form).Run(); }

}  // namespace farlous
