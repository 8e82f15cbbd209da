#pragma once

#include <optional>
#include <string>

namespace farlous {

// The text the user stored for `key` in `section` of the program named `appName`, or nothing when
// it is absent. The one file read is `appName`.conf in $XDG_CONFIG_HOME, or in ~/.config when
// that variable does not hold an absolute path; no system-wide file counts, as the setting is
// the user's own. A missing file is an absent setting. A file that exists but cannot be read, or
// is no regular file (a FIFO would block the start), is an error: RuntimeError naming it.
std::optional<std::string> ReadUserSetting(const std::string& appName, const std::string& section,
                                           const std::string& key);

}  // namespace farlous
