#pragma once

#include <QAccessibleWidget>
#include <QString>

class QLabel;

namespace farlous {

// A label's text as it is drawn: a single '&' marks the next character and is not drawn, "&&"
// draws one '&'.
QString WithoutAccessKeyMarks(const QString& caption);

// What assistive tools see of a label. Qt's own view of a label has no Text interface and names the
// label's buddy as the control it labels, so a screen reader takes the joke for a field's label
// and does not read it when the window opens. This one is static text with no relation, named by
// its heading's text (if any) then its own, with its own text behind the Text interface.
class AccessibleTextLabel : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    AccessibleTextLabel(QLabel* label, const QLabel* heading);

    QString text(QAccessible::Text kind) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    // Static text: no caret, no selection, no scrolling.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    QString Shown() const;

    const QLabel* heading_;
};

}  // namespace farlous
