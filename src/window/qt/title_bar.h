#pragma once

#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QWidget>

namespace farlous {

// Qt's own frame under Wayland offers a maximise box whatever the window asks for: there the window
// draws its title bar itself, the style's, with the boxes of `flags`: minimise and close move,
// put away and close the window; the caption moves it.
class TitleBar : public QWidget {
public:
    TitleBar(QWidget* window, Qt::WindowFlags flags);

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QStyleOptionTitleBar Option() const;
    QStyle::SubControl Hit(const QMouseEvent& event) const;

    Qt::WindowFlags flags_;
    QStyle::SubControl pressed_ = QStyle::SC_None;
};

}  // namespace farlous
