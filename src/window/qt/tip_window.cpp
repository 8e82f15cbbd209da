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

#include "window/fixed_texts.h"
#include "window/frm_tip_accessibility.h"
#include "window/frm_tip_design.h"
#include "window/qt/accessible_text_label.h"
#include "window/qt/design_font.h"
#include "window/qt/window_placement.h"

namespace farlous {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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

// A box that holds other controls.
QFrame* CreatePanel(QWidget* container) {
    auto* panel = new QFrame(container);
    // A panel, not a frame: assistive tools take a frame for a window.
    QAccessible::registerAccessibleInterface(new QAccessibleWidget(panel, QAccessible::Pane));
    return panel;
}

// A box that shows a picture at its natural size from the top-left corner inside its frame, cut
// at the frame.
QFrame* CreatePicture(std::string_view resource, QWidget* container) {
    auto* box = new QLabel(container);
    box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    box->setPixmap(QPixmap(ToQString(resource)));
    if (box->pixmap().isNull()) {
        qWarning("Image illisible : %s (le greffon JPEG de Qt est-il installé ?)",
                 qPrintable(ToQString(resource)));
    }
    return box;
}

QWidget* CreateControl(const ControlDesign& design, QWidget* container) {
    switch (design.kind) {
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(ToQString(design.caption), container);
            button->setAutoDefault(true);
            return button;
        }
        case ControlKind::PictureBox: {
            QFrame* box = design.picture.empty() ? CreatePanel(container)
                                                 : CreatePicture(design.picture, container);
            box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            box->setFocusPolicy(Qt::TabFocus);
            box->setAutoFillBackground(true);
            return box;
        }
        case ControlKind::Label: {
            QLabel* label = CreateLabel(container);
            label->setText(ToQString(design.caption));
            return label;
        }
    }
    return nullptr;
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
    // The fonts take longer to load than all the rest of the window: the captions are fitted
    // once the window is on the screen, before it is first painted.
    QMetaObject::invokeMethod(
        this, [this] { setFont(DesignFont(*this)); }, Qt::QueuedConnection);
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
        if (auto* label = qobject_cast<QLabel*>(control); label && label->pixmap().isNull()) {
            const auto* heading =
                design.heading.empty() ? nullptr : static_cast<QLabel*>(Control(design.heading));
            QAccessible::registerAccessibleInterface(new AccessibleTextLabel(label, heading));
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
