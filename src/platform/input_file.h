#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "platform/file_bytes.h"

namespace farlous {

// A regular file open for reading. Anything else (a FIFO swapped in after the lookup, a device)
// is refused at open, without blocking. Paths are strings of the file system's own bytes (UTF-8
// on Windows).
class InputFile {
public:
    // Throws RuntimeError naming `path` when the file cannot be opened: FileNotFound when it, or a
    // folder on its way, does not exist.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // What the file held when it was opened. Throws RuntimeError naming the file when reading
    // fails.
    FileBytes ReadToEnd();

private:
    std::string path_;
    std::size_t sizeAtOpen_ = 0;
#ifdef _WIN32
    std::FILE* file_ = nullptr;
#else
    int descriptor_ = -1;
#endif
};

}  // namespace farlous
