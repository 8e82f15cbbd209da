#include "window/frmTip.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

#include "platform/unhandled_error.h"
#include "window/access_key_label.h"
#include "window/fixed_texts.h"
#include "window/frm_tip_design.h"
#include "window/picture_box.h"

namespace farlous {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int Pixels(int twips) { return twips / kTwipsPerPixel; }

}  // namespace

frmTip::frmTip(Platform& platform, QWidget* parent)
    : QWidget(parent), platform_(platform), store_(platform, *this) {
    setObjectName("frmTip");
    setWindowTitle(ToQString(WindowCaption()));
    setFixedSize(Pixels(kClientWidth), Pixels(kClientHeight));
    CreateControls();
}

void frmTip::CreateControls() {
    for (const ControlDesign& design : kFrmTipControls) {
        QWidget* container = design.container == "frmTip"
                                 ? static_cast<QWidget*>(this)
                                 : findChild<QWidget*>(ToQString(design.container));
        QWidget* control = nullptr;
        switch (design.kind) {
            case ControlKind::CommandButton: {
                auto* button = new QPushButton(ToQString(design.caption), container);
                button->setAutoDefault(true);
                control = button;
                break;
            }
            case ControlKind::PictureBox:
                control = new PictureBox(container);
                break;
            case ControlKind::Label: {
                auto* label = new AccessKeyLabel(container);
                label->setCaption(ToQString(design.caption));
                control = label;
                break;
            }
        }
        control->setObjectName(ToQString(design.name));
        control->setGeometry(Pixels(design.left), Pixels(design.top), Pixels(design.width),
                             Pixels(design.height));
        if (design.white) {
            QPalette palette = control->palette();
            palette.setColor(QPalette::Window, Qt::white);
            control->setPalette(palette);
        }
    }

    cmdOK = findChild<QPushButton*>("cmdOK");
    cmdNextTip = findChild<QPushButton*>("cmdNextTip");
    cmdAbout = findChild<QPushButton*>("cmdAbout");
    Picture1 = findChild<PictureBox*>("Picture1");
    Picture2 = findChild<PictureBox*>("Picture2");
    Label1 = findChild<AccessKeyLabel*>("Label1");
    lblTipText = findChild<AccessKeyLabel*>("lblTipText");

    cmdOK->setDefault(true);
    setTabOrder(cmdOK, Picture1);
    setTabOrder(Picture1, cmdNextTip);
    setTabOrder(cmdNextTip, cmdAbout);
    setTabOrder(cmdAbout, Picture2);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, [this] { RunHandler(&frmTip::cmdOK_Click); });
    connect(cmdNextTip, &QPushButton::clicked, this,
            [this] { RunHandler(&frmTip::cmdNextTip_Click); });
    connect(cmdAbout, &QPushButton::clicked, this, [this] { RunHandler(&frmTip::cmdAbout_Click); });
}

void frmTip::Form_Load() {
    const std::string showAtStartup =
        platform_.GetSetting(platform_.ExeName(), "Options", "Show Tips at Startup", "1");
    if (platform_.TextToNumber(showAtStartup) == 0) {
        Unload();
        return;
    }

    platform_.Randomize();
    const std::string jokesFile =
        platform_.ProgramFolder() + platform_.PathSeparator() + "FARLOUS.TXT";
    if (!LoadTips(jokesFile)) lblTipText->setCaption(ToQString(MissingFileText()));
}

void frmTip::SetTipText(const std::string& text) { lblTipText->setCaption(ToQString(text)); }

void frmTip::Unload() {
    loaded_ = false;
    close();
}

void frmTip::cmdNextTip_Click() { store_.ShowRandomTip(); }

void frmTip::cmdOK_Click() { Unload(); }

void frmTip::cmdAbout_Click() { platform_.MsgBox(AboutText()); }

void frmTip::RunHandler(void (frmTip::*handler)()) {
    try {
        (this->*handler)();
    } catch (...) {
        platform_.ReportUnhandledError(DescribeUnhandledError(std::current_exception()));
        QCoreApplication::exit(kUnhandledErrorExitStatus);
    }
}

void frmTip::keyPressEvent(QKeyEvent* event) {
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
