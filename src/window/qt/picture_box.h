#pragma once

#include <QFrame>
#include <QPixmap>

namespace farlous {

// A framed box that holds other controls or shows a picture. It takes the focus when tabbed to
// and does nothing with it.
class PictureBox : public QFrame {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Drawn at its natural size from the top-left corner inside the frame, cut at the frame.
    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace farlous
