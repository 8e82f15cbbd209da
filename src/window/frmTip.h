#pragma once

#include <functional>
#include <string>

#include "jokes/tip_store.h"
#include "platform/platform.h"

namespace farlous {

// The program's one window, as behaviour: whether it shows at all, the joke or the text that
// says where to get the jokes, and its three buttons. It knows no toolkit: a face draws it,
// routes its clicks here, shows the joke label's caption and ends the run once it is unloaded.
class frmTip {
public:
    explicit frmTip(Platform& platform);

    // Errors are thrown: they end the run.
    void Form_Load();
    // An error out of a click handler is reported, and the window unloads with status 1.
    void cmdNextTip_Click();
    void cmdOK_Click();
    void cmdAbout_Click();

    bool LoadTips(const std::string& sFile);
    void DisplayCurrentTip();

    // The caption of the joke label, lblTipText; `changed` hears of every caption set from now.
    const std::string& TipText() const { return lblTipText_; }
    void OnTipTextSet(std::function<void()> changed) { tipTextSet_ = std::move(changed); }
    // False once the window is unloaded: the run then ends with ExitStatus().
    bool IsLoaded() const { return loaded_; }
    int ExitStatus() const { return exitStatus_; }

private:
    void ShowRandomTip();
    void SetTipText(std::string text);
    void Unload(int exitStatus);
    template <typename Handler>
    void RunHandler(Handler handler);

    Platform& platform_;
    TipStore store_;
    std::string lblTipText_;
    std::function<void()> tipTextSet_;
    bool loaded_ = true;
    int exitStatus_ = 0;
};

}  // namespace farlous
