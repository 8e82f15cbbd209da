#pragma once

#include <QWidget>

#include "jokes/tip_store.h"
#include "platform/platform.h"

class QPushButton;

namespace farlous {

class AccessKeyLabel;
class PictureBox;

// The program's one window: a joke, a button for the next one, one for the About message and
// "OK" to close, laid out as designed and never re-laid. Its handlers report whatever they raise
// through the platform and end the run.
class frmTip : public QWidget, private TipDisplay {
    Q_OBJECT

public:
    explicit frmTip(Platform& platform, QWidget* parent = nullptr);

    // Decides whether the window is shown at all, then loads the jokes or explains where to get
    // them. Errors are thrown to the caller, which ends the run.
    void Form_Load();
    // False once the window was unloaded; the program then ends.
    bool IsLoaded() const { return loaded_; }

    bool LoadTips(const std::string& sFile) { return store_.LoadTips(sFile); }
    void DisplayCurrentTip() { store_.DisplayCurrentTip(); }
    const TipStore& Store() const { return store_; }

    QPushButton* cmdOK = nullptr;
    QPushButton* cmdNextTip = nullptr;
    QPushButton* cmdAbout = nullptr;
    PictureBox* Picture1 = nullptr;
    PictureBox* Picture2 = nullptr;
    AccessKeyLabel* Label1 = nullptr;
    AccessKeyLabel* lblTipText = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetTipText(const std::string& text) override;
    void CreateControls();
    void DescribeControls();
    void SetTabOrder();
    void KeepOkDefaultUnlessAnotherButtonHasFocus();
    void Unload();

    void cmdNextTip_Click();
    void cmdOK_Click();
    void cmdAbout_Click();
    // Runs a handler; an error out of it is reported and ends the run.
    void RunHandler(void (frmTip::*handler)());

    Platform& platform_;
    TipStore store_;
    bool loaded_ = true;
};

}  // namespace farlous
