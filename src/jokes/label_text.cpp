#include "jokes/label_text.h"

#include <cstring>

#include "platform/blanks.h"

namespace farlous {

namespace {

// Position of the first blank at or after `from`, or the text's size.
std::size_t NextBlank(std::string_view text, std::size_t from) {
    std::size_t next = text.size();
    for (const char blank : {' ', '\t'}) {
        const void* hit = std::memchr(text.data() + from, blank, next - from);
        if (hit != nullptr)
            next = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    }
    return next;
}

}  // namespace

std::string LabelText(std::string_view joke, TextEncoding encoding, LabelCapacity capacity) {
    // Both encodings write blanks as single bytes, and in UTF-8 a character starts at every byte
    // that is not a continuation byte.
    const auto startsCharacter = [encoding](char c) {
        return encoding == TextEncoding::Windows1252 ||
               (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    };
    std::string text;
    std::size_t characters = 0;  // kept so far
    std::size_t wordCharacters = 0;
    std::size_t keptFrom = 0;  // start of the stretch of `joke` being kept
    std::size_t at = 0;
    while (at < joke.size()) {
        if (!startsCharacter(joke[at])) {
            ++at;
            continue;
        }
        if (characters == capacity.characters) break;
        if (IsBlank(joke[at])) {
            wordCharacters = 0;
        } else if (wordCharacters == capacity.wordCharacters) {
            AppendAsUtf8(joke.substr(keptFrom, at - keptFrom), encoding, text);
            at = keptFrom = NextBlank(joke, at);
            continue;
        } else {
            ++wordCharacters;
        }
        ++characters;
        ++at;
    }
    AppendAsUtf8(joke.substr(keptFrom, at - keptFrom), encoding, text);
    return text;
}

}  // namespace farlous
