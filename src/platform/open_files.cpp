#include "platform/open_files.h"

#include "platform/error_texts.h"
#include "platform/runtime_error.h"

namespace farlous {

int OpenFiles::FreeFile() const {
    int number = 1;
    while (files_.contains(number)) ++number;
    return number;
}

void OpenFiles::OpenForInput(int fileNumber, const std::string& path) {
    files_[fileNumber] = std::make_unique<InputFile>(path);
}

FileBytes OpenFiles::ReadToEnd(int fileNumber) {
    const auto it = files_.find(fileNumber);
    if (it == files_.end()) {
        throw RuntimeError(RuntimeError::Kind::FileRead, error_texts::BadFileNumber(fileNumber));
    }
    return it->second->ReadToEnd();
}

void OpenFiles::Close(int fileNumber) { files_.erase(fileNumber); }

}  // namespace farlous
