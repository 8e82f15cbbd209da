#include "window/qt/access_key_label.h"

#include <QAccessible>
#include <QKeySequence>
#include <QPainter>
#include <QShortcut>
#include <algorithm>
#include <cmath>

namespace farlous {

namespace {

// Relative luminance and contrast ratio as the usual readability guidelines define them.
double Luminance(const QColor& colour) {
    const auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const auto [darker, lighter] = std::minmax({Luminance(a), Luminance(b)});
    return (lighter + 0.05) / (darker + 0.05);
}

// Below this ratio ordinary text is hard to read.
constexpr double kReadableContrast = 4.5;

QColor ReadableOn(const QColor& background, const QColor& text) {
    if (Contrast(text, background) >= kReadableContrast) return text;
    const QColor black(Qt::black), white(Qt::white);
    return Contrast(black, background) >= Contrast(white, background) ? black : white;
}

// Alt and the first character marked by a single '&'. A marked blank gives no key: Alt+Space
// belongs to the window's system menu.
QKeySequence AccessKey(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        const QChar marked = caption[i + 1];
        if (marked == '&') {
            ++i;
            continue;
        }
        if (marked.isSpace()) return {};
        return QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(marked.toUpper().unicode())));
    }
    return {};
}

}  // namespace

AccessKeyLabel::AccessKeyLabel(QWidget* parent) : QWidget(parent), accessKey_(new QShortcut(this)) {
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    accessKey_->setContext(Qt::WindowShortcut);
    connect(accessKey_, &QShortcut::activated, this, [this] {
        if (buddy_) buddy_->setFocus(Qt::ShortcutFocusReason);
    });
}

void AccessKeyLabel::setCaption(const QString& caption) {
    caption_ = caption;
    accessKey_->setKey(AccessKey(caption));
    update();
    // Screen readers read the new caption, a newly drawn joke included.
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void AccessKeyLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(
        ReadableOn(palette().color(backgroundRole()), palette().color(QPalette::ButtonText)));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic,
                     caption_);
}

}  // namespace farlous
