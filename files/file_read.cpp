#include "files/file_read.h"

#include "files/system_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik {

namespace {

FileRead Outcome(FileReadStatus status, uint64_t size = 0, int error = 0) {
    FileRead read;
    read.status = status;
    read.size = size;
    read.error = error;
    return read;
}

FileRead Failure(int error) {
    return Outcome(error == ENOENT ? FileReadStatus::Missing : FileReadStatus::Failed, 0, error);
}

// Nothing when the file may be read; the refusal otherwise.
std::optional<FileRead> Judge(const struct stat& info, const FileKind& kind) {
    if (!S_ISREG(info.st_mode))
        return Outcome(FileReadStatus::NotRegular);
    const auto size = static_cast<uint64_t>(info.st_size);
    if (size > kind.largestSize)
        return Outcome(FileReadStatus::TooLarge, size);
    return std::nullopt;
}

// Reads until the end of the file or until more than `largest` bytes came, whichever is first;
// `expected` (the size the file had when it was judged) sizes the first read.
FileRead ReadBounded(int fd, uint64_t expected, uint64_t largest) {
    const uint64_t ceiling = largest + 1;
    FileRead read = Outcome(FileReadStatus::Read);
    read.bytes.resize(static_cast<size_t>(std::min(expected, largest) + 1));
    size_t done = 0;
    while (true) {
        if (done == read.bytes.size()) {
            if (done >= ceiling)
                break;
            read.bytes.resize(static_cast<size_t>(std::min<uint64_t>(uint64_t{done} * 2, ceiling)));
        }
        const ssize_t got = ::read(fd, read.bytes.data() + done, read.bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Failure(errno);
        if (got == 0)
            break;
        done += static_cast<size_t>(got);
    }
    read.bytes.resize(done);
    if (done > largest)
        return Outcome(FileReadStatus::TooLarge, std::max<uint64_t>(expected, done));
    return read;
}

} // namespace

FileRead ReadWholeFile(const std::filesystem::path& path, const FileKind& kind) {
    // Judged by name first, so that a device node is never opened: opening some has effects.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return Failure(errno);
    if (auto refused = Judge(info, kind))
        return std::move(*refused);
    // O_NONBLOCK: should a pipe take the file's place meanwhile, opening it does not wait for a
    // writer. What was opened is judged again.
    const SystemFile file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!file.IsOpen() || ::fstat(file.Fd(), &info) != 0)
        return Failure(errno);
    if (auto refused = Judge(info, kind))
        return std::move(*refused);
    return ReadBounded(file.Fd(), static_cast<uint64_t>(info.st_size), kind.largestSize);
}

std::string FileReadProblem(const FileRead& read, const std::filesystem::path& path,
                            const FileKind& kind) {
    switch (read.status) {
    case FileReadStatus::Read:
        return {};
    case FileReadStatus::NotRegular:
        return path.string() + ": not a regular file";
    case FileReadStatus::TooLarge:
        return path.string() + ": too large for " + std::string(kind.name) + " (" +
               std::to_string(read.size) + " bytes, at most " + std::to_string(kind.largestSize) +
               ")";
    case FileReadStatus::Missing:
    case FileReadStatus::Failed:
        break;
    }
    return "cannot read " + path.string() + ": " + SystemErrorText(read.error);
}

} // namespace tavrik
