#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jokes/label_text.h"
#include "jokes/text_decoding.h"
#include "platform/platform.h"

namespace farlous {

// The jokes the window carries: read from jokes files, one a line, and drawn at random. They
// only ever grow: a file loaded twice is there twice.
class TipStore {
public:
    // `label` is what the window's joke label can show: the rest of a long joke is never given.
    TipStore(Platform& platform, LabelCapacity label) : platform_(platform), label_(label) {}

    // True once `sFile` was read to its end, even when it held no line; false when `sFile` is
    // empty or names no regular file. Read errors are thrown.
    bool LoadTips(const std::string& sFile);
    // Draws the position of the joke to show next: the draw first, then the count.
    void Draw();
    // The joke drawn last as its label shows it; nothing while there is no joke.
    std::optional<std::string> CurrentTip() const;

private:
    struct Joke {
        std::string_view bytes;  // into texts_
        Encoding encoding;
    };

    Platform& platform_;
    LabelCapacity label_;
    std::deque<std::string> texts_;  // each file's text; a deque never moves what it holds
    std::vector<Joke> TipItems;
    std::int32_t TipIndex = 0;  // 1-based position of the joke drawn last; 0 before any draw
};

}  // namespace farlous
