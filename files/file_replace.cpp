#include "files/file_replace.h"

#include "files/private_files.h"
#include "files/system_file.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik {

namespace {

// The file a save replaces: the link's target when the name is a link.
std::filesystem::path SaveTarget(const std::filesystem::path& path) {
    std::error_code ignored;
    if (!std::filesystem::is_symlink(path, ignored))
        return path;
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, ignored);
    return target.empty() ? path : target;
}

// A new file of a name nobody has taken beside `path`. Names are tried at random: anyone may
// create names in a shared folder, and O_EXCL never follows a link planted under one.
SystemFile CreateSibling(const std::filesystem::path& path, mode_t mode,
                         std::filesystem::path& name) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path;
        name += ".tmp-" + std::to_string(random());
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return SystemFile(fd);
    }
    return SystemFile(-1);
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

// Gives the new file its mode, writes, flushes and closes it. The mode is set explicitly because
// the umask may have taken bits of 0600 away at creation.
bool Fill(SystemFile& file, std::span<const uint8_t> bytes, mode_t mode) {
    if (::fchmod(file.Fd(), mode) != 0)
        return false;
    return WriteAll(file.Fd(), bytes) && ::fsync(file.Fd()) == 0 && file.Close();
}

} // namespace

bool ReplaceFile(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                 std::string* error) {
    const std::filesystem::path target = SaveTarget(path);
    struct stat previous {};
    const bool replacing = ::stat(target.c_str(), &previous) == 0 && S_ISREG(previous.st_mode);
    std::filesystem::path temporary;
    // Private from the start: the new file never holds the bytes with others allowed to read them.
    SystemFile file = CreateSibling(target, kPrivateFileMode, temporary);
    if (!file.IsOpen())
        return FailWith(error, "cannot create a new file beside", target, errno);
    const mode_t mode =
        PrivateFileMode(replacing ? std::optional<mode_t>(previous.st_mode & 07777) : std::nullopt);
    if (!Fill(file, bytes, mode)) {
        const int number = errno;
        ::unlink(temporary.c_str());
        return FailWith(error, "cannot write", temporary, number);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int number = errno;
        ::unlink(temporary.c_str());
        return FailWith(error, "cannot replace", target, number);
    }
    return true;
}

} // namespace tavrik
