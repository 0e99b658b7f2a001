#include "hidraw_rig/private_world.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace tavrik::rig {

namespace fs = std::filesystem;

namespace {

bool Failed(std::string* error, const std::string& what) {
    *error = what + ": " + std::strerror(errno);
    return false;
}

bool Bind(const fs::path& source, const fs::path& target, std::string* error) {
    if (::mount(source.c_str(), target.c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0)
        return Failed(error, "cannot bind " + source.string() + " at " + target.string());
    return true;
}

bool MakeEmptyFile(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// One entry of the original in the copy: the same link, or a bind mount of the folder or file.
bool CopyEntry(const fs::directory_entry& entry, const fs::path& at, std::string* error) {
    std::error_code failure;
    if (entry.is_symlink(failure)) {
        fs::create_symlink(fs::read_symlink(entry.path()), at, failure);
        return !failure || Failed(error, "cannot copy the link " + entry.path().string());
    }
    if (entry.is_directory(failure))
        fs::create_directory(at, failure);
    else if (!MakeEmptyFile(at))
        return Failed(error, "cannot make " + at.string());
    return Bind(entry.path(), at, error);
}

bool CopyFolder(const fs::path& original, const fs::path& copy, const fs::path& relative,
                const std::set<fs::path>& opened, std::string* error) {
    std::error_code failure;
    fs::create_directories(copy, failure);
    for (const fs::directory_entry& entry : fs::directory_iterator(original, failure)) {
        const fs::path name = relative / entry.path().filename();
        const fs::path at = copy / entry.path().filename();
        const bool open =
            opened.contains(name) && !entry.is_symlink(failure) && entry.is_directory(failure);
        if (!(open ? CopyFolder(entry.path(), at, name, opened, error)
                   : CopyEntry(entry, at, error)))
            return false;
    }
    if (failure)
        return Failed(error, "cannot list " + original.string());
    return true;
}

} // namespace

bool EnterPrivateNamespaces(std::string* error) {
    if (::unshare(CLONE_NEWNS | CLONE_NEWNET) != 0)
        return Failed(error, "cannot enter new mount and network namespaces (needs root)");
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return Failed(error, "cannot make the mounts private");
    return true;
}

bool MountStage(const fs::path& stage, std::string* error) {
    if (::mount("tavrik-hidraw-rig", stage.c_str(), "tmpfs", 0, "mode=0755") != 0)
        return Failed(error, "cannot mount a tmpfs at " + stage.string());
    return true;
}

bool CoverWithCopy(const fs::path& target, const fs::path& copy, const std::set<fs::path>& opened,
                   std::string* error) {
    return CopyFolder(target, copy, {}, opened, error) && Bind(copy, target, error);
}

bool BindFile(const fs::path& source, const fs::path& target, std::string* error) {
    if (!MakeEmptyFile(target))
        return Failed(error, "cannot make " + target.string());
    if (::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0)
        return Failed(error, "cannot bind " + source.string() + " at " + target.string());
    return true;
}

void UnbindFile(const fs::path& target) {
    ::umount2(target.c_str(), MNT_DETACH);
    ::unlink(target.c_str());
}

void DropStage(const fs::path& stage) {
    ::umount2(stage.c_str(), MNT_DETACH);
    ::rmdir(stage.c_str());
}

} // namespace tavrik::rig
