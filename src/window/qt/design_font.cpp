#include "window/qt/design_font.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "platform/qt_text.h"
#include "window/frm_tip_design.h"

namespace farlous {

namespace {

// Smaller than this, text gets hard to read: better cut a caption.
constexpr double kSmallestPoints = 6;

// Room for the caption inside the button's frame, as the style draws it.
int CaptionRoom(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.features = QStyleOptionButton::AutoDefaultButton | QStyleOptionButton::DefaultButton;
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
}

// The captions that the design fixes, one line each; never the joke, which may take any length.
bool CaptionsFit(const QWidget& window, const QFont& font) {
    const QFontMetrics metrics(font);
    for (const ControlDesign& design : kFrmTipControls) {
        if (design.caption.empty()) continue;
        const auto* control = window.findChild<const QWidget*>(ToQString(design.name));
        const auto* button = qobject_cast<const QPushButton*>(control);
        const int room = button ? CaptionRoom(*button) : control->width();
        if (metrics.horizontalAdvance(ToQString(design.caption)) > room) return false;
    }
    return true;
}

}  // namespace

QFont DesignFont(const QWidget& window) {
    QFont font = window.font();
    double points = kFontPoints;
    font.setPointSizeF(points);
    while (points > kSmallestPoints && !CaptionsFit(window, font)) {
        points -= 0.5;
        font.setPointSizeF(points);
    }
    return font;
}

}  // namespace farlous
