#include "window/frmTip.h"

#include <exception>

#include "platform/unhandled_error.h"
#include "window/fixed_texts.h"

namespace farlous {

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
