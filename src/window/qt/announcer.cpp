#include "window/qt/announcer.h"

#include <QAccessibleWidget>

namespace farlous {

Announcer::Announcer() {
    setAttribute(Qt::WA_DontShowOnScreen);
    setAttribute(Qt::WA_QuitOnClose, false);
    QAccessible::registerAccessibleInterface(
        new QAccessibleWidget(this, QAccessible::Notification));
}

void Announcer::Say(const QString& text) {
    hide();
    setAccessibleName(text);
    show();
}

}  // namespace farlous
