#include "jokes/tip_store.h"

#include <cmath>
#include <limits>

#include "platform/errors.h"

namespace farlous {

bool TipStore::LoadTips(const std::string& sFile) {
    if (sFile.empty()) return false;
    const std::optional<std::string> found = platform_.FindFile(sFile);
    if (!found) return false;
    JokesText file = DecodeJokesFile(platform_.ReadFile(*found));
    const std::string_view text = texts_.emplace_back(std::move(file.bytes));
    // CR LF, a lone LF and a lone CR each end a line; an end at the very end adds no empty joke.
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\n' && text[at] != '\r') continue;
        TipItems.push_back({text.substr(start, at - start), file.encoding});
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
        start = at + 1;
    }
    if (start < text.size()) TipItems.push_back({text.substr(start), file.encoding});
    // Positions are 32-bit numbers.
    if (TipItems.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw errors::TooManyLines();
    }
    return true;
}

void TipStore::Draw() {
    const float r = platform_.Rnd();
    const auto n = static_cast<std::int32_t>(TipItems.size());
    // r < 1, so the floor lies in 1..n (1 when n is 0).
    TipIndex = static_cast<std::int32_t>(std::floor(static_cast<double>(r) * n + 1.0));
}

std::optional<std::string> TipStore::CurrentTip() const {
    if (TipItems.empty()) return std::nullopt;
    const Joke& joke = TipItems[static_cast<std::size_t>(TipIndex - 1)];
    return LabelText(joke.bytes, joke.encoding, label_);
}

}  // namespace farlous
