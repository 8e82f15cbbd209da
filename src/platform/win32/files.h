#pragma once

#include <optional>
#include <string>

namespace farlous {

// The file that `path` names if it is a plain file, matched as Windows matches names (in any
// letter case); nothing for a folder, a device, a hidden or a system file, a name with wildcards,
// or no file at all.
std::optional<std::string> FindRegularFile(const std::string& path);

// What the file at `path` held when it was opened. Throws RuntimeError naming the file: a file
// another program holds without sharing is "Permission refusée".
std::string ReadWholeFile(const std::string& path);

}  // namespace farlous
