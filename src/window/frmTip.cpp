#include "window/frmTip.h"

#include <algorithm>
#include <exception>

#include "platform/unhandled_error.h"
#include "window/fixed_texts.h"
#include "window/frm_tip_design.h"

namespace farlous {

namespace {

// What the joke label can show, by its design.
LabelCapacity JokeLabelCapacity() {
    const ControlDesign& label =
        *std::ranges::find(kFrmTipControls, "lblTipText", &ControlDesign::name);
    return CapacityOf(Pixels(label.width), Pixels(label.height));
}

}  // namespace

bool ShowTipsAtStartup(Platform& platform) {
    const std::string showAtStartup =
        platform.GetSetting(platform.ExeName(), "Options", "Show Tips at Startup", "1");
    return platform.TextToNumber(showAtStartup) != 0;
}

frmTip::frmTip(Platform& platform, TipWindowFace& face)
    : platform_(platform), face_(face), store_(platform, face, JokeLabelCapacity()) {}

void frmTip::Form_Load() {
    if (!ShowTipsAtStartup(platform_)) {
        Unload();
        return;
    }

    platform_.Randomize();
    const std::string jokesFile =
        platform_.ProgramFolder() + platform_.PathSeparator() + "FARLOUS.TXT";
    if (!LoadTips(jokesFile)) face_.SetTipText(MissingFileText());
}

void frmTip::cmdNextTip_Click() {
    RunHandler([this] { store_.ShowRandomTip(); });
}

void frmTip::cmdOK_Click() {
    RunHandler([this] { Unload(); });
}

void frmTip::cmdAbout_Click() {
    RunHandler([this] { platform_.MsgBox(AboutText()); });
}

void frmTip::Unload() {
    loaded_ = false;
    face_.Unload();
}

template <typename Handler>
void frmTip::RunHandler(Handler handler) {
    try {
        handler();
    } catch (...) {
        platform_.ReportUnhandledError(DescribeUnhandledError(std::current_exception()));
        face_.EndRun(kUnhandledErrorExitStatus);
    }
}

}  // namespace farlous
