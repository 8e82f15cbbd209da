#include "jokes/tip_store.h"

#include <cmath>

namespace farlous {

bool TipStore::LoadTips(const std::string& sFile) {
    // The number is asked for before anything else, as the file service expects, even when no
    // file is opened in the end.
    const int fileNumber = platform_.FreeFile();
    if (sFile.empty()) return false;
    if (platform_.Dir(sFile).empty()) return false;

    platform_.OpenForInput(fileNumber, sFile);
    FileBytes bytes;
    try {
        bytes = platform_.ReadToEnd(fileNumber);
    } catch (...) {
        platform_.Close(fileNumber);
        throw;
    }
    platform_.Close(fileNumber);

    TipItems.Append(std::move(bytes));
    ShowRandomTip();
    return true;
}

void TipStore::ShowRandomTip() {
    // The draw comes before the count is read.
    const float r = platform_.Rnd();
    const std::int32_t n = TipItems.Count();
    // r < 1 and n fits 32 bits, so the floor lies in 1..n (1 when n is 0).
    TipIndex = static_cast<std::int32_t>(std::floor(static_cast<double>(r) * n + 1.0));
    DisplayCurrentTip();
}

void TipStore::DisplayCurrentTip() {
    if (TipItems.Count() <= 0) return;
    display_.SetTipText(TipItems.ItemForLabel(TipIndex, label_));
}

}  // namespace farlous
