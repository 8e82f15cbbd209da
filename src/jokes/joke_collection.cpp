#include "jokes/joke_collection.h"

#include <cassert>
#include <limits>

#include "jokes/label_text.h"
#include "platform/error_texts.h"
#include "platform/runtime_error.h"

namespace farlous {

void JokeCollection::Append(FileBytes bytes) {
    JokesFile file(std::move(bytes));
    const std::size_t room = std::numeric_limits<std::int32_t>::max() - count_;
    if (file.Count() > room) {
        throw RuntimeError(RuntimeError::Kind::OutOfMemory, error_texts::TooManyLines());
    }
    count_ += static_cast<std::int32_t>(file.Count());
    files_.push_back(std::move(file));
}

std::string JokeCollection::Item(std::int32_t position) const {
    const auto [file, index] = Locate(position);
    std::string text;
    AppendAsUtf8(file.RawLine(index), file.Encoding(), text);
    return text;
}

std::string JokeCollection::ItemForLabel(std::int32_t position, LabelCapacity capacity) const {
    const auto [file, index] = Locate(position);
    return LabelText(file.RawLine(index), file.Encoding(), capacity);
}

std::pair<const JokesFile&, std::size_t> JokeCollection::Locate(std::int32_t position) const {
    assert(position >= 1 && position <= count_);
    auto index = static_cast<std::size_t>(position - 1);
    auto file = files_.begin();
    while (index >= file->Count()) index -= (file++)->Count();
    return {*file, index};
}

}  // namespace farlous
