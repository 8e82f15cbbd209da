#pragma once

#include <QWidget>

#include "platform/platform.h"
#include "window/frmTip.h"
#include "window/tip_window_face.h"

class QPushButton;

namespace farlous {

class AccessKeyLabel;
class PictureBox;

// The window drawn with Qt Widgets, laid out as designed and never re-laid; its clicks go to
// the window's behaviour, frmTip.
class QtTipWindow : public QWidget, private TipWindowFace {
    Q_OBJECT

public:
    explicit QtTipWindow(Platform& platform, QWidget* parent = nullptr);

    frmTip& Form() { return form_; }

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
    void Unload() override;
    void EndRun(int exitStatus) override;

    void CreateControls();
    void DescribeControls();
    void SetTabOrder();
    void KeepOkDefaultUnlessAnotherButtonHasFocus();

    frmTip form_;
};

}  // namespace farlous
