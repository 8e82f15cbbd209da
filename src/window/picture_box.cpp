#include "window/picture_box.h"

namespace farlous {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFocusPolicy(Qt::TabFocus);
    setAutoFillBackground(true);
}

}  // namespace farlous
