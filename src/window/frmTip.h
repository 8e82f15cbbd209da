#pragma once

#include <string>

#include "jokes/tip_store.h"
#include "platform/platform.h"
#include "window/tip_window_face.h"

namespace farlous {

// The setting that decides whether the window shows at all: 0 hides it; absent counts as 1.
// Errors (a text that is no number, a store that cannot be read) are thrown.
bool ShowTipsAtStartup(Platform& platform);

// The program's one window, as behaviour: it decides whether it is shown at all, loads the jokes
// or explains where to get them, and answers its three buttons. It knows no toolkit: a face draws
// it and routes the clicks here.
class frmTip {
public:
    frmTip(Platform& platform, TipWindowFace& face);

    // Errors are thrown to the caller, which ends the run.
    void Form_Load();
    // False once the window was unloaded; the program then ends.
    bool IsLoaded() const { return loaded_; }

    bool LoadTips(const std::string& sFile) { return store_.LoadTips(sFile); }
    void DisplayCurrentTip() { store_.DisplayCurrentTip(); }

    // An error out of a click handler is reported and ends the run.
    void cmdNextTip_Click();
    void cmdOK_Click();
    void cmdAbout_Click();

private:
    void Unload();
    template <typename Handler>
    void RunHandler(Handler handler);

    Platform& platform_;
    TipWindowFace& face_;
    TipStore store_;
    bool loaded_ = true;
};

}  // namespace farlous
