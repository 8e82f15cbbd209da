#include "window/qt/tip_window.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/qt_text.h"
#include "window/fixed_texts.h"
#include "window/frm_tip_accessibility.h"
#include "window/frm_tip_design.h"
#include "window/qt/accessible_text_label.h"
#include "window/qt/design_font.h"
#include "window/qt/window_placement.h"

namespace farlous {

namespace {

// A close box but no minimise or maximise box; a plain window, so it is listed in the task bar.
constexpr Qt::WindowFlags kFrame = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// The text colour on a white control: the button text's, unless it is too pale to read on white
// (a dark colour scheme's): then black. Contrast and luminance as the usual readability
// guidelines define them; below a ratio of 4.5, ordinary text is hard to read.
QColor TextOnWhite(const QColor& text) {
    const auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(text.redF()) + 0.7152 * linear(text.greenF()) +
                             0.0722 * linear(text.blueF());
    return (1.0 + 0.05) / (luminance + 0.05) >= 4.5 ? text : QColor(Qt::black);
}

QLabel* CreateLabel(QWidget* container) {
    auto* label = new QLabel(container);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    // With a buddy, '&' marks an access key, which gives the buddy the focus: the box that holds
    // the label (a button would be clicked as well).
    label->setBuddy(container);
    return label;
}

// A framed box that holds other controls, or shows a picture (loaded later, see
// LoadForFirstPaint) at its natural size from the top-left corner inside its frame, cut at the
// frame. Assistive tools see a panel or an image: Qt would show a frame, which they take for a
// window.
QFrame* CreatePictureBox(const ControlDesign& design, QWidget* container) {
    const bool picture = !design.picture.empty();
    QFrame* box = picture ? new QLabel(container) : new QFrame(container);
    if (picture) static_cast<QLabel*>(box)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    box->setFocusPolicy(Qt::TabFocus);
    box->setAutoFillBackground(true);
    QAccessible::registerAccessibleInterface(
        new QAccessibleWidget(box, picture ? QAccessible::Graphic : QAccessible::Pane));
    return box;
}

QPixmap DecodePicture(std::string_view resource) {
    QPixmap picture(ToQString(resource));
    if (picture.isNull()) {
        qWarning("Image illisible : %s (le greffon JPEG de Qt est-il installé ?)",
                 qPrintable(ToQString(resource)));
    }
    return picture;
}

QWidget* CreateControl(const ControlDesign& design, QWidget* container) {
    switch (design.kind) {
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(ToQString(design.caption), container);
            button->setAutoDefault(true);
            return button;
        }
        case ControlKind::PictureBox:
            return CreatePictureBox(design, container);
        case ControlKind::Label: {
            QLabel* label = CreateLabel(container);
            label->setText(ToQString(design.caption));
            return label;
        }
    }
    return nullptr;
}

const ControlDesign& DesignOf(std::string_view name) {
    return *std::ranges::find(kFrmTipControls, name, &ControlDesign::name);
}

// The designs in tab order.
std::vector<const ControlDesign*> ByTabIndex() {
    std::vector<const ControlDesign*> designs;
    designs.reserve(kFrmTipControls.size());
    for (const ControlDesign& design : kFrmTipControls) designs.push_back(&design);
    std::ranges::sort(designs, {}, &ControlDesign::tabIndex);
    return designs;
}

}  // namespace

QtTipWindow::QtTipWindow(Platform& platform, QWidget* parent)
    : QDialog(parent, kFrame), form_(platform, *this) {
    setObjectName("frmTip");
    setWindowTitle(ToQString(WindowCaption()));
    // The face colour of dialogs and buttons, for the window and every control that keeps it.
    setBackgroundRole(QPalette::Button);
    CreateControls();
    DescribeControls();
    SetTabOrder();
    QMetaObject::invokeMethod(this, &QtTipWindow::LoadForFirstPaint, Qt::QueuedConnection);
    const QScreen* screen = QGuiApplication::primaryScreen();
    setGeometry(ClientArea(screen->geometry(), screen->availableGeometry()));
    setFixedSize(size());
    ok_->setDefault(true);
    ok_->setFocus();
}

void QtTipWindow::CreateControls() {
    for (const ControlDesign& design : kFrmTipControls) {
        QWidget* container = design.container == "frmTip" ? this : Control(design.container);
        QWidget* control = CreateControl(design, container);
        control->setObjectName(ToQString(design.name));
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
    }

    ok_ = static_cast<QPushButton*>(Control("cmdOK"));
    tipText_ = static_cast<QLabel*>(Control("lblTipText"));
    const auto route = [this](std::string_view button, void (frmTip::*handler)()) {
        connect(static_cast<QPushButton*>(Control(button)), &QPushButton::clicked, this,
                [this, handler] { (form_.*handler)(); });
    };
    route("cmdOK", &frmTip::cmdOK_Click);
    route("cmdNextTip", &frmTip::cmdNextTip_Click);
    route("cmdAbout", &frmTip::cmdAbout_Click);
}

void QtTipWindow::DescribeControls() {
    for (const AccessibleDesign& design : kFrmTipAccessibility) {
        QWidget* control = Control(design.control);
        if (!design.name.empty()) control->setAccessibleName(ToQString(design.name));
        control->setAccessibleDescription(ToQString(design.description));
        if (DesignOf(design.control).kind == ControlKind::Label) {
            const auto* heading =
                design.heading.empty() ? nullptr : static_cast<QLabel*>(Control(design.heading));
            QAccessible::registerAccessibleInterface(
                new AccessibleTextLabel(static_cast<QLabel*>(control), heading));
        }
    }
}

// Labels hold a tab index but never take the focus.
void QtTipWindow::SetTabOrder() {
    QWidget* previous = nullptr;
    for (const ControlDesign* design : ByTabIndex()) {
        if (design->kind == ControlKind::Label) continue;
        QWidget* control = Control(design->name);
        if (previous) setTabOrder(previous, control);
        previous = control;
    }
}

// Fonts and pictures take longer to load than all the rest of the window, and only its painting
// needs them: they are loaded once the window is on the screen, before it is first painted.
void QtTipWindow::LoadForFirstPaint() {
    for (const ControlDesign& design : kFrmTipControls) {
        if (!design.picture.empty()) {
            static_cast<QLabel*>(Control(design.name))->setPixmap(DecodePicture(design.picture));
        }
    }
    setFont(DesignFont(*this));
}

QWidget* QtTipWindow::Control(std::string_view name) const {
    return findChild<QWidget*>(ToQString(name));
}

void QtTipWindow::reject() { ok_->click(); }

void QtTipWindow::closeEvent(QCloseEvent* event) { event->accept(); }

void QtTipWindow::SetTipText(const std::string& text) {
    const QString tip = QString::fromStdString(text);
    tipText_->setText(tip);
    // Once the window is up, a screen reader hears each new joke without the focus moving.
    if (isVisible()) announcer_.Say(WithoutAccessKeyMarks(tip));
}

void QtTipWindow::Unload() { close(); }

void QtTipWindow::EndRun(int exitStatus) { QCoreApplication::exit(exitStatus); }

}  // namespace farlous
