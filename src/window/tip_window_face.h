#pragma once

#include "jokes/tip_store.h"

namespace farlous {

// What the window's behaviour asks of the toolkit that draws the window: each toolkit's face
// creates the controls, routes their clicks to frmTip, shows the text given to its joke label
// and answers these.
class TipWindowFace : public TipDisplay {
public:
    // Takes the window down; with no window left, the run ends normally.
    virtual void Unload() = 0;
    // Ends the run at once with `exitStatus`, after an error that no handler trapped.
    virtual void EndRun(int exitStatus) = 0;

protected:
    ~TipWindowFace() = default;
};

}  // namespace farlous
