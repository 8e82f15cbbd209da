#include "platform/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace farlous {

bool OpenMissingStandardStreams() {
    for (const int stream : std::array{STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(stream, F_GETFD) != -1 || errno != EBADF) continue;
        // The lower descriptors are open by now, so this one comes back as `stream`.
        const int opened = ::open("/dev/null", O_RDWR);
        if (opened != stream) {
            if (opened >= 0) ::close(opened);
            return false;
        }
    }
    return true;
}

}  // namespace farlous
