#include "window/qt/design_font.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

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

// The fixed captions are one line each.
bool CaptionsFit(const QWidget& window, const QFont& font) {
    const QFontMetrics metrics(font);
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        if (metrics.horizontalAdvance(button->text()) > CaptionRoom(*button)) return false;
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (metrics.horizontalAdvance(label->text()) > label->width()) return false;
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
