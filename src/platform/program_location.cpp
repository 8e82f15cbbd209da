#include "platform/program_location.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string_view>

#include "platform/error_texts.h"
#include "platform/runtime_error.h"

namespace farlous {

namespace {

constexpr const char* kRunningProgram = "/proc/self/exe";
// What the system appends to the path of a program file deleted while it runs.
constexpr std::string_view kDeletedMark = " (deleted)";

[[noreturn]] void ThrowUnknownLocation() {
    throw RuntimeError(RuntimeError::Kind::FileNotFound, error_texts::UnknownProgramFolder());
}

// The path of the running program file, or "" when the system cannot give it (a path longer than
// it can report, no /proc).
std::string RunningProgramPath() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(kRunningProgram, buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof buffer) return {};
    return {buffer, static_cast<std::size_t>(length)};
}

bool SameFile(const char* a, const char* b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a, &first) == 0 && ::stat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// A program file replaced while it starts (an update) is still found by its folder and name: the
// mark the system adds is dropped, unless it is part of the file's real name.
std::string WithoutDeletedMark(std::string path) {
    if (path.ends_with(kDeletedMark) && !SameFile(path.c_str(), kRunningProgram))
        path.resize(path.size() - kDeletedMark.size());
    return path;
}

}  // namespace

ProgramLocation FindProgramLocation() {
    const std::string path = WithoutDeletedMark(RunningProgramPath());
    const std::size_t slash = path.rfind('/');
    if (path.empty() || path.front() != '/' || slash == std::string::npos) ThrowUnknownLocation();
    const std::string name = path.substr(slash + 1);
    return {slash == 0 ? "/" : path.substr(0, slash), name.substr(0, name.rfind('.'))};
}

}  // namespace farlous
