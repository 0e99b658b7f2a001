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

// Says in `problem` (if given) why the folder cannot be used; returns `state`.
FolderState Explain(std::string* problem, const std::string& folder, const std::string& why,
                    FolderState state = FolderState::Refused) {
    if (problem) {
        *problem = folder + " " + why;
    }
    return state;
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

// Why an opened folder may not hold the socket; empty when it may. A folder others may write to
// lets them replace the socket; one its owner cannot write to cannot take it.
std::string FolderProblem(const struct stat& info, uid_t user) {
    if (!S_ISDIR(info.st_mode)) {
        return S_ISLNK(info.st_mode) ? "is a symbolic link" : "is not a folder";
    }
    if (info.st_uid != user) {
        return "belongs to user " + std::to_string(info.st_uid);
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return "has mode " + ModeText(info.st_mode) + ", so others may write to it";
    }
    if ((info.st_mode & (S_IWUSR | S_IXUSR)) != (S_IWUSR | S_IXUSR)) {
        return "has mode " + ModeText(info.st_mode) + ", so its owner cannot make the socket in it";
    }
    return {};
}

std::string TemporaryFolderName(uid_t user, int index) {
    std::string name = "Tavrik-" + std::to_string(user);
    if (index > 0) {
        name += "-" + std::to_string(index);
    }
    return name;
}

} // namespace

FolderState ExamineInstanceFolder(const std::filesystem::path& folder, uid_t user,
                                  std::string* problem) {
    const std::string name = folder.string();
    // The folder itself, never what a link of that name points to. O_PATH needs no permission
    // on the folder, so its owner and mode are read whoever it belongs to.
    const int fd = ::open(name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) {
            return Explain(problem, name, "does not exist", FolderState::Missing);
        }
        return Explain(problem, name, OpenProblem(name, error));
    }
    struct stat info {};
    const int examined = ::fstat(fd, &info) == 0 ? 0 : errno;
    ::close(fd);
    const std::string why = examined == 0
                                ? FolderProblem(info, user)
                                : std::string("cannot be examined: ") + std::strerror(examined);
    return why.empty() ? FolderState::Private : Explain(problem, name, why);
}

bool PrepareInstanceFolder(const std::filesystem::path& folder, uid_t user, std::string* problem) {
    const std::string name = folder.string();
    if (::mkdir(name.c_str(), 0700) != 0 && errno != EEXIST) {
        Explain(problem, name, std::string("cannot be created: ") + std::strerror(errno));
        return false;
    }
    // Examined also when this start made it: between the two calls someone may have put
    // something else in its place.
    return ExamineInstanceFolder(folder, user, problem) == FolderState::Private;
}

InstanceFolders ChooseInstanceFolders(std::string_view runtimeDir,
                                      const std::filesystem::path& tempFolder, uid_t user) {
    InstanceFolders folders;
    const std::filesystem::path runtime(runtimeDir);
    if (!runtimeDir.empty() && runtime.is_absolute()) {
        // The session's folder is used as it is, never created or mended: a runtime folder that
        // is not the user's own private one is treated as unset.
        std::string problem;
        if (ExamineInstanceFolder(runtime, user, &problem) == FolderState::Private) {
            folders.own = runtime;
            folders.searched.push_back(runtime);
            return folders;
        }
        folders.refused.push_back("XDG_RUNTIME_DIR " + problem);
    }
    const std::filesystem::path temp = tempFolder.is_absolute() ? tempFolder : "/tmp";
    for (int index = 0; index < kInstanceFolderNames; ++index) {
        const std::filesystem::path folder = temp / TemporaryFolderName(user, index);
        std::string problem;
        if (folders.own.empty()) {
            if (PrepareInstanceFolder(folder, user, &problem)) {
                folders.own = folder;
                folders.searched.push_back(folder);
            } else {
                folders.refused.push_back(problem);
            }
        } else if (ExamineInstanceFolder(folder, user) == FolderState::Private) {
            // Made by an earlier start while the names before it were taken.
            folders.searched.push_back(folder);
        }
    }
    return folders;
}

} // namespace tavrik
