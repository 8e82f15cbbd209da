#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace farlous {

// The value that a settings file gives `key` in `section`, or nothing when it has no such key.
//
// The file is read as the toolkit's INI files are written, and as users write them by hand:
// lines end with LF, CR LF or CR; a UTF-8 byte-order mark at the start is skipped; "[name]" opens
// a section; a line whose first non-blank character is ';' or '#' is a comment; "name=value"
// sets a key, the last one set winning. Section and key names are compared with the blanks around
// them dropped and each %XX escape decoded, so that "Show Tips at Startup" is found as users type
// it and as the toolkit writes it ("Show%20Tips%20at%20Startup").
//
// The value is the text after the first '=' up to the line end, exactly as written: no quotes
// removed, no commas split, no byte changed, so that the conversion to a number judges what the
// user wrote.
std::optional<std::string> FindSetting(std::string_view text, std::string_view section,
                                       std::string_view key);

}  // namespace farlous
