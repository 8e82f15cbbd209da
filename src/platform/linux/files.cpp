#include "platform/linux/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <vector>

#include "platform/errors.h"

namespace farlous {

namespace {

namespace fs = std::filesystem;

bool IsVisibleRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error) && !path.filename().native().starts_with('.');
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

// Memory that can be had now without swapping: a larger file fails at once rather than pushing
// the machine into swap or waking the out-of-memory killer.
std::size_t AvailableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string field;
    std::size_t kilobytes = 0;
    while (meminfo >> field >> kilobytes) {
        if (field == "MemAvailable:") return kilobytes * 1024;
        meminfo.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return std::numeric_limits<std::size_t>::max();
}

[[noreturn]] void ThrowFileError(int error, const std::string& path) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            throw errors::FileNotFound(path);
        case EACCES:
        case EPERM:
            throw errors::PermissionDenied(path);
        case ENOMEM:
            throw errors::OutOfMemoryReading(path);
        default:
            throw errors::ReadError(path);
    }
}

}  // namespace

std::optional<std::string> FindRegularFile(const std::string& path) {
    const fs::path wanted(path);
    if (IsVisibleRegularFile(wanted)) return path;
    std::vector<std::string> others;
    std::error_code error;
    const fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().native();
        if (EqualIgnoringAsciiCase(name, wanted.filename().native()))
            others.push_back(std::move(name));
    }
    std::ranges::sort(others);
    for (const std::string& name : others) {
        const fs::path other = wanted.parent_path() / name;
        if (IsVisibleRegularFile(other)) return other.native();
    }
    return std::nullopt;
}

std::string ReadWholeFile(const std::string& path) {
    // Non-blocking, so that a FIFO put in the file's place cannot hang the open.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) ThrowFileError(errno, path);
    const struct Closer {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } closer{descriptor};
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        throw errors::NotAFile(path);
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    if (size > AvailableMemory()) throw errors::OutOfMemoryReading(path);
    std::string bytes;
    std::size_t filled = 0;
    try {
        // Up to the size the file had, so one that grows meanwhile is read as it was: the read
        // that asks for nothing more ends the loop. A file that tells no size is read to its end.
        for (;;) {
            if (filled == bytes.size()) bytes.resize(size > 0 ? size : filled * 2 + 4096);
            const ssize_t count = ::read(descriptor, bytes.data() + filled, bytes.size() - filled);
            if (count < 0 && errno == EINTR) continue;
            if (count < 0) ThrowFileError(errno, path);
            if (count == 0) break;
            filled += static_cast<std::size_t>(count);
        }
    } catch (const std::bad_alloc&) {
        throw errors::OutOfMemoryReading(path);
    }
    bytes.resize(filled);
    return bytes;
}

}  // namespace farlous
