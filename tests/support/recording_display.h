#pragma once

#include <string>
#include <vector>

#include "jokes/tip_store.h"

namespace farlous::testing {

// The joke label as the store sees it: every text it was given, in order.
struct RecordingDisplay : TipDisplay {
    std::vector<std::string> shown;
    void SetTipText(const std::string& text) override { shown.push_back(text); }
};

}  // namespace farlous::testing
