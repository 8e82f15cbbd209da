#include "window/qt/accessible_text_label.h"

#include <QLabel>

namespace farlous {

QString WithoutAccessKeyMarks(const QString& caption) {
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && ++i == caption.size()) break;
        shown += caption[i];
    }
    return shown;
}

AccessibleTextLabel::AccessibleTextLabel(QLabel* label, const QLabel* heading)
    : QAccessibleWidget(label, QAccessible::StaticText), heading_(heading) {}

QString AccessibleTextLabel::text(QAccessible::Text kind) const {
    if (kind != QAccessible::Name || !widget()->accessibleName().isEmpty()) {
        return QAccessibleWidget::text(kind);
    }
    QStringList parts;
    if (heading_) parts << WithoutAccessKeyMarks(heading_->text());
    parts << Shown();
    parts.removeAll(QString());
    return parts.join(' ');
}

void* AccessibleTextLabel::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString AccessibleTextLabel::text(int startOffset, int endOffset) const {
    const QString shown = Shown();
    if (endOffset < 0 || endOffset > shown.size()) endOffset = int(shown.size());
    if (startOffset < 0 || startOffset > endOffset) return {};
    return shown.mid(startOffset, endOffset - startOffset);
}

int AccessibleTextLabel::characterCount() const { return int(Shown().size()); }

void AccessibleTextLabel::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
}

QString AccessibleTextLabel::attributes(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

QString AccessibleTextLabel::Shown() const {
    return WithoutAccessKeyMarks(static_cast<const QLabel*>(widget())->text());
}

}  // namespace farlous
