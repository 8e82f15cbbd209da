#pragma once

#include <exception>
#include <string>

namespace farlous {

// The exit status of a run ended by an error that no handler trapped.
inline constexpr int kUnhandledErrorExitStatus = 1;

// The French line that tells the user what went wrong.
std::string DescribeUnhandledError(std::exception_ptr error);

}  // namespace farlous
