#include "platform/input_file.h"

#include <cerrno>
#include <new>

#include "platform/error_texts.h"
#include "platform/printable_text.h"
#include "platform/runtime_error.h"

#ifdef _WIN32
#include <sys/stat.h>

#include "platform/win32_long_path.h"
#include "platform/win32_text.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace farlous {

namespace {

// Paths are shown with their control characters replaced, so that no file name can forge a line of
// the report.
[[noreturn]] void ThrowFileError(int error, const std::string& path) {
    const std::string shown = WithControlsShown(path);
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            throw RuntimeError(RuntimeError::Kind::FileNotFound, error_texts::FileNotFound(shown));
        case EACCES:
        case EPERM:
            throw RuntimeError(RuntimeError::Kind::PermissionDenied,
                               error_texts::PermissionDenied(shown));
        case ENOMEM:
            throw RuntimeError(RuntimeError::Kind::OutOfMemory,
                               error_texts::OutOfMemoryReading(shown));
        default:
            throw RuntimeError(RuntimeError::Kind::FileRead, error_texts::ReadError(shown));
    }
}

[[noreturn]] void ThrowNotARegularFile(const std::string& path) {
    throw RuntimeError(RuntimeError::Kind::FileRead,
                       error_texts::NotAFile(WithControlsShown(path)));
}

// Reads the `sizeAtOpen` bytes the file held when it was opened, or fewer if it shrank: a file that
// a writer keeps appending to is not followed. A file that told 0 (the system's own files, such as
// those of /proc, tell no size) is read to its end, the buffer growing as needed. `read` returns
// the number of bytes read, 0 at the end, or -1 with errno set.
template <typename ReadFunction>
FileBytes ReadAll(std::size_t sizeAtOpen, ReadFunction read, const std::string& path) {
    FileBytes file;
    auto& buffer = file.bytes;
    std::size_t size = 0;
    try {
        buffer.reserve(sizeAtOpen);
        buffer.resize(sizeAtOpen);
        for (;;) {
            if (size == buffer.size()) {
                if (sizeAtOpen > 0) break;
                const std::size_t grown = size + size / 2 + 4096;
                buffer.reserve(grown);
                buffer.resize(grown);
            }
            const auto count = read(buffer.data() + size, buffer.size() - size);
            if (count < 0) {
                if (errno == EINTR) continue;
                ThrowFileError(errno, path);
            }
            if (count == 0) break;
            size += static_cast<std::size_t>(count);
        }
    } catch (const std::bad_alloc&) {
        ThrowFileError(ENOMEM, path);
    }
    buffer.resize(size);
    return file;
}

}  // namespace

#ifdef _WIN32

InputFile::InputFile(const std::string& path) : path_(path) {
    file_ = _wfopen(LongPathForm(Utf8ToWide(path)).c_str(), L"rb");
    if (file_ == nullptr) ThrowFileError(errno, path_);
    struct _stat64 status {};
    if (_fstat64(_fileno(file_), &status) != 0 || (status.st_mode & _S_IFREG) == 0) {
        std::fclose(file_);
        ThrowNotARegularFile(path_);
    }
    sizeAtOpen_ = static_cast<std::size_t>(status.st_size);
}

InputFile::~InputFile() {
    if (file_ != nullptr) std::fclose(file_);
}

FileBytes InputFile::ReadToEnd() {
    return ReadAll(
        sizeAtOpen_,
        [this](char* into, std::size_t room) -> long long {
            const std::size_t count = std::fread(into, 1, room, file_);
            if (count == 0 && std::ferror(file_)) return -1;
            return static_cast<long long>(count);
        },
        path_);
}

#else

InputFile::InputFile(const std::string& path) : path_(path) {
    // Non-blocking, so that a FIFO put in the file's place cannot hang the open.
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor_ < 0) ThrowFileError(errno, path_);
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor_);
        ThrowNotARegularFile(path_);
    }
    sizeAtOpen_ = static_cast<std::size_t>(status.st_size);
}

InputFile::~InputFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

FileBytes InputFile::ReadToEnd() {
    return ReadAll(
        sizeAtOpen_,
        [this](char* into, std::size_t room) { return ::read(descriptor_, into, room); }, path_);
}

#endif

}  // namespace farlous
