#include "platform/platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "platform/errors.h"
#include "platform/linux/files.h"
#include "platform/linux/settings.h"
#include "platform/linux/toolkit.h"

namespace farlous {

namespace {

namespace fs = std::filesystem;

// What the system appends to the path of a program file deleted while it runs.
constexpr std::string_view kDeletedMark = " (deleted)";

// The running program file, in the file system's own bytes. One replaced while it starts (an
// update) is still found by its folder and name: the mark the system adds is dropped, unless it
// is part of the file's real name.
fs::path RunningProgram() {
    std::error_code error;
    std::string path = fs::read_symlink("/proc/self/exe", error).native();
    if (path.ends_with(kDeletedMark) && !fs::equivalent(path, "/proc/self/exe", error)) {
        path.resize(path.size() - kDeletedMark.size());
    }
    if (!path.starts_with('/')) throw errors::UnknownProgramFolder();
    return path;
}

class LinuxPlatform final : public Platform {
public:
    std::optional<std::string> ReadSetting(const std::string& appName, const std::string& section,
                                           const std::string& key) override {
        return ReadUserSetting(appName, section, key);
    }
    std::string ProgramFolder() override { return Program().parent_path().native(); }
    std::string ExeName() override { return Program().stem().native(); }
    char PathSeparator() override { return '/'; }
    std::optional<std::string> FindFile(const std::string& path) override {
        return FindRegularFile(path);
    }
    std::string ReadFile(const std::string& path) override { return ReadWholeFile(path); }
    void MsgBox(const std::string& text) override { ShowMessage(text); }
    void ReportUnhandledError(const std::string& message) override {
        std::cerr << kProgramTitle << " : " << message << std::endl;
        StartToolkit(false);
        ShowMessage(message);
    }

private:
    const fs::path& Program() {
        if (program_.empty()) program_ = RunningProgram();
        return program_;
    }
    fs::path program_;
};

// A standard stream the program was started without (FARLOUS 2>&-) is opened on /dev/null: left
// closed, the first file or connection opened would take its number, and a report meant for
// standard error would land there; in the display connection, it hangs the program.
void OpenMissingStandardStreams() {
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(stream, F_GETFD) == -1 && errno == EBADF) ::open("/dev/null", O_RDWR);
    }
}

// Outside a desktop session, Qt would start services that outlive the program or write to the
// disk: without a session bus (no address, no socket at $XDG_RUNTIME_DIR/bus), the bus library
// launches one that writes ~/.dbus and keeps running: the bus is declared disabled instead; a
// session's real bus, and with it the screen reader, stays in use. Without XDG_RUNTIME_DIR, Qt
// makes a runtime folder in the temporary folder: that is pointed at /dev/null, where nothing can
// be made. The program itself uses no temporary file. Nor can a Wayland display be reached by a
// name relative to that folder: the Wayland library would say so in English, so the name is
// pointed at /dev/null too, where no display answers.
void KeepToolkitFromStartingSessionServices() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const bool hasRuntime = runtime != nullptr && runtime[0] == '/';
    struct stat bus {};
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") == nullptr &&
        !(hasRuntime && ::stat((std::string(runtime) + "/bus").c_str(), &bus) == 0 &&
          S_ISSOCK(bus.st_mode))) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    }
    if (hasRuntime) return;
    ::setenv("TMPDIR", "/dev/null", 1);
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland == nullptr || wayland[0] != '/') ::setenv("WAYLAND_DISPLAY", "/dev/null", 1);
}

}  // namespace

std::unique_ptr<Platform> SystemPlatform() {
    OpenMissingStandardStreams();
    KeepToolkitFromStartingSessionServices();
    return std::make_unique<LinuxPlatform>();
}

}  // namespace farlous
