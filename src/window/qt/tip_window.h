#pragma once

#include <QAbstractNativeEventFilter>
#include <QDialog>
#include <QWidget>
#include <string_view>

#include "window/frmTip.h"

class QLabel;
class QPushButton;

namespace farlous {

// The window drawn with Qt Widgets, laid out from the design table and never re-laid; its clicks
// go to the window's behaviour, `form`. A dialog, for its keys and for screen readers, which
// read a dialog's texts as it opens: Enter clicks the button with the focus, or "OK" when no
// button has it, and Escape clicks "OK".
class QtTipWindow : public QDialog, public QAbstractNativeEventFilter {
public:
    explicit QtTipWindow(frmTip& form);
    ~QtTipWindow() override;
    // Escape.
    void reject() override;

protected:
    // A close by the system unloads the window without running a handler; a dialog's own close
    // would take it for Escape.
    void closeEvent(QCloseEvent* event) override;
    // A window destroyed from outside (xdotool windowclose, a force-quit) is closed, as by the
    // system: Qt would go on without it, and the run would never end.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void CreateControls();
    void LoadForFirstPaint();
    QFont DesignFont() const;
    void ShowTipText();
    QWidget* Control(std::string_view name) const;

    frmTip& form_;
    QPushButton* ok_ = nullptr;
    QLabel* tipText_ = nullptr;
    // Screen readers speak an object with the notification role as it is shown: a window that is
    // never put on the screen, named with each new joke.
    QWidget announcer_;
};

}  // namespace farlous
