#include "profile/file_access.h"

#include "profile/native_path.h"

#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik {

ReadOnlyFile::ReadOnlyFile(const std::filesystem::path& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) {
        status_ = (errno == ENOENT || errno == ENOTDIR) ? FileOpenStatus::Missing
                                                        : FileOpenStatus::CannotOpen;
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))
        return;
    status_ = FileOpenStatus::Opened;
    size_ = static_cast<uint64_t>(info.st_size);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool ReadOnlyFile::ReadPrefix(uint64_t limit, std::vector<uint8_t>& out) const {
    if (status_ != FileOpenStatus::Opened)
        return false;
    out.assign(std::min(limit, size_), 0);
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t got =
            ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

bool ReplaceFileContents(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    QSaveFile file(ToQtPath(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto length = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), length) != length)
        return false;
    return file.commit();
}

} // namespace tavrik
