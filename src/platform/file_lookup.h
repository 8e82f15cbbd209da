#pragma once

#include <filesystem>
#include <optional>

namespace farlous {

// The regular file (a link to one counts) that `path` names. Where the file system tells letter
// case apart, a name that differs only in ASCII case also matches: the exact name wins, then the
// first other match in byte order. Folders, devices, FIFOs, sockets, broken links and hidden files
// never match.
std::optional<std::filesystem::path> FindRegularFile(const std::filesystem::path& path);

// Paths cross the platform layer as UTF-8 strings.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace farlous
