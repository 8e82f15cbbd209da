#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/file_bytes.h"
#include "platform/input_file.h"

namespace farlous {

// The files open for reading, each under the number it was opened with: the platform's file
// numbers. Paths are UTF-8.
class OpenFiles {
public:
    // The lowest number that no open file holds.
    int FreeFile() const;
    void OpenForInput(int fileNumber, const std::string& path);
    // Throws RuntimeError for a number that holds no open file.
    FileBytes ReadToEnd(int fileNumber);
    void Close(int fileNumber);

private:
    std::map<int, std::unique_ptr<InputFile>> files_;
};

}  // namespace farlous
