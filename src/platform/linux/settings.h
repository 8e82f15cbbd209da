#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace farlous {

// The text the user stored for `key` in `section` of the program `appName`, or nothing when
// absent. The one file read is `appName`.conf in $XDG_CONFIG_HOME, or in ~/.config when that
// variable holds no absolute path; no system-wide file counts, the setting being the user's own.
// A missing file, or one whose name is longer than the system allows, is an absent setting; one
// that cannot be read, or is no regular file, an error.
std::optional<std::string> ReadUserSetting(const std::string& appName, const std::string& section,
                                           const std::string& key);

// The value that a settings file's `text` gives `key` in `section`, read as Qt writes INI files
// and as users write them by hand: its bytes are decoded as a jokes file's are (a file saved in
// UTF-16 with its mark is read too); lines end with LF, CR LF or CR; a UTF-8 byte-order mark is
// skipped; "[name]" opens a section; "name=value" sets a key, the last one set winning. Names are
// compared with the blanks around them dropped and their %XX escapes decoded, so that "Show Tips
// at Startup" is found as typed and as Qt writes it ("Show%20Tips%20at%20Startup"), and in any
// letter case, as the Windows registry finds them; a value set under the exact spelling of both
// wins over others. The value is the text after the first '=' exactly as written, so that the
// conversion judges what the user wrote.
std::optional<std::string> FindSetting(std::string_view text, std::string_view section,
                                       std::string_view key);

}  // namespace farlous
