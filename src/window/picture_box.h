#pragma once

#include <QFrame>

namespace farlous {

// A framed box that holds other controls or a picture. It takes the focus when tabbed to and
// does nothing with it.
class PictureBox : public QFrame {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);
};

}  // namespace farlous
