#include "device/turn_files.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <span>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tavrik {

namespace {

constexpr size_t kGenerationBytes = 8;

std::string ProgramName(pid_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

std::string ReadProcLocks() {
    std::ifstream locks("/proc/locks");
    std::ostringstream text;
    text << locks.rdbuf();
    return text.str();
}

// Reads exactly `bytes.size()` bytes at `offset`; false on an error, a short read fills zeros.
bool ReadAt(int fd, std::span<uint8_t> bytes, off_t offset) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(fd, bytes.data() + done, bytes.size() - done,
                                    offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += static_cast<size_t>(got);
    }
    std::fill(bytes.begin() + static_cast<ptrdiff_t>(done), bytes.end(), 0);
    return true;
}

std::optional<uint64_t> ReadGeneration(int fd) {
    std::array<uint8_t, kGenerationBytes> bytes{};
    if (!ReadAt(fd, bytes, 0))
        return std::nullopt;
    uint64_t generation = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        generation |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    return generation;
}

// Opens a regular file without following a link, creating it with `createMode` when asked.
int OpenRegularFile(const std::filesystem::path& path, int flags, std::optional<mode_t> createMode,
                    std::string* problem) {
    const int fd = createMode
                       ? ::open(path.c_str(), flags | O_CREAT | O_NOFOLLOW | O_CLOEXEC, *createMode)
                       : ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (problem)
            *problem = path.string() + ": " + std::strerror(errno);
        return -1;
    }
    return fd;
}

} // namespace

std::unique_ptr<TurnLockFile> TurnLockFile::Open(const TurnPlace& place, std::string* problem) {
    // Read access is enough for flock, and opening a hidraw node for reading changes nothing on
    // the keyboard.
    const int fd =
        OpenRegularFile(place.lockFile, O_RDONLY,
                        place.createLockFile ? std::optional<mode_t>(0600) : std::nullopt, problem);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    const bool usable = ::fstat(fd, &info) == 0 && (S_ISREG(info.st_mode) || S_ISCHR(info.st_mode));
    if (!usable) {
        if (problem)
            *problem = place.lockFile.string() + " is neither a file nor a device";
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<TurnLockFile>(new TurnLockFile(fd, info.st_dev, info.st_ino));
}

TurnLockFile::TurnLockFile(int fd, dev_t device, ino_t inode)
    : fd_(fd)
    , device_(device)
    , inode_(inode) {}

TurnLockFile::~TurnLockFile() {
    ::close(fd_); // closing the last descriptor of the open file lets go of its flock
}

bool TurnLockFile::TryLock() {
    int result = 0;
    do {
        result = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

std::string TurnLockFile::Holder() const {
    const std::optional<pid_t> pid =
        FindFlockHolder(ReadProcLocks(), major(device_), minor(device_), inode_, ::getpid());
    if (!pid)
        return {};
    const std::string name = ProgramName(*pid);
    return (name.empty() ? "a program" : name) + " (pid " + std::to_string(*pid) + ")";
}

std::optional<pid_t> FindFlockHolder(std::string_view procLocks, unsigned major, unsigned minor,
                                     uint64_t inode, pid_t self) {
    // "1: FLOCK  ADVISORY  WRITE 1234 fe:00:10953039 0 EOF"; waiters are listed with "->".
    std::istringstream lines{std::string(procLocks)};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string number, kind, advisory, access, file;
        long pid = 0;
        if (!(fields >> number >> kind) || kind != "FLOCK")
            continue;
        if (!(fields >> advisory >> access >> pid >> file) || access != "WRITE" || pid == self)
            continue;
        unsigned fileMajor = 0, fileMinor = 0;
        unsigned long long fileInode = 0;
        if (std::sscanf(file.c_str(), "%x:%x:%llu", &fileMajor, &fileMinor, &fileInode) != 3)
            continue;
        if (fileMajor == major && fileMinor == minor && fileInode == inode && pid > 0)
            return static_cast<pid_t>(pid);
    }
    return std::nullopt;
}

std::unique_ptr<GenerationFile> GenerationFile::Open(const std::filesystem::path& path) {
    int fd = OpenRegularFile(path, O_RDWR, std::nullopt, nullptr);
    if (fd < 0 && errno == ENOENT) {
        // Made writable for every user by its creator, whatever the creator's umask: the
        // programs of other users who may open the keyboard count their writes in it too.
        fd = OpenRegularFile(path, O_RDWR | O_EXCL, 0600, nullptr);
        if (fd >= 0)
            ::fchmod(fd, 0666);
        else if (errno == EEXIST)
            fd = OpenRegularFile(path, O_RDWR, std::nullopt, nullptr);
    }
    if (fd < 0)
        return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<GenerationFile>(new GenerationFile(fd));
}

GenerationFile::GenerationFile(int fd)
    : fd_(fd) {}

GenerationFile::~GenerationFile() {
    ::close(fd_);
}

std::optional<uint64_t> GenerationFile::Read() const {
    return ReadGeneration(fd_);
}

bool GenerationFile::Write(uint64_t generation) {
    std::array<uint8_t, kGenerationBytes> bytes{};
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(generation >> (8 * i));
    ssize_t written = 0;
    do {
        written = ::pwrite(fd_, bytes.data(), bytes.size(), 0);
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(bytes.size());
}

std::optional<uint64_t> PeekGeneration(const std::filesystem::path& path) {
    if (path.empty())
        return std::nullopt;
    const int fd = OpenRegularFile(path, O_RDONLY, std::nullopt, nullptr);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    std::optional<uint64_t> generation;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        generation = ReadGeneration(fd);
    ::close(fd);
    return generation;
}

} // namespace tavrik
