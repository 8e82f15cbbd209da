#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "file_bytes.h"

namespace farlous {

// Every runtime service the program's logic uses. The joke store and the window's handlers reach
// the toolkit, the file system and the clock only through this interface, so that tests can
// stand in for all of them. Strings are UTF-8, except paths: on Linux they are the file system's
// own bytes, whatever they are. A failing service throws RuntimeError.
class Platform {
public:
    virtual ~Platform() = default;

    // Per-user settings, read only: the stored text, or `defaultValue` when the key is absent.
    virtual std::string GetSetting(const std::string& appName, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;

    virtual std::int32_t TextToNumber(std::string_view text) = 0;

    // Seeds the random source from the clock.
    virtual void Randomize() = 0;
    // The next uniform draw, 0 <= r < 1.
    virtual float Rnd() = 0;

    // File service. A file is named by a number that no open file holds; the number is only
    // taken by OpenForInput.
    virtual int FreeFile() = 0;
    // The name (without folder) of the regular file that `path` designates, or "" when there is
    // none. Folders, hidden files and anything that is not a regular file do not match.
    virtual std::string Dir(const std::string& path) = 0;
    virtual void OpenForInput(int fileNumber, const std::string& path) = 0;
    // Everything from the current position to the end of the file.
    virtual FileBytes ReadToEnd(int fileNumber) = 0;
    virtual void Close(int fileNumber) = 0;

    // A modal message with a single OK button and no icon, captioned with the program's title.
    virtual void MsgBox(const std::string& prompt) = 0;

    // Program facts.
    virtual std::string ProgramFolder() = 0;  // no trailing separator except at a root
    virtual std::string ExeName() = 0;        // the running executable's base name
    virtual char PathSeparator() = 0;

    // Reports an error that no handler trapped; the caller then ends the program.
    virtual void ReportUnhandledError(const std::string& message) = 0;
};

}  // namespace farlous
