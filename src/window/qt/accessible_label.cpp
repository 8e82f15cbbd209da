#include "window/qt/accessible_label.h"

#include <QAccessibleWidget>

#include "window/qt/access_key_label.h"

namespace farlous {

namespace {

class AccessibleLabel : public QAccessibleWidget {
public:
    explicit AccessibleLabel(AccessKeyLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) return DrawnText();
        return QAccessibleWidget::text(kind);
    }

private:
    // "&&" draws one '&'; a single '&' draws nothing.
    QString DrawnText() const {
        const QString& caption = static_cast<const AccessKeyLabel*>(widget())->caption();
        QString drawn;
        drawn.reserve(caption.size());
        for (qsizetype i = 0; i < caption.size(); ++i) {
            if (caption[i] == '&' && ++i == caption.size()) break;
            drawn += caption[i];
        }
        return drawn;
    }
};

QAccessibleInterface* CreateAccessibleLabel(const QString& className, QObject* object) {
    if (className != AccessKeyLabel::staticMetaObject.className()) return nullptr;
    return new AccessibleLabel(static_cast<AccessKeyLabel*>(object));
}

}  // namespace

void InstallAccessibleLabels() {
    static const bool installed = (QAccessible::installFactory(CreateAccessibleLabel), true);
    Q_UNUSED(installed);
}

}  // namespace farlous
