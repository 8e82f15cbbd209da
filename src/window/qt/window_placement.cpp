#include "window/qt/window_placement.h"

#include <algorithm>

#include "window/frm_tip_design.h"

namespace farlous {

namespace {

// The start of a span of `length` as near `wanted` as fits between `first` and `first + room`;
// `first` when it cannot fit at all.
int Fit(int wanted, int length, int first, int room) {
    return std::max(first, std::min(wanted, first + room - length));
}

}  // namespace

QRect ClientArea(const QRect& screen, const QRect& available) {
    const QSize size(Pixels(kClientWidth), Pixels(kClientHeight));
    const QPoint designed = screen.topLeft() + QPoint(Pixels(kClientLeft), Pixels(kClientTop));
    return QRect(QPoint(Fit(designed.x(), size.width(), available.left(), available.width()),
                        Fit(designed.y(), size.height(), available.top(), available.height())),
                 size);
}

}  // namespace farlous
