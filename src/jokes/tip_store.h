#pragma once

#include <cstdint>
#include <string>

#include "jokes/joke_collection.h"
#include "jokes/label_text.h"
#include "platform/platform.h"

namespace farlous {

// Where the store puts the joke it picked: the window's joke label.
class TipDisplay {
public:
    virtual void SetTipText(const std::string& text) = 0;

protected:
    ~TipDisplay() = default;
};

// The jokes the window carries: loads them from a file, picks one at random and shows it.
class TipStore {
public:
    // `label` is what the display can show of a joke; the rest of a long one is never handed over.
    TipStore(Platform& platform, TipDisplay& display, LabelCapacity label)
        : platform_(platform), display_(display), label_(label) {}

    // True once `sFile` was opened and read to its end, even when it held no line; false when
    // `sFile` is empty or names no regular file. Open and read failures are thrown.
    bool LoadTips(const std::string& sFile);
    void ShowRandomTip();
    void DisplayCurrentTip();

    const JokeCollection& Items() const { return TipItems; }
    std::int32_t Index() const { return TipIndex; }

private:
    Platform& platform_;
    TipDisplay& display_;
    LabelCapacity label_;
    JokeCollection TipItems;
    std::int32_t TipIndex = 0;  // 1-based position of the joke shown last; 0 before any pick
};

}  // namespace farlous
