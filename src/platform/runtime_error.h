#pragma once

#include <stdexcept>
#include <string>

namespace farlous {

// An error raised by a runtime service. Nothing in the program traps it: it travels out of the
// handler that caused it and ends the run through the unhandled-error report.
class RuntimeError : public std::runtime_error {
public:
    enum class Kind {
        TypeMismatch,  // text that is not a number
        Overflow,      // a number outside the signed 32-bit range
        FileNotFound,  // the file vanished between lookup and open
        PermissionDenied,
        FileRead,  // any other failure to open or read a file
        OutOfMemory,
    };

    // `message` is the complete French text shown to the user.
    RuntimeError(Kind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}

    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

}  // namespace farlous
