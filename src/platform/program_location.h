#pragma once

#include <string>

namespace farlous {

// Where the running program file lies, as the system tells it, in the file system's own bytes.
struct ProgramLocation {
    std::string folder;    // no trailing separator except at the root
    std::string baseName;  // the file's name up to its last dot
};

// Throws RuntimeError when the system cannot tell: the program then has no folder to look in, and
// no name to find its setting by.
ProgramLocation FindProgramLocation();

}  // namespace farlous
