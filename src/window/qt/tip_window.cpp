#include "window/qt/tip_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "window/fixed_texts.h"
#include "window/frm_tip_accessibility.h"
#include "window/frm_tip_design.h"
#include "window/qt/access_key_label.h"
#include "window/qt/accessible_label.h"
#include "window/qt/design_font.h"
#include "window/qt/picture_box.h"
#include "window/qt/window_placement.h"

namespace farlous {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A close box but no minimise or maximise box; a plain window, so it is listed in the task bar.
constexpr Qt::WindowFlags kFrame = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

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
        case ControlKind::PictureBox: {
            auto* box = new PictureBox(container);
            if (!design.picture.empty()) box->setPicture(DecodePicture(design.picture));
            return box;
        }
        case ControlKind::Label: {
            auto* label = new AccessKeyLabel(container);
            label->setCaption(ToQString(design.caption));
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
    : QWidget(parent, kFrame), form_(platform, *this) {
    setObjectName("frmTip");
    setWindowTitle(ToQString(WindowCaption()));
    // The face colour of dialogs and buttons, for the window and every control that keeps it.
    setBackgroundRole(QPalette::Button);
    InstallAccessibleLabels();
    CreateControls();
    DescribeControls();
    SetTabOrder();
    setFont(DesignFont(*this));
    const QScreen* screen = QGuiApplication::primaryScreen();
    setGeometry(ClientArea(screen->geometry(), screen->availableGeometry()));
    setFixedSize(size());
    cmdOK->setFocus();
    KeepOkDefaultUnlessAnotherButtonHasFocus();
}

void QtTipWindow::CreateControls() {
    for (const ControlDesign& design : kFrmTipControls) {
        QWidget* container = design.container == "frmTip"
                                 ? static_cast<QWidget*>(this)
                                 : findChild<QWidget*>(ToQString(design.container));
        QWidget* control = CreateControl(design, container);
        control->setObjectName(ToQString(design.name));
        control->setGeometry(QRect(
            container->contentsRect().topLeft() + QPoint(Pixels(design.left), Pixels(design.top)),
            QSize(Pixels(design.width), Pixels(design.height))));
        if (design.white) {
            QPalette palette = control->palette();
            palette.setColor(QPalette::Window, Qt::white);
            control->setPalette(palette);
            control->setBackgroundRole(QPalette::Window);
        }
    }

    cmdOK = findChild<QPushButton*>("cmdOK");
    cmdNextTip = findChild<QPushButton*>("cmdNextTip");
    cmdAbout = findChild<QPushButton*>("cmdAbout");
    Picture1 = findChild<PictureBox*>("Picture1");
    Picture2 = findChild<PictureBox*>("Picture2");
    Label1 = findChild<AccessKeyLabel*>("Label1");
    lblTipText = findChild<AccessKeyLabel*>("lblTipText");

    connect(cmdOK, &QPushButton::clicked, this, [this] { form_.cmdOK_Click(); });
    connect(cmdNextTip, &QPushButton::clicked, this, [this] { form_.cmdNextTip_Click(); });
    connect(cmdAbout, &QPushButton::clicked, this, [this] { form_.cmdAbout_Click(); });
}

void QtTipWindow::DescribeControls() {
    for (const AccessibleDesign& design : kFrmTipAccessibility) {
        QWidget* control = findChild<QWidget*>(ToQString(design.control));
        if (!design.name.empty()) control->setAccessibleName(ToQString(design.name));
        control->setAccessibleDescription(ToQString(design.description));
    }
}

// Labels hold a tab index but never the focus: a label's access key gives the focus to the
// first control after it in tab order that takes it.
void QtTipWindow::SetTabOrder() {
    std::vector<QWidget*> focusable;
    std::vector<AccessKeyLabel*> labels;
    for (const ControlDesign* design : ByTabIndex()) {
        QWidget* control = findChild<QWidget*>(ToQString(design->name));
        if (design->kind == ControlKind::Label) {
            labels.push_back(static_cast<AccessKeyLabel*>(control));
            continue;
        }
        if (!focusable.empty()) setTabOrder(focusable.back(), control);
        focusable.push_back(control);
        for (AccessKeyLabel* label : labels) label->setBuddy(control);
        labels.clear();
    }
    for (AccessKeyLabel* label : labels) label->setBuddy(focusable.front());
}

// Enter clicks the focused button, or "OK" when the focus is elsewhere: only that button looks
// like the default one.
void QtTipWindow::KeepOkDefaultUnlessAnotherButtonHasFocus() {
    cmdOK->setDefault(true);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == this) {
            cmdOK->setDefault(now == cmdOK || !qobject_cast<QPushButton*>(now));
        }
    });
}

void QtTipWindow::SetTipText(const std::string& text) { lblTipText->setCaption(ToQString(text)); }

void QtTipWindow::Unload() { close(); }

void QtTipWindow::EndRun(int exitStatus) { QCoreApplication::exit(exitStatus); }

void QtTipWindow::keyPressEvent(QKeyEvent* event) {
    // The buttons take Enter themselves; Escape anywhere, and Enter anywhere else, mean "OK".
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            cmdOK->click();
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace farlous
