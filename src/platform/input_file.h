#pragma once

#include <cstdio>
#include <string>

#include "platform/file_bytes.h"

namespace farlous {

// A regular file open for reading. Anything else (a FIFO swapped in after the lookup, a device)
// is refused at open, without blocking.
class InputFile {
public:
    // Throws RuntimeError naming `path` (UTF-8) when the file cannot be opened.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Throws RuntimeError naming the file when reading fails.
    FileBytes ReadToEnd();

private:
    std::string path_;
#ifdef _WIN32
    std::FILE* file_ = nullptr;
#else
    int descriptor_ = -1;
#endif
};

}  // namespace farlous
