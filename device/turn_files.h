#pragma once
// The operating system's side of taking turns on a keyboard: the exclusive flock on the turn's
// lock file, who holds it (the kernel lists flock holders in /proc/locks), and the count of
// writing turns kept in the generation file.

#include "device/turn_place.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace tavrik {

class TurnLockFile {
public:
    // Opens the place's lock file, never through a symbolic link; nothing and why when it cannot.
    static std::unique_ptr<TurnLockFile> Open(const TurnPlace& place, std::string* problem);
    ~TurnLockFile();

    TurnLockFile(const TurnLockFile&) = delete;
    TurnLockFile& operator=(const TurnLockFile&) = delete;

    // Takes the exclusive lock without waiting: false while another program holds it.
    bool TryLock();
    // The program holding the lock, as "tavrik (pid 1234)"; empty when it cannot be known.
    std::string Holder() const;

private:
    TurnLockFile(int fd, dev_t device, ino_t inode);

    int fd_;
    dev_t device_;
    ino_t inode_;
};

// The holder of an exclusive flock on the file (device major:minor, inode) among the lines of
// /proc/locks, other than `self`; nothing when none is listed.
std::optional<pid_t> FindFlockHolder(std::string_view procLocks, unsigned major, unsigned minor,
                                     uint64_t inode, pid_t self);

// The generation file: a count of writing turns, 8 bytes little-endian, read and written only by
// the program whose turn it is (except for a peek that tolerates a stale value).
class GenerationFile {
public:
    // Opens or creates it for every user (it carries nothing private and must be shared); nothing
    // when it cannot be used (a link, not a regular file, no permission).
    static std::unique_ptr<GenerationFile> Open(const std::filesystem::path& path);
    ~GenerationFile();

    GenerationFile(const GenerationFile&) = delete;
    GenerationFile& operator=(const GenerationFile&) = delete;

    // A missing or short count reads as 0; nothing when the file cannot be read.
    std::optional<uint64_t> Read() const;
    bool Write(uint64_t generation);

private:
    explicit GenerationFile(int fd);

    int fd_;
};

// The count without taking the turn; nothing when the file is missing or unusable.
std::optional<uint64_t> PeekGeneration(const std::filesystem::path& path);

} // namespace tavrik
