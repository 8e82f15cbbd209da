// Any bytes as a jokes file: loading, picks and the text given to the label must hold up. The
// lines are checked against a plain splitter, and the label's text against a plain cut, both
// written apart from the store.
//
// The first byte steers the run: bit 0 expands "\xFE k c" into c repeated 64 (k + 1) times, so
// that short inputs reach words and jokes long enough to be cut for the label; bits 1 and 2 are
// how many picks follow the first.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "jokes/label_text.h"
#include "jokes/text_decoding.h"
#include "jokes/tip_store.h"
#include "platform/random_source.h"
#include "support/fake_platform.h"

namespace {

using namespace farlous;

// A label small enough that inputs of a few kilobytes reach both of its cuts.
constexpr LabelCapacity kLabel = CapacityOf(16, 24);
// Room for a few words that the label cuts, and for its whole text.
constexpr std::size_t kMaxExpanded = 4 * kLabel.characters;

void Require(bool condition) {
    if (!condition) std::abort();
}

// Line ends are never repeated: thousands of empty lines would cost much and reach nothing new.
std::string Expand(std::string_view input) {
    std::string text;
    for (std::size_t i = 0; i < input.size() && text.size() < kMaxExpanded; ++i) {
        const char c = i + 2 < input.size() ? input[i + 2] : '\0';
        if (input[i] == '\xFE' && i + 2 < input.size() && c != '\r' && c != '\n') {
            const auto times =
                64 * (static_cast<std::size_t>(static_cast<unsigned char>(input[i + 1])) + 1);
            text.append(times, c);
            i += 2;
        } else {
            text += input[i];
        }
    }
    return text;
}

// The lines of a text: CR LF, CR and LF each end a line; a line end at the very end adds no
// empty line.
std::vector<std::string_view> PlainLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::size_t CodePoints(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// What the label is given of a joke, worked out on its decoded text, character by character.
std::string PlainLabelText(std::string_view joke) {
    std::string text;
    std::size_t characters = 0, word = 0;
    for (std::size_t i = 0; i < joke.size() && characters < kLabel.characters;) {
        const auto lead = static_cast<unsigned char>(joke[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const bool blank = lead == ' ' || lead == '\t';
        word = blank ? 0 : word + 1;
        if (word <= kLabel.wordCharacters) {
            text.append(joke.substr(i, length));
            ++characters;
        }
        i += length;
    }
    return text;
}

// A file saved in UTF-16 (`bytes` without its byte-order mark) as UTF-8, code unit by code unit:
// a high surrogate pairs with a low one that follows it; anything else of the surrogate range,
// and a lone last byte, becomes U+FFFD.
std::string PlainUtf16(std::string_view bytes, bool bigEndian) {
    std::u32string points;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned first = static_cast<unsigned char>(bytes[i]);
        const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
        const char32_t unit = bigEndian ? first << 8 | second : second << 8 | first;
        const bool pairs = unit >= 0xDC00 && unit <= 0xDFFF && !points.empty() &&
                           points.back() >= 0xD800 && points.back() <= 0xDBFF;
        if (pairs) {
            points.back() = 0x10000 + ((points.back() - 0xD800) << 10) + (unit - 0xDC00);
        } else {
            points += unit;
        }
    }
    if (bytes.size() % 2 != 0) points += U'\uFFFD';
    std::string utf8;
    for (char32_t point : points) {
        if (point >= 0xD800 && point <= 0xDFFF) point = 0xFFFD;
        const int tail = point < 0x80 ? 0 : point < 0x800 ? 1 : point < 0x10000 ? 2 : 3;
        const unsigned lead[] = {0x00, 0xC0, 0xE0, 0xF0};
        utf8 += static_cast<char>(lead[tail] | point >> (6 * tail));
        for (int k = tail - 1; k >= 0; --k)
            utf8 += static_cast<char>(0x80 | ((point >> (6 * k)) & 0x3F));
    }
    return utf8;
}

struct CheckingDisplay : TipDisplay {
    std::vector<std::string> shown;
    void SetTipText(const std::string& text) override {
        Require(CodePoints(text) <= kLabel.characters);
        shown.push_back(text);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const unsigned flags = data[0];
    const unsigned picks = (flags >> 1) & 3;
    const std::string file = flags & 1 ? Expand(input) : std::string(input);

    testing::FakePlatform platform;
    platform.files["/f"] = file;
    std::uint32_t bits = 2166136261u;
    for (const char c : file.substr(0, 64))
        bits = (bits ^ static_cast<unsigned char>(c)) * 16777619u;
    platform.draws.push_back(std::nextafter(1.0f, 0.0f));
    for (unsigned i = 1; i <= picks; ++i)
        platform.draws.push_back(RandomSource::FromBits(bits * i));

    CheckingDisplay display;
    TipStore store(platform, display, kLabel);
    Require(store.LoadTips("/f"));

    // A UTF-16 file, by its mark, is read as its UTF-8 form. The text ends at the first 0x1A. It
    // is UTF-8 when all of it is, less a byte-order mark, and Windows-1252 otherwise.
    const bool utf16 = file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF");
    const std::string decoded = utf16 ? PlainUtf16(file.substr(2), file[0] == '\xFE') : file;
    std::string_view text = std::string_view(decoded).substr(0, decoded.find('\x1A'));
    const bool utf8 = IsValidUtf8(text);
    if (utf8 && text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    const std::vector<std::string_view> lines = PlainLines(text);
    const JokeCollection& items = store.Items();
    Require(static_cast<std::size_t>(items.Count()) == lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string item = items.Item(static_cast<std::int32_t>(i + 1));
        Require(utf8 ? item == lines[i] : IsValidUtf8(item) && CodePoints(item) == lines[i].size());
        Require(items.ItemForLabel(static_cast<std::int32_t>(i + 1), kLabel) ==
                PlainLabelText(item));
    }

    // The first draw, just below 1, picks the last joke.
    const std::int32_t count = items.Count();
    Require(store.Index() == (count > 0 ? count : 1));
    for (unsigned pick = 1; pick <= picks; ++pick) {
        store.ShowRandomTip();
        Require(store.Index() >= 1 && (count == 0 || store.Index() <= count));
    }
    Require(display.shown.size() == (count > 0 ? 1 + picks : 0));
    if (count > 0) Require(display.shown.back() == items.ItemForLabel(store.Index(), kLabel));
    return 0;
}
