#include "platform/input_file.h"

#include <cerrno>
#include <new>

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

[[noreturn]] void ThrowFileError(int error, const std::string& path) {
    switch (error) {
        case ENOENT:
            throw RuntimeError(RuntimeError::Kind::FileNotFound, "Fichier introuvable : " + path);
        case EACCES:
        case EPERM:
            throw RuntimeError(RuntimeError::Kind::PermissionDenied,
                               "Permission refusée : impossible de lire le fichier " + path);
        case ENOMEM:
            throw RuntimeError(RuntimeError::Kind::OutOfMemory,
                               "Mémoire insuffisante pour lire le fichier " + path);
        default:
            throw RuntimeError(RuntimeError::Kind::FileRead,
                               "Erreur de lecture du fichier " + path);
    }
}

[[noreturn]] void ThrowNotARegularFile(const std::string& path) {
    throw RuntimeError(RuntimeError::Kind::FileRead,
                       "Erreur de lecture du fichier " + path + " : ce n'est pas un fichier.");
}

// Fills a buffer sized from the file's length, growing it if the file grew meanwhile. `read`
// returns the number of bytes read, 0 at the end, or -1 with errno set.
template <typename ReadFunction>
FileBytes ReadAll(std::size_t expectedSize, ReadFunction read, const std::string& path) {
    FileBytes file;
    auto& buffer = file.bytes;
    std::size_t size = 0;
    try {
        // One spare byte shows the end without a regrow.
        buffer.reserve(expectedSize + 1);
        buffer.resize(expectedSize + 1);
        for (;;) {
            if (size == buffer.size()) {
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
}

InputFile::~InputFile() {
    if (file_ != nullptr) std::fclose(file_);
}

FileBytes InputFile::ReadToEnd() {
    struct _stat64 status {};
    _fstat64(_fileno(file_), &status);
    return ReadAll(
        static_cast<std::size_t>(status.st_size),
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
}

InputFile::~InputFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

FileBytes InputFile::ReadToEnd() {
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0) ThrowFileError(errno, path_);
    return ReadAll(
        static_cast<std::size_t>(status.st_size),
        [this](char* into, std::size_t room) { return ::read(descriptor_, into, room); }, path_);
}

#endif

}  // namespace farlous
