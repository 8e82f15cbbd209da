#include "window/qt/tip_window.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/linux/toolkit.h"
#include "window/design.h"
#include "window/qt/accessible_text_label.h"
#include "window/qt/title_bar.h"
#include "window/texts.h"
#include "window/tip_window.h"

namespace farlous {

namespace {

// Minimise and close boxes, but no maximise box: the layout has one size. A plain window, so it is
// listed in the task bar.
constexpr Qt::WindowFlags kFrame = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                   Qt::WindowCloseButtonHint;
// Smaller than this, text gets hard to read: better cut a caption.
constexpr double kSmallestPoints = 6;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The text colour on a white control: the button text's, unless it is too pale to read on white
// (a dark colour scheme's): then black. Luminance and contrast as the usual readability guidelines
// define them; below a ratio of 4.5, ordinary text is hard to read.
QColor TextOnWhite(const QColor& text) {
    const auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(text.redF()) + 0.7152 * linear(text.greenF()) +
                             0.0722 * linear(text.blueF());
    return (1.0 + 0.05) / (luminance + 0.05) >= 4.5 ? text : QColor(Qt::black);
}

// Where the client area goes: at its designed place from the screen's top-left corner, moved just
// enough to lie inside the screen's available area (without task bars and panels).
QRect ClientArea(const QScreen& screen) {
    const QRect available = screen.availableGeometry();
    const QSize size(Pixels(kClientWidth), Pixels(kClientHeight));
    const QPoint designed =
        screen.geometry().topLeft() + QPoint(Pixels(kClientLeft), Pixels(kClientTop));
    const auto fit = [](int wanted, int length, int first, int room) {
        return std::max(first, std::min(wanted, first + room - length));
    };
    return {QPoint(fit(designed.x(), size.width(), available.left(), available.width()),
                   fit(designed.y(), size.height(), available.top(), available.height())),
            size};
}

// A box that takes the focus shows it along the inside of its frame, over what it holds, as the
// style marks a focused control; what the style would tint within stays as it is.
template <typename Box>
class FocusMarkedBox : public Box {
public:
    using Box::Box;

protected:
    void paintEvent(QPaintEvent* event) override {
        Box::paintEvent(event);
        if (!this->hasFocus()) return;
        QStylePainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = this->contentsRect();
        painter.setClipRegion(QRegion(option.rect).subtracted(option.rect.adjusted(2, 2, -2, -2)));
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
};

QWidget* CreateControl(const ControlDesign& design, QWidget* container) {
    switch (design.kind) {
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(Text(design.caption), container);
            button->setAutoDefault(true);
            return button;
        }
        case ControlKind::PictureBox: {
            // A framed box that holds labels, or shows its picture (loaded before the first
            // paint) at its natural size from the top-left corner inside its frame, cut there.
            // Assistive tools see a pane or an image: Qt would show a frame, which they take for
            // a window.
            const bool picture = !design.picture.empty();
            QFrame* box = picture ? static_cast<QFrame*>(new FocusMarkedBox<QLabel>(container))
                                  : new FocusMarkedBox<QFrame>(container);
            if (picture) static_cast<QLabel*>(box)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            box->setFocusPolicy(Qt::TabFocus);
            box->setAutoFillBackground(true);
            QAccessible::registerAccessibleInterface(
                new QAccessibleWidget(box, picture ? QAccessible::Graphic : QAccessible::Pane));
            return box;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(Text(design.caption), container);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            // With a buddy, '&' marks an access key, which gives the buddy the focus: the box
            // that holds the label (a button would be clicked as well).
            label->setBuddy(container);
            return label;
        }
    }
    return nullptr;
}

// Room for a caption inside a button's frame, as the style draws it.
int CaptionRoom(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.features = QStyleOptionButton::AutoDefaultButton | QStyleOptionButton::DefaultButton;
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
}

}  // namespace

QtTipWindow::QtTipWindow(frmTip& form) : QDialog(nullptr, kFrame), form_(form) {
    setObjectName("frmTip");
    setWindowTitle(Text(WindowCaption()));
    // The face colour of dialogs and buttons, for the window and every control that keeps it.
    setBackgroundRole(QPalette::Button);
    TitleBar* titleBar = nullptr;
    if (QGuiApplication::platformName() == "wayland") {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        titleBar = new TitleBar(this, kFrame);
        setContentsMargins(0, titleBar->height(), 0, 0);
    }
    CreateControls();
    setGeometry(ClientArea(*QGuiApplication::primaryScreen()));
    setFixedSize(size().grownBy(contentsMargins()));
    if (titleBar) titleBar->resize(width(), titleBar->height());
    QCoreApplication::instance()->installNativeEventFilter(this);
    ok_->setDefault(true);
    ok_->setFocus();
    announcer_.setAttribute(Qt::WA_DontShowOnScreen);
    announcer_.setAttribute(Qt::WA_QuitOnClose, false);
    QAccessible::registerAccessibleInterface(
        new QAccessibleWidget(&announcer_, QAccessible::Notification));
    tipText_->setText(Text(form_.TipText()));
    form_.OnTipTextSet([this] { ShowTipText(); });
    QMetaObject::invokeMethod(this, &QtTipWindow::LoadForFirstPaint, Qt::QueuedConnection);
}

QtTipWindow::~QtTipWindow() { form_.OnTipTextSet({}); }

void QtTipWindow::CreateControls() {
    for (const ControlDesign& design : kFrmTipControls) {
        QWidget* container = design.container == "frmTip" ? this : Control(design.container);
        QWidget* control = CreateControl(design, container);
        control->setObjectName(Text(design.name));
        control->setGeometry(QRect(
            container->contentsRect().topLeft() + QPoint(Pixels(design.left), Pixels(design.top)),
            QSize(Pixels(design.width), Pixels(design.height))));
        if (design.white) {
            QPalette palette = control->palette();
            palette.setColor(QPalette::Window, Qt::white);
            palette.setColor(QPalette::WindowText,
                             TextOnWhite(palette.color(QPalette::ButtonText)));
            control->setPalette(palette);
            control->setBackgroundRole(QPalette::Window);
            control->setAutoFillBackground(true);
        }
        if (!design.accessibleName.empty()) control->setAccessibleName(Text(design.accessibleName));
        control->setAccessibleDescription(Text(design.description));
        if (design.kind == ControlKind::Label) {
            QAccessible::registerAccessibleInterface(new AccessibleTextLabel(
                static_cast<QLabel*>(control),
                design.heading.empty() ? nullptr : static_cast<QLabel*>(Control(design.heading))));
        }
    }
    ok_ = static_cast<QPushButton*>(Control("cmdOK"));
    tipText_ = static_cast<QLabel*>(Control("lblTipText"));
    for (const auto& [name, handler] : {std::pair{"cmdOK", &frmTip::cmdOK_Click},
                                        std::pair{"cmdNextTip", &frmTip::cmdNextTip_Click},
                                        std::pair{"cmdAbout", &frmTip::cmdAbout_Click}}) {
        connect(static_cast<QPushButton*>(Control(name)), &QPushButton::clicked, this,
                [this, handler = handler] {
                    std::invoke(handler, form_);
                    if (!form_.IsLoaded()) done(form_.ExitStatus());
                });
    }
    // Tab follows the design's tab indices; labels hold one but never take the focus.
    std::vector<const ControlDesign*> designs;
    for (const ControlDesign& design : kFrmTipControls) {
        if (design.kind != ControlKind::Label) designs.push_back(&design);
    }
    std::ranges::sort(designs, {}, &ControlDesign::tabIndex);
    for (std::size_t i = 1; i < designs.size(); ++i) {
        setTabOrder(Control(designs[i - 1]->name), Control(designs[i]->name));
    }
}

// Fonts and pictures take longer to load than all the rest of the window, and only its painting
// needs them: they are loaded once the window is on the screen, before it is first painted.
void QtTipWindow::LoadForFirstPaint() {
    for (const ControlDesign& design : kFrmTipControls) {
        if (!design.picture.empty()) {
            // An icon takes the picture's "@2x" file for a screen of device pixel ratio 2.
            const QString path = ":/" + Text(design.picture);
            auto* box = static_cast<QLabel*>(Control(design.name));
            box->setPixmap(QIcon(path).pixmap(QImageReader(path).size(), box->devicePixelRatioF()));
        }
    }
    setFont(DesignFont());
}

// The system's dialog font family at the design's size, made smaller in half points while it is
// too wide for a caption the design fixes (the design was drawn for a narrow family); never for
// the joke, which may take any length.
QFont QtTipWindow::DesignFont() const {
    QFont font = this->font();
    for (double points = kFontPoints;; points -= 0.5) {
        font.setPointSizeF(points);
        const QFontMetrics metrics(font);
        const bool fits = std::ranges::all_of(kFrmTipControls, [&](const ControlDesign& design) {
            const QWidget* control = Control(design.name);
            const auto* button = qobject_cast<const QPushButton*>(control);
            return metrics.horizontalAdvance(Text(design.caption)) <=
                   (button ? CaptionRoom(*button) : control->width());
        });
        if (fits || points <= kSmallestPoints) return font;
    }
}

void QtTipWindow::ShowTipText() {
    const QString tip = Text(form_.TipText());
    tipText_->setText(tip);
    // Once the window is up, a screen reader hears each new joke without the focus moving.
    if (isVisible()) {
        announcer_.hide();
        announcer_.setAccessibleName(WithoutAccessKeyMarks(tip));
        announcer_.show();
    }
}

QWidget* QtTipWindow::Control(std::string_view name) const {
    return findChild<QWidget*>(Text(name));
}

void QtTipWindow::reject() { ok_->click(); }

void QtTipWindow::closeEvent(QCloseEvent* event) { event->accept(); }

// The X11 event DestroyNotify (17): its header, the window told, then the window destroyed.
bool QtTipWindow::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    const auto* event = static_cast<const std::uint8_t*>(message);
    std::uint32_t destroyed = 0;
    if (eventType != "xcb_generic_event_t" || (event[0] & 0x7F) != 17) return false;
    std::memcpy(&destroyed, event + 8, sizeof destroyed);
    if (destroyed == winId()) close();
    return false;
}

int RunWindow(frmTip& form) {
    StartToolkit(true);
    QtTipWindow window(form);
    // Its loop ends as the window goes: by done(), or by a close from outside (status 0).
    return window.exec();
}

}  // namespace farlous
