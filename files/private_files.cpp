#include "files/private_files.h"

#include "files/system_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tavrik {

namespace {

bool IsFolder(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

mode_t PrivateFileMode(std::optional<mode_t> replaced) {
    return replaced ? (*replaced & kPrivateFileMode) : kPrivateFileMode;
}

bool EnsurePrivateFolder(const std::filesystem::path& folder, std::string* error) {
    // "a/b/" names the folder "a/b".
    const std::filesystem::path target = folder.has_filename() ? folder : folder.parent_path();
    if (IsFolder(target))
        return true;
    const std::filesystem::path parent = target.parent_path();
    if (!parent.empty() && !IsFolder(parent)) {
        std::error_code ignored; // when it fails, mkdir below says why
        std::filesystem::create_directories(parent, ignored);
    }
    if (::mkdir(target.c_str(), kPrivateFolderMode) != 0) {
        const int number = errno;
        // Made by someone else in the meantime: theirs, so it keeps its mode.
        if (number == EEXIST && IsFolder(target))
            return true;
        return FailWith(error, "cannot create the folder", target, number);
    }
    // The umask may have taken some of the owner's bits away; the folder is the program's own,
    // so it gets exactly 0700.
    if (::chmod(target.c_str(), kPrivateFolderMode) != 0)
        return FailWith(error, "cannot set the permissions of", target, errno);
    return true;
}

bool PreparePrivateFile(const std::filesystem::path& path, std::string* error) {
    if (path.has_parent_path() && !EnsurePrivateFolder(path.parent_path(), error))
        return false;
    const SystemFile created(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, kPrivateFileMode));
    if (created.IsOpen()) {
        // Exactly 0600, whatever the umask took away.
        if (::fchmod(created.Fd(), kPrivateFileMode) != 0)
            return FailWith(error, "cannot set the permissions of", path, errno);
        return true;
    }
    if (errno != EEXIST)
        return FailWith(error, "cannot create", path, errno);
    // It exists (perhaps as a link): the file it names is narrowed by path, which needs no right
    // to open it, so a file the user made unreadable or write-only is handled too.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return FailWith(error, "cannot read the permissions of", path, errno);
    if (!S_ISREG(info.st_mode))
        return FailWith(error, "cannot write to", path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    const mode_t now = info.st_mode & 07777;
    const mode_t wanted = PrivateFileMode(now);
    if (wanted != now && ::chmod(path.c_str(), wanted) != 0)
        return FailWith(error, "cannot set the permissions of", path, errno);
    return true;
}

} // namespace tavrik
