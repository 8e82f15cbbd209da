#pragma once

#include <QString>
#include <QWidget>

namespace farlous {

// Tells a screen reader a text that changed away from the focus: screen readers speak an object
// with the notification role as it is shown. It is a window of its own that is never put on the
// screen: it draws nothing, takes no room and no focus, and a screen reader does not read it as
// part of another window.
class Announcer : public QWidget {
    Q_OBJECT

public:
    Announcer();

    void Say(const QString& text);
};

}  // namespace farlous
