#include "window/qt/picture_box.h"

#include <QPainter>
#include <cmath>

namespace farlous {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFocusPolicy(Qt::TabFocus);
    setAutoFillBackground(true);
}

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (picture_.isNull()) return;
    QPainter painter(this);
    // At a fractional scale, nearest-pixel scaling would make the picture's edges ragged.
    const qreal scale = devicePixelRatioF();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, scale != std::round(scale));
    painter.setClipRect(contentsRect());
    painter.drawPixmap(contentsRect().topLeft(), picture_);
}

}  // namespace farlous
