#pragma once

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace farlous {

// An error raised by a service of the system: its text is the French message the user sees.
// Nothing traps it: it ends the run through the unhandled-error report.
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The exit status of a run ended by an error.
inline constexpr int kUnhandledErrorExitStatus = 1;

// Every French message the program reports, in one place; the README's table of messages follows
// it. Paths and values are quoted with their control characters shown as '?', so that no file
// name can cut a message, add a line to it or send a terminal an escape sequence.
namespace errors {
RuntimeError FileNotFound(std::string_view path);
RuntimeError PermissionDenied(std::string_view path);
RuntimeError OutOfMemoryReading(std::string_view path);
RuntimeError ReadError(std::string_view path);
RuntimeError NotAFile(std::string_view path);
RuntimeError NotANumber(std::string_view text);
RuntimeError Overflow(std::string_view text);
RuntimeError SettingOfAnotherType(std::string_view key);
RuntimeError SettingUnreadable(std::string_view key, long systemError);
RuntimeError TooManyLines();
RuntimeError UnknownProgramFolder();
std::string NoDisplay();
std::string OutOfMemory();
std::string TooFewFiles();
}  // namespace errors

// The French line that tells the user what went wrong.
std::string DescribeUnhandledError(std::exception_ptr error);

}  // namespace farlous
