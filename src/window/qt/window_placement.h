#pragma once

#include <QRect>

namespace farlous {

// Where the window's client area goes: at its designed place from the screen's top-left corner,
// moved just enough to lie inside the screen's available area (without task bars and panels).
QRect ClientArea(const QRect& screen, const QRect& available);

}  // namespace farlous
