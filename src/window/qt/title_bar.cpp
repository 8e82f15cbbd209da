#include "window/qt/title_bar.h"

#include <QMouseEvent>
#include <QStylePainter>
#include <QWindow>

namespace farlous {

TitleBar::TitleBar(QWidget* window, Qt::WindowFlags flags) : QWidget(window), flags_(flags) {
    const QStyleOptionTitleBar option = Option();
    resize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, this));
}

void TitleBar::paintEvent(QPaintEvent*) {
    QStylePainter(this).drawComplexControl(QStyle::CC_TitleBar, Option());
}

void TitleBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) update();
}

void TitleBar::mousePressEvent(QMouseEvent* event) {
    pressed_ = Hit(*event);
    if (pressed_ == QStyle::SC_TitleBarLabel) window()->windowHandle()->startSystemMove();
}

void TitleBar::mouseReleaseEvent(QMouseEvent* event) {
    if (Hit(*event) != pressed_) return;
    if (pressed_ == QStyle::SC_TitleBarMinButton) window()->showMinimized();
    if (pressed_ == QStyle::SC_TitleBarCloseButton) window()->close();
}

QStyleOptionTitleBar TitleBar::Option() const {
    QStyleOptionTitleBar option;
    option.initFrom(this);
    option.text = window()->windowTitle();
    option.icon = window()->windowIcon();
    option.titleBarFlags = flags_;
    option.subControls = QStyle::SC_All;
    if (isActiveWindow()) option.titleBarState = QStyle::State_Active;  // state has it too
    return option;
}

QStyle::SubControl TitleBar::Hit(const QMouseEvent& event) const {
    const QStyleOptionTitleBar option = Option();
    return style()->hitTestComplexControl(QStyle::CC_TitleBar, &option, event.position().toPoint(),
                                          this);
}

}  // namespace farlous
