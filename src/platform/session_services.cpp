#include "platform/session_services.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace farlous {

namespace {

bool IsSocket(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

}  // namespace

void KeepToolkitFromStartingSessionServices() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    // The toolkit, as the standard says, ignores a relative runtime folder.
    const bool hasRuntime = runtime != nullptr && runtime[0] == '/';
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") == nullptr &&
        !(hasRuntime && IsSocket(std::string(runtime) + "/bus"))) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    }
    if (!hasRuntime) ::setenv("TMPDIR", "/dev/null", 1);
}

}  // namespace farlous
