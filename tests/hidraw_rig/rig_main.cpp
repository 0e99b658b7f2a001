// tavrik-hidraw-rig: shows a keyboard served by `tavrik-emu serve` to a command as a real VX60
// would appear on Linux (hidraw nodes, sysfs, udev's announcements), in namespaces of its own.
//
//   tavrik-hidraw-rig --socket PATH [--owner USER] [--group GROUP] [--mode OCTAL] [--uaccess]
//                     [--shape shared|separate] -- COMMAND ARGS...
//
// The command runs with the emulator's socket in TAVRIK_RIG_SOCKET; the rig ends with its exit
// status. Needs root (namespaces, mounts, udev's netlink group).

#include "hidraw_rig/keyboard_link.h"
#include "hidraw_rig/private_world.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tavrik::rig {

namespace {

namespace fs = std::filesystem;

struct RigOptions {
    std::string socket;
    NodeAccess access;
    KeyboardShape shape = KeyboardShape::Shared;
    std::vector<char*> command;
};

std::optional<uid_t> UserId(const std::string& name) {
    if (const passwd* user = ::getpwnam(name.c_str()))
        return user->pw_uid;
    return std::nullopt;
}

std::optional<gid_t> GroupId(const std::string& name) {
    if (const group* found = ::getgrnam(name.c_str()))
        return found->gr_gid;
    return std::nullopt;
}

// Applies one option with its value; false when the value is not one.
bool ApplyOption(RigOptions& options, const std::string& name, const std::string& value) {
    if (name == "--socket") {
        options.socket = value;
        return true;
    }
    if (name == "--owner") {
        const auto id = UserId(value);
        options.access.owner = id.value_or(0);
        return id.has_value();
    }
    if (name == "--group") {
        const auto id = GroupId(value);
        options.access.group = id.value_or(0);
        return id.has_value();
    }
    if (name == "--mode") {
        char* end = nullptr;
        options.access.mode = static_cast<mode_t>(std::strtoul(value.c_str(), &end, 8));
        return !value.empty() && *end == '\0' && options.access.mode <= 07777;
    }
    if (name == "--shape") {
        const auto shape = ParseKeyboardShape(value);
        options.shape = shape.value_or(KeyboardShape::Shared);
        return shape.has_value();
    }
    return false;
}

std::optional<RigOptions> ParseOptions(int argc, char** argv) {
    RigOptions options;
    int at = 1;
    for (; at < argc && std::string(argv[at]) != "--"; ++at) {
        const std::string name = argv[at];
        if (name == "--uaccess") {
            options.access.tags.push_back("uaccess");
        } else if (at + 1 >= argc || !ApplyOption(options, name, argv[++at])) {
            std::fprintf(stderr, "hidraw-rig: bad option %s\n", name.c_str());
            return std::nullopt;
        }
    }
    for (++at; at < argc; ++at)
        options.command.push_back(argv[at]);
    if (options.socket.empty() || options.command.empty())
        return std::nullopt;
    options.command.push_back(nullptr);
    return options;
}

pid_t child = 0;

void PassOn(int signal) {
    if (child > 0)
        ::kill(child, signal);
}

int RunCommand(std::vector<char*>& command) {
    child = ::fork();
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::execvp(command.front(), command.data());
        std::fprintf(stderr, "hidraw-rig: cannot run %s\n", command.front());
        ::_exit(127);
    }
    std::signal(SIGINT, PassOn);
    std::signal(SIGTERM, PassOn);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The folders of sysfs where the keyboard's entries are made.
const std::set<fs::path> kOpenedSysfs = {"devices",
                                         "devices/pci0000:00",
                                         "class",
                                         "class/hidraw",
                                         "bus",
                                         "bus/hid",
                                         "bus/hid/devices",
                                         "bus/hid/drivers",
                                         "bus/usb",
                                         "bus/usb/devices",
                                         "bus/usb/drivers",
                                         "dev",
                                         "dev/char"};

bool BuildWorld(const fs::path& stage, std::string* error) {
    return EnterPrivateNamespaces(error) && MountStage(stage, error) &&
           CoverWithCopy("/sys", stage / "sys", kOpenedSysfs, error) &&
           CoverWithCopy("/dev", stage / "dev", {}, error) &&
           CoverWithCopy("/run", stage / "run", {}, error);
}

int Run(RigOptions& options, const fs::path& stage) {
    std::string error;
    if (!BuildWorld(stage, &error)) {
        std::fprintf(stderr, "hidraw-rig: %s\n", error.c_str());
        return 1;
    }
    const fs::path filesFolder = stage / "fuse";
    fs::create_directory(filesFolder);
    KeyboardLink* link = nullptr;
    auto files = HidrawFiles::Mount(
        filesFolder,
        [&link](const std::string& node, std::span<const uint8_t> report) {
            return link ? link->Output(node, report) : ENODEV;
        },
        &error);
    auto udev = files ? UdevAnnouncer::Open("/run/udev", &error) : nullptr;
    if (!udev) {
        std::fprintf(stderr, "hidraw-rig: %s\n", error.c_str());
        return 1;
    }
    SysfsKeyboard sysfs("/sys", Vx60Keyboard(options.shape));
    KeyboardLink keyboard(sysfs, *files, *udev, filesFolder, "/dev", options.access);
    link = &keyboard;
    if (!keyboard.Connect(options.socket, &error)) {
        std::fprintf(stderr, "hidraw-rig: %s\n", error.c_str());
        return 1;
    }
    ::setenv("TAVRIK_RIG_SOCKET", options.socket.c_str(), 1);
    // The one thing that cannot look real: the keyboard's sysfs entries live on a tmpfs, and
    // libudev refuses devices outside sysfs unless told, with its own switch for tests, not to
    // check.
    ::setenv("SYSTEMD_DEVICE_VERIFY_SYSFS", "0", 1);
    const int status = RunCommand(options.command);
    keyboard.Disconnect();
    link = nullptr;
    return status;
}

} // namespace

} // namespace tavrik::rig

int main(int argc, char** argv) {
    using namespace tavrik::rig;
    auto options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: %s --socket PATH [--owner USER] [--group GROUP] [--mode OCTAL] "
                     "[--uaccess] [--shape shared|separate] -- COMMAND ARGS...\n",
                     argv[0]);
        return 2;
    }
    char stage[] = "/tmp/tavrik-hidraw-rig.XXXXXX";
    if (::mkdtemp(stage) == nullptr) {
        std::perror("hidraw-rig: mkdtemp");
        return 1;
    }
    const int status = Run(*options, stage);
    DropStage(stage);
    return status;
}
