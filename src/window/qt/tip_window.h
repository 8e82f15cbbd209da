#pragma once

#include <QDialog>

#include "platform/platform.h"
#include "window/frmTip.h"
#include "window/qt/announcer.h"
#include "window/tip_window_face.h"

class QLabel;
class QPushButton;

namespace farlous {

// The window drawn with Qt Widgets, laid out as designed and never re-laid; its clicks go to the
// window's behaviour, frmTip. A dialog, for its keys and for screen readers, which read a dialog's
// texts as it opens: Enter clicks the button with the focus, or "OK" when no button has it, and
// Escape clicks "OK".
class QtTipWindow : public QDialog, private TipWindowFace {
    Q_OBJECT

public:
    explicit QtTipWindow(Platform& platform, QWidget* parent = nullptr);

    frmTip& Form() { return form_; }

    // Escape.
    void reject() override;

protected:
    // A close by the platform unloads the window without running a handler; a dialog's own close
    // would take it for Escape.
    void closeEvent(QCloseEvent* event) override;

private:
    void SetTipText(const std::string& text) override;
    void Unload() override;
    void EndRun(int exitStatus) override;

    void CreateControls();
    void DescribeControls();
    void SetTabOrder();
    void LoadForFirstPaint();
    QWidget* Control(std::string_view name) const;

    frmTip form_;
    QPushButton* ok_ = nullptr;
    QLabel* tipText_ = nullptr;
    Announcer announcer_;
};

}  // namespace farlous
