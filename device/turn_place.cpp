#include "device/turn_place.h"

#include <string>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace tavrik {

namespace {

// A folder where every user may create files and only a file's owner may remove it.
bool IsSharedStickyFolder(const std::filesystem::path& folder) {
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           (info.st_mode & S_ISVTX) != 0 && (info.st_mode & 0777) == 0777;
}

std::filesystem::path SharedLockFolder() {
    const std::filesystem::path runLock = "/run/lock";
    if (IsSharedStickyFolder(runLock))
        return runLock;
    std::error_code error;
    return std::filesystem::temp_directory_path(error);
}

} // namespace

TurnPlace HidrawTurnPlace(const std::filesystem::path& node) {
    TurnPlace place{.lockFile = node, .generationFile = {}, .createLockFile = false};
    struct stat info {};
    if (::stat(node.c_str(), &info) != 0 || !S_ISCHR(info.st_mode))
        return place;
    const std::filesystem::path folder = SharedLockFolder();
    if (!folder.empty()) {
        place.generationFile = folder / ("tavrik-hidraw-" + std::to_string(major(info.st_rdev)) +
                                         "-" + std::to_string(minor(info.st_rdev)));
    }
    return place;
}

TurnPlace SocketTurnPlace(const std::filesystem::path& socket) {
    std::filesystem::path lock = socket;
    lock += ".lock";
    return {.lockFile = lock, .generationFile = lock, .createLockFile = true};
}

} // namespace tavrik
