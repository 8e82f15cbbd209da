#pragma once

#include <optional>
#include <string>

namespace farlous {

// The regular file that `path` names (a link to one counts), as a path to open. Where the file
// system tells letter case apart, a name that differs only in ASCII case also matches: the exact
// name wins, then the first other in byte order. Folders, devices, FIFOs, sockets, broken links
// and hidden files never match.
std::optional<std::string> FindRegularFile(const std::string& path);

// What the regular file at `path` held when it was opened: a file a writer keeps appending to is
// not followed, and one that tells no size (the system's own, in /proc) is read to its end.
// Throws RuntimeError naming the file.
std::string ReadWholeFile(const std::string& path);

}  // namespace farlous
