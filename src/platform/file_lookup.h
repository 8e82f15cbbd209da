#pragma once

#include <filesystem>
#include <optional>

namespace farlous {

// The regular file (a link to one counts) that `path` names. Where the file system tells letter
// case apart, a name that differs only in ASCII case also matches: the exact name wins, then the
// first other match in byte order. Folders, devices, FIFOs, sockets, broken links and hidden files
// never match.
std::optional<std::filesystem::path> FindRegularFile(const std::filesystem::path& path);

// Paths cross the platform layer as strings: UTF-8 on Windows, elsewhere the file system's own
// bytes, which need not be UTF-8 (a folder named in Latin-1) and are carried over unchanged.
std::filesystem::path PathFromString(const std::string& text);
std::string PathToString(const std::filesystem::path& path);

}  // namespace farlous
