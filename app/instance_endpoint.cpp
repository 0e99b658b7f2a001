#include "app/instance_endpoint.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik {

namespace {

bool Refuse(std::string* problem, const std::string& folder, const std::string& why) {
    if (problem) {
        *problem = folder + " " + why;
    }
    return false;
}

std::string ModeText(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// Why the folder could not be opened as a folder without following a link.
std::string OpenProblem(const std::string& folder, int error) {
    struct stat info {};
    if ((error == ELOOP || error == ENOTDIR) && ::lstat(folder.c_str(), &info) == 0) {
        return S_ISLNK(info.st_mode) ? "is a symbolic link" : "is not a folder";
    }
    return std::string("cannot be opened: ") + std::strerror(error);
}

// Why an opened folder may not hold the socket; empty when it may.
std::string FolderProblem(const struct stat& info, uid_t user) {
    if (info.st_uid != user) {
        return "belongs to user " + std::to_string(info.st_uid);
    }
    if ((info.st_mode & 07777) != 0700) {
        return "has mode " + ModeText(info.st_mode) + " instead of 0700";
    }
    return {};
}

} // namespace

std::filesystem::path InstanceSocketPath(std::string_view runtimeDir,
                                         const std::filesystem::path& tempFolder, uid_t user) {
    const std::filesystem::path runtime(runtimeDir);
    if (!runtimeDir.empty() && runtime.is_absolute()) {
        return runtime / kInstanceSocketName;
    }
    return tempFolder / ("Tavrik-" + std::to_string(user)) / kInstanceSocketName;
}

bool PrepareInstanceFolder(const std::filesystem::path& socketPath, uid_t user,
                           std::string* problem) {
    const std::string folder = socketPath.parent_path().string();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return Refuse(problem, folder, std::string("cannot be created: ") + std::strerror(errno));
    }
    // The folder itself, never what a link of that name points to; judged on what was opened, so
    // it cannot be swapped between the check and the use.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return Refuse(problem, folder, OpenProblem(folder, errno));
    }
    struct stat info {};
    const int examined = ::fstat(fd, &info) == 0 ? 0 : errno;
    ::close(fd);
    const std::string why = examined == 0
                                ? FolderProblem(info, user)
                                : std::string("cannot be examined: ") + std::strerror(examined);
    return why.empty() || Refuse(problem, folder, why);
}

} // namespace tavrik
