#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace farlous::bench {

enum class Accents { Windows1252, Utf8 };

// A jokes file as users keep them: French sentences of about `lineLength` bytes, CR LF after
// each, always the same for the same arguments. Accented letters take one byte in Windows-1252
// and two in UTF-8, where the whole file stays valid.
inline std::string MakeJokesFile(std::size_t lines, std::size_t lineLength, Accents accents) {
    static const char* const kWords[] = {
        "Quel", "est",   "le",     "comble",   "pour",      "un",       "boulanger", "?",
        "Se",   "faire", "rouler", "dans",     "la",        "farine",   "par",       "client",
        "qui",  "paie",  "en",     "miettes.", "jardinier", "avoir",    "main",      "verte",
        "\x01", "\x02",  "\x03",   "mois",     "rouge.",    "horloger", "temps",     "montre."};
    // \x01..\x03 stand for words with accents: "été", "déjà", "à".
    const bool utf8 = accents == Accents::Utf8;
    const std::string accented[] = {utf8 ? "\xC3\xA9t\xC3\xA9" : "\xE9t\xE9",
                                    utf8 ? "d\xC3\xA9j\xC3\xA0" : "d\xE9j\xE0",
                                    utf8 ? "\xC3\xA0" : "\xE0"};
    std::string text;
    text.reserve(lines * (lineLength + 16));
    std::uint32_t state = 2463534242u;
    for (std::size_t line = 0; line < lines; ++line) {
        const std::size_t start = text.size();
        // Lengths spread over half to one and a half times the mean.
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        const std::size_t target = lineLength / 2 + state % (lineLength + 1);
        while (text.size() - start + 2 < target) {
            state ^= state << 13, state ^= state >> 17, state ^= state << 5;
            const char* word = kWords[state % (sizeof kWords / sizeof *kWords)];
            if (text.size() != start) text += ' ';
            if (word[0] >= '\x01' && word[0] <= '\x03') {
                text += accented[word[0] - 1];
            } else {
                text += word;
            }
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace farlous::bench
