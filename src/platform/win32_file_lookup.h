#pragma once

#include <optional>
#include <string>

namespace farlous {

// The regular file that `path` names, matched the way Windows matches names (in any letter
// case): its name as stored, without the folder. Nothing for a folder, a device, a hidden or a
// system file, a name with wildcards, or no file at all.
std::optional<std::wstring> FindRegularFileName(const std::wstring& path);

}  // namespace farlous
