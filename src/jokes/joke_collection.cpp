#include "jokes/joke_collection.h"

#include <cassert>
#include <limits>

#include "platform/runtime_error.h"

namespace farlous {

void JokeCollection::Append(FileBytes bytes) {
    JokesFile file(std::move(bytes));
    const std::size_t room = std::numeric_limits<std::int32_t>::max() - count_;
    if (file.Count() > room) {
        throw RuntimeError(RuntimeError::Kind::OutOfMemory,
                           "Mémoire insuffisante : le fichier de blagues a trop de lignes.");
    }
    count_ += static_cast<std::int32_t>(file.Count());
    files_.push_back(std::move(file));
}

std::string JokeCollection::Item(std::int32_t position) const {
    assert(position >= 1 && position <= count_);
    auto index = static_cast<std::size_t>(position - 1);
    for (const JokesFile& file : files_) {
        if (index < file.Count()) {
            std::string text;
            AppendAsUtf8(file.RawLine(index), file.Encoding(), text);
            return text;
        }
        index -= file.Count();
    }
    return {};
}

}  // namespace farlous
