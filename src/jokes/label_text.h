#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "jokes/text_decoding.h"

namespace farlous {

// How much of a joke a label can show at most, from its size in pixels. No character that shows
// is narrower than a pixel and no line of text is less than 8 pixels high, so at most `width`
// characters fit on a line and height / 8 + 1 lines show, the last in part. A word longer than a
// line is either cut at the label's edge or broken over lines; kept to as many characters as the
// whole label shows, it still is, so the rest of it cannot show. The text needs no more than
// every line holding such a word.
struct LabelCapacity {
    std::size_t wordCharacters;
    std::size_t characters;
};

constexpr LabelCapacity CapacityOf(std::size_t widthPixels, std::size_t heightPixels) {
    const std::size_t lines = heightPixels / 8 + 1;
    return {widthPixels * lines, lines * widthPixels * lines};
}

// What a label is given of a joke, as UTF-8: all of it up to a NUL, except what it could never
// show. Words (runs of characters between spaces and tabs) keep their first `wordCharacters`
// characters, and the text its first `characters`, so that a joke of megabytes costs the label no
// more to lay out than a few screens of text. Characters that take no room (combining marks)
// count like others: thousands of them are the one way to hide, behind them, text the label would
// otherwise show.
std::string LabelText(std::string_view joke, Encoding encoding, LabelCapacity capacity);

}  // namespace farlous
