#include "window/access_key_label.h"

#include <QPainter>

namespace farlous {

AccessKeyLabel::AccessKeyLabel(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
}

void AccessKeyLabel::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void AccessKeyLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic,
                     caption_);
}

}  // namespace farlous
