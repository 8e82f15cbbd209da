#include "jokes/label_text.h"

#include <algorithm>

#include "platform/blanks.h"

namespace farlous {

std::string LabelText(std::string_view joke, Encoding encoding, LabelCapacity capacity) {
    // A label's text ends at a NUL, as a C string does on every system.
    joke = joke.substr(0, joke.find('\0'));
    // Blanks are single bytes in both encodings; in UTF-8 a character's later bytes are the
    // continuation bytes.
    const auto continues = [&](std::size_t at) {
        return encoding == Encoding::Utf8 && (static_cast<unsigned char>(joke[at]) & 0xC0) == 0x80;
    };
    std::string kept;
    std::size_t characters = 0;
    std::size_t inWord = 0;
    for (std::size_t at = 0; at < joke.size() && characters < capacity.characters;) {
        if (IsBlank(joke[at])) {
            inWord = 0;
        } else if (inWord++ == capacity.wordCharacters) {
            at = std::min(joke.find_first_of(" \t", at), joke.size());
            continue;
        }
        std::size_t end = at + 1;
        while (end < joke.size() && continues(end)) ++end;
        kept.append(joke, at, end - at);
        ++characters;
        at = end;
    }
    return ToUtf8(kept, encoding);
}

}  // namespace farlous
