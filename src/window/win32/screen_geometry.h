#pragma once

#include <windows.h>

#include <algorithm>

namespace farlous {

// The design's twips on a screen of `dpi` dots per inch (1440 twips to the inch), to the nearest
// pixel: at 96 dots per inch, the design's own pixels.
constexpr int ScreenPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

// A rectangle given in twips. Each edge is scaled by itself, so that what touches in the design
// still touches at any scale.
inline RECT ScreenRect(int left, int top, int width, int height, int dpi) {
    return {ScreenPixels(left, dpi), ScreenPixels(top, dpi), ScreenPixels(left + width, dpi),
            ScreenPixels(top + height, dpi)};
}

// `window` moved as little as needed to lie inside `area`; when it is too big for the area, its
// top-left corner goes to the area's, so that the caption stays reachable.
inline RECT FitInto(const RECT& window, const RECT& area) {
    const auto fit = [](LONG wanted, LONG length, LONG first, LONG last) {
        return std::max(first, std::min(wanted, last - length));
    };
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    const LONG left = fit(window.left, width, area.left, area.right);
    const LONG top = fit(window.top, height, area.top, area.bottom);
    return {left, top, left + width, top + height};
}

}  // namespace farlous
