#include "window/frmTip.h"

#include <exception>

#include "platform/errors.h"
#include "platform/text_to_number.h"
#include "window/design.h"
#include "window/texts.h"

namespace farlous {

namespace {

LabelCapacity JokeLabelCapacity() {
    const ControlDesign& label = Design("lblTipText");
    return CapacityOf(Pixels(label.width), Pixels(label.height));
}

}  // namespace

frmTip::frmTip(Platform& platform) : platform_(platform), store_(platform, JokeLabelCapacity()) {}

void frmTip::Form_Load() {
    const std::string showTips =
        platform_.ReadSetting(platform_.ExeName(), "Options", "Show Tips at Startup").value_or("1");
    if (TextToNumber(showTips) == 0) {
        Unload(0);
        return;
    }
    platform_.Randomize();
    if (!LoadTips(platform_.ProgramFolder() + platform_.PathSeparator() + "FARLOUS.TXT")) {
        SetTipText(MissingFileText());
    }
}

void frmTip::cmdNextTip_Click() {
    RunHandler([this] { ShowRandomTip(); });
}

void frmTip::cmdOK_Click() {
    RunHandler([this] { Unload(0); });
}

void frmTip::cmdAbout_Click() {
    RunHandler([this] { platform_.MsgBox(AboutText()); });
}

bool frmTip::LoadTips(const std::string& sFile) {
    if (!store_.LoadTips(sFile)) return false;
    ShowRandomTip();
    return true;
}

void frmTip::DisplayCurrentTip() {
    if (auto tip = store_.CurrentTip()) SetTipText(std::move(*tip));
}

void frmTip::ShowRandomTip() {
    store_.Draw();
    DisplayCurrentTip();
}

void frmTip::SetTipText(std::string text) {
    lblTipText_ = std::move(text);
    if (tipTextSet_) tipTextSet_();
}

void frmTip::Unload(int exitStatus) {
    loaded_ = false;
    exitStatus_ = exitStatus;
}

template <typename Handler>
void frmTip::RunHandler(Handler handler) {
    try {
        handler();
    } catch (...) {
        platform_.ReportUnhandledError(DescribeUnhandledError(std::current_exception()));
        Unload(kUnhandledErrorExitStatus);
    }
}

}  // namespace farlous
