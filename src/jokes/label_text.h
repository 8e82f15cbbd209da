#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "jokes/text_decoding.h"

namespace farlous {

// The joke label is 3615 x 2115 twips: 241 x 141 pixels. No character that shows is narrower
// than a pixel and no line of text is less than 8 pixels high, so at most 241 characters fit on a
// line and 18 lines show, the last in part: 4,338 characters in all, where the label's own font
// shows a few hundred.
//
// A word longer than a line either has a line of its own and is cut at the label's edge, or is
// broken over as many lines as it needs; kept to this many characters it still does either, so
// the rest of it cannot show.
inline constexpr std::size_t kMaxLabelWordCharacters = 8'192;
// Enough for every line that shows to hold such a word.
inline constexpr std::size_t kMaxLabelCharacters = 18 * kMaxLabelWordCharacters;

// What the joke label is given of a joke, as UTF-8: all of it, except what no label could show.
// Words (runs of characters between spaces and tabs) keep their first kMaxLabelWordCharacters
// characters, and the text its first kMaxLabelCharacters, so that a joke of megabytes costs the
// label no more to lay out than a few screens of text. Characters that take no room (combining
// marks, zero-width spaces) count like the others: a run of thousands of them is the one way to
// hide, behind them, text the label would otherwise show.
std::string LabelText(std::string_view joke, TextEncoding encoding);

}  // namespace farlous
