#pragma once

#include <memory>
#include <optional>
#include <random>
#include <string>

namespace farlous {

// The caption of every message box the program shows.
inline constexpr const char* kProgramTitle = "Zinoquet";

// What the program's behaviour takes from the system it runs on. The joke store and the window's
// handlers reach settings, files, the clock and message boxes only through here, so that tests
// can stand in for all of them. Strings are UTF-8, except paths on Linux: the file system's own
// bytes, whatever they are. A failing service throws RuntimeError.
class Platform {
public:
    virtual ~Platform() = default;

    // The user's stored text for `key` in `section` of the program `appName`, read only;
    // nothing when absent.
    virtual std::optional<std::string> ReadSetting(const std::string& appName,
                                                   const std::string& section,
                                                   const std::string& key) = 0;

    // The running program's folder, without a trailing separator except at a root, and its file
    // name without folder and extension.
    virtual std::string ProgramFolder() = 0;
    virtual std::string ExeName() = 0;
    virtual char PathSeparator() = 0;

    // The regular, visible file that `path` names, as it is to be opened; nothing when none.
    virtual std::optional<std::string> FindFile(const std::string& path) = 0;
    // What the file held when it was opened.
    virtual std::string ReadFile(const std::string& path) = 0;

    // A modal box captioned with the program's title, showing `text` and a single OK button.
    virtual void MsgBox(const std::string& text) = 0;
    // Reports an error that no handler trapped; the run then ends with status 1.
    virtual void ReportUnhandledError(const std::string& message) = 0;

    // Seeds the random source from the clock.
    virtual void Randomize();
    // The next uniform draw, 0 <= r < 1, in single precision.
    virtual float Rnd();

private:
    std::mt19937 random_;
};

// The services of the system the program was built for.
std::unique_ptr<Platform> SystemPlatform();

}  // namespace farlous
