#include "window/win32/message_font.h"

#include <cstdlib>

namespace farlous {

namespace {

constexpr int kSmallestPoints = 6;

bool CaptionsFit(HFONT font, const std::vector<CaptionRoom>& captions) {
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, font);
    bool fit = true;
    for (const CaptionRoom& room : captions) {
        SIZE size{};
        GetTextExtentPoint32W(screen, room.caption.data(), static_cast<int>(room.caption.size()),
                              &size);
        fit = fit && size.cx <= room.width;
    }
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return fit;
}

}  // namespace

HFONT CreateMessageFont(int dpi, const std::vector<CaptionRoom>& captions) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW look = metrics.lfMessageFont;
    const int smallest = MulDiv(kSmallestPoints, dpi, 72);
    for (;;) {
        const HFONT font = CreateFontIndirectW(&look);
        const int height = std::abs(look.lfHeight);
        if (height <= smallest || CaptionsFit(font, captions)) return font;
        DeleteObject(font);
        // The sign tells character height from cell height: keep it, one pixel less.
        look.lfHeight += look.lfHeight < 0 ? 1 : -1;
    }
}

}  // namespace farlous
